#include "app/zdreport/RenderCommand.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/zdreport/ExportFormats.h"
#include "app/zdreport/ExportSettings.h"
#include "app/zdreport/TemplateDocument.h"
#include "host/printing/Printer.h"

namespace zd::cli {
namespace {

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
void RefuseToOverwriteInputs(const std::vector<std::string>& outputs, const TOutputPlan::TInputs& inputs) {
  for (const std::string& output : outputs)
    for (const auto& [input, what] : inputs) {
      std::error_code error;  // an output not written yet is no input
      if (std::filesystem::equivalent(output, input, error))
        throw EUsageError("the output '" + output + "' is " + what + "; name another output file");
    }
}

void CreateParentFolder(const std::string& file) {
  const std::filesystem::path parent = std::filesystem::path(file).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
}

}  // namespace

void UseVirtualPrinter() {
  TSystemPrinter& printer = TSystemPrinter::Instance();
  printer.SetVirtualPrinterEnabled(true);
  if (!printer.SelectByName(TSystemPrinter::VirtualPrinterName))
    throw std::runtime_error("the virtual PDF printer is not available");
}

TOutputPlan::TOutputPlan(const TRenderOptions& options)
    : options_(options), savePrepared_(IsPreparedReportFormat(options.format, options.output)) {
  if (!savePrepared_) settings_.emplace(options, ExportFormatFor(options.format, options.output));
  else if (!options.encoding.empty() || options.csvRaw || options.resolution)
    throw EUsageError("--encoding, --csv-raw and --resolution do not apply to a prepared report");
  RequireNoFolder(options.output, "the output");
}

TRenderResult TOutputPlan::Write(TZdPrintBaseComponent& report, const TInputs& inputs) {
  TRenderResult result;
  result.pages = report.NumPages();
  const TStringList pages = WantedPages(options_.pages, result.pages);
  result.exportedPages = pages.Count();
  result.files = OutputFiles(options_, pages, result.pages, report.NumBars());
  RefuseToOverwriteInputs(result.files, inputs);
  CreateParentFolder(options_.output);
  if (savePrepared_) {
    report.SavePreparedPages(options_.output, options_.separate, &pages);
    return result;
  }
  report.ExportTo(options_.output, options_.separate, pages, settings_->ExportClass());
  if (const size_t replaced = settings_->ReplacedCharacters())
    result.warnings.push_back(std::to_string(replaced) + " character" + (replaced == 1 ? "" : "s") +
                              " the output's code page cannot hold became '?' (utf-8 or the xlsx format keep "
                              "them)");
  return result;
}

TRenderResult RunRender(const TRenderOptions& options) {
  TOutputPlan output(options);
  UseVirtualPrinter();
  TTemplateDocument loaded(options);
  loaded.Prepare();
  TOutputPlan::TInputs inputs;
  for (const auto& part : loaded.Templates()) {
    inputs.emplace_back(part->TemplateFile(), "the template");
    for (const std::string& file : part->DataFiles()) inputs.emplace_back(file, "the data file");
  }
  TRenderResult result = output.Write(loaded.Document(), inputs);
  result.warnings.insert(result.warnings.begin(), loaded.Warnings().begin(), loaded.Warnings().end());
  return result;
}

}  // namespace zd::cli
