#include "export/ExportAttributes.h"

#include <QImage>
#include <QRect>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/core/TextUtil.h"
#include "host/graphics/QtGraphics.h"

namespace zd {

namespace {

constexpr int64_t kMaxPicturePixels = 64LL * 1024 * 1024;
constexpr uint32_t kNotSrcCopy = 0x00330008;

int clampToInt(int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }
int shifted(int value, int offset) { return clampToInt(int64_t(value) + offset); }
int extent(int from, int to) { return clampToInt(int64_t(to) - from); }

// Enlarged by 1 on every side; coordinates of a hostile file stay in range.
TRect inflated(const TRect& r) {
  return {clampToInt(int64_t(r.Left) - 1), clampToInt(int64_t(r.Top) - 1), clampToInt(int64_t(r.Right) + 1),
          clampToInt(int64_t(r.Bottom) + 1)};
}

float floatAt(const TEmfRecord& r, size_t at) {
  const uint32_t bits = r.U32(at);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

// Where the source bitmap of a picture record is and which part of it is drawn.
struct TPictureSource {
  uint32_t offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
  double x = 0, y = 0, width = 0, height = 0;  // in the source bitmap's pixels
  bool yFromBottom = false;  // device-independent coordinates of a bottom-up DIB
  bool stretch = true;
  uint32_t rop = 0;
  int destWidth = 0, destHeight = 0;  // signed: negative mirrors
};

// Scale and offset of the source device's world transform; a degenerate
// transform counts as none.
void applySourceTransform(const TEmfRecord& r, size_t at, TPictureSource& s) {
  const float m11 = floatAt(r, at), m22 = floatAt(r, at + 12);
  const float dx = floatAt(r, at + 16), dy = floatAt(r, at + 20);
  if (!std::isfinite(m11) || !std::isfinite(m22) || !std::isfinite(dx) || !std::isfinite(dy) || m11 == 0 ||
      m22 == 0)
    return;
  s.x = s.x * m11 + dx;
  s.y = s.y * m22 + dy;
  s.width *= m11;
  s.height *= m22;
}

TPictureSource readPictureSource(const TEmfRecord& r) {
  TPictureSource s;
  if (r.Type == EMR_STRETCHDIBITS) {
    s.x = r.I32(32);
    s.y = r.I32(36);
    s.width = r.I32(40);
    s.height = r.I32(44);
    s.offBmi = r.U32(48);
    s.cbBmi = r.U32(52);
    s.offBits = r.U32(56);
    s.cbBits = r.U32(60);
    s.rop = r.U32(68);
    s.destWidth = r.I32(72);
    s.destHeight = r.I32(76);
    s.yFromBottom = true;
    return s;
  }
  s.destWidth = r.I32(32);
  s.destHeight = r.I32(36);
  s.rop = r.U32(40);
  s.x = r.I32(44);
  s.y = r.I32(48);
  s.offBmi = r.U32(84);
  s.cbBmi = r.U32(88);
  s.offBits = r.U32(92);
  s.cbBits = r.U32(96);
  s.stretch = r.Type == EMR_STRETCHBLT;
  s.width = s.stretch ? r.I32(100) : std::abs(int64_t(s.destWidth));
  s.height = s.stretch ? r.I32(104) : std::abs(int64_t(s.destHeight));
  applySourceTransform(r, 52, s);
  return s;
}

bool inRecord(const TEmfRecord& r, uint32_t off, uint32_t size) { return off <= r.Size && size <= r.Size - off; }

// The part of the source bitmap the record draws, scaled to its destination.
QImage drawSource(const TEmfRecord& r, const TPictureSource& s, int width, int height) {
  if (!inRecord(r, s.offBmi, s.cbBmi) || !inRecord(r, s.offBits, s.cbBits))
    throw EMetafileError("picture record at offset " + std::to_string(r.Offset) +
                         ": source bitmap lies outside the record");
  const TBitmap dib = TBitmap::FromDib(r.Data + s.offBmi, s.cbBmi, r.Data + s.offBits, s.cbBits);
  const bool coreHeader = r.U32(s.offBmi) == 12;
  const bool bottomUp = coreHeader ? int16_t(r.U16(s.offBmi + 6)) > 0 : r.I32(s.offBmi + 8) > 0;
  double top = s.y;
  if (s.yFromBottom && bottomUp) top = dib.Height() - s.y - s.height;
  const QRect part(clampToInt(std::llround(s.x)), clampToInt(std::llround(top)),
                   clampToInt(std::llround(std::fabs(s.width))), clampToInt(std::llround(std::fabs(s.height))));
  QImage img = ToQImage(dib).copy(part);
  if (s.stretch) img = img.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  else img = img.copy(0, 0, width, height);
  img = img.mirrored(s.destWidth < 0, s.destHeight < 0).convertToFormat(QImage::Format_RGB32);
  if (s.rop == kNotSrcCopy) img.invertPixels();
  return img;
}

TBitmap pictureOf(const TEmfRecord& r) {
  const TPictureSource s = readPictureSource(r);
  const int64_t w = std::abs(int64_t(s.destWidth)), h = std::abs(int64_t(s.destHeight));
  if (w * h > kMaxPicturePixels)
    throw EMetafileError("picture record at offset " + std::to_string(r.Offset) + ": destination of " +
                         std::to_string(w) + "x" + std::to_string(h) + " pixels is too large");
  if (w == 0 || h == 0 || s.cbBmi == 0) return TBitmap(int(w), int(h));  // nothing to copy from
  try {
    return FromQImage(drawSource(r, s, int(w), int(h)));
  } catch (const EGraphicsError& e) {
    throw EMetafileError("picture record at offset " + std::to_string(r.Offset) + ": " + e.what());
  }
}

constexpr uint32_t kClippedOption = 4, kNoRectangleOption = 0x100;
constexpr uint32_t kPenNull = 5;

TPen penOf(const TEmfPen& pen) {
  TPen out;
  out.Color = pen.Color;
  out.Width = std::max(pen.Width, 1);
  out.Style = (pen.Style & 0xFF) == kPenNull ? TPenStyle::psClear : TPenStyle::psSolid;
  return out;
}

// The clip rectangle a text record was drawn with, when it has one.
std::optional<TRect> clipOf(const TEmfRecord& record, const TEmfText& text) {
  if (!(text.Options & kClippedOption)) return std::nullopt;
  if (record.Type == EMR_SMALLTEXTOUT) {
    if (text.Options & kNoRectangleOption) return std::nullopt;
    return record.RectAt(36);
  }
  return record.RectAt(56);
}

TRect unclippedBox(const TEmfRecord& record, const TEmfText& text) {
  if (record.Type == EMR_SMALLTEXTOUT) return text.Bounds;
  const TRect& b = text.Bounds;  // inclusive
  return {b.Left, b.Top, clampToInt(int64_t(b.Right) + 1), clampToInt(int64_t(b.Bottom) + 1)};
}

}  // namespace

// Metrics are asked once per font in a row: texts come in runs of one font.
const TZdqExportAttributes::TLineMetrics& TZdqExportAttributes::lineMetrics(const TEmfLogFont& logFont) {
  const bool same = metricsFont_ && metricsFont_->Height == logFont.Height && metricsFont_->Weight == logFont.Weight &&
                    metricsFont_->Italic == logFont.Italic && metricsFont_->FaceName == logFont.FaceName;
  if (!same) {
    const TFont font = logFont.ToFont();
    metrics_ = {FontLineHeight(font), FontAscent(font)};
    metricsFont_ = logFont;
  }
  return metrics_;
}

// The whole text as drawn, before clipping: from the reference point, the
// alignment in force and the advances (or the bounds when there are none).
TRect TZdqExportAttributes::textBox(const TEmfRecord& record, const TEmfText& text, const TEmfState& state) {
  if (record.Type == EMR_SMALLTEXTOUT) return text.Bounds;
  int64_t width = 0;
  for (int32_t dx : text.Dx) width += dx;
  if (text.Dx.empty()) width = int64_t(text.Bounds.Right) - text.Bounds.Left + 1;
  const TLineMetrics& metrics = lineMetrics(state.Font);
  const int height = metrics.height;
  int64_t left = text.Reference.X, top = text.Reference.Y;
  switch (state.TextAlign & 6) {
    case TA_RIGHT: left -= width; break;
    case TA_CENTER: left -= width / 2; break;
    default: break;
  }
  switch (state.TextAlign & 24) {
    case TA_BASELINE: top -= metrics.ascent; break;
    case TA_BOTTOM: top -= height; break;
    default: break;
  }
  return {clampToInt(left), clampToInt(top), clampToInt(left + width), clampToInt(top + height)};
}

namespace {

TFontPitch pitchOf(uint8_t pitchAndFamily) {
  switch (pitchAndFamily & 0x0F) {
    case 1: return TFontPitch::fpFixed;
    case 2: return TFontPitch::fpVariable;
    default: return TFontPitch::fpDefault;
  }
}

}  // namespace

bool ShownInClip(const TRect& text, const TRect& clip) {
  const int64_t middle = (int64_t(text.Top) + text.Bottom) / 2;
  return middle >= clip.Top && middle < clip.Bottom && text.Right > clip.Left && text.Left < clip.Right;
}

TAlignment AlignmentInBox(const TRect& text, const TRect& box, TAlignment otherwise) {
  constexpr int kSlack = 2;
  const int64_t before = int64_t(text.Left) - box.Left, after = int64_t(box.Right) - text.Right;
  if (after < -kSlack) return otherwise;  // wider than its box: nothing to tell
  if (after <= kSlack) return TAlignment::taRightJustify;
  if (before > kSlack && std::abs(before - after) <= kSlack) return TAlignment::taCenter;
  return otherwise;
}

TZdqExportAttributes::TZdqExportAttributes(TComponent* owner) : TZdqExport(owner) {}

void TZdqExportAttributes::StartExport() {
  TZdqExport::StartExport();
  records_.clear();
  grid_ = {};
  font_ = TFont();
  backColor_ = clWhite;
  resetPasses();
}

void TZdqExportAttributes::EndExport() {
  records_.clear();
  grid_ = {};
  font_ = TFont();
  resetPasses();
  TZdqExport::EndExport();
}

void TZdqExportAttributes::resetPasses() {
  layingOut_ = false;
  streamable_ = false;
  slotsPending_ = false;
  openLines_.Clear();
  bound_.reset();
  rows_.reset();
}

void TZdqExportAttributes::LayoutCells(const std::vector<TZdqMFERecord>&) {}
void TZdqExportAttributes::WriteGridRow(std::vector<TZdqMFERecord>&) {}

void TZdqExportAttributes::setDrawingState(const TDrawingState& state) {
  font_ = state.font;
  alignment_ = state.alignment;
  backColor_ = state.backColor;
  prevPoint_ = state.prevPoint;
}

void TZdqExportAttributes::BeginLayoutPass() {
  TZdqExport::BeginLayoutPass();
  if (slotsPending_) return beginSlotPass();
  resetPasses();
  records_.clear();
  grid_ = {};
  ClearLayout();
  layingOut_ = true;
  streamable_ = true;
  passStart_ = drawingState();
}

// The writers learn what they write before their rows while the drawing
// state is still that of the document's end, as when the whole grid is
// built at SaveToFile; the writing pass then starts from where the layout
// pass did.
void TZdqExportAttributes::EndLayoutPass(const std::string& fileName) {
  TZdqExport::EndLayoutPass(fileName);
  handOnCells(true);
  layingOut_ = false;
  records_.clear();
  openLines_.Clear();
  bound_.reset();
  const bool slotPassDone = rows_ != nullptr;
  rows_.reset();
  if (slotPassDone) slotsPending_ = false;
  grid_.RowCount = std::max(grid_.RowCount, 1);
  if (!streamable_ || grid_.Columns.empty()) slotsPending_ = false;
  if (streamable_ && !grid_.Columns.empty() && !slotsPending_) {
    BeginGridRows();
    rows_ = std::make_unique<TZdqRowAssembler>(grid_.Columns,
                                               [this](std::vector<TZdqMFERecord>& row) { WriteGridRow(row); });
  }
  setDrawingState(passStart_);
}

// With the columns known, the rows of the whole document come once more,
// completed as the writing pass will complete them, for LayoutCells.
void TZdqExportAttributes::beginSlotPass() {
  records_.clear();
  openLines_.Clear();
  bound_.reset();
  ClearLayout();
  layingOut_ = true;
  rows_ = std::make_unique<TZdqRowAssembler>(grid_.Columns,
                                             [this](std::vector<TZdqMFERecord>& row) { LayoutCells(row); });
  setDrawingState(passStart_);
}

bool TZdqExportAttributes::NeedsAnotherLayoutPass() const { return slotsPending_; }

void TZdqExportAttributes::PageProcessed(const TMetafile& page) {
  TZdqExport::PageProcessed(page);
  if (layingOut_ || rows_) handOnCells(false);
}

// Pages come top to bottom (the bars of a page side by side): no later
// page reaches more than ZDQ_EQUAL_Y above the top of the page just done.
// A page that does breaks the layout pass's order, and the whole grid is
// then built at SaveToFile.
void TZdqExportAttributes::handOnCells(bool all) {
  if (!streamable_) {
    if (layingOut_) records_.clear();
    return;
  }
  const bool keepLast = !all && !records_.empty() && records_.back().Kind == TZdqMFERecordKind::rkText;
  std::vector<TZdqMFERecord> page;
  if (keepLast) {
    TZdqMFERecord last = std::move(records_.back());
    records_.pop_back();
    page = std::move(records_);
    records_ = {};
    records_.push_back(std::move(last));
  } else {
    page = std::move(records_);
    records_ = {};
  }
  int top = INT_MAX;
  for (const TZdqMFERecord& cell : page) top = std::min(top, cell.Top);
  if (bound_ && top < *bound_) {
    if (rows_) throw std::logic_error("export: the pages changed between the layout and the writing pass");
    streamable_ = false;
    openLines_.Clear();
    records_.clear();
    return;
  }
  openLines_.Add(std::move(page));
  if (!all) {
    const int pageTop = OffsetY - ZDQ_EQUAL_Y;
    bound_ = std::max(bound_.value_or(pageTop), pageTop);
  }
  std::vector<int> lines;
  std::vector<TZdqMFERecord> complete = openLines_.TakeLines(all ? std::nullopt : bound_, lines);
  if (rows_) {
    rows_->Add(complete, lines);
    if (all) rows_->Finish();
  } else {
    // Texts that may end up in one slot are laid out as the cell they make
    // by a pass of their own.
    if (LayoutNeedsSlots() && !slotsPending_ && MayShareSlot(complete, lines)) slotsPending_ = true;
    AddToGrid(grid_, complete, lines);
    if (!slotsPending_) LayoutCells(complete);
  }
}

void TZdqExportAttributes::SaveToFile(const std::string& fileName) {
  TZdqExport::SaveToFile(fileName);
  if (rows_) {
    handOnCells(true);
    rows_.reset();
    return;
  }
  grid_ = BuildCellGrid(records_);
  ClearLayout();
  LayoutCells(records_);
}

// The enumerator keeps the object table current, so the state before a
// record already holds every object created so far.
void TZdqExportAttributes::ExportEMFRecord(const TEmfRecord& record, const TEmfState& state) {
  TZdqExport::ExportEMFRecord(record, state);
  switch (record.Type) {
    case EMR_SETTEXTALIGN: {
      const uint32_t mode = record.U32(8);
      if (mode < 2) alignment_ = mode == 0 ? TAlignment::taLeftJustify : TAlignment::taRightJustify;
      break;
    }
    case EMR_SETTEXTCOLOR: font_.Color = record.U32(8); break;
    case EMR_SETBKCOLOR: backColor_ = record.U32(8); break;
    case EMR_MOVETOEX: prevPoint_ = {record.I32(8), record.I32(12)}; break;
    case EMR_SELECTOBJECT: selectFont(record, state); break;
    case EMR_LINETO:
      if (RecordKinds.Has(TZdqMFERecordKind::rkLine)) addLine(record, state);
      break;
    case EMR_RECTANGLE:
      if (RecordKinds.Has(TZdqMFERecordKind::rkRectangle)) addBox(TZdqMFERecordKind::rkRectangle, record);
      break;
    case EMR_ELLIPSE:
      if (RecordKinds.Has(TZdqMFERecordKind::rkEllipse)) addBox(TZdqMFERecordKind::rkEllipse, record);
      break;
    case EMR_EXTTEXTOUTA: case EMR_EXTTEXTOUTW: case EMR_SMALLTEXTOUT:
      if (RecordKinds.Has(TZdqMFERecordKind::rkText)) addText(record, state);
      break;
    case EMR_BITBLT: case EMR_STRETCHBLT: case EMR_STRETCHDIBITS:
      if (RecordKinds.Has(TZdqMFERecordKind::rkPicture)) addPicture(record);
      break;
    default: break;
  }
}

// Stock objects (high bit set) are left alone: they carry no face to read.
void TZdqExportAttributes::selectFont(const TEmfRecord& record, const TEmfState& state) {
  const uint32_t handle = record.U32(8);
  if ((handle & 0x80000000) || handle >= state.Objects.size()) return;
  const TEmfObject& object = state.Objects[handle];
  if (object.kind != TEmfObject::Font) return;
  const TEmfLogFont& lf = object.font;
  font_.Name = lf.FaceName;
  font_.SetPixelHeight(lf.Height < 0 ? clampToInt(-int64_t(lf.Height)) : lf.Height);
  font_.Style.Set(fsBold, lf.Weight >= 700);
  font_.Style.Set(fsItalic, lf.Italic == 1);
  font_.Style.Set(fsUnderline, lf.Underline == 1);
  font_.Style.Set(fsStrikeOut, lf.StrikeOut == 1);
  font_.Charset = lf.CharSet;
  font_.Pitch = pitchOf(lf.PitchAndFamily);
}

TZdqMFERecord TZdqExportAttributes::newCell(TZdqMFERecordKind kind) const {
  TZdqMFERecord cell;
  cell.Kind = kind;
  cell.BackColor = backColor_;
  return cell;
}

void TZdqExportAttributes::addLine(const TEmfRecord& record, const TEmfState& state) {
  TZdqMFERecord cell = newCell(TZdqMFERecordKind::rkLine);
  const TPoint to{record.I32(8), record.I32(12)};
  cell.Width = std::abs(extent(prevPoint_.X, to.X));
  cell.Height = std::abs(extent(prevPoint_.Y, to.Y));
  cell.Left = shifted(prevPoint_.X, OffsetX);
  cell.Top = shifted(prevPoint_.Y, OffsetY);
  cell.LineEnd = {shifted(to.X, OffsetX), shifted(to.Y, OffsetY)};
  cell.Pen = penOf(state.Pen);
  prevPoint_ = to;
  records_.push_back(std::move(cell));
}

void TZdqExportAttributes::addBox(TZdqMFERecordKind kind, const TEmfRecord& record) {
  const TRect box = inflated(record.RectAt(8));
  TZdqMFERecord cell = newCell(kind);
  cell.Left = shifted(box.Left, OffsetX);
  cell.Top = shifted(box.Top, OffsetY);
  cell.Width = extent(box.Left, box.Right);
  cell.Height = extent(box.Top, box.Bottom);
  records_.push_back(std::move(cell));
}

// Runs drawn next to each other on one line (as a text split by font
// changes or by the recorder) become one cell. Text its clip hides is not
// collected: the page does not show it.
void TZdqExportAttributes::addText(const TEmfRecord& record, const TEmfState& state) {
  const std::optional<TEmfText> text = ReadEmfText(record);
  if (!text || Trim(text->Text).empty()) return;
  const std::optional<TRect> clip = clipOf(record, *text);
  // Unclipped bounds are the drawn box itself; only a clipped text needs measuring.
  const TRect drawn = clip ? textBox(record, *text, state) : unclippedBox(record, *text);
  if (clip && !ShownInClip(drawn, *clip)) return;
  const TRect box = record.Type == EMR_SMALLTEXTOUT ? text->Bounds : inflated(text->Bounds);
  const int left = shifted(box.Left, OffsetX), top = shifted(box.Top, OffsetY);
  const TAlignment alignment = clip ? AlignmentInBox(drawn, *clip, alignment_) : alignment_;

  TZdqMFERecord* last = records_.empty() ? nullptr : &records_.back();
  const bool joins = last && last->Kind == TZdqMFERecordKind::rkText && last->Top == top &&
                     last->BackColor == backColor_ && last->Alignment == alignment &&
                     std::abs(int64_t(last->Left) + last->Width - left) < 5;
  TZdqMFERecord fresh;
  TZdqMFERecord& cell = joins ? *last : fresh;
  cell.Kind = TZdqMFERecordKind::rkText;
  cell.BackColor = backColor_;
  cell.Font = font_;
  cell.Alignment = alignment;
  cell.Text += text->Text;
  const TRect drawnOnPage{shifted(drawn.Left, OffsetX), shifted(drawn.Top, OffsetY), shifted(drawn.Right, OffsetX),
                          shifted(drawn.Bottom, OffsetY)};
  if (joins) {
    cell.TextBox.Right = std::max(cell.TextBox.Right, drawnOnPage.Right);
  } else {
    cell.Left = left;
    cell.Top = top;
    cell.TextBox = drawnOnPage;
    if (clip)
      cell.ControlBox = TRect{shifted(clip->Left, OffsetX), shifted(clip->Top, OffsetY), shifted(clip->Right, OffsetX),
                              shifted(clip->Bottom, OffsetY)};
  }
  cell.Width = shifted(cell.Width, extent(box.Left, box.Right));
  cell.Height = shifted(cell.Height, extent(box.Top, box.Bottom));
  if (!joins) records_.push_back(std::move(fresh));
}

void TZdqExportAttributes::addPicture(const TEmfRecord& record) {
  TZdqMFERecord cell = newCell(TZdqMFERecordKind::rkPicture);
  cell.BackColor = record.Type == EMR_STRETCHDIBITS ? 0 : record.U32(76);
  const TRect box = inflated(record.RectAt(8));
  cell.Left = shifted(box.Left, OffsetX);
  cell.Top = shifted(box.Top, OffsetY);
  cell.Width = extent(box.Left, box.Right);
  cell.Height = extent(box.Top, box.Bottom);
  cell.Bitmap = pictureOf(record);
  records_.push_back(std::move(cell));
}

}  // namespace zd
