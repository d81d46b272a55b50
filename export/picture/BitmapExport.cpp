#include "export/picture/BitmapExport.h"

#include <stdexcept>

#include "export/detail/ExportOutput.h"
#include "export/picture/Tiff.h"
#include "host/core/Properties.h"

namespace zd {

namespace {

constexpr int kPageUnitsPerInch = 96;
constexpr int kJpegQuality = 90;

void writeBytes(std::ostream& out, const std::vector<uint8_t>& bytes) {
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

const TEnumNames kHandleTypeNames{"TBitmapHandleType", {"bmDIB", "bmDDB"}};
const TEnumNames kPixelFormatNames{
    "TPixelFormat", {"pfDevice", "pf1bit", "pf4bit", "pf8bit", "pf15bit", "pf16bit", "pf24bit", "pf32bit", "pfCustom"}};
const TEnumNames kTransparentModeNames{"TTransparentMode", {"tmAuto", "tmFixed"}};

}  // namespace

TZdqExportToBMP::TZdqExportToBMP(TComponent* owner) : TZdqExport(owner) {}

const TClassProperties* TZdqExportToBMP::PublishedProperties() const {
  using E = TZdqExportToBMP;
  static const TClassProperties props =
      TPropertiesOf<E>("TZdqExportToBMP", TZdqExport::PublishedProperties())
          .Enum("HandleType", &E::HandleType, [](E& e, TBitmapHandleType v) { e.HandleType = v; },
                kHandleTypeNames, TBitmapHandleType::bmDIB)
          .Boolean("Monochrome", &E::Monochrome, [](E& e, bool v) { e.Monochrome = v; }, false)
          .Enum("PixelFormat", &E::PixelFormat, [](E& e, TPixelFormat v) { e.PixelFormat = v; },
                kPixelFormatNames, TPixelFormat::pfDevice)
          .Boolean("Transparent", &E::Transparent, [](E& e, bool v) { e.Transparent = v; }, false)
          .Color("TransparentColor", &E::TransparentColor, [](E& e, uint32_t v) { e.TransparentColor = v; },
                 clBlack)
          .Enum("TransparentMode", &E::TransparentMode, [](E& e, TTransparentMode v) { e.TransparentMode = v; },
                kTransparentModeNames, TTransparentMode::tmAuto)
          .Integer("Resolution", &E::Resolution, &E::SetResolution, kPageUnitsPerInch)
          .Build();
  return &props;
}

void TZdqExportToBMP::SetResolution(int pixelsPerInch) {
  if (pixelsPerInch < 1) throw std::invalid_argument("the resolution must be at least 1 pixel per inch");
  resolution_ = pixelsPerInch;
}

int TZdqExportToBMP::toPixels(int units) const {
  return int((int64_t(units) * resolution_ + kPageUnitsPerInch / 2) / kPageUnitsPerInch);
}

void TZdqExportToBMP::StartExport() {
  TZdqExport::StartExport();
  bitmap_ = TBitmap();
}

void TZdqExportToBMP::EndExport() {
  bitmap_ = TBitmap();
  TZdqExport::EndExport();
}

void TZdqExportToBMP::PageProcessed(const TMetafile& page) {
  if (bitmap_.Empty()) {
    try {
      bitmap_.SetSize(toPixels(intTotalWidth), toPixels(intTotalHeight));
    } catch (const EGraphicsError& e) {
      throw EGraphicsError(std::string(e.what()) + "; export one file per page or at a lower resolution");
    }
    bitmap_.SetPixelsPerInch(resolution_);
  }
  // Both corners are scaled, so that neighbouring pages meet without a seam.
  const TRect where{toPixels(OffsetX), toPixels(OffsetY), toPixels(OffsetX + page.Width()),
                    toPixels(OffsetY + page.Height())};
  PlayMetafileOnBitmap(page, bitmap_, where);
}

void TZdqExportToBMP::SaveToFile(const std::string& fileName) {
  TZdqExport::SaveToFile(fileName);
  if (bitmap_.Empty()) return;
  TExportOutput output(fileName, DestinationStream());
  WritePicture(output.Stream(), bitmap_);
  output.Commit();
  bitmap_ = TBitmap();
}

TDib TZdqExportToBMP::DibOfSettings(const TBitmap& bitmap) const {
  return DibOf(bitmap, Monochrome ? TPixelFormat::pf1bit : PixelFormat);
}

void TZdqExportToBMP::WritePicture(std::ostream& out, const TBitmap& bitmap) const {
  writeBytes(out, BmpFileBytes(DibOfSettings(bitmap), resolution_));
}

void TZdqExportToJPEG::WritePicture(std::ostream& out, const TBitmap& bitmap) const {
  writeBytes(out, bitmap.SaveToBytes(TImageFormat::Jpeg, kJpegQuality));
}

void TZdqExportToTIFF::WritePicture(std::ostream& out, const TBitmap& bitmap) const {
  BMP2TIFFStream(out, DibOfSettings(bitmap));
}

void TZdqExportToPNG::WritePicture(std::ostream& out, const TBitmap& bitmap) const {
  writeBytes(out, bitmap.SaveToBytes(TImageFormat::Png));
}

}  // namespace zd
