#include "host/richtext/RichTextLayout.h"

#include <algorithm>

namespace zd {

void TRichTextLayout::Layout(const TRect& rect, TTextMeasurer& measurer) {
  lines_.clear();
  long long y = rect.Top;
  if (doc_.Paragraphs.empty()) {
    // An empty control still shows one empty line in its font.
    stackParagraph(TRichParagraph{}, rect, measurer, y);
  } else {
    for (const auto& p : doc_.Paragraphs)
      if (!stackParagraph(p, rect, measurer, y)) break;
  }
  bottom_ = int(std::clamp<long long>(y, rect.Top, std::max(rect.Top, rect.Bottom)));
}

bool TRichTextLayout::stackParagraph(const TRichParagraph& p, const TRect& rect, TTextMeasurer& measurer,
                                     long long& y) {
  std::vector<TLayoutLine> lines = TParagraphLayouter(p, font_, alignment_, measurer).Layout(rect.Left, rect.Right);
  long long top = y + p.Format.SpaceBefore;
  bool placed = false;
  for (auto& line : lines) {
    if (top + line.Height > rect.Bottom) {
      if (placed) y = top;  // the text ends with the last line that fitted
      return false;
    }
    line.Top = int(top);
    line.Baseline += int(top);
    top += line.Height;
    lines_.push_back(std::move(line));
    placed = true;
  }
  y = top + p.Format.SpaceAfter;
  return true;
}

int TwipsToPixels(int twips) {
  const long long t = twips, half = kTwipsPerPixel / 2;
  return int(t >= 0 ? (t + half) / kTwipsPerPixel : -((-t + half) / kTwipsPerPixel));
}

void PaintRichTextLayout(TCanvas& canvas, const TRichTextLayout& layout, const TRect& rect,
                         std::optional<TColor> background) {
  const TFont savedFont = canvas.Font;
  const TBrush savedBrush = canvas.Brush;
  const uint32_t savedAlign = canvas.TextAlign();
  const TBkMode savedMode = canvas.BkMode();
  if (background && layout.Bottom() > rect.Top) {
    canvas.Brush = TBrush{*background, TBrushStyle::bsSolid};
    canvas.FillRect(TRect{TwipsToPixels(rect.Left), TwipsToPixels(rect.Top), TwipsToPixels(rect.Right),
                          TwipsToPixels(layout.Bottom())});
  }
  for (const auto& line : layout.Lines()) {
    for (const auto& piece : line.Pieces) {
      if (!piece.Background) continue;
      canvas.Brush = TBrush{*piece.Background, TBrushStyle::bsSolid};
      canvas.FillRect(TRect{TwipsToPixels(piece.X), TwipsToPixels(line.Top), TwipsToPixels(piece.X + piece.Width),
                            TwipsToPixels(line.Top + line.Height)});
    }
  }
  canvas.SetTextAlign(TA_LEFT | TA_TOP);
  canvas.SetBkMode(TBkMode::bmTransparent);
  for (const auto& line : layout.Lines()) {
    for (const auto& piece : line.Pieces) {
      if (piece.Text.empty()) continue;
      canvas.Font = piece.Font;
      canvas.TextOut(TwipsToPixels(piece.X), TwipsToPixels(line.Baseline - piece.Ascent), piece.Text);
    }
  }
  canvas.Font = savedFont;
  canvas.Brush = savedBrush;
  canvas.SetTextAlign(savedAlign);
  canvas.SetBkMode(savedMode);
}

}  // namespace zd
