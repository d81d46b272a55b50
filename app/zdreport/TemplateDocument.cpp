#include "app/zdreport/TemplateDocument.h"

#include "host/printing/Printer.h"

namespace zd::cli {

TTemplateDocument::TTemplateDocument(const TRenderOptions& options) {
  templates_.push_back(std::make_unique<TTemplateReport>(options));
  for (const TReportInput& input : options.moreTemplates) templates_.push_back(std::make_unique<TTemplateReport>(input));
  for (const auto& loaded : templates_)
    loaded->Report().PrinterSetting().SetPrinterName(TSystemPrinter::VirtualPrinterName);
  if (templates_.size() == 1) return;
  for (const auto& loaded : templates_) composite_.AddReport(loaded->Report());
  composite_.SetContinuousPageNumbers(true);
  // The whole document goes by the first template's title, author and paper.
  composite_.SetZdProperty(templates_.front()->Report().ZdProperty());
  composite_.SetPrinterSetting(templates_.front()->Report().PrinterSetting());
}

TZdPrintBaseComponent& TTemplateDocument::Document() {
  if (templates_.size() == 1) return templates_.front()->Report();
  return composite_;
}

void TTemplateDocument::Prepare() {
  if (templates_.size() == 1) {
    templates_.front()->Prepare();
    warnings_ = templates_.front()->Warnings();
    return;
  }
  std::vector<TZdPrintBaseComponent*> preparing = {&composite_};
  for (const auto& loaded : templates_) preparing.push_back(&loaded->Report());
  PrepareOnTerminal(composite_, preparing);
  for (const auto& loaded : templates_)
    for (const std::string& warning : loaded->Warnings()) warnings_.push_back(warning);
  for (const std::string& warning : composite_.Warnings()) warnings_.push_back(warning);
}

}  // namespace zd::cli
