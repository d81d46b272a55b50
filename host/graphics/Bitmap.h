#pragma once
// Raster image of 32-bit pixels; Qt stays behind the pimpl.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Errors.h"
#include "host/graphics/Canvas.h"

namespace zd {

class EGraphicsError : public EZdError {
 public:
  using EZdError::EZdError;
};

enum class TImageFormat { Bmp, Png, Jpeg };

class TBitmap {
 public:
  TBitmap();
  TBitmap(int width, int height, TColor fill = clWhite);
  TBitmap(const TBitmap&);
  TBitmap& operator=(const TBitmap&);
  TBitmap(TBitmap&&) noexcept;
  TBitmap& operator=(TBitmap&&) noexcept;
  ~TBitmap();

  int Width() const;
  int Height() const;
  bool Empty() const;
  void SetSize(int width, int height, TColor fill = clWhite);
  TColor Pixel(int x, int y) const;          // throws out of range
  void SetPixel(int x, int y, TColor c);
  // Written into PNG and JPEG files so viewers print them at their size.
  void SetPixelsPerInch(int ppi);

  // Format is detected from the content on load; errors throw EGraphicsError.
  void LoadFromBytes(const std::vector<uint8_t>& data);
  void LoadFromFile(const std::string& path);
  std::vector<uint8_t> SaveToBytes(TImageFormat fmt = TImageFormat::Png, int jpegQuality = 90) const;
  void SaveToFile(const std::string& path, TImageFormat fmt) const;

  // Device-independent bitmap: BITMAPINFOHEADER (40 bytes) and bottom-up bits.
  void ToDib(std::vector<uint8_t>& info, std::vector<uint8_t>& bits) const;  // 24 bpp
  // Reads 1/4/8/16/24/32 bpp uncompressed (or bitfields) DIBs; checks every size.
  static TBitmap FromDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize);

  struct Impl;
  Impl* impl() const { return d_.get(); }

 private:
  std::unique_ptr<Impl> d_;
};

// A picture in one of the forms the report can hold. Graphic bytes are kept
// as loaded so they can be streamed back unchanged.
enum class TPictureKind { Empty, Bitmap, Jpeg, Png, Metafile };

class TPicture {
 public:
  TPictureKind Kind() const { return kind_; }
  bool Empty() const { return kind_ == TPictureKind::Empty; }
  void Clear() { kind_ = TPictureKind::Empty; bitmap_ = TBitmap(); data_.clear(); }
  void SetBitmap(const TBitmap& b) { Clear(); kind_ = TPictureKind::Bitmap; bitmap_ = b; }
  // Detects BMP/JPEG/PNG/EMF by signature; throws EGraphicsError otherwise.
  void LoadFromBytes(const std::vector<uint8_t>& data);
  void LoadFromFile(const std::string& path);
  // Raster content (decoded once for JPEG/PNG); empty for a metafile.
  const TBitmap& Bitmap() const { return bitmap_; }
  // Original file bytes for JPEG, PNG and metafile pictures.
  const std::vector<uint8_t>& Data() const { return data_; }
  int Width() const;   // page units; metafiles report their frame
  int Height() const;

 private:
  TPictureKind kind_ = TPictureKind::Empty;
  TBitmap bitmap_;
  std::vector<uint8_t> data_;
  int metaW_ = 0, metaH_ = 0;
};

}  // namespace zd
