#include "app/zdreport/RenderCommand.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/zdreport/DataSource.h"
#include "app/zdreport/ExportFormats.h"
#include "app/zdreport/ExportSettings.h"
#include "app/zdreport/Interrupt.h"
#include "app/zdreport/ParameterValues.h"
#include "app/zdreport/TerminalProgress.h"
#include "expr/PageRange.h"
#include "host/printing/Printer.h"
#include "report/template/Template.h"
#include "report/model/ZdReport.h"
#include "report/model/ZdqDMan.h"

namespace zd::cli {
namespace {

constexpr std::string_view kDataSetReference = "DataSet = ";

// Pages come out the same on every machine: the virtual printer's geometry.
void UseVirtualPrinter() {
  TSystemPrinter& printer = TSystemPrinter::Instance();
  printer.SetVirtualPrinterEnabled(true);
  if (!printer.SelectByName(TSystemPrinter::VirtualPrinterName))
    throw std::runtime_error("the virtual PDF printer is not available");
}

// The report's own dataset reference names the component the template was
// designed with; the opened dataset takes that name so that expressions
// written against it resolve. Other unresolved references become warnings.
std::string TakeDataSetName(const TTemplateLoadResult& loaded, std::vector<std::string>& warnings) {
  std::string name;
  for (const std::string& reference : loaded.UnresolvedReferences) {
    if (reference.rfind(kDataSetReference, 0) == 0) {
      name = reference.substr(kDataSetReference.size());
      // "Root.Component" as streams write references across roots.
      if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(0, dot + 1);
    } else {
      warnings.push_back("the template refers to a component the command line cannot supply: " + reference);
    }
  }
  return name;
}

void BindDataSet(TZdReport& report, TComponent& root, TDataSet& dataset, const std::string& componentName,
                 const std::string& sourceName) {
  if (!componentName.empty()) dataset.SetName(componentName);
  report.SetDataSet(&dataset);
  auto* manager = new TZdqDataManager(&root);
  TZdqDataset* item = manager->AddDataset(&dataset);
  if (!sourceName.empty()) item->SetCaption(sourceName);
  report.SetDataManager(manager);
}

TStringList WantedPages(const std::string& pagesText, int pageCount) {
  TStringList pages;
  if (pagesText.empty()) {
    for (int p = 1; p <= pageCount; ++p) pages.Add(std::to_string(p));
    return pages;
  }
  GetValidPages(pagesText, pages, pageCount);
  if (pages.Count() == 0)
    throw std::runtime_error("--pages " + pagesText + " selects none of the " + std::to_string(pageCount) +
                             " pages");
  return pages;
}

// A folder named where a file is wanted gets a plain answer, not whatever
// reading it as a stream would say.
void RequireNoFolder(const std::string& path, const std::string& what) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw std::runtime_error(what + " '" + path + "' is a folder, not a file");
}

// The files the export writes: OUT, or with --separate one per wanted page
// and bar, in page order.
std::vector<std::string> OutputFiles(const TRenderOptions& options, const TStringList& pages, int pageCount,
                                     int barCount) {
  if (!options.separate) return {options.output};
  std::vector<std::string> files;
  for (int p = 0; p < pageCount; ++p)
    if (pages.IndexOf(std::to_string(p + 1)) >= 0)
      for (int b = 0; b < barCount; ++b) files.push_back(SeparatePageFileName(options.output, p, b));
  return files;
}

// Writing over the template or the data file would destroy the input (a
// database even while it is open). Compared as files, so that other
// spellings, links and hard links of an input are caught too.
void RefuseToOverwriteInputs(const std::vector<std::string>& outputs, const std::string& templateFile,
                             const std::string& dataFile) {
  const std::pair<const std::string&, const char*> inputs[] = {{templateFile, "the template"},
                                                               {dataFile, "the data file"}};
  for (const std::string& output : outputs)
    for (const auto& [input, what] : inputs) {
      std::error_code error;  // an output not written yet is no input
      if (std::filesystem::equivalent(output, input, error))
        throw EUsageError("the output '" + output + "' is " + what + "; name another output file");
    }
}

// Prepares with the pages and rows done shown on standard error when it is
// a terminal, and Ctrl-C cancelling.
void PrepareShowingProgress(TZdReport& report) {
  std::optional<TTerminalProgressView> line;
  if (const int columns = StderrTerminalColumns()) {
    line.emplace(stderr, columns);
    report.OnProgress = [&line](const TPrepareProgress& progress) {
      line->Update("Preparing page " + std::to_string(progress.Pages) + ", " + std::to_string(progress.Rows) +
                       " rows",
                   0);
    };
  }
  // The preparation's progress comes through OnProgress, the export's
  // still through the progress dialog.
  struct TRestore {
    TZdReport& report;
    ~TRestore() {
      report.OnProgress = nullptr;  // it draws on the line that goes next
      report.SetAnimatedStatus(true);
    }
  } restore{report};
  report.SetAnimatedStatus(false);
  TCancelOnInterrupt interrupt(report);
  report.Prepare();
  if (interrupt.Interrupted()) throw EInterrupted();
}

void CreateParentFolder(const std::string& file) {
  const std::filesystem::path parent = std::filesystem::path(file).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
}

}  // namespace

TRenderResult RunRender(const TRenderOptions& options) {
  const TZdqRegisterExport& format = ExportFormatFor(options.format, options.output);
  const TDataSourceSpec source = TDataSourceSpec::Parse(options.dataSource, options.sql, options.delimiter);
  RequireNoFolder(options.templateFile, "the template");
  RequireNoFolder(source.file, "the data source");
  RequireNoFolder(options.output, "the output");
  TExportSettings settings(options, format);

  TRenderResult result;
  UseVirtualPrinter();
  TOpenedDataSource data;  // outlives the report, which points to it
  TComponent root;
  auto* report = new TZdReport(&root);
  const TTemplateLoadResult loaded = LoadReport(*report, options.templateFile);
  data = OpenDataSource(source);
  report->PrinterSetting().SetPrinterName(TSystemPrinter::VirtualPrinterName);
  BindDataSet(*report, root, *data.dataset, TakeDataSetName(loaded, result.warnings), data.name);
  if (options.twoPass) report->SetTwoPass(true);
  if (options.pageMemoryMB) report->SetPageMemoryLimit(*options.pageMemoryMB << 20);
  if (!options.anyAllowedPath) {
    // Templates may come from anyone: they read only what is given to them.
    const std::filesystem::path folder = std::filesystem::path(options.templateFile).parent_path();
    report->FileAccess().AllowFolder(folder.empty() ? std::string(".") : folder.string());
    for (const std::string& path : options.allowedPaths) report->FileAccess().AllowFolder(path);
  }

  TCommandLineParameters parameters(options.parameters);
  parameters.Apply(*report);
  PrepareShowingProgress(*report);
  for (const std::string& warning : report->Warnings()) result.warnings.push_back(warning);
  if (!report->Prepared() || report->Pages().Count() == 0) throw std::runtime_error("the report made no pages");
  result.pages = report->NumPages();

  const TStringList pages = WantedPages(options.pages, result.pages);
  result.exportedPages = pages.Count();
  result.files = OutputFiles(options, pages, result.pages, report->NumBars());
  RefuseToOverwriteInputs(result.files, options.templateFile, source.file);
  CreateParentFolder(options.output);
  report->ExportTo(options.output, options.separate, pages, settings.ExportClass());
  if (const size_t replaced = settings.ReplacedCharacters())
    result.warnings.push_back(std::to_string(replaced) + " character" + (replaced == 1 ? "" : "s") +
                              " the output's code page cannot hold became '?' (utf-8 or the xlsx format keep "
                              "them)");
  return result;
}

}  // namespace zd::cli
