#include "app/zdreport/PrintCommand.h"

#include <charconv>
#include <stdexcept>

#include "app/zdreport/TemplateReport.h"
#include "host/core/TextUtil.h"
#include "host/printing/Printer.h"
#include "report/model/ZdReport.h"

namespace zd::cli {
namespace {

std::string CommaList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return list;
}

// Chooses the printer before anything is prepared: the pages take its
// paper and printable area.
std::string SelectPrinter(const TPrintOptions& options, std::vector<std::string>& notes) {
  TSystemPrinter& printer = TSystemPrinter::Instance();
  printer.SetVirtualPrinterEnabled(true);
  if (!options.printer.empty()) {
    if (!printer.SelectByName(options.printer))
      throw EUsageError("there is no printer '" + options.printer + "'; the printers are " +
                        CommaList(printer.Printers()));
  } else {
    printer.SetPrinterIndex(-1);
    if (printer.IsVirtual())
      notes.push_back(std::string("no system printer is installed: printing on the ") +
                      TSystemPrinter::VirtualPrinterName);
  }
  if (printer.IsVirtual() && options.output.empty())
    throw EUsageError(std::string("the ") + TSystemPrinter::VirtualPrinterName +
                      " writes a PDF file: name it with -o FILE.pdf");
  return printer.PrinterName();
}

// "100x50mm" in tenths of a millimetre; false for another text.
bool ParseMillimetres(const std::string& text, int& width, int& height) {
  const std::string t = LowerCase(text);
  const size_t x = t.find('x');
  if (x == std::string::npos || t.size() < 3 || t.substr(t.size() - 2) != "mm") return false;
  auto tenths = [](std::string_view digits, int& out) {
    double mm = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), mm);
    if (error != std::errc() || end != digits.data() + digits.size() || !(mm >= 1 && mm <= 10000)) return false;
    out = int(mm * 10 + 0.5);
    return true;
  };
  const std::string_view view(t);
  return tenths(view.substr(0, x), width) && tenths(view.substr(x + 1, t.size() - 2 - x - 1), height);
}

void ApplyPaper(const std::string& paper, TZdqPrinter& setting) {
  if (paper.empty()) return;
  int width = 0, height = 0;
  if (ParseMillimetres(paper, width, height)) {
    setting.SetPaperSize(TZdqPaperSize::psCustom);
    setting.SetPaperSizeWidth(width);
    setting.SetPaperSizeHeight(height);
    // Labels: the page is the label, with no margin of the printer's own.
    TZdqPageMargins none;
    none.SetByDefault(false);
    setting.SetMargins(none);
    return;
  }
  const std::vector<std::string>& names = PaperSizeIdentifiers();
  std::vector<std::string> known;
  for (size_t i = 1; i + 1 < names.size(); ++i) {  // neither psDefault nor psCustom
    const std::string name = names[i].substr(2);
    if (SameText(name, paper)) {
      setting.SetPaperSize(TZdqPaperSize(i));
      return;
    }
    known.push_back(name);
  }
  throw EUsageError("--paper takes a size such as 100x50mm or one of " + CommaList(known) + "; got '" + paper +
                    "'");
}

// The tray a --paper-source name stands for; sbDefault for none given.
TZdqBin BinOf(const std::string& source) {
  if (source.empty()) return TZdqBin::sbDefault;
  static const std::pair<const char*, TZdqBin> kSources[] = {
      {"auto", TZdqBin::sbAuto},
      {"upper", TZdqBin::sbUpper},
      {"lower", TZdqBin::sbLower},
      {"middle", TZdqBin::sbMiddle},
      {"manual", TZdqBin::sbManual},
      {"envelope", TZdqBin::sbEnvelope},
      {"envelope-manual", TZdqBin::sbEnvManual},
      {"tractor", TZdqBin::sbTractor},
      {"small-format", TZdqBin::sbSmallFormat},
      {"large-format", TZdqBin::sbLargeFormat},
      {"large-capacity", TZdqBin::sbLargeCapacity},
      {"cassette", TZdqBin::sbCassette},
  };
  std::vector<std::string> names;
  for (const auto& [name, bin] : kSources) {
    if (source == name) return bin;
    names.push_back(name);
  }
  throw EUsageError("--paper-source takes one of " + CommaList(names) + ", got '" + source + "'");
}

void ApplyJobOptions(const TPrintOptions& options, TZdqBin tray, TZdqPrinter& setting) {
  ApplyPaper(options.paper, setting);
  if (tray != TZdqBin::sbDefault) setting.SetOutputBin(tray);
  if (options.orientation == "portrait") setting.SetOrientation(TZdqPrinterOrientation::spoPortrait);
  if (options.orientation == "landscape") setting.SetOrientation(TZdqPrinterOrientation::spoLandscape);
  if (options.duplex == "none") setting.SetDuplex(TZdqDuplex::sdNone);
  // Exchanged as the driver's duplex code, its ordinal: 2 binds on the long
  // edge, 3 on the short one.
  if (options.duplex == "long") setting.SetDuplex(TZdqDuplex::sdHorizontal);
  if (options.duplex == "short") setting.SetDuplex(TZdqDuplex::sdVertical);
  setting.SetCopies(options.copies);
  setting.SetCollate(options.collate);
}


void Print(TZdReport& report, const TPrintOptions& options, TPrintResult& result) {
  result.pages = report.NumPages();
  const TStringList pages = WantedPages(options.pages, result.pages);
  result.printedPages = pages.Count();
  result.sheets = pages.Count() * report.NumBars() * options.copies;
  report.OutputFileName = options.output;
  result.file = options.output;
  report.SetAnimatedStatus(false);
  report.PrintPages(pages);
}

}  // namespace

TPrintResult RunPrint(const TPrintOptions& options) {
  TPrintResult result;
  const TZdqBin tray = BinOf(options.paperSource);
  if (!options.output.empty()) RequireNoFolder(options.output, "the output");
  result.printer = SelectPrinter(options, result.notes);
  if (!options.preparedFile.empty()) {
    RequireNoFolder(options.preparedFile, "the prepared report");
    TComponent root;
    auto* report = new TZdReport(&root);
    report->LoadPreparedReport(options.preparedFile);
    report->PrinterSetting().SetPrinterName(result.printer);
    ApplyJobOptions(options, tray, report->PrinterSetting());
    Print(*report, options, result);
    return result;
  }
  TTemplateReport loaded(options);
  TZdReport& report = loaded.Report();
  report.PrinterSetting().SetPrinterName(result.printer);
  ApplyJobOptions(options, tray, report.PrinterSetting());
  loaded.Prepare();
  result.warnings = loaded.Warnings();
  Print(report, options, result);
  return result;
}

void ListPrinters(std::ostream& out) {
  TSystemPrinter& printer = TSystemPrinter::Instance();
  printer.SetVirtualPrinterEnabled(true);
  printer.SetPrinterIndex(-1);
  const int defaultIndex = printer.PrinterIndex();
  const std::vector<std::string> names = printer.Printers();
  for (int i = 0; i < int(names.size()); ++i) {
    printer.SetPrinterIndex(i);
    const std::string papers = CommaList(printer.PaperNames());
    out << (i == defaultIndex ? "* " : "  ") << names[size_t(i)]
        << (printer.IsVirtual() ? " (built in: writes a PDF file)" : "") << "\n"
        << "    paper: " << papers << "\n";
  }
  if (int(names.size()) == 1)
    out << "No system printer is installed: 'zdreport print' uses the " << TSystemPrinter::VirtualPrinterName
        << ".\n";
  printer.SetPrinterIndex(-1);
}

}  // namespace zd::cli
