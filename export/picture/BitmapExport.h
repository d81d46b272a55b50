#pragma once
// The picture exporters of the bitmap family: the pages are played onto
// one bitmap of the whole result (with one file per page, a bitmap of the
// page), which each format encodes its own way.
#include <cstdint>
#include <ostream>
#include <string>

#include "export/Export.h"
#include "export/picture/Dib.h"
#include "host/graphics/Bitmap.h"

namespace zd {

enum class TBitmapHandleType : uint8_t { bmDIB, bmDDB };
enum class TTransparentMode : uint8_t { tmAuto, tmFixed };

/// Saves the result as a BMP file in the chosen pixel format.
class TZdqExportToBMP : public TZdqExport {
 public:
  explicit TZdqExportToBMP(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToBMP"; }
  const TClassProperties* PublishedProperties() const override;

  void StartExport() override;
  void EndExport() override;
  void PageProcessed(const TMetafile& page) override;
  /// Writes the bitmap drawn since the last save and lets it go, so that
  /// with one file per page the next page starts on a bitmap of its own.
  void SaveToFile(const std::string& fileName) override;

  /// Pixels per inch of the picture; the pages are drawn scaled from their
  /// 96 units an inch. Below 1 raises std::invalid_argument.
  int Resolution() const { return resolution_; }
  void SetResolution(int pixelsPerInch);

  /// Monochrome and PixelFormat choose the rows of BMP and TIFF files
  /// (Monochrome means 1 bit); JPEG and PNG are always in true colour.
  bool Monochrome = false;
  TPixelFormat PixelFormat = TPixelFormat::pfDevice;
  /// How the bitmap would sit on a device; kept with the template, they
  /// leave the saved file as it is.
  TBitmapHandleType HandleType = TBitmapHandleType::bmDIB;
  bool Transparent = false;
  TColor TransparentColor = clBlack;
  TTransparentMode TransparentMode = TTransparentMode::tmAuto;

 protected:
  virtual void WritePicture(std::ostream& out, const TBitmap& bitmap) const;
  /// The rows as Monochrome and PixelFormat ask.
  TDib DibOfSettings(const TBitmap& bitmap) const;

 private:
  int toPixels(int units) const;

  int resolution_ = 96;
  TBitmap bitmap_;  // empty between a save and the next page
};

class TZdqExportToJPEG : public TZdqExportToBMP {
 public:
  using TZdqExportToBMP::TZdqExportToBMP;
  std::string ClassName() const override { return "TZdqExportToJPEG"; }

 protected:
  void WritePicture(std::ostream& out, const TBitmap& bitmap) const override;
};

class TZdqExportToTIFF : public TZdqExportToBMP {
 public:
  using TZdqExportToBMP::TZdqExportToBMP;
  std::string ClassName() const override { return "TZdqExportToTIFF"; }

 protected:
  void WritePicture(std::ostream& out, const TBitmap& bitmap) const override;
};

class TZdqExportToPNG : public TZdqExportToBMP {
 public:
  using TZdqExportToBMP::TZdqExportToBMP;
  std::string ClassName() const override { return "TZdqExportToPNG"; }

 protected:
  void WritePicture(std::ostream& out, const TBitmap& bitmap) const override;
};

}  // namespace zd
