#include "export/pdf/PdfPageExport.h"

#include "export/pdf/detail/PdfPageDocument.h"

namespace zd {

TZdqExportToPagePDF::TZdqExportToPagePDF(TComponent* owner) : TZdqExport(owner) {}

TZdqExportToPagePDF::~TZdqExportToPagePDF() = default;

TPdfPageDocument& TZdqExportToPagePDF::document() {
  if (!document_) document_ = std::make_unique<TPdfPageDocument>();
  return *document_;
}

void TZdqExportToPagePDF::NewPage(int page, int bar) {
  TZdqExport::NewPage(page, bar);
  document().BeginPage(page, bar);
}

void TZdqExportToPagePDF::ExportEMFRecord(const TEmfRecord& record, const TEmfState& state) {
  TZdqExport::ExportEMFRecord(record, state);
  document().Paint(record, state);
}

void TZdqExportToPagePDF::PageProcessed(const TMetafile& page) {
  TZdqExport::PageProcessed(page);
  document().EndPage(page.Width(), page.Height());
}

void TZdqExportToPagePDF::SaveToFile(const std::string& fileName) {
  TZdqExport::SaveToFile(fileName);
  // With one file per page the next page starts a document of its own.
  std::unique_ptr<TPdfPageDocument> finished = std::move(document_);
  if (!finished) finished = std::make_unique<TPdfPageDocument>();
  finished->SaveTo(fileName, DestinationStream(), Properties(), Outlines);
}

void TZdqExportToPagePDF::EndExport() {
  document_.reset();
  TZdqExport::EndExport();
}

}  // namespace zd
