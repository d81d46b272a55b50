#include "export/pdf/detail/PdfPageText.h"

#include <QFontMetricsF>

#include <algorithm>

#include "host/graphics/QtGraphics.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

// Characters drawn one glyph each, whatever their neighbours: no marks that
// combine, no script that joins, reorders or reads right to left. Others are
// shaped.
bool IsPlain(char32_t c) {
  struct TRange {
    char32_t first, last;
  };
  static constexpr TRange kPlain[] = {
      {0x0020, 0x007E}, {0x00A0, 0x02FF},  // Latin
      {0x0370, 0x058F},                    // Greek, Cyrillic, Armenian
      {0x1E00, 0x1FFF},                    // Latin and Greek extended
      {0x2010, 0x2027}, {0x2030, 0x205F},  // punctuation
      {0x2070, 0x20CF}, {0x2100, 0x2BFF},  // super- and subscripts, currency, symbols
      {0x3000, 0x303F}, {0x3040, 0x30FF},  // CJK punctuation, kana
      {0x4E00, 0x9FFF},                    // CJK ideographs
      {0xAC00, 0xD7A3},                    // Hangul syllables
      {0xFF01, 0xFF60},                    // full-width forms
  };
  for (const TRange& r : kPlain)
    if (c <= r.last) return c >= r.first;
  return false;
}

bool SameFont(const TEmfLogFont& a, const TEmfLogFont& b) {
  return a.Height == b.Height && a.Weight == b.Weight && a.Italic == b.Italic && a.Underline == b.Underline &&
         a.StrikeOut == b.StrikeOut && a.CharSet == b.CharSet && a.PitchAndFamily == b.PitchAndFamily &&
         a.FaceName == b.FaceName;
}

// What tells apart the fonts the player draws (SameFont compares the same).
std::string keyOf(const TEmfLogFont& f) {
  return f.FaceName + '|' + std::to_string(f.Height) + '|' + std::to_string(f.Weight) + '|' +
         std::to_string(f.Italic) + std::to_string(f.Underline) + std::to_string(f.StrikeOut) + '|' +
         std::to_string(f.CharSet) + '|' + std::to_string(f.PitchAndFamily);
}

}  // namespace

uint16_t TPdfFaceGlyphs::Glyph(char32_t character) {
  if (character > 0x10FFFF) return file_->GlyphIndex(character);
  const size_t page = character / 256;
  if (page >= glyphPages_.size()) glyphPages_.resize(page + 1);
  if (!glyphPages_[page]) {
    glyphPages_[page] = std::make_unique<TGlyphPage>();
    glyphPages_[page]->fill(kNotAsked);
  }
  int32_t& glyph = (*glyphPages_[page])[character % 256];
  if (glyph == kNotAsked) glyph = file_->GlyphIndex(character);
  return uint16_t(glyph);
}

int TPdfFaceGlyphs::Advance(uint16_t glyph) {
  if (glyph >= advances_.size()) advances_.resize(size_t(glyph) + 1, kNotAsked);
  int32_t& advance = advances_[glyph];
  if (advance == kNotAsked) advance = file_->AdvanceWidth(glyph);
  return advance;
}

const TPdfTextFont& TPdfTextLayout::FontOf(const TEmfLogFont& logFont) {
  if (!lastLogFont_ || !SameFont(*lastLogFont_, logFont)) {
    lastLogFont_ = logFont;
    lastFont_ = &resolve(logFont);
  }
  return *lastFont_;
}

const TPdfTextFont& TPdfTextLayout::resolve(const TEmfLogFont& logFont) {
  const std::string key = keyOf(logFont);
  const auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;

  // As the player takes it: a default name, a size it can draw.
  TFont font = logFont.ToFont();
  font.Orientation = 0;
  if (font.Name.empty()) font.Name = "Arial";
  font.Size = std::clamp(font.Size, 1, 2000);
  const QFont qfont = ToQFont(font);
  const QFontMetricsF metrics(qfont);
  TPdfTextFont entry;
  entry.Font = font;
  entry.EmSize = qfont.pixelSize();
  entry.Ascent = metrics.ascent();
  entry.Descent = metrics.descent();
  entry.UnderlineOffset = metrics.underlinePos();
  entry.StrikeOutOffset = metrics.strikeOutPos();
  entry.LineWidth = std::max(1.0, metrics.lineWidth());
  entry.Face = &Face(PdfFontFileOf(font));
  return fonts_.emplace(key, std::move(entry)).first->second;
}

TPdfFaceGlyphs& TPdfTextLayout::Face(const std::shared_ptr<TPdfFontFile>& file) {
  return faces_.try_emplace(file.get(), file).first->second;
}

TPdfTextLine TPdfTextLayout::LayOut(const TPdfTextFont& font, const std::string& utf8,
                                    const std::vector<int32_t>& advances) {
  TPdfTextLine line;
  const std::u32string text = DecodeUtf8(utf8);
  if (layOutPlain(font, text, advances, line)) return line;
  line.Runs = LayOutPdfText(font.Font, utf8);
  if (!advances.empty()) {
    line.Width = 0;
    for (int32_t advance : advances) line.Width += advance;
  } else {
    line.Width = MeasureText(font.Font, utf8).Width;
  }
  return line;
}

// One run in the canvas font, each glyph at the recorded advances (or, when
// none were recorded, at the font's own).
bool TPdfTextLayout::layOutPlain(const TPdfTextFont& font, const std::u32string& text,
                                 const std::vector<int32_t>& advances, TPdfTextLine& line) {
  TPdfFaceGlyphs& face = *font.Face;
  if (!face.File()->Valid()) return false;
  TPdfGlyphRun run;
  run.Font = face.File();
  run.Glyphs.reserve(text.size());
  run.X.reserve(text.size());
  run.Texts.reserve(text.size());
  double x = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (!IsPlain(c)) return false;
    const uint16_t glyph = face.Glyph(c);
    if (glyph == 0) return false;
    run.Glyphs.push_back(glyph);
    run.X.push_back(x);
    run.Texts.push_back(std::u32string(1, c));
    // Plain characters are single UTF-16 units, so the advances line up.
    x += i < advances.size() ? advances[i] : face.Advance(glyph) * font.EmSize / 1000.0;
  }
  line.Width = x;
  if (!run.Glyphs.empty()) line.Runs.push_back(std::move(run));
  return true;
}

}  // namespace zd
