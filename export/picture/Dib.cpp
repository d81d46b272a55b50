#include "export/picture/Dib.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace zd {

namespace {

void put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}

uint32_t rgbOf(const uint8_t* bgr) { return uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0]; }
int redOf(uint32_t rgb) { return int(rgb >> 16 & 0xFF); }
int greenOf(uint32_t rgb) { return int(rgb >> 8 & 0xFF); }
int blueOf(uint32_t rgb) { return int(rgb & 0xFF); }

int distance(uint32_t a, uint32_t b) {
  const int dr = redOf(a) - redOf(b), dg = greenOf(a) - greenOf(b), db = blueOf(a) - blueOf(b);
  return dr * dr + dg * dg + db * db;
}

const std::vector<uint32_t>& standardColors() {
  static const std::vector<uint32_t> colors = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  return colors;
}

// 216 cube colours, then 40 greys between the cube's own.
const std::vector<uint32_t>& cubeColors() {
  static const std::vector<uint32_t> colors = [] {
    std::vector<uint32_t> c;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) c.push_back(uint32_t(r * 51) << 16 | uint32_t(g * 51) << 8 | uint32_t(b * 51));
    for (int i = 0; i < 40; ++i) {
      const uint32_t v = uint32_t((i + 1) * 255 / 41);
      c.push_back(v << 16 | v << 8 | v);
    }
    return c;
  }();
  return colors;
}

uint8_t nearestStandard(uint32_t rgb) {
  const auto& colors = standardColors();
  uint8_t best = 0;
  for (uint8_t i = 1; i < colors.size(); ++i)
    if (distance(rgb, colors[i]) < distance(rgb, colors[best])) best = i;
  return best;
}

uint8_t nearestInCube(uint32_t rgb) {
  const int r = (redOf(rgb) + 25) / 51, g = (greenOf(rgb) + 25) / 51, b = (blueOf(rgb) + 25) / 51;
  const uint8_t cube = uint8_t(r * 36 + g * 6 + b);
  // Greys are common on report pages (text edges), and the cube has only six.
  const int level = (redOf(rgb) + greenOf(rgb) + blueOf(rgb)) / 3;
  const int grey = std::clamp((level * 41 + 127) / 255 - 1, 0, 39);
  const uint8_t greyIndex = uint8_t(216 + grey);
  const auto& colors = cubeColors();
  return distance(rgb, colors[greyIndex]) < distance(rgb, colors[cube]) ? greyIndex : cube;
}

uint8_t blackOrWhite(uint32_t rgb) { return redOf(rgb) * 30 + greenOf(rgb) * 59 + blueOf(rgb) * 11 >= 12800 ? 1 : 0; }

void putIndex(uint8_t* row, int x, int bitCount, uint8_t index) {
  const int perByte = 8 / bitCount;
  const int shift = (perByte - 1 - x % perByte) * bitCount;
  row[x / perByte] |= uint8_t(index << shift);
}

TDib indexed(const TDib& rgb, int bitCount, const std::vector<uint32_t>& colors, uint8_t (*nearest)(uint32_t)) {
  TDib out{rgb.Width, rgb.Height, bitCount, colors};
  out.Bits.assign(out.Stride() * size_t(out.Rows()), 0);
  for (int y = 0; y < rgb.Rows(); ++y) {
    const uint8_t* src = rgb.TopRow(y);
    uint8_t* dst = out.TopRow(y);
    for (int x = 0; x < rgb.Width; ++x) putIndex(dst, x, bitCount, nearest(rgbOf(src + 3 * x)));
  }
  return out;
}

TDib sixteenBit(const TDib& rgb, int greenBits) {
  TDib out{rgb.Width, rgb.Height, 16};
  out.BlueMask = 0x1F;
  out.GreenMask = ((1u << greenBits) - 1) << 5;
  out.RedMask = 0x1Fu << (5 + greenBits);
  out.Bits.assign(out.Stride() * size_t(out.Rows()), 0);
  for (int y = 0; y < rgb.Rows(); ++y) {
    const uint8_t* src = rgb.TopRow(y);
    uint8_t* dst = out.TopRow(y);
    for (int x = 0; x < rgb.Width; ++x) {
      const uint8_t* p = src + 3 * x;
      const uint32_t v = uint32_t(p[2] >> 3) << (5 + greenBits) | uint32_t(p[1] >> (8 - greenBits)) << 5 | p[0] >> 3;
      dst[2 * x] = uint8_t(v);
      dst[2 * x + 1] = uint8_t(v >> 8);
    }
  }
  return out;
}

TDib thirtyTwoBit(const TDib& rgb) {
  TDib out{rgb.Width, rgb.Height, 32};
  out.Bits.assign(out.Stride() * size_t(out.Rows()), 0);
  for (int y = 0; y < rgb.Rows(); ++y) {
    const uint8_t* src = rgb.TopRow(y);
    uint8_t* dst = out.TopRow(y);
    for (int x = 0; x < rgb.Width; ++x)
      for (int c = 0; c < 3; ++c) dst[4 * x + c] = src[3 * x + c];
  }
  return out;
}

// A 5- or 6-bit component stretched to 8 bits, so that full scale stays 255.
uint8_t expand(uint32_t pixel, uint32_t mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!(mask >> shift & 1)) ++shift;
  const uint32_t max = mask >> shift;
  return uint8_t((pixel & mask) >> shift) * 255 / max;
}

}  // namespace

const uint8_t* TDib::TopRow(int y) const {
  const int stored = Height < 0 ? y : Rows() - 1 - y;
  return Bits.data() + size_t(stored) * Stride();
}

void TDib::RgbAt(int x, int y, uint8_t rgb[3]) const {
  const uint8_t* row = TopRow(y);
  if (BitCount == 16) {
    const uint32_t pixel = row[2 * x] | uint32_t(row[2 * x + 1]) << 8;
    rgb[0] = expand(pixel, RedMask);
    rgb[1] = expand(pixel, GreenMask);
    rgb[2] = expand(pixel, BlueMask);
    return;
  }
  const uint8_t* bgr = row + x * (BitCount / 8);
  rgb[0] = bgr[2];
  rgb[1] = bgr[1];
  rgb[2] = bgr[0];
}

TDib DibOf(const TBitmap& bitmap, TPixelFormat format) {
  if (bitmap.Empty()) return {};
  TDib rgb{bitmap.Width(), bitmap.Height(), 24};
  std::vector<uint8_t> info;
  bitmap.ToDib(info, rgb.Bits);
  switch (format) {
    case TPixelFormat::pf1bit: return indexed(rgb, 1, {0x000000, 0xFFFFFF}, blackOrWhite);
    case TPixelFormat::pf4bit: return indexed(rgb, 4, standardColors(), nearestStandard);
    case TPixelFormat::pf8bit: return indexed(rgb, 8, cubeColors(), nearestInCube);
    case TPixelFormat::pf15bit: return sixteenBit(rgb, 5);
    case TPixelFormat::pf16bit: return sixteenBit(rgb, 6);
    case TPixelFormat::pf32bit: return thirtyTwoBit(rgb);
    case TPixelFormat::pfDevice:
    case TPixelFormat::pf24bit:
    case TPixelFormat::pfCustom: break;
  }
  return rgb;
}

std::vector<uint8_t> BmpFileBytes(const TDib& dib, int pixelsPerInch) {
  constexpr uint32_t kFileHeader = 14, kInfoHeader = 40;
  constexpr uint32_t kBiRgb = 0, kBiBitFields = 3;
  // 5-5-5 is what plain 16-bit rows mean; any other layout names its masks.
  const bool bitFields = dib.BitCount == 16 && dib.GreenMask != 0x3E0;
  const uint32_t tableSize = bitFields ? 12 : uint32_t(dib.Colors.size()) * 4;
  const uint32_t bitsOffset = kFileHeader + kInfoHeader + tableSize;
  const uint32_t imageSize = uint32_t(dib.Bits.size());
  const uint32_t pixelsPerMetre = uint32_t((pixelsPerInch * 10000 + 127) / 254);

  std::vector<uint8_t> out;
  out.reserve(bitsOffset + imageSize);
  out.push_back('B');
  out.push_back('M');
  put32(out, bitsOffset + imageSize);
  put32(out, 0);
  put32(out, bitsOffset);
  put32(out, kInfoHeader);
  put32(out, uint32_t(dib.Width));
  put32(out, uint32_t(dib.Height));
  put16(out, 1);
  put16(out, uint32_t(dib.BitCount));
  put32(out, bitFields ? kBiBitFields : kBiRgb);
  put32(out, imageSize);
  put32(out, pixelsPerMetre);
  put32(out, pixelsPerMetre);
  put32(out, uint32_t(dib.Colors.size()));
  put32(out, 0);
  if (bitFields) {
    put32(out, dib.RedMask);
    put32(out, dib.GreenMask);
    put32(out, dib.BlueMask);
  }
  for (uint32_t color : dib.Colors) put32(out, color);  // 0x00RRGGBB is RGBQUAD's byte order
  out.insert(out.end(), dib.Bits.begin(), dib.Bits.end());
  return out;
}

}  // namespace zd
