#pragma once
// The platform font behind a PDF font: its tables, glyphs and metrics as
// the font itself states them (Qt stays in the .cpp file).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/graphics/Canvas.h"

namespace zd {

class TPdfFontFile {
 public:
  // The installed font that a canvas font of this name and style draws
  // with; Valid() is false when the platform has none.
  explicit TPdfFontFile(const TFont& font);
  ~TPdfFontFile();
  TPdfFontFile(const TPdfFontFile&) = delete;
  TPdfFontFile& operator=(const TPdfFontFile&) = delete;

  bool Valid() const;
  // A table of the font file by its four-letter tag; empty when absent.
  std::string Table(const char* tag) const;
  // Outlines in a "glyf" table (rather than CFF ones).
  bool IsTrueType() const;
  // The font's licence allows embedding (OS/2 type is not "restricted").
  bool IsEmbeddable() const;
  std::string PostScriptName() const;
  int UnitsPerEm() const;
  int Weight() const;  // 100 to 900
  // Pitch-and-family byte as the platform's text metrics report it:
  // family in the high nibble, bit 0 variable pitch, bit 2 TrueType.
  uint8_t PitchAndFamily() const;

  // Glyph of a character, 0 when the font has none.
  uint16_t GlyphIndex(char32_t character) const;
  int GlyphCount() const;
  // Advance of a glyph in thousandths of the em.
  int AdvanceWidth(uint16_t glyph) const;

  // Metrics in thousandths of the em.
  int Ascent() const;
  int Descent() const;  // negative below the baseline
  int CapHeight() const;
  int ItalicAngle() const;  // degrees, negative leaning right
  // xMin, yMin, xMax, yMax of all glyphs as Left, Top, Right, Bottom.
  TRect BoundingBox() const;

  // The whole font file put back together from its tables.
  std::string FileBytes() const;

  struct Impl;
  explicit TPdfFontFile(std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> d_;
};

// The installed font a canvas font draws with, one object per face for the
// whole process (so a document embeds each face once); an invalid one when
// the platform has none.
std::shared_ptr<TPdfFontFile> PdfFontFileOf(const TFont& font);

// A run of glyphs of one installed font, as the page lays a text out.
struct TPdfGlyphRun {
  std::shared_ptr<TPdfFontFile> Font;
  bool RightToLeft = false;  // a run of a right-to-left script
  // Left to right on the page: each glyph, its x in page units from the
  // text's left edge, and the characters it shows (empty for none).
  std::vector<uint16_t> Glyphs;
  std::vector<double> X;
  std::vector<std::u32string> Texts;
};

// The text laid out as the page lays it out: shaped, in visual order
// (right-to-left scripts as they read), each character in the canvas font
// or, when that has no glyph for it, in the font the platform's font
// matching falls back to.
std::vector<TPdfGlyphRun> LayOutPdfText(const TFont& font, std::string_view utf8);

}  // namespace zd
