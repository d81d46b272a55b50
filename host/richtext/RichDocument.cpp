#include "host/richtext/RichDocument.h"

#include <algorithm>

namespace zd {

namespace {
// Bounds that keep a hostile \fs from asking the font engine for absurd sizes.
constexpr int kMinPoints = 1, kMaxPoints = 1638;
}  // namespace

TFont TRunFormat::Resolve(const TFont& base) const {
  TFont f = base;
  if (FontName && !FontName->empty()) f.Name = *FontName;
  if (HalfPoints) f.Size = std::clamp(*HalfPoints / 2, kMinPoints, kMaxPoints);
  if (Bold) f.Style.Set(fsBold, *Bold);
  if (Italic) f.Style.Set(fsItalic, *Italic);
  if (Underline) f.Style.Set(fsUnderline, *Underline);
  if (StrikeOut) f.Style.Set(fsStrikeOut, *StrikeOut);
  if (Color) f.Color = *Color;
  if (Charset) f.Charset = *Charset;
  f.Orientation = 0;
  return f;
}

std::string TRichParagraph::PlainText() const {
  std::string s;
  for (const auto& r : Runs) s += r.Text;
  return s;
}

std::string TRichDocument::PlainText() const {
  std::string s;
  for (size_t i = 0; i < Paragraphs.size(); ++i) {
    if (i) s += '\n';
    s += Paragraphs[i].PlainText();
  }
  return s;
}

}  // namespace zd
