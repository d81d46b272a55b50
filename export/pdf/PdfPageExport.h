#pragma once
// The PDF exporter that keeps the page: every exported page becomes a PDF
// page of its own size, drawn from its metafile records as the preview and
// the printer show it, with vectors, embedded font subsets that extract as
// Unicode, images and clipping. Pages go to the file as they are played.
// The report's outline becomes the document's bookmarks.
#include <memory>
#include <string>

#include "export/Export.h"

namespace zd {

class TPdfPageDocument;

class TZdqExportToPagePDF : public TZdqExport {
 public:
  explicit TZdqExportToPagePDF(TComponent* owner = nullptr);
  ~TZdqExportToPagePDF() override;
  std::string ClassName() const override { return "TZdqExportToPagePDF"; }

  void NewPage(int page, int bar) override;
  void ExportEMFRecord(const TEmfRecord& record, const TEmfState& state) override;
  void PageProcessed(const TMetafile& page) override;
  // Writes the pages since the last save as one document; throws EPdfError.
  void SaveToFile(const std::string& fileName) override;
  // Drops a document that was never saved.
  void EndExport() override;

 private:
  TPdfPageDocument& document();

  std::unique_ptr<TPdfPageDocument> document_;
};

}  // namespace zd
