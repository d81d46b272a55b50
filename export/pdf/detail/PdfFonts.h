#pragma once
// The font table of the PDF writer: maps each canvas font of the text to a
// PDF font (resource name F + its index), remembers the fonts a document
// uses and writes them as font objects at the end of the file.
//
// Two ways to write them. A text that the 8-bit code page of its font's
// charset can carry uses one of the PDF base fonts, as small as a PDF gets.
// Any other text, and every text when subsets are asked for throughout, is
// laid out as the page lays it out and shown in embedded subsets of the
// real font files (the canvas font, or the fallback font that has a glyph
// it lacks), addressed by glyph number and mapped back to Unicode, so it
// shows and can be copied.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/pdf/detail/PdfFontFile.h"
#include "export/pdf/detail/PdfWriter.h"
#include "host/graphics/Canvas.h"

namespace zd {

struct TZdqPDFFont {
  int RefIndex = 0;      // object number
  std::string BaseFont;  // PDF base font name
  std::string Name;      // the canvas font's name
  uint8_t CharSet = 0;
  TFontStyles Style;
  bool IsTrueType = false;
  bool IsEmbeddable = false;
  int Flags = 32;  // font descriptor flags

  // Name, style and the flags taken from the installed font.
  void FontParameters(const TFont& font);
  // The base font with the charset's suffix ("Helvetica-Russian").
  std::string GetFontName() const;
  bool IsStandardFont() const;
  std::string EncodingString() const;
  // The code page in which the font's text is written.
  int CodePage() const;

  std::shared_ptr<TPdfFontFile> File;  // the installed font
  // An embedded subset rather than a base font.
  bool Embedded = false;
  // Embedded subsets: glyphs shown, each with the text it stands for.
  std::map<uint16_t, std::u32string> UsedGlyphs;
  // The keys of UsedGlyphs, looked up for every glyph drawn.
  std::vector<bool> GlyphUsed = std::vector<bool>(65536);
};

// Charset of a canvas font as the PDF fonts see it: the default charset (1)
// becomes the charset of the ANSI code page.
uint8_t EffectiveCharset(uint8_t charset, int ansiCodePage);
// The base font name for a font name, style and charset.
std::string PdfBaseFontFamily(const std::string& fontName, TFontStyles style, uint8_t charset);

class TZdqPDFFonts {
 public:
  explicit TZdqPDFFonts(bool embedSubsets = false) : embed_(embedSubsets) {}

  // Index of the base-font entry for the font, added (with a new object
  // number taken from the writer) when the table has none yet.
  int FontFromTable(TPdfWriter& pdf, const TFont& font);
  // Whether a text in this font can be shown by its base font: every
  // character is in the code page of its charset.
  bool FitsBaseFont(const TFont& font, std::string_view utf8) const;
  // Index of the embedded subset of an installed font file, added when new.
  // Raises EPdfError for a font that is no TrueType font or whose licence
  // forbids embedding.
  int EmbeddedFont(TPdfWriter& pdf, const std::shared_ptr<TPdfFontFile>& file);
  // Appends the string operand of "Tj" that shows glyphs [from, to) of a run
  // in embedded font `index`, which then holds those glyphs.
  void AppendGlyphOperand(std::string& out, int index, const TPdfGlyphRun& run, size_t from, size_t to);
  // The entry, or nullptr when out of range.
  const TZdqPDFFont* GetFont(int index) const;
  int GetItemByFont(const std::string& baseFont, uint8_t charSet) const;
  int Count() const { return int(fonts_.size()); }
  void Clear() { fonts_.clear(); }
  // Every text in embedded subsets, whatever its code page could carry.
  bool EmbedsSubsets() const { return embed_; }

  // The string operand of "Tj" that shows the UTF-8 text in base font `index`.
  std::string TextOperand(int index, std::string_view utf8);

  // Every font object, with encodings, descriptors, font files and maps.
  void WriteFonts(TPdfWriter& pdf) const;
  void WriteFontDifferences(TPdfWriter& pdf, const TZdqPDFFont& font) const;

 private:
  void writeBaseFont(TPdfWriter& pdf, int index, const TZdqPDFFont& font) const;
  void writeWidths(TPdfWriter& pdf, const TZdqPDFFont& font) const;
  void writeDescriptor(TPdfWriter& pdf, int number, const TZdqPDFFont& font) const;
  void writeEmbeddedFont(TPdfWriter& pdf, int index, const TZdqPDFFont& font) const;

  bool embed_;
  std::vector<TZdqPDFFont> fonts_;
};

}  // namespace zd
