#pragma once
// Stacks the lines of a document's paragraphs into a rectangle (twips) and
// paints them on a canvas (pixels at 96 dpi). Lines that would end below the
// rectangle are cut, and so is everything after them.
#include <optional>
#include <vector>

#include "host/graphics/Canvas.h"
#include "host/richtext/ParagraphLayout.h"
#include "host/richtext/RichDocument.h"
#include "host/richtext/TextMeasurer.h"

namespace zd {

class TRichTextLayout {
 public:
  TRichTextLayout(const TRichDocument& doc, const TFont& defaultFont, TParaAlignment defaultAlignment)
      : doc_(doc), font_(defaultFont), alignment_(defaultAlignment) {}

  void Layout(const TRect& rectTwips, TTextMeasurer& measurer);

  const std::vector<TLayoutLine>& Lines() const { return lines_; }  // absolute positions
  int Bottom() const { return bottom_; }  // of the laid-out text, twips

 private:
  const TRichDocument& doc_;
  TFont font_;
  TParaAlignment alignment_;
  std::vector<TLayoutLine> lines_;
  int bottom_ = 0;
  // False once a line did not fit.
  bool stackParagraph(const TRichParagraph& p, const TRect& rect, TTextMeasurer& measurer, long long& y);
};

// Draws laid-out lines: highlights first, then each piece's text in its font.
// With a background, the rectangle down to the text's bottom is filled first.
// The canvas's font, brush, alignment and background mode are restored.
void PaintRichTextLayout(TCanvas& canvas, const TRichTextLayout& layout, const TRect& rectTwips,
                         std::optional<TColor> background);

int TwipsToPixels(int twips);

}  // namespace zd
