#include "export/pdf/detail/PdfPagePainter.h"

#include <algorithm>
#include <cmath>

namespace zd {

namespace {

// Bézier control distance of a quarter ellipse, as a fraction of its radius.
constexpr double kKappa = 0.5522847498;
// The player keeps at most this many saved states.
constexpr size_t kMaxSavedStates = 1024;
// A recorded advance is the font's own rounded to whole page units: closer
// than this, the glyph stays where the font's advance puts it.
constexpr double kAdvanceTolerance = 0.75;
constexpr double kPi = 3.14159265358979323846;

// Coordinates beyond these come only from broken records; the player skips them.
bool sane(int v) { return v > -(1 << 24) && v < (1 << 24); }
bool sane(const TRect& r) { return sane(r.Left) && sane(r.Top) && sane(r.Right) && sane(r.Bottom); }

// Dash patterns in pen widths, as the player's pen styles draw them (by
// style: solid, dash, dot, dash-dot, dash-dot-dot).
const std::vector<int>& dashPattern(uint32_t style) {
  static const std::vector<int> kPatterns[] = {{}, {4, 2}, {1, 2}, {4, 2, 1, 2}, {4, 2, 1, 2, 1, 2}};
  return kPatterns[style];
}

}  // namespace

void TPdfPagePainter::Begin() {
  out_.clear();
  resources_.Clear();
  saved_.clear();
  g_ = TGraphics{};
}

std::string TPdfPagePainter::Finish(int height) {
  while (!saved_.empty()) restore();
  // Page units (96 an inch) with y downwards onto points with y upwards;
  // square line ends and bevelled joins, as the player draws.
  std::string page = "0.75 0 0 -0.75 0 ";
  AppendPdfNumber(page, height * 0.75);
  page += " cm 2 J 2 j\n";
  return page + out_;
}

void TPdfPagePainter::number(double value) {
  AppendPdfNumber(out_, value);
  out_ += ' ';
}

void TPdfPagePainter::op(const char* name) {
  out_ += name;
  out_ += '\n';
}

void TPdfPagePainter::color(TColor c) {
  number(RedOf(c) / 255.0);
  number(GreenOf(c) / 255.0);
  number(BlueOf(c) / 255.0);
}

void TPdfPagePainter::setFill(TColor c) {
  if (g_.Fill == c) return;
  color(c);
  op("rg");
  g_.Fill = c;
}

void TPdfPagePainter::setStroke(TColor c) {
  if (g_.Stroke == c) return;
  color(c);
  op("RG");
  g_.Stroke = c;
}

bool TPdfPagePainter::usePen(const TEmfPen& pen) {
  const uint32_t style = pen.Style & 0x0F;
  if (style == 5) return false;  // the null pen
  setStroke(pen.Color);
  const double width = std::clamp(pen.Width, 1, 1000);
  const uint32_t dash = style <= 4 ? style : 0;
  if (width != g_.LineWidth) {
    number(width);
    op("w");
  }
  if (dash != g_.Dash || (dash && width != g_.LineWidth)) {
    out_ += '[';
    for (int length : dashPattern(dash)) number(length * width);
    out_ += "] 0 ";
    op("d");
  }
  g_.LineWidth = width;
  g_.Dash = dash;
  return true;
}

bool TPdfPagePainter::useBrush(const TEmfBrush& brush) {
  if (brush.Style == 1) return false;  // the hollow brush
  if (brush.Style == 2 && brush.Hatch < TPdfSharedResources::kHatchStyles) {
    out_ += "/Hatch cs ";
    color(brush.Color);
    out_ += resources_.Hatch(brush.Hatch);
    op(" scn");
    g_.Fill.reset();
    return true;
  }
  setFill(brush.Color);
  return true;
}

void TPdfPagePainter::paintPath(bool fill, bool stroke) { op(fill ? (stroke ? "B" : "f") : (stroke ? "S" : "n")); }

void TPdfPagePainter::save() {
  op("q");
  saved_.push_back(g_);
}

void TPdfPagePainter::restore() {
  op("Q");
  g_ = saved_.back();
  saved_.pop_back();
}

void TPdfPagePainter::Paint(const TEmfRecord& r, const TEmfState& state) {
  switch (r.Type) {
    case EMR_LINETO: line(state.Position, TPoint{r.I32(8), r.I32(12)}, state.Pen); break;
    case EMR_RECTANGLE: rectangle(r.RectAt(8), state); break;
    case EMR_ELLIPSE: ellipse(r.RectAt(8), state); break;
    case EMR_ROUNDRECT: roundRect(r.RectAt(8), r.I32(24), r.I32(28), state); break;
    case EMR_INTERSECTCLIPRECT: clip(r.RectAt(8)); break;
    case EMR_SAVEDC:
      if (saved_.size() < kMaxSavedStates) save();
      break;
    case EMR_RESTOREDC:
      for (int32_t i = r.I32(8); i < 0 && !saved_.empty(); ++i) restore();
      break;
    case EMR_EXTTEXTOUTW: case EMR_EXTTEXTOUTA: case EMR_SMALLTEXTOUT: text(r, state); break;
    case EMR_STRETCHDIBITS: bitmap(r); break;
    default: break;
  }
}

// Through the pixel centres, as the player draws lines.
void TPdfPagePainter::line(const TPoint& from, const TPoint& to, const TEmfPen& pen) {
  if (!sane(from.X) || !sane(from.Y) || !sane(to.X) || !sane(to.Y) || !usePen(pen)) return;
  number(from.X + 0.5);
  number(from.Y + 0.5);
  out_ += "m ";
  number(to.X + 0.5);
  number(to.Y + 0.5);
  op("l S");
}

// Boxes leave out their right and bottom edges: the outline runs through the
// centres of the pixels inside.
void TPdfPagePainter::rectangle(const TRect& r, const TEmfState& state) {
  if (!sane(r)) return;
  const bool stroke = usePen(state.Pen), fill = useBrush(state.Brush);
  if (!stroke && !fill) return;
  number(r.Left + 0.5);
  number(r.Top + 0.5);
  number(r.Width() - 1.0);
  number(r.Height() - 1.0);
  out_ += "re ";
  paintPath(fill, stroke);
}

void TPdfPagePainter::ellipse(const TRect& r, const TEmfState& state) {
  if (!sane(r)) return;
  const bool stroke = usePen(state.Pen), fill = useBrush(state.Brush);
  if (!stroke && !fill) return;
  const double rx = (r.Width() - 1.0) / 2, ry = (r.Height() - 1.0) / 2;
  const double cx = r.Left + 0.5 + rx, cy = r.Top + 0.5 + ry, kx = kKappa * rx, ky = kKappa * ry;
  auto point = [this](double x, double y) {
    number(x);
    number(y);
  };
  point(cx + rx, cy);
  out_ += "m ";
  point(cx + rx, cy + ky), point(cx + kx, cy + ry), point(cx, cy + ry);
  out_ += "c ";
  point(cx - kx, cy + ry), point(cx - rx, cy + ky), point(cx - rx, cy);
  out_ += "c ";
  point(cx - rx, cy - ky), point(cx - kx, cy - ry), point(cx, cy - ry);
  out_ += "c ";
  point(cx + kx, cy - ry), point(cx + rx, cy - ky), point(cx + rx, cy);
  out_ += "c h ";
  paintPath(fill, stroke);
}

// Corners as the player rounds them: it takes half the corner size for a
// radius, no more than half the box, and its arcs have half that radius.
void TPdfPagePainter::roundRect(const TRect& r, int cornerWidth, int cornerHeight, const TEmfState& state) {
  if (!sane(r) || !sane(cornerWidth) || !sane(cornerHeight)) return;
  const double x = r.Left + 0.5, y = r.Top + 0.5, w = r.Width() - 1.0, h = r.Height() - 1.0;
  const double rx = std::min(std::abs(cornerWidth) / 2.0, std::abs(w) / 2) / 2,
               ry = std::min(std::abs(cornerHeight) / 2.0, std::abs(h) / 2) / 2;
  if (rx <= 0 || ry <= 0) {
    rectangle(r, state);
    return;
  }
  const bool stroke = usePen(state.Pen), fill = useBrush(state.Brush);
  if (!stroke && !fill) return;
  const double kx = kKappa * rx, ky = kKappa * ry;
  auto point = [this](double px, double py) {
    number(px);
    number(py);
  };
  point(x + rx, y);
  out_ += "m ";
  point(x + w - rx, y);
  out_ += "l ";
  point(x + w - rx + kx, y), point(x + w, y + ry - ky), point(x + w, y + ry);
  out_ += "c ";
  point(x + w, y + h - ry);
  out_ += "l ";
  point(x + w, y + h - ry + ky), point(x + w - rx + kx, y + h), point(x + w - rx, y + h);
  out_ += "c ";
  point(x + rx, y + h);
  out_ += "l ";
  point(x + rx - kx, y + h), point(x, y + h - ry + ky), point(x, y + h - ry);
  out_ += "c ";
  point(x, y + ry);
  out_ += "l ";
  point(x, y + ry - ky), point(x + rx - kx, y), point(x + rx, y);
  out_ += "c h ";
  paintPath(fill, stroke);
}

void TPdfPagePainter::clip(const TRect& r) {
  if (!sane(r)) return;
  number(r.Left);
  number(r.Top);
  number(r.Width());
  number(r.Height());
  op("re W n");
}

// At the reference point per the text alignment, turned by the font's
// escapement, on the background colour when the mode is opaque, cut to the
// record's rectangle when it asks for clipping.
void TPdfPagePainter::text(const TEmfRecord& r, const TEmfState& state) {
  const std::optional<TEmfText> t = ReadEmfText(r);
  if (!t || t->Text.empty() || !sane(t->Reference.X) || !sane(t->Reference.Y)) return;
  TPdfTextLayout& layout = shared_.Text();
  const TPdfTextFont& font = layout.FontOf(state.Font);
  const TPdfTextLine line = layout.LayOut(font, t->Text, t->Dx);

  const bool clipped = r.Type != EMR_SMALLTEXTOUT && (t->Options & 4) && sane(r.RectAt(56));
  const bool turned = state.Font.Escapement != 0;
  if (clipped || turned) save();
  if (clipped) clip(r.RectAt(56));
  double x = t->Reference.X, y = t->Reference.Y;
  if (turned) {
    const double angle = -double(state.Font.Escapement) / 10.0 * kPi / 180.0, c = std::cos(angle), s = std::sin(angle);
    number(c), number(s), number(-s), number(c), number(x), number(y);
    op("cm");
    x = y = 0;
  }
  const uint32_t horizontal = state.TextAlign & 6, vertical = state.TextAlign & 24;
  if (horizontal == TA_CENTER) x -= line.Width / 2;
  else if (horizontal == TA_RIGHT) x -= line.Width;
  const double baseline = vertical == TA_BASELINE ? y : vertical == TA_BOTTOM ? y - font.Descent : y + font.Ascent;

  if (state.BkMode == 2) {
    setFill(state.BkColor);
    number(x), number(baseline - font.Ascent), number(line.Width), number(font.Ascent + font.Descent);
    op("re f");
  }
  setFill(state.TextColor);
  glyphs(line, x, baseline, font.EmSize);
  auto rule = [&](double top) {
    number(x), number(top), number(line.Width), number(font.LineWidth);
    op("re f");
  };
  if (font.Font.Style.Has(fsUnderline)) rule(baseline + font.UnderlineOffset);
  if (font.Font.Style.Has(fsStrikeOut)) rule(baseline - font.StrikeOutOffset - font.LineWidth / 2);
  if (clipped || turned) restore();
}

// Each run at its place; within a left-to-right run the glyphs follow the
// font's advances and are moved only where the layout puts them elsewhere.
// Right-to-left runs go glyph by glyph in reading order, so that text comes
// out of the page as it reads.
void TPdfPagePainter::glyphs(const TPdfTextLine& line, double x, double baseline, double emSize) {
  TZdqPDFFonts& fonts = shared_.Fonts();
  TPdfTextLayout& layout = shared_.Text();
  op("BT");
  for (const TPdfGlyphRun& run : line.Runs) {
    const int index = fonts.EmbeddedFont(shared_.Pdf(), run.Font);
    // A font set on this page is among its resources already.
    if (g_.Font != index || g_.FontSize != emSize) {
      out_ += resources_.Font(index);
      out_ += ' ';
      number(emSize);
      op("Tf");
      g_.Font = index;
      g_.FontSize = emSize;
    }
    auto moveTo = [&](double glyphX) {
      out_ += "1 0 0 -1 ";
      number(x + glyphX);
      number(baseline);
      op("Tm");
    };
    if (run.RightToLeft) {
      for (size_t g = run.Glyphs.size(); g-- > 0;) {
        moveTo(run.X[g]);
        fonts.AppendGlyphOperand(out_, index, run, g, g + 1);
        op(" Tj");
      }
      continue;
    }
    moveTo(run.X.front());
    TPdfFaceGlyphs& face = layout.Face(run.Font);
    // Written as an array for "TJ"; its bracket goes when no glyph moved.
    const size_t start = out_.size();
    out_ += '[';
    size_t from = 0;
    double at = run.X.front();
    for (size_t g = 0; g < run.Glyphs.size(); ++g) {
      if (g > from && std::abs(at - run.X[g]) > kAdvanceTolerance) {
        fonts.AppendGlyphOperand(out_, index, run, from, g);
        AppendPdfNumber(out_, (at - run.X[g]) * 1000 / emSize);
        from = g;
        at = run.X[g];
      }
      at += face.Advance(run.Glyphs[g]) * emSize / 1000;
    }
    fonts.AppendGlyphOperand(out_, index, run, from, run.Glyphs.size());
    if (from == 0) {
      out_.erase(start, 1);
      op(" Tj");
    } else {
      op("] TJ");
    }
  }
  op("ET");
}

// Stretched into its destination box, the picture's top row at the top.
void TPdfPagePainter::bitmap(const TEmfRecord& r) {
  const int xd = r.I32(24), yd = r.I32(28), cxd = r.I32(72), cyd = r.I32(76);
  const uint32_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
  if (offBmi > r.Size || cbBmi > r.Size - offBmi || offBits > r.Size || cbBits > r.Size - offBits)
    throw EMetafileError("bitmap record data lies outside the record");
  if (!cbBmi || !sane(xd) || !sane(yd) || !sane(cxd) || !sane(cyd)) return;
  TPdfImageSource source;
  source.Info = std::string_view(reinterpret_cast<const char*>(r.Data + offBmi), cbBmi);
  source.Bits = std::string_view(reinterpret_cast<const char*>(r.Data + offBits), cbBits);
  source.X = r.I32(32), source.Y = r.I32(36), source.Width = r.I32(40), source.Height = r.I32(44);
  const int image = shared_.Image(source);
  if (!image) return;
  out_ += "q ";
  number(cxd), number(0), number(0), number(-cyd), number(xd), number(double(yd) + cyd);
  out_ += "cm " + resources_.Image(image);
  op(" Do Q");
}

}  // namespace zd
