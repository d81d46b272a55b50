// The PDF font table: base fonts per name, style and charset, their
// resource numbers, the glyph differences of non-western charsets, the
// 8-bit text of simple fonts and the subsets of embedded fonts.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QPainterPath>
#include <QRawFont>

#include <regex>

#include "export/pdf/detail/PdfCodePages.h"
#include "export/pdf/detail/PdfFontFile.h"
#include "export/pdf/detail/PdfFonts.h"
#include "export/pdf/detail/PdfTrueType.h"
#include "tests/Fixtures.h"
#include "host/locale/Locale.h"

namespace zd {
namespace {

TFont MakeFont(const char* name, uint8_t style = 0, uint8_t charset = 1) {
  TFont f;
  f.Name = name;
  f.Style = TFontStyles(style);
  f.Charset = charset;
  return f;
}

class PdfFonts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::ensureGuiApp(); }
  void TearDown() override { setCurrentLocale(TLocale{}); }
  TPdfWriter pdf;
};

TEST(PdfBaseFonts, NamesMapToTheBaseFontsWithTheirStyles) {
  EXPECT_EQ(PdfBaseFontFamily("Arial", fsBold | fsItalic, 0), "Helvetica-BoldOblique");
  EXPECT_EQ(PdfBaseFontFamily("MS Sans Serif", fsItalic, 0), "Helvetica-Oblique");
  EXPECT_EQ(PdfBaseFontFamily("Courier New", fsBold, 0), "Courier-Bold");
  EXPECT_EQ(PdfBaseFontFamily("Times New Roman", 0, 0), "Times-Roman");
  EXPECT_EQ(PdfBaseFontFamily("times new roman", fsBold | fsItalic, 0), "Times-BoldItalic");
  EXPECT_EQ(PdfBaseFontFamily("Wingdings", 0, 0), "ZapfDingbats");
  EXPECT_EQ(PdfBaseFontFamily("Symbol", fsBold, 0), "Symbol");
  EXPECT_EQ(PdfBaseFontFamily("Verdana", fsBold, 0), "Times-Roman");
  EXPECT_EQ(PdfBaseFontFamily("Arial", 0, 128), "JapanFont");
  EXPECT_EQ(PdfBaseFontFamily("Arial", 0, 136), "ChineseTraditionalFont");
  // Later matches win: a Courier-named Arial is Courier.
  EXPECT_EQ(PdfBaseFontFamily("Arial Courier", 0, 0), "Courier");
}

TEST(PdfBaseFonts, TheDefaultCharsetFollowsTheAnsiCodePage) {
  EXPECT_EQ(EffectiveCharset(1, 1252), 0);
  EXPECT_EQ(EffectiveCharset(1, 1251), 204);
  EXPECT_EQ(EffectiveCharset(1, 1253), 161);
  EXPECT_EQ(EffectiveCharset(1, 932), 128);
  EXPECT_EQ(EffectiveCharset(238, 1252), 238);
}

TEST(PdfBaseFonts, FontNamesStandardFontsAndEncodings) {
  TZdqPDFFont f;
  f.BaseFont = "Helvetica";
  EXPECT_TRUE(f.IsStandardFont());
  f.CharSet = 204;
  EXPECT_EQ(f.GetFontName(), "Helvetica-Russian");
  EXPECT_FALSE(f.IsStandardFont());
  f.CharSet = 99;
  EXPECT_EQ(f.GetFontName(), "Helvetica-99");
  f.CharSet = 0;
  f.BaseFont = "Times-Roman";
  EXPECT_FALSE(f.IsStandardFont());
  EXPECT_EQ(f.EncodingString(), "WinAnsiEncoding");
  f.CharSet = 77;
  EXPECT_EQ(f.EncodingString(), "MacRomanEncoding");
  f.CharSet = 0;
  f.Name = "symbol";
  EXPECT_EQ(f.EncodingString(), "StandardEncoding");
}

TEST(PdfCodePages, DifferencesHaveTheKnownCountsAscendingCodesAndNames) {
  const std::pair<int, size_t> counts[] = {{161, 72}, {238, 53}, {204, 96}, {177, 54},
                                           {186, 58}, {162, 6},  {178, 61}};
  for (auto [charset, count] : counts) {
    const auto diffs = GlyphDifferences(charset);
    EXPECT_EQ(diffs.size(), count) << charset;
    for (size_t i = 1; i < diffs.size(); ++i) EXPECT_LT(diffs[i - 1].Code, diffs[i].Code);
    for (const auto& d : diffs) EXPECT_GE(d.Code, 128);
  }
  EXPECT_TRUE(GlyphDifferences(0).empty());
  auto nameAt = [](int charset, int code) -> std::string {
    for (const auto& d : GlyphDifferences(charset))
      if (d.Code == code) return d.Name;
    return "";
  };
  EXPECT_EQ(nameAt(161, 175), "afii00208");
  EXPECT_EQ(nameAt(238, 208), "Dcroat");
  EXPECT_EQ(nameAt(204, 136), "Euro");
  EXPECT_EQ(nameAt(204, 185), "afii61352");
  EXPECT_EQ(nameAt(177, 170), "multiply");
  EXPECT_EQ(nameAt(178, 157), "afii61664");
  EXPECT_EQ(nameAt(177, 215), "");  // left out of the Hebrew list
}

TEST_F(PdfFonts, SameBaseFontAndCharsetShareOneEntry) {
  TZdqPDFFonts fonts;
  const int first = pdf.NextObjectNumber();
  EXPECT_EQ(fonts.FontFromTable(pdf, MakeFont("Arial")), 0);
  EXPECT_EQ(fonts.FontFromTable(pdf, MakeFont("Arial", fsBold)), 1);
  EXPECT_EQ(fonts.FontFromTable(pdf, MakeFont("Arial")), 0);
  EXPECT_EQ(fonts.FontFromTable(pdf, MakeFont("Arial", fsUnderline)), 0);
  EXPECT_EQ(fonts.FontFromTable(pdf, MakeFont("Arial", 0, 204)), 2);
  ASSERT_EQ(fonts.Count(), 3);
  EXPECT_EQ(fonts.GetFont(0)->RefIndex, first);
  EXPECT_EQ(fonts.GetFont(1)->BaseFont, "Helvetica-Bold");
  EXPECT_EQ(fonts.GetItemByFont("Helvetica", 204), 2);
  EXPECT_EQ(fonts.GetItemByFont("Courier", 0), -1);
  EXPECT_EQ(fonts.GetFont(3), nullptr);
  EXPECT_EQ(fonts.GetFont(-1), nullptr);
}

TEST_F(PdfFonts, SimpleFontTextIsEscapedAndInTheCharsetsCodePage) {
  TZdqPDFFonts fonts;
  const int latin = fonts.FontFromTable(pdf, MakeFont("Arial"));
  const int cyrillic = fonts.FontFromTable(pdf, MakeFont("Arial", 0, 204));
  EXPECT_EQ(fonts.TextOperand(latin, "a (b) \\ c"), "(a \\(b\\) \\\\ c)");
  EXPECT_EQ(fonts.TextOperand(cyrillic, "Да"), "(\xC4\xE0)");
  EXPECT_THROW(fonts.TextOperand(5, "x"), EPdfError);
}

std::vector<int> WidthsOf(const std::string& file) {
  const size_t at = file.find("/Widths [");
  std::vector<int> widths;
  if (at == std::string::npos) return widths;
  std::istringstream in(file.substr(at + 9, file.find(']', at) - at - 9));
  for (int w; in >> w;) widths.push_back(w);
  return widths;
}

TEST_F(PdfFonts, NonStandardFontsGetRealWidthsAnEncodingAndADescriptor) {
  TZdqPDFFonts fonts;
  fonts.FontFromTable(pdf, MakeFont("Courier New", fsBold));
  fonts.WriteFonts(pdf);
  const std::string& file = pdf.Bytes();
  EXPECT_NE(file.find("/BaseFont /Courier-Bold \r\n/Encoding 5 0 R\r\n/Subtype /TrueType "), std::string::npos);
  EXPECT_NE(file.find("/FirstChar 32\r\n/LastChar 255\r\n"), std::string::npos);
  const std::vector<int> widths = WidthsOf(file);
  ASSERT_EQ(widths.size(), 224u);
  EXPECT_GT(widths[0], 300);
  for (int w : widths) EXPECT_EQ(w, widths[0]);  // a fixed-pitch font
  EXPECT_NE(file.find("<</Type /Encoding \r\n/BaseEncoding /WinAnsiEncoding \r\n>>"), std::string::npos);
  EXPECT_NE(file.find("/FontDescriptor 6 0 R >>"), std::string::npos);
  EXPECT_NE(file.find("/FontName /Courier-Bold\r\n"), std::string::npos);
  EXPECT_NE(file.find("/Flags 34\r\n"), std::string::npos);  // fixed pitch counts as modern: serif bit
  EXPECT_EQ(file.find("/FontFile2"), std::string::npos);  // western charset: not embedded
  for (size_t at = file.find("/Widths [\r\n"); at < file.find(']'); at = file.find("\r\n", at) + 2)
    EXPECT_LE(file.find("\r\n", at) - at, 90u);

  TZdqPDFFonts proportional;
  TPdfWriter other;
  proportional.FontFromTable(other, MakeFont("Times New Roman"));
  proportional.WriteFonts(other);
  const std::vector<int> times = WidthsOf(other.Bytes());
  ASSERT_EQ(times.size(), 224u);
  EXPECT_LT(times['i' - 32], times['W' - 32]);
  EXPECT_NE(other.Bytes().find("/Flags 34\r\n"), std::string::npos);  // serif
}

TEST_F(PdfFonts, StandardFontsAreNamedOnlyAndGreekFontsCarryDifferencesAndTheirFile) {
  TLocale greek;
  greek.ansiCodePage = 1253;
  setCurrentLocale(greek);
  TZdqPDFFonts fonts;
  fonts.FontFromTable(pdf, MakeFont("Arial"));
  EXPECT_EQ(fonts.GetFont(0)->CharSet, 161);
  fonts.WriteFonts(pdf);
  const std::string& file = pdf.Bytes();
  EXPECT_NE(file.find("/FontName /Helvetica-Greek"), std::string::npos);
  const size_t diffs = file.find("/Differences [\r\n");
  ASSERT_NE(diffs, std::string::npos);
  const std::string list = file.substr(diffs, file.find("]\r\n", diffs) - diffs);
  EXPECT_EQ(std::count(list.begin(), list.end(), '/'), 73);  // the key and 72 names
  EXPECT_NE(file.find("/FontFile2 "), std::string::npos);
  const std::smatch m = [&] {
    std::smatch r;
    std::regex_search(file, r, std::regex("/Length ([0-9]+) /Length1 ([0-9]+)"));
    return r;
  }();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(std::stoul(m[1]), 2 * std::stoul(m[2]) + 1);  // hex digits and the end marker

  setCurrentLocale(TLocale{});
  TZdqPDFFonts western;
  TPdfWriter other;
  western.FontFromTable(other, MakeFont("Arial"));
  western.WriteFonts(other);
  EXPECT_NE(other.Bytes().find("/BaseFont /Helvetica \r\n/Encoding /WinAnsiEncoding \r\n/Subtype /TrueType >>"),
            std::string::npos);
}

TEST_F(PdfFonts, LaidOutTextUsesFallbackFontsAndSubsetsLoadWithOnlyTheirOutlines) {
  EXPECT_TRUE(TZdqPDFFonts().FitsBaseFont(MakeFont("Arial"), "caf\u00e9 \u20ac"));
  EXPECT_FALSE(TZdqPDFFonts().FitsBaseFont(MakeFont("Arial"), "\u0141\u00f3d\u017a"));
  EXPECT_FALSE(TZdqPDFFonts().FitsBaseFont(MakeFont("Arial", 0, 134), "abc"));  // a Far East charset

  // Latin and Cyrillic in the serif face; the Chinese characters it lacks in another one.
  const std::vector<TPdfGlyphRun> runs = LayOutPdfText(MakeFont("Times New Roman"), "\u0416a \u4e2d");
  ASSERT_GE(runs.size(), 2u);
  EXPECT_NE(runs.front().Font, runs.back().Font);
  EXPECT_GT(runs.back().X.front(), runs.front().X.front());
  TZdqPDFFonts fonts;
  const int serif = fonts.EmbeddedFont(pdf, runs.front().Font);
  EXPECT_EQ(fonts.EmbeddedFont(pdf, runs.front().Font), serif);
  EXPECT_EQ(fonts.EmbeddedFont(pdf, runs.back().Font), serif + 1);
  EXPECT_THROW(fonts.TextOperand(serif, "x"), EPdfError);
  const TZdqPDFFont& font = *fonts.GetFont(serif);
  EXPECT_TRUE(std::regex_match(font.BaseFont, std::regex("[A-Z]{6}\\+[A-Za-z-]+"))) << font.BaseFont;

  const TPdfGlyphRun& run = runs.front();
  std::string operand;
  fonts.AppendGlyphOperand(operand, serif, run, 0, run.Glyphs.size());
  const uint16_t zhe = font.File->GlyphIndex(U'\u0416'), a = font.File->GlyphIndex(U'a');
  ASSERT_NE(zhe, 0);
  char expected[16];
  std::snprintf(expected, sizeof expected, "<%04X%04X", zhe, a);
  EXPECT_EQ(operand.substr(0, 9), expected);
  EXPECT_EQ(font.UsedGlyphs.at(zhe), U"\u0416");

  const std::string subset = BuildTrueTypeSubset([&](const char* tag) { return font.File->Table(tag); }, {zhe, a});
  QRawFont loaded(QByteArray(subset.data(), qsizetype(subset.size())), 100);
  ASSERT_TRUE(loaded.isValid());
  EXPECT_FALSE(loaded.pathForGlyph(zhe).isEmpty());
  EXPECT_FALSE(loaded.pathForGlyph(a).isEmpty());
  EXPECT_TRUE(loaded.pathForGlyph(font.File->GlyphIndex(U'b')).isEmpty());
  EXPECT_LT(subset.size(), font.File->FileBytes().size() / 2);
}

TEST(PdfTrueType, MalformedTablesAreRefusedWithTheTableNamed) {
  const auto missingGlyf = [](const char* tag) { return std::string(tag) == "glyf" ? "" : std::string(60, '\0'); };
  EXPECT_THROW(BuildTrueTypeSubset(missingGlyf, {1}), EPdfError);
  const auto shortLoca = [](const char* tag) {
    std::string data(60, '\0');
    if (std::string(tag) == "maxp") data[4] = 0x10;  // 4096 glyphs
    return data;
  };
  try {
    BuildTrueTypeSubset(shortLoca, {1});
    FAIL() << "no error";
  } catch (const EPdfError& e) {
    EXPECT_NE(std::string(e.what()).find("loca"), std::string::npos) << e.what();
  }
  const TFontTableReader r(std::string_view("\x01\x02", 2), "head");
  EXPECT_EQ(r.U16(0), 0x0102);
  EXPECT_THROW(r.U32(0), EPdfError);
}

}  // namespace
}  // namespace zd
