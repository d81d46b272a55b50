#include "export/Export.h"

namespace zd {

void TZdProperty::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdProperty*>(&source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  Author = other->Author;
  Title = other->Title;
  Subject = other->Subject;
  Keywords = other->Keywords;
  comments_.Assign(other->comments_);
}

TZdqExport::TZdqExport(TComponent* owner) : TComponent(owner) {}

void TZdqExport::StartExport() {
  if (OnStartExecute) OnStartExecute(this);
}

void TZdqExport::EndExport() {
  if (OnEndExecute) OnEndExecute(this);
}

void TZdqExport::NewPage(int, int) {
  if (OnNewPage) OnNewPage(this);
}

void TZdqExport::ExportEMFRecord(const TEmfRecord& record, const TEmfState&) {
  if (OnRecord) {
    bool accept = true;
    OnRecord(this, record, accept);
  }
}

void TZdqExport::SaveToFile(const std::string& fileName) {
  destinationFileName_ = fileName;
  OffsetX = 0;
  OffsetY = 0;
}

void TZdqExport::PageProcessed(const TMetafile&) {}

void TZdqExport::ExportRecords(const TMetafile& page) {
  EnumerateMetafile(page, [this](const TEmfRecord& record, const TEmfState& state) {
    ExportEMFRecord(record, state);
    return true;  // every record of a page is delivered
  });
}

void TZdqExport::SaveMetafileToFile(const TMetafile* metafile, const std::string& fileName) {
  if (!metafile) return;
  intPageWidth = intTotalWidth = metafile->Width();
  intPageHeight = intTotalHeight = metafile->Height();
  StartExport();
  NewPage(0, 0);
  OffsetX = OffsetY = 0;
  ExportRecords(*metafile);
  PageProcessed(*metafile);
  SaveToFile(fileName);
  EndExport();
}

}  // namespace zd
