#include "host/graphics/Bitmap.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <cstring>

#include "host/graphics/QtGraphics.h"

namespace zd {

struct TBitmap::Impl {
  QImage img;
};

namespace {
// Refuse images whose pixel buffer would be absurd; a corrupt header must not
// make us allocate gigabytes.
constexpr int64_t kMaxPixels = 64LL * 1024 * 1024;

uint32_t rd32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t rd16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
void wr32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}
void wr16(std::vector<uint8_t>& v, uint16_t x) { v.push_back(uint8_t(x)); v.push_back(uint8_t(x >> 8)); }
int lowBit(uint32_t m) { int s = 0; if (!m) return 0; while (!(m & 1)) { m >>= 1; ++s; } return s; }
int maskBits(uint32_t m) { m >>= lowBit(m); int n = 0; while (m & 1) { m >>= 1; ++n; } return n; }
uint8_t channel(uint32_t px, uint32_t mask) {
  if (!mask) return 0;
  uint32_t v = (px & mask) >> lowBit(mask);
  int bits = maskBits(mask);
  if (bits >= 8) return uint8_t(v >> (bits - 8));
  uint32_t maxv = (1u << bits) - 1;
  return uint8_t(v * 255 / maxv);
}
}  // namespace

TBitmap::TBitmap() : d_(std::make_unique<Impl>()) {}
TBitmap::TBitmap(int w, int h, TColor fill) : TBitmap() { SetSize(w, h, fill); }
TBitmap::TBitmap(const TBitmap& o) : d_(std::make_unique<Impl>(*o.d_)) {}
TBitmap& TBitmap::operator=(const TBitmap& o) { if (this != &o) *d_ = *o.d_; return *this; }
TBitmap::TBitmap(TBitmap&& o) noexcept : d_(std::make_unique<Impl>()) { std::swap(d_, o.d_); }
TBitmap& TBitmap::operator=(TBitmap&& o) noexcept { std::swap(d_, o.d_); return *this; }
TBitmap::~TBitmap() = default;

int TBitmap::Width() const { return d_->img.width(); }
int TBitmap::Height() const { return d_->img.height(); }
bool TBitmap::Empty() const { return d_->img.isNull(); }

void TBitmap::SetSize(int w, int h, TColor fill) {
  if (w < 0 || h < 0 || int64_t(w) * h > kMaxPixels)
    throw EGraphicsError("bitmap size out of range: " + std::to_string(w) + "x" + std::to_string(h));
  if (w == 0 || h == 0) { d_->img = QImage(); return; }
  d_->img = QImage(w, h, QImage::Format_RGB32);
  d_->img.fill(ToQColor(fill));
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) throw EGraphicsError("pixel outside the bitmap");
  return FromQColor(QColor(d_->img.pixel(x, y)));
}
void TBitmap::SetPixel(int x, int y, TColor c) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) throw EGraphicsError("pixel outside the bitmap");
  d_->img.setPixel(x, y, ToQColor(c).rgb());
}

void TBitmap::SetPixelsPerInch(int ppi) {
  const int perMetre = (ppi * 10000 + 127) / 254;
  d_->img.setDotsPerMeterX(perMetre);
  d_->img.setDotsPerMeterY(perMetre);
}

void TBitmap::LoadFromBytes(const std::vector<uint8_t>& data) {
  QImage img;
  if (data.empty() || !img.loadFromData(data.data(), int(std::min<size_t>(data.size(), INT32_MAX))))
    throw EGraphicsError("image data not recognised or corrupt");
  if (int64_t(img.width()) * img.height() > kMaxPixels) throw EGraphicsError("image too large");
  d_->img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

void TBitmap::LoadFromFile(const std::string& path) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) throw EGraphicsError("cannot open image file: " + path);
  QByteArray b = f.readAll();
  LoadFromBytes(std::vector<uint8_t>(b.begin(), b.end()));
}

std::vector<uint8_t> TBitmap::SaveToBytes(TImageFormat fmt, int quality) const {
  if (Empty()) throw EGraphicsError("cannot save an empty bitmap");
  QByteArray out;
  QBuffer buf(&out);
  buf.open(QIODevice::WriteOnly);
  const char* f = fmt == TImageFormat::Bmp ? "BMP" : fmt == TImageFormat::Png ? "PNG" : "JPEG";
  // For PNG Qt reads the quality as the compression effort: the fastest
  // level costs a fifth more bytes on a page of text and saves most of the time.
  constexpr int kFastPng = 85;  // zlib level 1
  if (!d_->img.save(&buf, f, fmt == TImageFormat::Jpeg ? quality : fmt == TImageFormat::Png ? kFastPng : -1))
    throw EGraphicsError(std::string("cannot encode image as ") + f);
  return std::vector<uint8_t>(out.begin(), out.end());
}

void TBitmap::SaveToFile(const std::string& path, TImageFormat fmt) const {
  auto bytes = SaveToBytes(fmt);
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::WriteOnly) || f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()))
    throw EGraphicsError("cannot write image file: " + path);
}

void TBitmap::ToDib(std::vector<uint8_t>& info, std::vector<uint8_t>& bits) const {
  const int w = Width(), h = Height();
  info.clear();
  wr32(info, 40); wr32(info, uint32_t(w)); wr32(info, uint32_t(h));
  wr16(info, 1); wr16(info, 24);
  wr32(info, 0);  // BI_RGB
  const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
  wr32(info, stride * uint32_t(h));
  wr32(info, 3780); wr32(info, 3780);  // 96 dpi in pixels per metre
  wr32(info, 0); wr32(info, 0);
  bits.assign(size_t(stride) * h, 0);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = bits.data() + size_t(h - 1 - y) * stride;
    const QRgb* src = reinterpret_cast<const QRgb*>(d_->img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      row[x * 3] = uint8_t(qBlue(src[x]));
      row[x * 3 + 1] = uint8_t(qGreen(src[x]));
      row[x * 3 + 2] = uint8_t(qRed(src[x]));
    }
  }
}

TBitmap TBitmap::FromDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize) {
  if (!info || infoSize < 12) throw EGraphicsError("bitmap header too short");
  const uint32_t hdr = rd32(info);
  if (hdr > infoSize) throw EGraphicsError("bitmap header size exceeds its data");
  int64_t w, h;
  uint32_t bpp, comp = 0, clrUsed = 0;
  if (hdr == 12) {  // core header
    w = rd16(info + 4); h = int16_t(rd16(info + 6)); bpp = rd16(info + 10);
  } else if (hdr >= 40) {
    w = int32_t(rd32(info + 4)); h = int32_t(rd32(info + 8));
    bpp = rd16(info + 14); comp = rd32(info + 16); clrUsed = rd32(info + 32);
  } else {
    throw EGraphicsError("unsupported bitmap header size " + std::to_string(hdr));
  }
  const bool topDown = h < 0;
  if (topDown) h = -h;
  if (w <= 0 || h <= 0 || w * h > kMaxPixels) throw EGraphicsError("bitmap dimensions out of range");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    throw EGraphicsError("unsupported bitmap depth " + std::to_string(bpp));
  if (comp != 0 && comp != 3) throw EGraphicsError("compressed bitmaps are not supported");
  uint32_t rMask = 0, gMask = 0, bMask = 0;
  size_t pos = hdr;
  if (comp == 3) {
    if (bpp != 16 && bpp != 32) throw EGraphicsError("bitfields need 16 or 32 bits per pixel");
    if (hdr >= 52) { rMask = rd32(info + 40); gMask = rd32(info + 44); bMask = rd32(info + 48); }
    else {
      if (infoSize < pos + 12) throw EGraphicsError("bitmap colour masks missing");
      rMask = rd32(info + pos); gMask = rd32(info + pos + 4); bMask = rd32(info + pos + 8);
      pos += 12;
    }
  } else if (bpp == 16) { rMask = 0x7C00; gMask = 0x03E0; bMask = 0x001F; }
  else if (bpp == 32) { rMask = 0xFF0000; gMask = 0xFF00; bMask = 0xFF; }
  std::vector<TColor> palette;
  if (bpp <= 8) {
    uint32_t n = clrUsed ? clrUsed : (1u << bpp);
    if (n > 256) throw EGraphicsError("bitmap palette too large");
    const size_t entry = hdr == 12 ? 3 : 4;
    if (pos + n * entry > infoSize) throw EGraphicsError("bitmap palette truncated");
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t* e = info + pos + i * entry;
      palette.push_back(RGBColor(e[2], e[1], e[0]));
    }
  }
  const size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
  if (!bits || bitsSize < stride * size_t(h)) throw EGraphicsError("bitmap pixel data truncated");
  TBitmap out{int(w), int(h)};
  QImage& img = out.d_->img;
  for (int64_t y = 0; y < h; ++y) {
    const uint8_t* row = bits + stride * size_t(topDown ? y : h - 1 - y);
    QRgb* dst = reinterpret_cast<QRgb*>(img.scanLine(int(y)));
    for (int64_t x = 0; x < w; ++x) {
      TColor c = 0;
      if (bpp <= 8) {
        size_t bit = size_t(x) * bpp;
        uint32_t idx = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        c = idx < palette.size() ? palette[idx] : 0;
      } else if (bpp == 24) {
        const uint8_t* p = row + x * 3;
        c = RGBColor(p[2], p[1], p[0]);
      } else {
        uint32_t px = bpp == 16 ? rd16(row + x * 2) : rd32(row + x * 4);
        c = RGBColor(channel(px, rMask), channel(px, gMask), channel(px, bMask));
      }
      dst[x] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
    }
  }
  return out;
}

const QImage& ToQImage(const TBitmap& b) { return b.impl()->img; }
QImage& ToQImage(TBitmap& b) { return b.impl()->img; }
TBitmap FromQImage(const QImage& img) {
  TBitmap b;
  if (int64_t(img.width()) * img.height() > 64LL * 1024 * 1024) throw EGraphicsError("image too large");
  b.impl()->img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  return b;
}

// ---- TPicture ----

void TPicture::LoadFromBytes(const std::vector<uint8_t>& data) {
  Clear();
  auto starts = [&](std::initializer_list<uint8_t> sig) {
    return data.size() >= sig.size() && std::equal(sig.begin(), sig.end(), data.begin());
  };
  if (data.size() >= 88 && rd32(data.data()) == 1 && rd32(data.data() + 40) == 0x464D4520) {
    // rclFrame is in hundredths of a millimetre.
    int32_t l = int32_t(rd32(data.data() + 24)), t = int32_t(rd32(data.data() + 28));
    int32_t r = int32_t(rd32(data.data() + 32)), b = int32_t(rd32(data.data() + 36));
    metaW_ = int(std::clamp<int64_t>(((int64_t(r) - l + 1) * 96 + 1270) / 2540, 0, INT32_MAX));
    metaH_ = int(std::clamp<int64_t>(((int64_t(b) - t + 1) * 96 + 1270) / 2540, 0, INT32_MAX));
    kind_ = TPictureKind::Metafile;
    data_ = data;
    return;
  }
  TPictureKind k;
  if (starts({0xFF, 0xD8, 0xFF})) k = TPictureKind::Jpeg;
  else if (starts({0x89, 'P', 'N', 'G'})) k = TPictureKind::Png;
  else if (starts({'B', 'M'})) k = TPictureKind::Bitmap;
  else throw EGraphicsError("picture format not recognised");
  TBitmap b;
  b.LoadFromBytes(data);
  bitmap_ = std::move(b);
  kind_ = k;
  if (k != TPictureKind::Bitmap) data_ = data;
}

void TPicture::LoadFromFile(const std::string& path) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) throw EGraphicsError("cannot open picture file: " + path);
  QByteArray b = f.readAll();
  LoadFromBytes(std::vector<uint8_t>(b.begin(), b.end()));
}

int TPicture::Width() const { return kind_ == TPictureKind::Metafile ? metaW_ : bitmap_.Width(); }
int TPicture::Height() const { return kind_ == TPictureKind::Metafile ? metaH_ : bitmap_.Height(); }

}  // namespace zd
