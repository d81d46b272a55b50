#pragma once
// Texts of a page as glyphs of installed fonts, placed where the page
// places them: characters the canvas font shows one glyph each go at the
// advances the metafile recorded; anything else (scripts that need shaping,
// characters only a fallback font has) is laid out as the page lays it out.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "export/pdf/detail/PdfFontFile.h"
#include "host/emf/Metafile.h"

namespace zd {

// Glyph numbers and advances of one installed face, asked once each. Every
// character of every text goes through here, so both are kept in arrays:
// glyphs in pages of 256 characters made as characters of the page come up,
// advances by glyph number.
class TPdfFaceGlyphs {
 public:
  explicit TPdfFaceGlyphs(std::shared_ptr<TPdfFontFile> file) : file_(std::move(file)) {}
  // The glyph of a character; 0 when the face has none.
  uint16_t Glyph(char32_t character);
  // Advance in thousandths of the em, as the embedded font's widths state it.
  int Advance(uint16_t glyph);
  const std::shared_ptr<TPdfFontFile>& File() const { return file_; }

 private:
  static constexpr int32_t kNotAsked = -1;
  using TGlyphPage = std::array<int32_t, 256>;

  std::shared_ptr<TPdfFontFile> file_;
  std::vector<std::unique_ptr<TGlyphPage>> glyphPages_;  // by character / 256
  std::vector<int32_t> advances_;                         // by glyph
};

// A font of the page's texts as the player draws it, sizes in page units.
struct TPdfTextFont {
  TFont Font;  // the canvas font (a default name, a size in range)
  double EmSize = 0;
  double Ascent = 0, Descent = 0;  // both positive
  double UnderlineOffset = 0;      // below the baseline
  double StrikeOutOffset = 0;      // above the baseline
  double LineWidth = 1;            // of underline and strike-out
  TPdfFaceGlyphs* Face = nullptr;  // the canvas font's own face
};

// A text laid out: glyph runs left to right, x from the text's start.
struct TPdfTextLine {
  std::vector<TPdfGlyphRun> Runs;
  double Width = 0;
};

class TPdfTextLayout {
 public:
  // The font a metafile font stands for, resolved once per distinct font.
  const TPdfTextFont& FontOf(const TEmfLogFont& logFont);
  // The text in the font; advances (per UTF-16 unit, may be empty) place
  // the glyphs where the page put them.
  TPdfTextLine LayOut(const TPdfTextFont& font, const std::string& utf8, const std::vector<int32_t>& advances);
  // Glyphs and advances of an installed face.
  TPdfFaceGlyphs& Face(const std::shared_ptr<TPdfFontFile>& file);

 private:
  const TPdfTextFont& resolve(const TEmfLogFont& logFont);
  bool layOutPlain(const TPdfTextFont& font, const std::u32string& text, const std::vector<int32_t>& advances,
                   TPdfTextLine& line);

  std::map<std::string, TPdfTextFont> fonts_;
  // Texts come in runs of one font: the last one asked for and its answer.
  std::optional<TEmfLogFont> lastLogFont_;
  const TPdfTextFont* lastFont_ = nullptr;
  std::unordered_map<const TPdfFontFile*, TPdfFaceGlyphs> faces_;
};

}  // namespace zd
