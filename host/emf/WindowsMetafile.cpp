#include "host/emf/WindowsMetafile.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "host/locale/CodePages.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

constexpr int kMaxCoordinate = 32767;
constexpr int kPageUnitsPerInch = 96;
// Wider character advances come only from damaged files.
constexpr int32_t kMaxAdvance = 1 << 16;

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
  void CreateFont(uint32_t emfHandle, const TWords& params) {
    Create(META_CREATEFONTINDIRECT, emfHandle, params);
    fonts_.insert(emfHandle);
  }
  void Select(uint32_t emfHandle) {
    const auto it = slots_.find(emfHandle);
    if (it == slots_.end()) return;  // stock objects have no counterpart
    if (fonts_.count(emfHandle)) selectedFont_ = emfHandle;
    TWords p;
    p.U16(it->second);
    Record(META_SELECTOBJECT, p);
  }
  // Runs draw() with a font made from params selected in place of the
  // current one, unless the current one already serves.
  template <typename Draw>
  void WithFont(const TWords& params, bool currentServes, Draw draw) {
    if (currentServes) return draw();
    const uint32_t selected = selectedFont_;
    Create(META_CREATEFONTINDIRECT, kScratchHandle, params);
    Select(kScratchHandle);
    draw();
    Select(selected);
    Delete(kScratchHandle);
    selectedFont_ = selected;
  }
  void Delete(uint32_t emfHandle) {
    const auto it = slots_.find(emfHandle);
    if (it == slots_.end()) return;
    fonts_.erase(emfHandle);
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
  // A handle no recording uses (stock objects set the top bit, others count up).
  static constexpr uint32_t kScratchHandle = 0x7FFFFFFF;
  std::set<uint32_t> fonts_;
  uint32_t selectedFont_ = 0;
};

// A character of the text with its advance (both halves of a surrogate pair).
struct TTextChar {
  char32_t code;
  int32_t advance;
};

std::vector<TTextChar> textChars(const std::u16string& text, const std::vector<int32_t>& dx) {
  std::vector<TTextChar> out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    int32_t advance = i < dx.size() ? dx[i] : 0;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      if (++i < dx.size()) advance += dx[i];
    }
    out.push_back({c, advance});
  }
  return out;
}

// A face name in the code page of the font's character set, as readers
// decode it: 31 bytes at most and a terminating zero, never cut inside a
// double-byte character.
std::vector<uint8_t> faceName(const std::string& name, int charset) {
  const int codePage = CodePageOfCharset(charset, 1252);
  std::vector<uint8_t> bytes;
  for (const TTextChar& c : textChars(Utf8ToUtf16(name), {})) {
    const std::string encoded = EncodeInCodePage(c.code, codePage).value_or("?");
    if (bytes.size() + encoded.size() > 31) break;
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
  }
  bytes.resize(32, 0);
  return bytes;
}

TWords fontRecord(const TWmfWriter& w, const TEmfLogFont& f, int charset) {
  TWords p;
  p.U16(uint16_t(w.Scaled(f.Height)));
  p.U16(uint16_t(w.Scaled(f.Width)));
  for (int32_t v : {f.Escapement, f.Orientation, f.Weight}) p.U16(uint16_t(v));
  for (uint8_t b : {f.Italic, f.Underline, f.StrikeOut, uint8_t(charset), f.OutPrecision, f.ClipPrecision,
                    f.Quality, f.PitchAndFamily})
    p.bytes.push_back(b);
  const std::vector<uint8_t> name = faceName(f.FaceName, charset);
  p.Raw(name.data(), name.size());
  return p;
}

// The older form holds 8-bit text in the code page of its font's character
// set. Code pages tried, in order, for characters the font's own lacks.
constexpr int kTextCodePages[] = {1252, 1250, 1251, 1253, 1254, 1257, 1258, 1255, 1256, 874, 932, 936, 949, 950};

bool holds(int codePage, const std::vector<TTextChar>& chars) {
  return std::all_of(chars.begin(), chars.end(),
                     [&](const TTextChar& c) { return EncodeInCodePage(c.code, codePage).has_value(); });
}

// The font's own code page first, so that text it can hold is written as it
// always was; then those that can also spell the font's face name, so that a
// reader finds the font.
std::vector<int> codePageOrder(int fontCodePage, const std::string& face) {
  const std::vector<TTextChar> faceChars = textChars(Utf8ToUtf16(face), {});
  std::vector<int> order{fontCodePage};
  for (bool spellsFace : {true, false})
    for (int cp : kTextCodePages)
      if (cp != fontCodePage && holds(cp, faceChars) == spellsFace) order.push_back(cp);
  return order;
}

// A stretch of text in one code page, with an advance per byte (a
// double-byte character's second byte advances nothing).
struct TTextRun {
  int codePage = 1252;
  std::string bytes;
  std::vector<int32_t> dx;
  int64_t advance = 0;
};

void append(TTextRun& run, const std::string& bytes, int32_t advance) {
  run.bytes += bytes;
  run.dx.push_back(advance);
  run.dx.resize(run.bytes.size(), 0);
  run.advance += advance;
}

// The whole text in one code page, the first in `order` that holds every character.
std::optional<TTextRun> singleRun(const std::vector<TTextChar>& chars, const std::vector<int>& order) {
  for (int cp : order) {
    TTextRun run{cp, {}, {}, 0};
    bool whole = true;
    for (const TTextChar& c : chars) {
      const auto bytes = EncodeInCodePage(c.code, cp);
      if (!bytes) {
        whole = false;
        break;
      }
      append(run, *bytes, c.advance);
    }
    if (whole) return run;
  }
  return std::nullopt;
}

// Runs that together hold the text: each character joins the current run
// when its code page has it, else starts a run in the first in `order` that
// does; a character no code page has becomes "?".
std::vector<TTextRun> mixedRuns(const std::vector<TTextChar>& chars, const std::vector<int>& order) {
  std::vector<TTextRun> runs;
  for (const TTextChar& c : chars) {
    std::optional<std::string> bytes;
    if (!runs.empty()) bytes = EncodeInCodePage(c.code, runs.back().codePage);
    if (!bytes) {
      int codePage = 0;
      for (int cp : order)
        if ((bytes = EncodeInCodePage(c.code, cp))) {
          codePage = cp;
          break;
        }
      if (!bytes) {
        bytes = "?";
        codePage = runs.empty() ? order.front() : runs.back().codePage;
      }
      if (runs.empty() || runs.back().codePage != codePage) runs.push_back({codePage, {}, {}, 0});
    }
    append(runs.back(), *bytes, c.advance);
  }
  return runs;
}

int32_t coordinate(double v) {
  return int32_t(std::lround(std::clamp(v, double(INT32_MIN), double(INT32_MAX))));
}

void writeText(TWmfWriter& w, TPoint at, uint32_t options, const TRect& rect, const TTextRun& run, bool withDx) {
  TWords p;
  p.U16(uint16_t(w.Scaled(at.Y)));
  p.U16(uint16_t(w.Scaled(at.X)));
  p.U16(uint16_t(run.bytes.size()));
  const uint32_t opaqueOrClipped = options & 6;
  p.U16(opaqueOrClipped);
  if (opaqueOrClipped)  // here the rectangle runs left, top, right, bottom
    for (int32_t v : {rect.Left, rect.Top, rect.Right, rect.Bottom}) p.U16(uint16_t(w.Scaled(v)));
  p.Raw(reinterpret_cast<const uint8_t*>(run.bytes.data()), run.bytes.size());
  if (withDx)
    for (int32_t d : run.dx) p.U16(uint16_t(w.Scaled(d)));
  w.Record(META_EXTTEXTOUT, p);
}

void convertText(TWmfWriter& w, const TEmfRecord& r, const TEmfState& state) {
  const uint32_t count = r.U32(44), offString = r.U32(48), options = r.U32(52), offDx = r.U32(72);
  if (count == 0 || count > 0x7FFF) return;
  std::u16string text;
  std::vector<int32_t> dx;
  for (uint32_t i = 0; i < count; ++i) text.push_back(char16_t(r.U16(offString + 2 * i)));
  if (offDx)
    for (uint32_t i = 0; i < count; ++i) dx.push_back(std::clamp(r.I32(offDx + 4 * i), -kMaxAdvance, kMaxAdvance));
  const std::vector<TTextChar> chars = textChars(text, dx);
  const int fontCodePage = CodePageOfCharset(state.Font.CharSet, 1252);
  const TPoint reference{r.I32(36), r.I32(40)};
  const TRect rect = r.RectAt(56);

  std::vector<TTextRun> runs;
  // Most texts fit the font's own code page, which needs no order worked out.
  if (auto own = singleRun(chars, {fontCodePage})) {
    runs.push_back(std::move(*own));
  } else {
    const std::vector<int> order = codePageOrder(fontCodePage, state.Font.FaceName);
    if (auto whole = singleRun(chars, order)) runs.push_back(std::move(*whole));
    else runs = mixedRuns(chars, order);
  }
  // Without advances the runs cannot be placed: one run, the rest "?".
  if (runs.size() > 1 && !offDx) {
    TTextRun one{fontCodePage, {}, {}, 0};
    for (const TTextChar& c : chars) append(one, EncodeInCodePage(c.code, fontCodePage).value_or("?"), 0);
    runs = {one};
  }
  if (runs.size() == 1 && runs[0].codePage == fontCodePage) {
    writeText(w, reference, options, rect, runs[0], offDx);
    return;
  }

  // Runs are placed one after another along the baseline from the left end.
  const uint32_t align = state.TextAlign, horizontal = align & 6;
  int64_t total = 0;
  for (const TTextRun& run : runs) total += run.advance;
  const double offset = horizontal == 6 ? -total / 2.0 : horizontal == 2 ? -total : 0.0;
  const double angle = state.Font.Escapement / 10.0 * 3.14159265358979 / 180.0;
  if (horizontal) w.Value(META_SETTEXTALIGN, align & ~7u, false);
  double along = offset;
  for (size_t i = 0; i < runs.size(); ++i) {
    const TPoint at{coordinate(reference.X + along * std::cos(angle)),
                    coordinate(reference.Y - along * std::sin(angle))};
    // Only the first run fills the background: later fills would hide earlier runs.
    const uint32_t runOptions = i == 0 ? options : options & ~2u;
    w.WithFont(fontRecord(w, state.Font, CharsetOfCodePage(runs[i].codePage)), runs[i].codePage == fontCodePage,
               [&] { writeText(w, at, runOptions, rect, runs[i], offDx); });
    along += runs[i].advance;
  }
  if (horizontal) w.Value(META_SETTEXTALIGN, align, false);
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
  const TEmfLogFont font = ReadEmfLogFont(r);
  w.CreateFont(r.U32(8), fontRecord(w, font, font.CharSet));
}

void convert(TWmfWriter& w, const TEmfRecord& r, const TEmfState& state) {
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
    case EMR_EXTTEXTOUTW: convertText(w, r, state); break;
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
  EnumerateMetafile(emf, [&](const TEmfRecord& r, const TEmfState& state) {
    convert(w, r, state);
    return true;
  });
  return w.File(width, height, std::max(1, int(std::lround(kPageUnitsPerInch * scale))));
}

}  // namespace zd
