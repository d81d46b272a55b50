#include "export/Export.h"

#include "host/core/Properties.h"

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

const TClassProperties* TZdProperty::PublishedProperties() const {
  static const TClassProperties props =
      TPropertiesOf<TZdProperty>("TZdProperty", nullptr)
          .String("Author", &TZdProperty::Author, [](TZdProperty& p, const std::string& v) { p.Author = v; })
          .String("Title", &TZdProperty::Title, [](TZdProperty& p, const std::string& v) { p.Title = v; })
          .String("Subject", &TZdProperty::Subject, [](TZdProperty& p, const std::string& v) { p.Subject = v; })
          .String("Keywords", &TZdProperty::Keywords,
                  [](TZdProperty& p, const std::string& v) { p.Keywords = v; })
          .StringList("Comments", [](TZdProperty& p) -> TStrings& { return p.Comments(); })
          .Build();
  return &props;
}

TZdqExport::TZdqExport(TComponent* owner) : TComponent(owner) {}

const TClassProperties* TZdqExport::PublishedProperties() const {
  static const TClassProperties props =
      TPropertiesOf<TZdqExport>("TZdqExport", nullptr)
          .Integer("OffsetX", &TZdqExport::OffsetX, [](TZdqExport& e, int v) { e.OffsetX = v; }, 0)
          .Integer("OffsetY", &TZdqExport::OffsetY, [](TZdqExport& e, int v) { e.OffsetY = v; }, 0)
          .Object("Properties", [](TZdqExport& e) -> TPersistent& { return e.Properties(); })
          .Build();
  return &props;
}

void TZdqExport::StartExport() {
  ReplacedCharacters = 0;
  if (OnStartExecute) OnStartExecute(this);
}

void TZdqExport::EndExport() {
  layoutPass_ = false;
  if (OnEndExecute) OnEndExecute(this);
}

void TZdqExport::NewPage(int, int) {
  if (OnNewPage && !layoutPass_) OnNewPage(this);
}

void TZdqExport::ExportEMFRecord(const TEmfRecord& record, const TEmfState&) {
  if (OnRecord && !layoutPass_) {
    bool accept = true;
    OnRecord(this, record, accept);
  }
}

void TZdqExport::SaveToFile(const std::string& fileName) {
  destinationFileName_ = fileName;
  OffsetX = 0;
  OffsetY = 0;
}

void TZdqExport::BeginResult(const std::string& fileName) { destinationFileName_ = fileName; }

void TZdqExport::BeginLayoutPass() { layoutPass_ = true; }

void TZdqExport::EndLayoutPass(const std::string& fileName) {
  layoutPass_ = false;
  destinationFileName_ = fileName;
}

void TZdqExport::PageProcessed(const TMetafile&) {}

bool ZdqEnumEMFRecordsProc(const TEmfRecord& record, const TEmfState& state, TZdqExport* exporter) {
  if (exporter) exporter->ExportEMFRecord(record, state);
  return true;
}

void TZdqExport::ExportRecords(const TMetafile& page) {
  EnumerateMetafile(page, [this](const TEmfRecord& record, const TEmfState& state) {
    return ZdqEnumEMFRecordsProc(record, state, this);
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
