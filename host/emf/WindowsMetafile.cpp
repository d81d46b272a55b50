#include "host/emf/WindowsMetafile.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "host/locale/CodePages.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

constexpr int kMaxCoordinate = 32767;
constexpr int kPageUnitsPerInch = 96;

enum : uint16_t {
  META_EOF = 0x0000, META_SAVEDC = 0x001E, META_SETBKMODE = 0x0102, META_RESTOREDC = 0x0127,
  META_SELECTOBJECT = 0x012D, META_SETTEXTALIGN = 0x012E, META_DELETEOBJECT = 0x01F0,
  META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209, META_SETWINDOWORG = 0x020B,
  META_SETWINDOWEXT = 0x020C, META_LINETO = 0x0213, META_MOVETO = 0x0214,
  META_CREATEPENINDIRECT = 0x02FA, META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC,
  META_INTERSECTCLIPRECT = 0x0416, META_ELLIPSE = 0x0418, META_RECTANGLE = 0x041B,
  META_ROUNDRECT = 0x061C, META_EXTTEXTOUT = 0x0A32, META_STRETCHDIB = 0x0F43,
};

class TWords {
 public:
  void U16(uint32_t v) {
    bytes.push_back(uint8_t(v));
    bytes.push_back(uint8_t(v >> 8));
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Raw(const uint8_t* data, size_t size) {
    bytes.insert(bytes.end(), data, data + size);
    if (size % 2) bytes.push_back(0);
  }
  std::vector<uint8_t> bytes;
};

// Records in 16-bit words, with the objects numbered as the older form
// does: each new object takes the lowest free slot.
class TWmfWriter {
 public:
  explicit TWmfWriter(double scale) : scale_(scale) {}

  int16_t Scaled(int32_t v) const {
    return int16_t(std::clamp<long>(std::lround(v * scale_), -kMaxCoordinate - 1, kMaxCoordinate));
  }
  void Record(uint16_t function, const TWords& params) {
    const uint32_t words = 3 + uint32_t(params.bytes.size() / 2);
    body_.U32(words);
    body_.U16(function);
    body_.bytes.insert(body_.bytes.end(), params.bytes.begin(), params.bytes.end());
    largest_ = std::max(largest_, words);
  }
  void Point(uint16_t function, const TEmfRecord& r, size_t at) {
    TWords p;
    p.U16(uint16_t(Scaled(r.I32(at + 4))));
    p.U16(uint16_t(Scaled(r.I32(at))));
    Record(function, p);
  }
  // The older form lists rectangles bottom, right, top, left.
  void Rect(TWords& p, const TRect& x) const {
    for (int32_t v : {x.Bottom, x.Right, x.Top, x.Left}) p.U16(uint16_t(Scaled(v)));
  }
  void Box(uint16_t function, const TEmfRecord& r) {
    TWords p;
    Rect(p, r.RectAt(8));
    Record(function, p);
  }
  void Value(uint16_t function, uint32_t value, bool wide) {
    TWords p;
    if (wide) p.U32(value);
    else {
      p.U16(value);
      p.U16(0);  // reserved
    }
    Record(function, p);
  }
  void Create(uint16_t function, uint32_t emfHandle, const TWords& params) {
    Delete(emfHandle);  // a slot reused without delete
    const auto freeSlot = std::find(used_.begin(), used_.end(), false);
    const uint16_t slot = uint16_t(freeSlot - used_.begin());
    if (freeSlot == used_.end()) used_.push_back(true);
    else *freeSlot = true;
    slots_[emfHandle] = slot;
    Record(function, params);
  }
  void Select(uint32_t emfHandle) {
    const auto it = slots_.find(emfHandle);
    if (it == slots_.end()) return;  // stock objects have no counterpart
    TWords p;
    p.U16(it->second);
    Record(META_SELECTOBJECT, p);
  }
  void Delete(uint32_t emfHandle) {
    const auto it = slots_.find(emfHandle);
    if (it == slots_.end()) return;
    TWords p;
    p.U16(it->second);
    Record(META_DELETEOBJECT, p);
    used_[it->second] = false;
    slots_.erase(it);
  }
  std::vector<uint8_t> File(int width, int height, int unitsPerInch) {
    Record(META_EOF, {});
    TWords out;
    // Placeable header: key, no handle, bounding box, units per inch, checksum.
    TWords placeable;
    placeable.U32(0x9AC6CDD7);
    placeable.U16(0);
    for (int v : {0, 0, width, height}) placeable.U16(uint16_t(v));
    placeable.U16(uint16_t(unitsPerInch));
    placeable.U32(0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < placeable.bytes.size(); i += 2)
      checksum ^= uint16_t(placeable.bytes[i] | placeable.bytes[i + 1] << 8);
    placeable.U16(checksum);
    out.bytes = placeable.bytes;
    out.U16(1);       // in memory
    out.U16(9);       // header words
    out.U16(0x0300);  // version
    out.U32(uint32_t(9 + body_.bytes.size() / 2));
    out.U16(uint16_t(used_.size()));
    out.U32(largest_);
    out.U16(0);
    out.bytes.insert(out.bytes.end(), body_.bytes.begin(), body_.bytes.end());
    return out.bytes;
  }

 private:
  double scale_;
  TWords body_;
  uint32_t largest_ = 3;
  std::vector<bool> used_;
  std::map<uint32_t, uint16_t> slots_;
};

std::vector<uint8_t> ansiText(const std::u16string& text) {
  const char16_t* cp1252 = SingleByteCodePage(1252);
  std::vector<uint8_t> bytes;
  for (char16_t c : text) bytes.push_back(EncodeSingleByte(c, cp1252).value_or('?'));
  return bytes;
}

void convertText(TWmfWriter& w, const TEmfRecord& r) {
  const uint32_t chars = r.U32(44), offString = r.U32(48), options = r.U32(52), offDx = r.U32(72);
  if (chars == 0 || chars > 0x7FFF) return;
  std::u16string text;
  for (uint32_t i = 0; i < chars; ++i) text.push_back(char16_t(r.U16(offString + 2 * i)));
  const std::vector<uint8_t> ansi = ansiText(text);
  TWords p;
  p.U16(uint16_t(w.Scaled(r.I32(40))));
  p.U16(uint16_t(w.Scaled(r.I32(36))));
  p.U16(chars);
  const uint32_t opaqueOrClipped = options & 6;
  p.U16(opaqueOrClipped);
  if (opaqueOrClipped) {
    // Here the rectangle runs left, top, right, bottom.
    const TRect c = r.RectAt(56);
    for (int32_t v : {c.Left, c.Top, c.Right, c.Bottom}) p.U16(uint16_t(w.Scaled(v)));
  }
  p.Raw(ansi.data(), ansi.size());
  if (offDx)
    for (uint32_t i = 0; i < chars; ++i) p.U16(uint16_t(w.Scaled(r.I32(offDx + 4 * i))));
  w.Record(META_EXTTEXTOUT, p);
}

void convertBitmap(TWmfWriter& w, const TEmfRecord& r) {
  const uint32_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
  if (!cbBmi || offBmi > r.Size || cbBmi > r.Size - offBmi || offBits > r.Size || cbBits > r.Size - offBits) return;
  TWords p;
  p.U32(r.U32(68));  // raster operation
  p.U16(r.U32(64));  // colour usage
  for (size_t at : {44, 40, 36, 32}) p.U16(uint16_t(int16_t(r.I32(at))));  // source: height, width, y, x
  p.U16(uint16_t(w.Scaled(r.I32(76))));
  p.U16(uint16_t(w.Scaled(r.I32(72))));
  p.U16(uint16_t(w.Scaled(r.I32(28))));
  p.U16(uint16_t(w.Scaled(r.I32(24))));
  p.bytes.insert(p.bytes.end(), r.Data + offBmi, r.Data + offBmi + cbBmi);
  p.Raw(r.Data + offBits, cbBits);
  w.Record(META_STRETCHDIB, p);
}

void convertFont(TWmfWriter& w, const TEmfRecord& r) {
  TWords p;
  p.U16(uint16_t(w.Scaled(r.I32(12))));  // height
  p.U16(uint16_t(w.Scaled(r.I32(16))));  // width
  for (size_t at : {20, 24, 28}) p.U16(uint16_t(r.I32(at)));  // escapement, orientation, weight
  for (size_t at = 32; at < 40; ++at) p.bytes.push_back(r.Data[at]);
  std::u16string face;
  for (size_t at = 40; at < 104 && r.U16(at); at += 2) face.push_back(char16_t(r.U16(at)));
  std::vector<uint8_t> name = ansiText(face);
  name.resize(32, 0);
  name.back() = 0;
  p.Raw(name.data(), name.size());
  w.Create(META_CREATEFONTINDIRECT, r.U32(8), p);
}

void convert(TWmfWriter& w, const TEmfRecord& r) {
  switch (r.Type) {
    case EMR_CREATEPEN: {
      TWords p;
      p.U16(r.U32(12));
      p.U16(uint16_t(w.Scaled(r.I32(16))));
      p.U16(0);
      p.U32(r.U32(24));
      w.Create(META_CREATEPENINDIRECT, r.U32(8), p);
      break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
      TWords p;
      p.U16(r.U32(12));
      p.U32(r.U32(16));
      p.U16(r.U32(20));
      w.Create(META_CREATEBRUSHINDIRECT, r.U32(8), p);
      break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: convertFont(w, r); break;
    case EMR_SELECTOBJECT: w.Select(r.U32(8)); break;
    case EMR_DELETEOBJECT: w.Delete(r.U32(8)); break;
    case EMR_SETTEXTCOLOR: w.Value(META_SETTEXTCOLOR, r.U32(8), true); break;
    case EMR_SETBKCOLOR: w.Value(META_SETBKCOLOR, r.U32(8), true); break;
    case EMR_SETBKMODE: w.Value(META_SETBKMODE, r.U32(8), false); break;
    case EMR_SETTEXTALIGN: w.Value(META_SETTEXTALIGN, r.U32(8), false); break;
    case EMR_SAVEDC: w.Record(META_SAVEDC, {}); break;
    case EMR_RESTOREDC: {
      TWords p;
      p.U16(uint16_t(int16_t(r.I32(8))));
      w.Record(META_RESTOREDC, p);
      break;
    }
    case EMR_INTERSECTCLIPRECT: w.Box(META_INTERSECTCLIPRECT, r); break;
    case EMR_MOVETOEX: w.Point(META_MOVETO, r, 8); break;
    case EMR_LINETO: w.Point(META_LINETO, r, 8); break;
    case EMR_RECTANGLE: w.Box(META_RECTANGLE, r); break;
    case EMR_ELLIPSE: w.Box(META_ELLIPSE, r); break;
    case EMR_ROUNDRECT: {
      TWords p;
      p.U16(uint16_t(w.Scaled(r.I32(28))));
      p.U16(uint16_t(w.Scaled(r.I32(24))));
      w.Rect(p, r.RectAt(8));
      w.Record(META_ROUNDRECT, p);
      break;
    }
    case EMR_EXTTEXTOUTW: convertText(w, r); break;
    case EMR_STRETCHDIBITS: convertBitmap(w, r); break;
    default: break;
  }
}

}  // namespace

std::vector<uint8_t> WindowsMetafileOf(const TMetafile& emf) {
  const int extent = std::max({emf.Width(), emf.Height(), 1});
  const double scale = extent > kMaxCoordinate ? double(kMaxCoordinate) / extent : 1.0;
  TWmfWriter w(scale);
  const int width = w.Scaled(emf.Width()), height = w.Scaled(emf.Height());
  TWords origin, size;
  origin.U16(0);
  origin.U16(0);
  size.U16(uint16_t(height));
  size.U16(uint16_t(width));
  w.Record(META_SETWINDOWORG, origin);
  w.Record(META_SETWINDOWEXT, size);
  EnumerateMetafile(emf, [&](const TEmfRecord& r, const TEmfState&) {
    convert(w, r);
    return true;
  });
  return w.File(width, height, std::max(1, int(std::lround(kPageUnitsPerInch * scale))));
}

}  // namespace zd
