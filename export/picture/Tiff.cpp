#include "export/picture/Tiff.h"

#include <string>

namespace zd {

namespace {

enum TTiffType : uint16_t { kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };

constexpr char kSoftware[] = "Mirel soft";
constexpr uint32_t kSoftwareLength = sizeof kSoftware - 1;  // written without its zero
constexpr uint32_t kHeaderSize = 8, kRationalSize = 8;
constexpr uint16_t kEntries = 15;

class TTiffBytes {
 public:
  void U16(uint32_t v) {
    bytes_ += char(v & 0xFF);
    bytes_ += char(v >> 8 & 0xFF);
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Raw(const void* data, size_t size) { bytes_.append(static_cast<const char*>(data), size); }
  // A SHORT value sits in the low half of the entry's value field.
  void Entry(uint16_t tag, TTiffType type, uint32_t count, uint32_t value) {
    U16(tag);
    U16(type);
    U32(count);
    U32(type == kShort && count == 1 ? value & 0xFFFF : value);
  }
  void Resolution() {
    U32(877);
    U32(10);
  }
  uint32_t Size() const { return uint32_t(bytes_.size()); }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

void header(TTiffBytes& tiff, uint32_t ifdOffset) {
  tiff.Raw("II", 2);
  tiff.U16(42);
  tiff.U32(ifdOffset);
}

void writePalette(std::ostream& out, const TDib& dib) {
  const int bits = dib.BitCount;
  const int width = bits == 8 ? dib.Width : dib.Width / bits * bits;
  const uint32_t rowBytes = uint32_t(bits == 8 ? width : bits == 4 ? width / 2 : width / 4);
  const uint32_t height = uint32_t(dib.Rows());
  const uint32_t colors = 1u << bits;
  const uint32_t xResolution = kHeaderSize + 6 * colors, yResolution = xResolution + kRationalSize;
  const uint32_t software = yResolution + kRationalSize, pixels = software + kSoftwareLength;
  const uint32_t ifd = pixels + height * rowBytes;

  TTiffBytes tiff;
  header(tiff, ifd);
  for (int shift : {16, 8, 0})
    for (uint32_t i = 0; i < colors; ++i)
      tiff.U16(i < dib.Colors.size() ? (dib.Colors[i] >> shift & 0xFF) << 8 : 0);
  tiff.Resolution();
  tiff.Resolution();
  tiff.Raw(kSoftware, kSoftwareLength);
  for (uint32_t y = 0; y < height; ++y) tiff.Raw(dib.TopRow(int(y)), rowBytes);
  tiff.U16(kEntries);
  tiff.Entry(254, kLong, 1, 0);
  tiff.Entry(256, kShort, 1, uint32_t(width));
  tiff.Entry(257, kShort, 1, height);
  tiff.Entry(258, kShort, 1, uint32_t(bits));
  tiff.Entry(259, kShort, 1, 1);
  tiff.Entry(262, kShort, 1, 3);
  tiff.Entry(273, kLong, 1, pixels);
  tiff.Entry(277, kShort, 1, 1);
  tiff.Entry(278, kLong, 1, height);
  tiff.Entry(279, kLong, 1, height * rowBytes);
  tiff.Entry(282, kRational, 1, xResolution);
  tiff.Entry(283, kRational, 1, yResolution);
  tiff.Entry(296, kShort, 1, 2);
  tiff.Entry(305, kAscii, kSoftwareLength, software);
  tiff.Entry(320, kShort, 3 * colors, kHeaderSize);
  tiff.U32(0);
  out.write(tiff.Bytes().data(), std::streamsize(tiff.Size()));
}

void writeRgb(std::ostream& out, const TDib& dib) {
  const uint32_t width = uint32_t(dib.Width), height = uint32_t(dib.Rows());
  const uint32_t xResolution = kHeaderSize, yResolution = xResolution + kRationalSize;
  const uint32_t bitsPerSample = yResolution + kRationalSize, software = bitsPerSample + 6;
  const uint32_t pixels = software + kSoftwareLength, ifd = pixels + width * 3 * height;

  TTiffBytes tiff;
  header(tiff, ifd);
  tiff.Resolution();
  tiff.Resolution();
  for (int i = 0; i < 3; ++i) tiff.U16(8);
  tiff.Raw(kSoftware, kSoftwareLength);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t rgb[3];
      dib.RgbAt(int(x), int(y), rgb);
      tiff.Raw(rgb, 3);
    }
  tiff.U16(kEntries);
  tiff.Entry(254, kLong, 1, 0);
  tiff.Entry(256, kShort, 1, width);
  tiff.Entry(257, kShort, 1, height);
  tiff.Entry(258, kShort, 3, bitsPerSample);
  tiff.Entry(259, kShort, 1, 1);
  tiff.Entry(262, kShort, 1, 2);
  tiff.Entry(273, kLong, 1, pixels);
  tiff.Entry(277, kShort, 1, 3);
  tiff.Entry(278, kLong, 1, height);
  tiff.Entry(279, kLong, 1, width * 3 * height);
  tiff.Entry(282, kRational, 1, xResolution);
  tiff.Entry(283, kRational, 1, yResolution);
  tiff.Entry(284, kShort, 1, 1);
  tiff.Entry(296, kShort, 1, 2);
  tiff.Entry(305, kAscii, kSoftwareLength, software);
  tiff.U32(0);
  out.write(tiff.Bytes().data(), std::streamsize(tiff.Size()));
}

}  // namespace

void BMP2TIFFStream(std::ostream& out, const TDib& dib) {
  if (dib.Empty() || dib.BitCount == 1) return;
  if (dib.BitCount <= 8)
    writePalette(out, dib);
  else
    writeRgb(out, dib);
}

}  // namespace zd
