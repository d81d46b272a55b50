#include "export/pdf/detail/PdfFonts.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "export/pdf/detail/PdfCodePages.h"
#include "export/pdf/detail/PdfTrueType.h"
#include "host/locale/CodePages.h"
#include "host/locale/Locale.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

constexpr uint8_t kAnsiCharset = 0, kDefaultCharset = 1, kSymbolCharset = 2, kMacCharset = 77,
                  kChineseBig5Charset = 136;
// Character codes the simple fonts give widths for.
constexpr int kFirstChar = 32, kLastChar = 255;
constexpr size_t kWidthsLineLength = 80;
constexpr uint8_t kSerifFamilyBits = 0x10 | 0x40;
constexpr int kNonSymbolicFlag = 32, kSymbolicFlag = 4, kSerifFlag = 2, kItalicFlag = 64, kFixedFlag = 1;
constexpr int kToUnicodeBlock = 100;  // entries per bfchar block, as CMaps allow

std::string upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool sameText(const std::string& a, const std::string& b) { return upper(a) == upper(b); }

bool contains(const std::string& haystack, const char* needle) { return haystack.find(needle) != std::string::npos; }

std::string withStyle(const std::string& family, TFontStyles style) {
  const bool bold = style.Has(fsBold), italic = style.Has(fsItalic);
  if (bold) return family + (italic ? "-BoldOblique" : "-Bold");
  return italic ? family + "-Oblique" : family;
}

int stemV(int weight) { return int(std::lround(std::pow(weight / 65.0, 2))) + 50; }

// Six capital letters that mark a subset font name, different per font.
std::string subsetTag(int index) {
  std::string tag = "ZDAAAA";
  for (int pos = 5; pos >= 2 && index > 0; --pos, index /= 26) tag[size_t(pos)] = char('A' + index % 26);
  return tag;
}

void appendHex4(std::string& out, uint32_t v) {
  static const char kDigits[] = "0123456789ABCDEF";
  const char digits[4] = {kDigits[(v >> 12) & 15], kDigits[(v >> 8) & 15], kDigits[(v >> 4) & 15], kDigits[v & 15]};
  out.append(digits, 4);
}

std::string hex4(uint32_t v) {
  std::string s;
  appendHex4(s, v);
  return s;
}

std::string utf16Hex(const std::u32string& text) {
  std::u16string units;
  for (char32_t c : text) AppendUtf16(c, units);
  std::string out;
  for (char16_t unit : units) appendHex4(out, unit);
  return out;
}

std::string toUnicodeCMap(const std::map<uint16_t, std::u32string>& glyphs) {
  std::string cmap =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  std::vector<std::pair<uint16_t, std::u32string>> entries;
  for (const auto& entry : glyphs)
    if (!entry.second.empty()) entries.push_back(entry);  // a glyph that shows no character maps to none
  for (size_t start = 0; start < entries.size(); start += kToUnicodeBlock) {
    const size_t end = std::min(entries.size(), start + kToUnicodeBlock);
    cmap += std::to_string(end - start) + " beginbfchar\n";
    for (size_t i = start; i < end; ++i)
      cmap += "<" + hex4(entries[i].first) + "> <" + utf16Hex(entries[i].second) + ">\n";
    cmap += "endbfchar\n";
  }
  cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  return cmap;
}

}  // namespace

uint8_t EffectiveCharset(uint8_t charset, int ansiCodePage) {
  if (charset != kDefaultCharset) return charset;
  return uint8_t(CharsetOfCodePage(ansiCodePage));
}

std::string PdfBaseFontFamily(const std::string& fontName, TFontStyles style, uint8_t charset) {
  switch (charset) {
    case 128: return "JapanFont";
    case 129: return "KoreanFont";
    case 134: return "ChineseSimplifiedFont";
    case 136: return "ChineseTraditionalFont";
    default: break;
  }
  const std::string name = upper(fontName);
  std::string base = "Times-Roman";
  if (contains(name, "ARIAL") || contains(name, "MS SANS SERIF")) base = withStyle("Helvetica", style);
  if (contains(name, "COURIER")) base = withStyle("Courier", style);
  if (contains(name, "TIMES")) {
    const bool bold = style.Has(fsBold), italic = style.Has(fsItalic);
    base = std::string("Times-") + (bold ? (italic ? "BoldItalic" : "Bold") : (italic ? "Italic" : "Roman"));
  }
  if (contains(name, "SYMBOL")) base = "Symbol";
  else if (contains(name, "ZAPFDINGBATS") || contains(name, "WINGDINGS")) base = "ZapfDingbats";
  return base;
}

// ---- TZdqPDFFont ----

void TZdqPDFFont::FontParameters(const TFont& font) {
  Name = font.Name;
  Style = font.Style;
  File = std::make_shared<TPdfFontFile>(font);
  const uint8_t pitchAndFamily = File->Valid() ? File->PitchAndFamily() : 0;
  IsTrueType = File->Valid() && (pitchAndFamily & 0x04);
  Flags = kNonSymbolicFlag;
  if (pitchAndFamily & kSerifFamilyBits) Flags += kSerifFlag;
  if (font.Style.Has(fsItalic)) Flags += kItalicFlag;
  IsEmbeddable = File->Valid() && File->IsEmbeddable();
}

std::string TZdqPDFFont::GetFontName() const {
  switch (CharSet) {
    case kAnsiCharset: return BaseFont;
    case 204: return BaseFont + "-Russian";
    case 238: return BaseFont + "-EastEurope";
    case 255: return BaseFont + "-OEM";
    case 186: return BaseFont + "-Baltic";
    case kSymbolCharset: return BaseFont + "-Symbol";
    case kMacCharset: return BaseFont + "-MAC";
    case 161: return BaseFont + "-Greek";
    case 162: return BaseFont + "-Turkish";
    default: return BaseFont + "-" + std::to_string(CharSet);
  }
}

bool TZdqPDFFont::IsStandardFont() const {
  const std::string name = GetFontName();
  for (const char* standard : {"Helvetica", "Courier", "Times", "Symbol", "ZapfDingbats"})
    if (sameText(name, standard)) return true;
  return false;
}

std::string TZdqPDFFont::EncodingString() const {
  if (sameText(Name, "ZapfDingbats") || sameText(Name, "Symbol") || CharSet == kSymbolCharset)
    return "StandardEncoding";
  if (CharSet == kMacCharset) return "MacRomanEncoding";
  return "WinAnsiEncoding";
}

int TZdqPDFFont::CodePage() const {
  return CharSet == kAnsiCharset || CharSet == kSymbolCharset ? 1252 : CodePageOfCharset(CharSet, 1252);
}

// ---- TZdqPDFFonts ----

int TZdqPDFFonts::FontFromTable(TPdfWriter& pdf, const TFont& font) {
  const uint8_t charset = EffectiveCharset(font.Charset, currentLocale().ansiCodePage);
  const std::string base = PdfBaseFontFamily(font.Name, font.Style, charset);
  if (const int found = GetItemByFont(base, charset); found >= 0) return found;
  TZdqPDFFont entry;
  entry.RefIndex = pdf.GetNextRefIndex();
  entry.BaseFont = base;
  entry.CharSet = charset;
  entry.FontParameters(font);
  fonts_.push_back(std::move(entry));
  return Count() - 1;
}

int TZdqPDFFonts::EmbeddedFont(TPdfWriter& pdf, const std::shared_ptr<TPdfFontFile>& file) {
  for (int i = 0; i < Count(); ++i)
    if (fonts_[size_t(i)].Embedded && fonts_[size_t(i)].File == file) return i;
  TZdqPDFFont entry;
  entry.File = file;
  entry.Name = file->PostScriptName();
  entry.IsTrueType = file->Valid() && file->IsTrueType();
  entry.IsEmbeddable = file->Valid() && file->IsEmbeddable();
  if (!entry.IsTrueType) throw EPdfError("The font \"" + entry.Name + "\" is no TrueType font to embed");
  if (!entry.IsEmbeddable) throw EPdfError("The licence of font \"" + entry.Name + "\" does not allow embedding");
  entry.Embedded = true;
  entry.RefIndex = pdf.GetNextRefIndex();
  entry.CharSet = kAnsiCharset;
  entry.BaseFont = subsetTag(Count()) + "+" + entry.File->PostScriptName();
  fonts_.push_back(std::move(entry));
  return Count() - 1;
}

bool TZdqPDFFonts::FitsBaseFont(const TFont& font, std::string_view utf8) const {
  TZdqPDFFont probe;
  probe.CharSet = EffectiveCharset(font.Charset, currentLocale().ansiCodePage);
  const int codePage = probe.CodePage();
  if (PdfBaseFontFamily(font.Name, font.Style, probe.CharSet).find("Font") != std::string::npos)
    return false;  // the Far East families have no base font to show them
  const char16_t* upper = SingleByteCodePage(codePage);
  for (char32_t c : DecodeUtf8(utf8))
    if (!EncodeSingleByte(c, upper)) return false;
  return true;
}

void TZdqPDFFonts::AppendGlyphOperand(std::string& out, int index, const TPdfGlyphRun& run, size_t from,
                                      size_t to) {
  if (index < 0 || index >= Count() || !fonts_[size_t(index)].Embedded)
    throw EPdfError("PDF font F" + std::to_string(index) + " is no embedded font");
  TZdqPDFFont& font = fonts_[size_t(index)];
  to = std::min(to, run.Glyphs.size());
  out.reserve(out.size() + 2 + 4 * (to - std::min(from, to)));
  out += '<';
  for (size_t i = from; i < to; ++i) {
    const uint16_t glyph = run.Glyphs[i];
    if (glyph != 0 && !font.GlyphUsed[glyph]) {
      font.GlyphUsed[glyph] = true;
      font.UsedGlyphs.try_emplace(glyph, run.Texts[i]);
    }
    appendHex4(out, run.Glyphs[i]);
  }
  out += '>';
}

const TZdqPDFFont* TZdqPDFFonts::GetFont(int index) const {
  return index >= 0 && index < Count() ? &fonts_[size_t(index)] : nullptr;
}

int TZdqPDFFonts::GetItemByFont(const std::string& baseFont, uint8_t charSet) const {
  for (int i = 0; i < Count(); ++i)
    if (fonts_[size_t(i)].BaseFont == baseFont && fonts_[size_t(i)].CharSet == charSet) return i;
  return -1;
}

std::string TZdqPDFFonts::TextOperand(int index, std::string_view utf8) {
  if (index < 0 || index >= Count() || fonts_[size_t(index)].Embedded)
    throw EPdfError("PDF font F" + std::to_string(index) + " is no base font");
  const TZdqPDFFont& font = fonts_[size_t(index)];
  return "(" + PdfEscapeString(Utf8ToSingleByte(utf8, SingleByteCodePage(font.CodePage()))) + ")";
}

void TZdqPDFFonts::WriteFonts(TPdfWriter& pdf) const {
  for (int i = 0; i < Count(); ++i) {
    if (fonts_[size_t(i)].Embedded) writeEmbeddedFont(pdf, i, fonts_[size_t(i)]);
    else writeBaseFont(pdf, i, fonts_[size_t(i)]);
  }
}

void TZdqPDFFonts::writeBaseFont(TPdfWriter& pdf, int index, const TZdqPDFFont& font) const {
  const bool standard = font.IsStandardFont();
  pdf.AddRef(font.RefIndex);
  pdf.WriteString(std::to_string(font.RefIndex) + " 0 obj");
  pdf.WriteString("<< /Type /Font ");
  pdf.WriteString("/Name /F" + std::to_string(index) + " ");
  pdf.WriteString("/BaseFont /" + font.BaseFont + " ");
  int encoding = 0;
  if (standard) {
    pdf.WriteString("/Encoding /" + font.EncodingString() + " ");
  } else {
    encoding = pdf.GetNextRefIndex();
    pdf.WriteString("/Encoding " + std::to_string(encoding) + " 0 R");
  }
  int descriptor = 0;
  if (!standard && font.IsTrueType) {
    pdf.WriteString(font.CharSet == kChineseBig5Charset ? "/Subtype /Type0 " : "/Subtype /TrueType ");
    writeWidths(pdf, font);
    descriptor = pdf.GetNextRefIndex();
    pdf.WriteString("/FontDescriptor " + std::to_string(descriptor) + " 0 R >>");
  } else {
    pdf.WriteString("/Subtype /TrueType >>");
  }
  if (!standard) {
    pdf.WriteString("endobj");
    pdf.AddRef(encoding);
    pdf.WriteString(std::to_string(encoding) + " 0 obj");
    pdf.WriteString("<</Type /Encoding ");
    pdf.WriteString("/BaseEncoding /" + font.EncodingString() + " ");
    WriteFontDifferences(pdf, font);
    pdf.WriteString(">>");
  }
  pdf.WriteString("endobj");
  if (descriptor) writeDescriptor(pdf, descriptor, font);
}

void TZdqPDFFonts::writeWidths(TPdfWriter& pdf, const TZdqPDFFont& font) const {
  pdf.WriteString("/FirstChar " + std::to_string(kFirstChar));
  pdf.WriteString("/LastChar " + std::to_string(kLastChar));
  pdf.WriteString("/Widths [");
  const char16_t* upperHalf = SingleByteCodePage(font.CodePage());
  std::string line;
  for (int code = kFirstChar; code <= kLastChar; ++code) {
    const char32_t c = code < 0x80 ? char32_t(code) : upperHalf ? char32_t(upperHalf[code - 0x80]) : 0;
    line += std::to_string(font.File->AdvanceWidth(c ? font.File->GlyphIndex(c) : 0)) + " ";
    if (line.size() > kWidthsLineLength) {
      pdf.WriteString(line);
      line.clear();
    }
  }
  pdf.WriteString(line + "]");
}

void TZdqPDFFonts::writeDescriptor(TPdfWriter& pdf, int number, const TZdqPDFFont& font) const {
  const bool embedFile = font.IsEmbeddable && font.CharSet != kAnsiCharset;
  pdf.AddRef(number);
  pdf.WriteString(std::to_string(number) + " 0 obj");
  pdf.WriteString("<< /Type /FontDescriptor ");
  pdf.WriteString("/FontName /" + font.GetFontName());
  pdf.WriteString("/FontBBox [ 0 0 0 0 ] ");
  pdf.WriteString("/Flags " + std::to_string(font.Flags));
  pdf.WriteString("/StemV " + std::to_string(stemV(font.File->Weight())));
  pdf.WriteString("/ItalicAngle 0");
  pdf.WriteString("/CapHeight " + std::to_string(font.File->CapHeight()));
  pdf.WriteString("/Ascent 1000");
  pdf.WriteString("/Descent -250");
  pdf.WriteString("/MaxWidth 1000");
  int fileObject = 0;
  if (embedFile) {
    fileObject = pdf.GetNextRefIndex();
    pdf.WriteString("/FontFile2 " + std::to_string(fileObject) + " 0 R");
  }
  pdf.WriteString(">>");
  pdf.WriteString("endobj");
  if (!fileObject) return;
  const std::string bytes = font.File->FileBytes();
  const std::string encoded = HexEncode(bytes) + ">";
  pdf.AddRef(fileObject);
  pdf.WriteString(std::to_string(fileObject) + " 0 obj");
  pdf.WriteString("<< /Filter /ASCIIHexDecode ");
  pdf.WriteString("/Length " + std::to_string(encoded.size()) + " /Length1 " + std::to_string(bytes.size()));
  pdf.WriteString(">>");
  pdf.WriteStream(encoded);
  pdf.WriteString("endobj");
}

void TZdqPDFFonts::WriteFontDifferences(TPdfWriter& pdf, const TZdqPDFFont& font) const {
  const auto differences = GlyphDifferences(font.CharSet);
  if (differences.empty()) return;
  pdf.WriteString("/Differences [");
  for (const TPdfGlyphDifference& d : differences) pdf.WriteString(std::to_string(d.Code) + " /" + d.Name);
  pdf.WriteString("]");
}

void TZdqPDFFonts::writeEmbeddedFont(TPdfWriter& pdf, int index, const TZdqPDFFont& font) const {
  const TPdfFontFile& file = *font.File;
  const int cidFont = pdf.GetNextRefIndex(), descriptor = pdf.GetNextRefIndex(),
            fontFile = pdf.GetNextRefIndex(), toUnicode = pdf.GetNextRefIndex();
  const auto ref = [](int n) { return std::to_string(n) + " 0 R"; };

  pdf.AddRef(font.RefIndex);
  pdf.WriteString(std::to_string(font.RefIndex) + " 0 obj");
  pdf.WriteString("<< /Type /Font /Subtype /Type0 ");
  pdf.WriteString("/Name /F" + std::to_string(index) + " ");
  pdf.WriteString("/BaseFont /" + font.BaseFont + " ");
  pdf.WriteString("/Encoding /Identity-H ");
  pdf.WriteString("/DescendantFonts [ " + ref(cidFont) + " ] ");
  pdf.WriteString("/ToUnicode " + ref(toUnicode) + " >>");
  pdf.WriteString("endobj");

  pdf.AddRef(cidFont);
  pdf.WriteString(std::to_string(cidFont) + " 0 obj");
  pdf.WriteString("<< /Type /Font /Subtype /CIDFontType2 ");
  pdf.WriteString("/BaseFont /" + font.BaseFont + " ");
  pdf.WriteString("/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> ");
  pdf.WriteString("/CIDToGIDMap /Identity ");
  pdf.WriteString("/DW " + std::to_string(file.AdvanceWidth(0)));
  pdf.WriteString("/W [");
  for (const auto& [glyph, text] : font.UsedGlyphs)
    pdf.WriteString(std::to_string(glyph) + " [" + std::to_string(file.AdvanceWidth(glyph)) + "]");
  pdf.WriteString("]");
  pdf.WriteString("/FontDescriptor " + ref(descriptor) + " >>");
  pdf.WriteString("endobj");

  const TRect box = file.BoundingBox();
  const uint8_t pitchAndFamily = file.PitchAndFamily();
  int flags = kSymbolicFlag;
  if (pitchAndFamily & kSerifFamilyBits) flags += kSerifFlag;
  if (!(pitchAndFamily & 0x01)) flags += kFixedFlag;
  if (file.ItalicAngle() != 0) flags += kItalicFlag;
  pdf.AddRef(descriptor);
  pdf.WriteString(std::to_string(descriptor) + " 0 obj");
  pdf.WriteString("<< /Type /FontDescriptor ");
  pdf.WriteString("/FontName /" + font.BaseFont + " ");
  pdf.WriteString("/Flags " + std::to_string(flags) + " ");
  pdf.WriteString("/FontBBox [ " + std::to_string(box.Left) + " " + std::to_string(box.Top) + " " +
                  std::to_string(box.Right) + " " + std::to_string(box.Bottom) + " ] ");
  pdf.WriteString("/ItalicAngle " + std::to_string(file.ItalicAngle()) + " ");
  pdf.WriteString("/Ascent " + std::to_string(file.Ascent()) + " ");
  pdf.WriteString("/Descent " + std::to_string(file.Descent()) + " ");
  pdf.WriteString("/CapHeight " + std::to_string(file.CapHeight()) + " ");
  pdf.WriteString("/StemV " + std::to_string(stemV(file.Weight())) + " ");
  pdf.WriteString("/FontFile2 " + ref(fontFile) + " >>");
  pdf.WriteString("endobj");

  std::set<uint16_t> glyphs;
  for (const auto& entry : font.UsedGlyphs) glyphs.insert(entry.first);
  const std::string subset = BuildTrueTypeSubset([&file](const char* tag) { return file.Table(tag); }, glyphs);
  const std::string packed = FlateCompress(subset);
  pdf.AddRef(fontFile);
  pdf.WriteString(std::to_string(fontFile) + " 0 obj");
  pdf.WriteString("<< /Filter /FlateDecode /Length " + std::to_string(packed.size()) + " /Length1 " +
                  std::to_string(subset.size()) + " >>");
  pdf.WriteStream(packed);
  pdf.WriteString("endobj");

  const std::string cmap = toUnicodeCMap(font.UsedGlyphs);
  pdf.AddRef(toUnicode);
  pdf.WriteString(std::to_string(toUnicode) + " 0 obj");
  pdf.WriteString("<< /Length " + std::to_string(cmap.size()) + " >>");
  pdf.WriteStream(cmap);
  pdf.WriteString("endobj");
}

}  // namespace zd
