#include "host/emf/Metafile.h"

#include <QFile>
#include <QString>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <cstring>

#include "host/graphics/Bitmap.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {
constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr size_t kHeaderSize = 108;
constexpr int kMaxHandles = 65535;

uint32_t rd32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
struct Writer {
  std::vector<uint8_t> v;
  // Most records are small; one allocation holds them.
  Writer() { v.reserve(128); }
  void u32(uint32_t x) {
    const uint8_t b[4] = {uint8_t(x), uint8_t(x >> 8), uint8_t(x >> 16), uint8_t(x >> 24)};
    v.insert(v.end(), b, b + 4);
  }
  void i32(int32_t x) { u32(uint32_t(x)); }
  void u16(uint16_t x) {
    const uint8_t b[2] = {uint8_t(x), uint8_t(x >> 8)};
    v.insert(v.end(), b, b + 2);
  }
  void u8(uint8_t x) { v.push_back(x); }
  void rect(const TRect& r) { i32(r.Left); i32(r.Top); i32(r.Right); i32(r.Bottom); }
  void f32(float f) { uint32_t x; std::memcpy(&x, &f, 4); u32(x); }
  void pad4() { while (v.size() % 4) v.push_back(0); }
  void utf16(const std::u16string& s, size_t chars) {
    for (size_t i = 0; i < chars; ++i) u16(i < s.size() ? s[i] : 0);
  }
};

uint32_t penStyleCode(TPenStyle s) {
  switch (s) {
    case TPenStyle::psDash: return 1;
    case TPenStyle::psDot: return 2;
    case TPenStyle::psDashDot: return 3;
    case TPenStyle::psDashDotDot: return 4;
    case TPenStyle::psClear: return 5;
    case TPenStyle::psInsideFrame: return 6;
    default: return 0;
  }
}
void brushCode(TBrushStyle s, uint32_t& style, uint32_t& hatch) {
  hatch = 0;
  switch (s) {
    case TBrushStyle::bsSolid: style = 0; return;
    case TBrushStyle::bsClear: style = 1; return;
    default: style = 2; hatch = uint32_t(s) - uint32_t(TBrushStyle::bsHorizontal); return;
  }
}

// Everything but the header: every record sized, aligned and inside the file.
void validate(const uint8_t* data, size_t size) {
  if (size < 88) throw EMetafileError("metafile too short for a header (" + std::to_string(size) + " bytes)");
  if (rd32(data) != EMR_HEADER) throw EMetafileError("metafile does not start with an EMR_HEADER record");
  if (rd32(data + 40) != kSignature) throw EMetafileError("metafile header signature is not \" EMF\"");
  const uint32_t hsize = rd32(data + 4);
  if (hsize < 88 || hsize > size || hsize % 4) throw EMetafileError("metafile header size is invalid");
  const uint32_t nBytes = rd32(data + 48);
  if (nBytes > size) throw EMetafileError("metafile is truncated: header says " + std::to_string(nBytes) +
                                          " bytes, " + std::to_string(size) + " present");
  if (nBytes < hsize) throw EMetafileError("metafile total size smaller than its header");
  const uint32_t nDesc = rd32(data + 60), offDesc = rd32(data + 64);
  if (nDesc && (offDesc < 88 || uint64_t(offDesc) + uint64_t(nDesc) * 2 > hsize))
    throw EMetafileError("metafile description lies outside the header");
  size_t pos = 0;
  bool eof = false;
  while (pos < nBytes) {
    if (nBytes - pos < 8)
      throw AtOffset(EMetafileError("metafile record header truncated at offset " + std::to_string(pos)), pos);
    const uint32_t type = rd32(data + pos), rsize = rd32(data + pos + 4);
    if (rsize < 8 || rsize % 4 || rsize > nBytes - pos)
      throw AtOffset(EMetafileError("metafile record at offset " + std::to_string(pos) + " has invalid size " +
                                    std::to_string(rsize)),
                     pos);
    pos += rsize;
    if (type == EMR_EOF) { eof = true; break; }
  }
  if (!eof) throw EMetafileError("metafile has no EMR_EOF record");
}

std::string readUtf16(const uint8_t* p, size_t chars) {
  std::u16string s;
  s.reserve(chars);
  for (size_t i = 0; i < chars; ++i) s.push_back(char16_t(p[2 * i] | (p[2 * i + 1] << 8)));
  return Utf16ToUtf8(s);
}
std::string descPart(const TMetafile& m, int part) {
  const auto& b = m.Bytes();
  if (b.size() < 88) return {};
  const uint32_t n = rd32(b.data() + 60), off = rd32(b.data() + 64);
  if (!n || uint64_t(off) + uint64_t(n) * 2 > b.size()) return {};
  std::u16string s;
  for (uint32_t i = 0; i < n; ++i) s.push_back(char16_t(b[off + 2 * i] | (b[off + 2 * i + 1] << 8)));
  std::u16string piece;
  int idx = 0;
  for (char16_t c : s) {
    if (c == 0) { if (idx == part) break; ++idx; piece.clear(); continue; }
    piece.push_back(c);
  }
  return idx == part ? Utf16ToUtf8(piece) : std::string();
}
}  // namespace

// ---- TMetafile ----

std::string TMetafile::Creator() const { return descPart(*this, 0); }
std::string TMetafile::Title() const { return descPart(*this, 1); }
TRect TMetafile::Bounds() const {
  if (bytes_.size() < 88) return {};
  const uint8_t* p = bytes_.data() + 8;
  return {int32_t(rd32(p)), int32_t(rd32(p + 4)), int32_t(rd32(p + 8)), int32_t(rd32(p + 12))};
}
uint32_t TMetafile::RecordCount() const { return bytes_.size() < 88 ? 0 : rd32(bytes_.data() + 52); }
uint16_t TMetafile::HandleCount() const { return bytes_.size() < 88 ? 0 : uint16_t(rd32(bytes_.data() + 56)); }

void TMetafile::LoadFromBytes(const uint8_t* data, size_t size) {
  if (!data) throw EMetafileError("metafile data missing");
  validate(data, size);
  bytes_.assign(data, data + rd32(data + 48));
  takeFrameSize();
}

void TMetafile::LoadFromBytes(std::vector<uint8_t>&& data) {
  validate(data.data(), data.size());
  data.resize(rd32(data.data() + 48));
  bytes_ = std::move(data);
  takeFrameSize();
}

void TMetafile::takeFrameSize() {
  const uint8_t* data = bytes_.data();
  // Frame in hundredths of a millimetre to page units.
  const int64_t l = int32_t(rd32(data + 24)), t = int32_t(rd32(data + 28));
  const int64_t r = int32_t(rd32(data + 32)), b = int32_t(rd32(data + 36));
  // The frame is inclusive.
  width_ = int(std::clamp<int64_t>(((r - l + 1) * 96 + 1270) / 2540, 0, INT32_MAX));
  height_ = int(std::clamp<int64_t>(((b - t + 1) * 96 + 1270) / 2540, 0, INT32_MAX));
}

void TMetafile::LoadFromFile(const std::string& path) {
  QFile f(QString::fromStdString(path));
  try {
    if (!f.open(QIODevice::ReadOnly)) throw EMetafileError("cannot open metafile: " + path);
    if (f.size() > (1LL << 31)) throw EMetafileError("metafile too large: " + path);
    QByteArray b = f.readAll();
    LoadFromBytes(reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size()));
  } catch (EMetafileError& e) {
    e.SetFileName(path);
    throw;
  }
}

void TMetafile::SaveToFile(const std::string& path) const {
  if (bytes_.empty()) throw EMetafileError("cannot save an empty metafile");
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::WriteOnly) ||
      f.write(reinterpret_cast<const char*>(bytes_.data()), qint64(bytes_.size())) != qint64(bytes_.size()))
    throw EMetafileError("cannot write metafile: " + path);
}

// ---- TMetafileCanvas ----

TMetafileCanvas::TMetafileCanvas(TMetafile& target, const std::string& creator, const std::string& title)
    : target_(&target), creator_(creator), title_(title) {
  // Transparent text like the report drawing expects; stated explicitly so
  // readers need no default.
  SetBkMode(TBkMode::bmTransparent);
}

TMetafileCanvas::~TMetafileCanvas() {
  try { Close(); } catch (...) {}
}

void TMetafileCanvas::checkOpen() const {
  if (closed_) throw EMetafileError("drawing on a metafile canvas after it was closed");
}

void TMetafileCanvas::record(uint32_t type, const std::vector<uint8_t>& payload) {
  checkOpen();
  const uint32_t size = uint32_t(8 + payload.size());
  const uint8_t head[8] = {uint8_t(type), uint8_t(type >> 8), uint8_t(type >> 16), uint8_t(type >> 24),
                           uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)};
  body_.insert(body_.end(), head, head + 8);
  body_.insert(body_.end(), payload.begin(), payload.end());
  ++records_;
}

void TMetafileCanvas::addBounds(const TRect& r0) {
  TRect r{std::min(r0.Left, r0.Right), std::min(r0.Top, r0.Bottom), std::max(r0.Left, r0.Right), std::max(r0.Top, r0.Bottom)};
  if (!haveBounds_) { bounds_ = r; haveBounds_ = true; return; }
  bounds_.Left = std::min(bounds_.Left, r.Left);
  bounds_.Top = std::min(bounds_.Top, r.Top);
  bounds_.Right = std::max(bounds_.Right, r.Right);
  bounds_.Bottom = std::max(bounds_.Bottom, r.Bottom);
}

uint32_t TMetafileCanvas::swapObject(uint32_t& handle, uint32_t createType, const std::vector<uint8_t>& data) {
  const uint32_t old = handle;
  // Lowest free slot (0 is the metafile itself), so nHandles stays small.
  uint32_t h = 1;
  while (h < rec_.Used.size() && rec_.Used[h]) ++h;
  if (h >= rec_.Used.size()) rec_.Used.resize(h + 1, false);
  rec_.Used[h] = true;
  rec_.MaxHandle = std::max(rec_.MaxHandle, h);
  Writer w;
  w.u32(h);
  w.v.insert(w.v.end(), data.begin(), data.end());
  record(createType, w.v);
  Writer s; s.u32(h); record(EMR_SELECTOBJECT, s.v);
  if (old) {
    Writer d; d.u32(old); record(EMR_DELETEOBJECT, d.v);
    rec_.Used[old] = false;
  }
  handle = h;
  return h;
}

void TMetafileCanvas::ensurePen() {
  if (rec_.Pen && *rec_.Pen == Pen) return;
  Writer w;
  w.u32(penStyleCode(Pen.Style));
  w.i32(Pen.Width); w.i32(0);
  w.u32(Pen.Color & 0xFFFFFF);
  swapObject(rec_.PenHandle, EMR_CREATEPEN, w.v);
  rec_.Pen = Pen;
}

void TMetafileCanvas::ensureBrush() {
  if (rec_.Brush && *rec_.Brush == Brush) return;
  uint32_t style, hatch;
  brushCode(Brush.Style, style, hatch);
  Writer w;
  w.u32(style); w.u32(Brush.Color & 0xFFFFFF); w.u32(hatch);
  swapObject(rec_.BrushHandle, EMR_CREATEBRUSHINDIRECT, w.v);
  rec_.Brush = Brush;
}

void TMetafileCanvas::ensureFont() {
  TFont cmp = Font;
  cmp.Color = 0;
  if (rec_.Font && *rec_.Font == cmp) return;
  // LogFontPanose layout (320 bytes): LOGFONTW, full name, style, version,
  // style size, match, reserved, vendor id, culture, panose, padding.
  Writer w;
  w.i32(-Font.PixelHeight()); w.i32(0);
  w.i32(Font.Orientation); w.i32(Font.Orientation);
  w.i32(Font.Style.Has(fsBold) ? 700 : 400);
  w.u8(Font.Style.Has(fsItalic)); w.u8(Font.Style.Has(fsUnderline)); w.u8(Font.Style.Has(fsStrikeOut));
  w.u8(Font.Charset);
  w.u8(0); w.u8(0); w.u8(0);  // precision, clip precision, default quality
  w.u8(Font.Pitch == TFontPitch::fpFixed ? 1 : Font.Pitch == TFontPitch::fpVariable ? 2 : 0);
  w.utf16(Utf8ToUtf16(Font.Name).substr(0, 31), 32);
  w.utf16(u"", 64);
  w.utf16(u"", 32);
  for (int i = 0; i < 4; ++i) w.u32(0);
  w.u32(0); w.u32(0);
  for (int i = 0; i < 10; ++i) w.u8(0);
  w.u16(0);
  swapObject(rec_.FontHandle, EMR_EXTCREATEFONTINDIRECTW, w.v);
  rec_.Font = cmp;
}

void TMetafileCanvas::ensureTextState() {
  ensureFont();
  if (!rec_.TextColor || *rec_.TextColor != Font.Color) {
    Writer w; w.u32(Font.Color & 0xFFFFFF); record(EMR_SETTEXTCOLOR, w.v);
    rec_.TextColor = Font.Color;
  }
  if (!rec_.Align || *rec_.Align != textAlign_) {
    Writer w; w.u32(textAlign_); record(EMR_SETTEXTALIGN, w.v);
    rec_.Align = textAlign_;
  }
  if (!rec_.BkMode || *rec_.BkMode != bkMode_) {
    Writer w; w.u32(uint32_t(bkMode_)); record(EMR_SETBKMODE, w.v);
    rec_.BkMode = bkMode_;
  }
  if (bkMode_ == TBkMode::bmOpaque && (!rec_.BkColor || *rec_.BkColor != Brush.Color)) {
    Writer w; w.u32(Brush.Color & 0xFFFFFF); record(EMR_SETBKCOLOR, w.v);
    rec_.BkColor = Brush.Color;
  }
}

void TMetafileCanvas::ClipChanged() {
  checkOpen();
  if (rec_.ClipSaved) {
    Writer w; w.i32(-1); record(EMR_RESTOREDC, w.v);
    rec_.ClipSaved = false;
    // The restored state has other objects and modes than the ones last set.
    rec_.Pen.reset(); rec_.Brush.reset(); rec_.Font.reset();
    rec_.TextColor.reset(); rec_.BkColor.reset(); rec_.Align.reset(); rec_.BkMode.reset();
  }
  if (!clip_) return;
  record(EMR_SAVEDC, {});
  rec_.ClipSaved = true;
  Writer w; w.rect(*clip_); record(EMR_INTERSECTCLIPRECT, w.v);
}

void TMetafileCanvas::MoveTo(int x, int y) {
  Writer w; w.i32(x); w.i32(y);
  record(EMR_MOVETOEX, w.v);
  rec_.Pos = {x, y};
}

void TMetafileCanvas::LineTo(int x, int y) {
  checkOpen();
  ensurePen();
  Writer w; w.i32(x); w.i32(y);
  record(EMR_LINETO, w.v);
  const int pw = std::max(1, Pen.Width);
  addBounds(TRect{std::min(rec_.Pos.X, x), std::min(rec_.Pos.Y, y), std::max(rec_.Pos.X, x) + pw, std::max(rec_.Pos.Y, y) + pw});
  rec_.Pos = {x, y};
}

void TMetafileCanvas::Rectangle(const TRect& r) {
  checkOpen(); ensurePen(); ensureBrush();
  Writer w; w.rect(r); record(EMR_RECTANGLE, w.v);
  addBounds(r);
}

void TMetafileCanvas::RoundRect(const TRect& r, int cw, int ch) {
  checkOpen(); ensurePen(); ensureBrush();
  Writer w; w.rect(r); w.i32(cw); w.i32(ch); record(EMR_ROUNDRECT, w.v);
  addBounds(r);
}

void TMetafileCanvas::Ellipse(const TRect& r) {
  checkOpen(); ensurePen(); ensureBrush();
  Writer w; w.rect(r); record(EMR_ELLIPSE, w.v);
  addBounds(r);
}

void TMetafileCanvas::FillRect(const TRect& r) {
  checkOpen();
  if (Brush.Style == TBrushStyle::bsClear) return;
  // A rectangle with the null pen covers exactly the same pixels as a fill.
  TPen saved = Pen;
  Pen.Style = TPenStyle::psClear;
  ensurePen(); ensureBrush();
  Writer w; w.rect(TRect{r.Left, r.Top, r.Right + 1, r.Bottom + 1}); record(EMR_RECTANGLE, w.v);
  Pen = saved;
  addBounds(r);
}

void TMetafileCanvas::StretchDraw(const TRect& r, const TBitmap& bmp) {
  checkOpen();
  if (bmp.Empty()) return;
  std::vector<uint8_t> info, bits;
  bmp.ToDib(info, bits);
  Writer w;
  w.rect(r);
  w.i32(r.Left); w.i32(r.Top);
  w.i32(0); w.i32(0); w.i32(bmp.Width()); w.i32(bmp.Height());
  const uint32_t offBmi = 80, offBits = uint32_t(offBmi + info.size());
  w.u32(offBmi); w.u32(uint32_t(info.size()));
  w.u32(offBits); w.u32(uint32_t(bits.size()));
  w.u32(0);            // DIB_RGB_COLORS
  w.u32(0x00CC0020);   // SRCCOPY
  w.i32(r.Width()); w.i32(r.Height());
  w.v.insert(w.v.end(), info.begin(), info.end());
  w.v.insert(w.v.end(), bits.begin(), bits.end());
  w.pad4();
  record(EMR_STRETCHDIBITS, w.v);
  addBounds(r);
}

void TMetafileCanvas::TextOutClipped(int x, int y, const std::string& utf8, const TRect* clip) {
  checkOpen();
  ensureTextState();
  const std::u16string s = Utf8ToUtf16(utf8);
  std::vector<int> dx = CharAdvances(Font, utf8);
  dx.resize(s.size(), 0);
  // The advances add up to the text's width; measuring again would shape it twice.
  const TSize ext{std::accumulate(dx.begin(), dx.end(), 0), FontLineHeight(Font)};
  const int ascent = FontAscent(Font);
  int left = x, top = y;
  const uint32_t h = textAlign_ & 6, v = textAlign_ & 24;
  if (h == TA_CENTER) left = x - ext.Width / 2;
  else if (h == TA_RIGHT) left = x - ext.Width;
  if (v == TA_BASELINE) top = y - ascent;
  else if (v == TA_BOTTOM) top = y - ext.Height;
  TRect box{left, top, left + ext.Width, top + ext.Height};
  if (Font.Orientation) {
    // Rotated text: bound the rotated box around the reference point.
    const double a = Font.Orientation / 10.0 * 3.14159265358979 / 180.0, c = std::cos(a), sn = std::sin(a);
    double xs[4], ys[4];
    const double px[4] = {double(left - x), double(box.Right - x), double(box.Right - x), double(left - x)};
    const double py[4] = {double(top - y), double(top - y), double(box.Bottom - y), double(box.Bottom - y)};
    for (int i = 0; i < 4; ++i) { xs[i] = x + px[i] * c + py[i] * sn; ys[i] = y - px[i] * sn + py[i] * c; }
    box = {int(std::floor(*std::min_element(xs, xs + 4))), int(std::floor(*std::min_element(ys, ys + 4))),
           int(std::ceil(*std::max_element(xs, xs + 4))), int(std::ceil(*std::max_element(ys, ys + 4)))};
  }
  TRect bounds = box;
  uint32_t options = 0;
  TRect rcl{0, 0, -1, -1};
  if (clip) {
    options |= 4;  // ETO_CLIPPED
    rcl = *clip;
    bounds = {std::max(box.Left, clip->Left), std::max(box.Top, clip->Top),
              std::min(box.Right, clip->Right), std::min(box.Bottom, clip->Bottom)};
  }
  const bool visible = !s.empty() && bounds.Right > bounds.Left && bounds.Bottom > bounds.Top;
  Writer w;
  if (visible) {
    w.i32(bounds.Left); w.i32(bounds.Top); w.i32(bounds.Right - 1); w.i32(bounds.Bottom - 1);  // inclusive
  } else {
    w.rect(TRect{0, 0, -1, -1});
  }
  w.u32(1);  // GM_COMPATIBLE
  w.f32(0); w.f32(0);
  w.i32(x); w.i32(y);
  w.u32(uint32_t(s.size()));
  const uint32_t offString = 76;
  const uint32_t strBytes = uint32_t((s.size() * 2 + 3) & ~size_t(3));
  w.u32(offString);
  w.u32(options);
  w.rect(rcl);
  w.u32(offString + strBytes);
  w.utf16(s, s.size());
  w.pad4();
  for (int d : dx) w.i32(d);
  record(EMR_EXTTEXTOUTW, w.v);
  if (visible) addBounds(bounds);
}

void TMetafileCanvas::Close() {
  if (closed_) return;
  if (!target_) {  // a continuation is taken by Records(), never finished
    closed_ = true;
    return;
  }
  if (rec_.ClipSaved) { Writer w; w.i32(-1); record(EMR_RESTOREDC, w.v); rec_.ClipSaved = false; }
  // Free the objects so players do not leak handles.
  for (uint32_t* h : {&rec_.PenHandle, &rec_.BrushHandle, &rec_.FontHandle})
    if (*h) { Writer d; d.u32(*h); record(EMR_DELETEOBJECT, d.v); *h = 0; }
  Writer eof; eof.u32(0); eof.u32(16); eof.u32(20);
  record(EMR_EOF, eof.v);
  closed_ = true;

  std::u16string desc;
  if (!creator_.empty() || !title_.empty()) {
    desc = Utf8ToUtf16(creator_) + u'\0' + Utf8ToUtf16(title_) + u'\0' + u'\0';
  }
  const uint32_t descBytes = uint32_t((desc.size() * 2 + 3) & ~size_t(3));
  const uint32_t headerSize = uint32_t(kHeaderSize + descBytes);
  TRect b = haveBounds_ ? TRect{bounds_.Left, bounds_.Top, bounds_.Right - 1, bounds_.Bottom - 1} : TRect{0, 0, -1, -1};
  if (!target_) return;
  TMetafile& target = *target_;
  int w = target.width_ > 0 ? target.width_ : (haveBounds_ ? bounds_.Right : 0);
  int h = target.height_ > 0 ? target.height_ : (haveBounds_ ? bounds_.Bottom : 0);
  w = std::max(w, 0); h = std::max(h, 0);
  Writer hd;
  hd.u32(EMR_HEADER);
  hd.u32(headerSize);
  hd.rect(b);
  // Frame: inclusive, hundredths of a millimetre.
  hd.rect(TRect{0, 0, int(int64_t(w) * 2540 / 96) - 1, int(int64_t(h) * 2540 / 96) - 1});
  hd.u32(kSignature);
  hd.u32(0x10000);
  hd.u32(uint32_t(headerSize + body_.size()));
  hd.u32(records_ + 1);
  hd.u16(uint16_t(std::min<uint32_t>(rec_.MaxHandle + 1, kMaxHandles)));
  hd.u16(0);
  hd.u32(uint32_t(desc.size()));
  hd.u32(desc.empty() ? 0 : uint32_t(kHeaderSize));
  hd.u32(0);
  // A 96 dpi reference device: 960 px over 254 mm.
  hd.i32(960); hd.i32(960);
  hd.i32(254); hd.i32(254);
  hd.u32(0); hd.u32(0); hd.u32(0);
  hd.i32(254000); hd.i32(254000);
  hd.utf16(desc, desc.size());
  hd.pad4();
  target.bytes_ = std::move(hd.v);
  target.bytes_.insert(target.bytes_.end(), body_.begin(), body_.end());
  body_.clear();
  target.width_ = w;
  target.height_ = h;
}

bool TMetafileCanvas::TPosition::SameState(const TPosition& o) const {
  return Font == o.Font && Pen == o.Pen && Brush == o.Brush && TextAlign == o.TextAlign && BkMode == o.BkMode &&
         Clip == o.Clip && Recording == o.Recording;
}

TMetafileCanvas::TPosition TMetafileCanvas::Position() const {
  return TPosition{body_.size(), records_, haveBounds_, bounds_, Font, Pen, Brush, textAlign_, bkMode_, clip_, rec_};
}

TMetafileCanvas::TMetafileCanvas(const TPosition& from) : target_(nullptr), rec_(from.Recording) {
  Font = from.Font;
  Pen = from.Pen;
  Brush = from.Brush;
  textAlign_ = from.TextAlign;
  bkMode_ = from.BkMode;
  clip_ = from.Clip;
}

std::optional<TRect> TMetafileCanvas::RecordedBounds() const {
  return haveBounds_ ? std::optional<TRect>(bounds_) : std::nullopt;
}

void TMetafileCanvas::DropBoundsSince(const TPosition& from) {
  // Bounds only grow, so the ones at `from` are what they were then.
  haveBounds_ = from.HaveBounds;
  bounds_ = from.Bounds;
}

void TMetafile::ReplaceRecords(const std::vector<TRecordsReplacement>& replacements) {
  if (bytes_.size() < kHeaderSize) throw EMetafileError("replacing records of an empty metafile");
  const size_t headerSize = rd32(bytes_.data() + 4);
  if (headerSize > bytes_.size()) throw EMetafileError("metafile header is longer than the metafile");
  size_t outSize = bytes_.size(), at = headerSize;
  for (const TRecordsReplacement& r : replacements) {
    if (r.Begin + headerSize < at || r.End < r.Begin || r.End + headerSize > bytes_.size())
      throw EMetafileError("records to replace are not inside the metafile");
    outSize = outSize - (r.End - r.Begin) + r.Records.size();
    at = r.End + headerSize;
  }
  std::vector<uint8_t> out;
  out.reserve(outSize);  // pages are many: no slack
  out.insert(out.end(), bytes_.begin(), bytes_.begin() + std::ptrdiff_t(headerSize));
  uint32_t records = rd32(bytes_.data() + 52);
  TRect b{int32_t(rd32(bytes_.data() + 8)), int32_t(rd32(bytes_.data() + 12)), int32_t(rd32(bytes_.data() + 16)),
          int32_t(rd32(bytes_.data() + 20))};
  bool haveBounds = b.Right >= b.Left;  // an empty drawing's bounds are {0, 0, -1, -1}
  at = headerSize;
  for (const TRecordsReplacement& r : replacements) {
    const size_t begin = headerSize + r.Begin, end = headerSize + r.End;
    if (r.RemovedRecords > records) throw EMetafileError("records to replace are not inside the metafile");
    out.insert(out.end(), bytes_.begin() + std::ptrdiff_t(at), bytes_.begin() + std::ptrdiff_t(begin));
    out.insert(out.end(), r.Records.begin(), r.Records.end());
    records = records - r.RemovedRecords + r.RecordCount;
    at = end;
    if (!r.Bounds) continue;
    const TRect n{r.Bounds->Left, r.Bounds->Top, r.Bounds->Right - 1, r.Bounds->Bottom - 1};  // inclusive
    if (!haveBounds) {
      b = n;
      haveBounds = true;
    } else {
      b = {std::min(b.Left, n.Left), std::min(b.Top, n.Top), std::max(b.Right, n.Right), std::max(b.Bottom, n.Bottom)};
    }
  }
  out.insert(out.end(), bytes_.begin() + std::ptrdiff_t(at), bytes_.end());
  auto put32 = [&](size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[offset + size_t(i)] = uint8_t(v >> (8 * i));
  };
  put32(8, uint32_t(b.Left));
  put32(12, uint32_t(b.Top));
  put32(16, uint32_t(b.Right));
  put32(20, uint32_t(b.Bottom));
  put32(48, uint32_t(out.size()));
  put32(52, records);
  bytes_ = std::move(out);
}

// ---- enumeration ----

uint32_t TEmfRecord::U32(size_t at) const {
  if (at > Size || Size - at < 4)
    throw AtOffset(EMetafileError("record " + std::to_string(Type) + " at offset " + std::to_string(Offset) + " too short"),
                   Offset);
  return rd32(Data + at);
}
uint16_t TEmfRecord::U16(size_t at) const {
  if (at > Size || Size - at < 2)
    throw AtOffset(EMetafileError("record " + std::to_string(Type) + " at offset " + std::to_string(Offset) + " too short"),
                   Offset);
  return uint16_t(Data[at] | (Data[at + 1] << 8));
}

TFont TEmfLogFont::ToFont(TColor color) const {
  TFont f;
  f.Name = FaceName;
  f.SetPixelHeight(ClampCoordinate(std::abs(int64_t(Height))));
  f.Style.Set(fsBold, Weight >= 700);
  f.Style.Set(fsItalic, Italic == 1);
  f.Style.Set(fsUnderline, Underline == 1);
  f.Style.Set(fsStrikeOut, StrikeOut == 1);
  f.Charset = CharSet;
  f.Orientation = Escapement;
  const int pitch = PitchAndFamily & 0x0F;
  f.Pitch = pitch == 1 ? TFontPitch::fpFixed : pitch == 2 ? TFontPitch::fpVariable : TFontPitch::fpDefault;
  f.Color = color;
  return f;
}

TEmfLogFont ReadEmfLogFont(const TEmfRecord& r) {
  TEmfLogFont f;
  f.Height = r.I32(12); f.Width = r.I32(16); f.Escapement = r.I32(20) % 3600;  // tenths of a degree: one turn at most
  f.Orientation = r.I32(24); f.Weight = r.I32(28);
  const uint32_t b1 = r.U32(32), b2 = r.U32(36);
  f.Italic = b1 & 0xFF; f.Underline = (b1 >> 8) & 0xFF; f.StrikeOut = (b1 >> 16) & 0xFF; f.CharSet = b1 >> 24;
  f.OutPrecision = b2 & 0xFF; f.ClipPrecision = (b2 >> 8) & 0xFF; f.Quality = (b2 >> 16) & 0xFF;
  f.PitchAndFamily = b2 >> 24;
  const size_t avail = r.Size > 40 ? std::min<size_t>(32, (r.Size - 40) / 2) : 0;
  size_t len = 0;
  while (len < avail && (r.Data[40 + 2 * len] | r.Data[41 + 2 * len])) ++len;
  f.FaceName = readUtf16(r.Data + 40, len);
  return f;
}

std::optional<TEmfText> ReadEmfText(const TEmfRecord& r) {
  if (r.Type == EMR_EXTTEXTOUTW || r.Type == EMR_EXTTEXTOUTA) {
    TEmfText t;
    t.Bounds = r.RectAt(8);
    t.Reference = {r.I32(36), r.I32(40)};
    const uint32_t n = r.U32(44), off = r.U32(48);
    t.Options = r.U32(52);
    const uint64_t bytes = uint64_t(n) * (r.Type == EMR_EXTTEXTOUTW ? 2 : 1);
    if (off > r.Size || bytes > r.Size - off) throw AtOffset(EMetafileError("text record string lies outside the record"), r.Offset);
    if (r.Type == EMR_EXTTEXTOUTW) t.Text = readUtf16(r.Data + off, n);
    else t.Text = Latin1ToUtf8({reinterpret_cast<const char*>(r.Data + off), n});
    const uint32_t offDx = r.U32(72);
    if (offDx && offDx <= r.Size && uint64_t(n) * 4 <= r.Size - offDx) {
      t.Dx.resize(n);
      for (uint32_t i = 0; i < n; ++i) t.Dx[i] = int32_t(rd32(r.Data + offDx + i * 4));
    }
    return t;
  }
  if (r.Type == EMR_SMALLTEXTOUT) {
    TEmfText t;
    t.Reference = {r.I32(8), r.I32(12)};
    const uint32_t n = r.U32(16);
    t.Options = r.U32(20);
    t.Bounds = {t.Reference.X, t.Reference.Y, t.Reference.X, t.Reference.Y};
    if (t.Options & 0x10) return t;  // glyph indices: no text
    const size_t at = (t.Options & 0x100) ? 36 : 52;
    const uint64_t bytes = uint64_t(n) * ((t.Options & 0x200) ? 1 : 2);
    if (at > r.Size || bytes > r.Size - at) throw AtOffset(EMetafileError("small text record string lies outside the record"), r.Offset);
    if (t.Options & 0x200) t.Text = Latin1ToUtf8({reinterpret_cast<const char*>(r.Data + at), n});
    else t.Text = readUtf16(r.Data + at, n);
    return t;
  }
  return std::nullopt;
}

namespace {
TEmfObject* slot(TEmfState& s, uint32_t ih) {
  return ih < s.Objects.size() ? &s.Objects[ih] : nullptr;
}
}  // namespace

void ApplyEmfRecord(TEmfState& s, const TEmfRecord& r) {
  switch (r.Type) {
    case EMR_CREATEPEN: {
      if (auto* o = slot(s, r.U32(8))) {
        o->kind = TEmfObject::Pen;
        o->pen = {r.U32(12), r.I32(16), r.U32(24) & 0xFFFFFF};
      }
      break;
    }
    case EMR_EXTCREATEPEN: {
      if (auto* o = slot(s, r.U32(8))) {
        o->kind = TEmfObject::Pen;
        o->pen = {r.U32(28) & 0xFF, r.I32(32), r.U32(40) & 0xFFFFFF};
      }
      break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
      if (auto* o = slot(s, r.U32(8))) {
        o->kind = TEmfObject::Brush;
        o->brush = {r.U32(12), r.U32(16) & 0xFFFFFF, r.U32(20)};
      }
      break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
      if (auto* o = slot(s, r.U32(8))) {
        o->kind = TEmfObject::Font;
        o->font = ReadEmfLogFont(r);
      }
      break;
    }
    case EMR_CREATEPALETTE: case 93 /*CREATEMONOBRUSH*/: case 94 /*CREATEDIBPATTERNBRUSHPT*/:
    case 99 /*CREATECOLORSPACE*/: case 122 /*CREATECOLORSPACEW*/: {
      if (auto* o = slot(s, r.U32(8))) { *o = TEmfObject{}; o->kind = TEmfObject::Other; }
      break;
    }
    case EMR_SELECTOBJECT: {
      const uint32_t ih = r.U32(8);
      if (ih & 0x80000000) {
        // Stock objects the report code relies on.
        switch (ih & 0x7FFFFFFF) {
          case 0: s.Brush = {0, clWhite, 0}; break;
          case 4: s.Brush = {0, clBlack, 0}; break;
          case 5: s.Brush = {1, 0, 0}; break;
          case 6: s.Pen = {0, 1, clWhite}; break;
          case 7: s.Pen = {0, 1, clBlack}; break;
          case 8: s.Pen = {5, 0, 0}; break;
          default: break;
        }
      } else if (auto* o = slot(s, ih)) {
        if (o->kind == TEmfObject::Pen) s.Pen = o->pen;
        else if (o->kind == TEmfObject::Brush) s.Brush = o->brush;
        else if (o->kind == TEmfObject::Font) s.Font = o->font;
      }
      break;
    }
    case EMR_DELETEOBJECT:
      if (auto* o = slot(s, r.U32(8))) *o = TEmfObject{};
      break;
    case EMR_SETTEXTCOLOR: s.TextColor = r.U32(8) & 0xFFFFFF; break;
    case EMR_SETBKCOLOR: s.BkColor = r.U32(8) & 0xFFFFFF; break;
    case EMR_SETBKMODE: s.BkMode = r.U32(8); break;
    case EMR_SETTEXTALIGN: s.TextAlign = r.U32(8); break;
    case EMR_MOVETOEX: case EMR_LINETO: s.Position = {r.I32(8), r.I32(12)}; break;
    case EMR_SAVEDC: {
      if (s.Saved.size() < 1024) {
        TEmfState copy = s;
        copy.Objects.clear();
        copy.Saved.clear();
        s.Saved.push_back(std::move(copy));
      }
      break;
    }
    case EMR_RESTOREDC: {
      int32_t rel = r.I32(8);
      if (rel < 0 && size_t(-int64_t(rel)) <= s.Saved.size()) {
        size_t keep = s.Saved.size() - size_t(-int64_t(rel));
        TEmfState restored = std::move(s.Saved[keep]);
        s.Saved.resize(keep);
        restored.Objects = std::move(s.Objects);
        restored.Saved = std::move(s.Saved);
        s = std::move(restored);
      }
      break;
    }
    default: break;
  }
}

void EnumerateMetafile(const TMetafile& meta, const TEmfCallback& cb) {
  const auto& b = meta.Bytes();
  if (b.empty()) throw EMetafileError("metafile is empty");
  validate(b.data(), b.size());
  TEmfState state;
  state.Objects.resize(std::max<uint32_t>(1, rd32(b.data() + 56) & 0xFFFF));
  const size_t total = rd32(b.data() + 48);
  size_t pos = 0;
  while (pos < total) {
    TEmfRecord r;
    r.Type = rd32(b.data() + pos);
    r.Size = rd32(b.data() + pos + 4);
    r.Data = b.data() + pos;
    r.Offset = pos;
    if (cb && !cb(r, state)) return;
    ApplyEmfRecord(state, r);
    pos += r.Size;
    if (r.Type == EMR_EOF) break;
  }
}

}  // namespace zd
