#pragma once
// Device-independent bitmaps: the pixel rows and colour table a BMP or TIFF
// file is written from, in any of the pixel formats the bitmap exporters
// offer.
#include <cstdint>
#include <vector>

#include "host/graphics/Bitmap.h"

namespace zd {

enum class TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

struct TDib {
  int Width = 0;
  int Height = 0;  // negative: rows stored top-down
  int BitCount = 0;
  std::vector<uint32_t> Colors;  // colour table entries as 0x00RRGGBB
  // 16-bit pixels: the bits of each component (5-5-5 or 5-6-5).
  uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0;
  std::vector<uint8_t> Bits;  // rows padded to 4 bytes

  bool Empty() const { return Width <= 0 || Height == 0 || Bits.empty(); }
  int Rows() const { return Height < 0 ? -Height : Height; }
  size_t Stride() const { return (size_t(Width) * BitCount + 31) / 32 * 4; }
  // Row y counted from the top of the picture, whichever way rows are stored.
  const uint8_t* TopRow(int y) const;
  uint8_t* TopRow(int y) { return const_cast<uint8_t*>(static_cast<const TDib*>(this)->TopRow(y)); }
  // Red, green and blue of a pixel of a 16-, 24- or 32-bit bitmap.
  void RgbAt(int x, int y, uint8_t rgb[3]) const;
};

// The bitmap in the given format, bottom-up. Device and custom mean 24
// bits; 1, 4 and 8 bits map every pixel to the nearest colour of a fixed
// palette (black and white; the 16 standard colours; a 6×6×6 colour cube
// and 40 greys).
TDib DibOf(const TBitmap& bitmap, TPixelFormat format);

// A BMP file: file header, info header (bit fields for 5-6-5 pixels),
// colour table and rows.
std::vector<uint8_t> BmpFileBytes(const TDib& dib, int pixelsPerInch);

}  // namespace zd
