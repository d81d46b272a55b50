#include "export/picture/MetafileExport.h"

#include "export/detail/ExportOutput.h"
#include "host/emf/WindowsMetafile.h"

namespace zd {

TZdqExportToEMF::TZdqExportToEMF(TComponent* owner) : TZdqExport(owner) {}
TZdqExportToEMF::~TZdqExportToEMF() = default;

void TZdqExportToEMF::StartExport() {
  TZdqExport::StartExport();
  picture_.reset();
}

void TZdqExportToEMF::EndExport() {
  picture_.reset();
  TZdqExport::EndExport();
}

void TZdqExportToEMF::PageProcessed(const TMetafile& page) {
  if (!picture_) picture_ = std::make_unique<TMetafileAssembly>(intTotalWidth, intTotalHeight);
  picture_->Add(page, {OffsetX, OffsetY});
}

void TZdqExportToEMF::SaveToFile(const std::string& fileName) {
  TZdqExport::SaveToFile(fileName);
  if (!picture_ || picture_->Empty()) return;
  TExportOutput output(fileName, DestinationStream());
  WriteMetafile(output.Stream(), picture_->Finish());
  output.Commit();
  picture_.reset();
}

void TZdqExportToEMF::WriteMetafile(std::ostream& out, const TMetafile& picture) const {
  out.write(reinterpret_cast<const char*>(picture.Bytes().data()), std::streamsize(picture.Bytes().size()));
}

void TZdqExportToWMF::WriteMetafile(std::ostream& out, const TMetafile& picture) const {
  const std::vector<uint8_t> bytes = WindowsMetafileOf(picture);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace zd
