#include <gtest/gtest.h>

#include <random>
#include <string>

#include "host/richtext/RtfReader.h"

using namespace zd;

namespace {
TRichDocument read(const std::string& rtf) { return TRtfReader::Read(rtf); }
bool validUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = s[i];
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (!n || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
    i += n;
  }
  return true;
}
const TRichRun& runAt(const TRichDocument& d, size_t para, size_t run) {
  return d.Paragraphs.at(para).Runs.at(run);
}
}  // namespace

TEST(RtfReader, FontTableSizesAndCharsets) {
  const auto d = read(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman\\fcharset204 Times New Roman;}}"
      "\\f1\\fs28 Hello \\f0\\fs20 World\\par}");
  ASSERT_EQ(d.Paragraphs.size(), 1u);
  ASSERT_EQ(d.Paragraphs[0].Runs.size(), 2u);
  EXPECT_EQ(runAt(d, 0, 0).Text, "Hello ");
  EXPECT_EQ(runAt(d, 0, 0).Format.FontName, "Times New Roman");
  EXPECT_EQ(runAt(d, 0, 0).Format.HalfPoints, 28);
  EXPECT_EQ(runAt(d, 0, 0).Format.Charset, 204);
  EXPECT_EQ(runAt(d, 0, 1).Format.FontName, "Arial");
  EXPECT_EQ(runAt(d, 0, 1).Format.HalfPoints, 20);
  // The default font applies to text before any \f.
  const auto d2 = read("{\\rtf1\\deff1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}plain}");
  EXPECT_EQ(runAt(d2, 0, 0).Format.FontName, "Courier New");
  // Half-points resolve to whole points on the canvas font.
  TFont base;
  EXPECT_EQ(runAt(d, 0, 0).Format.Resolve(base).Size, 14);
  EXPECT_EQ(runAt(d, 0, 0).Format.Resolve(base).Name, "Times New Roman");
}

TEST(RtfReader, StylesTurnOnAndOff) {
  const auto d = read("{\\rtf1 \\b B\\b0 n\\i I\\i0 \\ul U\\ulnone \\strike S\\strike0 x\\plain p}");
  const auto& runs = d.Paragraphs.at(0).Runs;
  ASSERT_EQ(runs.size(), 7u);
  EXPECT_EQ(runs[0].Format.Bold, true);
  EXPECT_EQ(runs[1].Format.Bold, false);
  EXPECT_EQ(runs[2].Format.Italic, true);
  EXPECT_EQ(runs[3].Format.Underline, true);
  EXPECT_EQ(runs[3].Text, "U");
  EXPECT_EQ(runs[4].Format.Underline, false);
  EXPECT_EQ(runs[4].Format.StrikeOut, true);
  EXPECT_EQ(runs[5].Format.StrikeOut, false);
  // \plain returns every property to the control's default.
  EXPECT_EQ(runs[6].Format, TRunFormat{});
  TFont bold;
  bold.Style.Set(fsBold);
  EXPECT_FALSE(runs[1].Format.Resolve(bold).Style.Has(fsBold));
  EXPECT_TRUE(runs[6].Format.Resolve(bold).Style.Has(fsBold));
}

TEST(RtfReader, ColourTableForegroundAndHighlight) {
  const auto d = read(
      "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "\\cf1 red\\cf2\\highlight1 blue\\cf0\\highlight0 auto\\cb2 back}");
  const auto& runs = d.Paragraphs.at(0).Runs;
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].Format.Color, RGBColor(255, 0, 0));
  EXPECT_FALSE(runs[0].Format.Background);
  EXPECT_EQ(runs[1].Format.Color, RGBColor(0, 0, 255));
  EXPECT_EQ(runs[1].Format.Background, RGBColor(255, 0, 0));
  EXPECT_FALSE(runs[2].Format.Color);  // auto colour: the default font's
  EXPECT_FALSE(runs[2].Format.Background);
  EXPECT_EQ(runs[3].Format.Background, RGBColor(0, 0, 255));
}

TEST(RtfReader, UnicodeAndCodePageText) {
  // \u with its one-byte fallback skipped.
  EXPECT_EQ(read("{\\rtf1 \\u1055?\\u1088?\\u1080?}").PlainText(), "При");
  // \uc sets how many fallback characters follow; \'hh counts as one.
  EXPECT_EQ(read("{\\rtf1 \\uc2\\u8364\\'80\\'80X\\uc0\\u8364 Y}").PlainText(), "€X€Y");
  // Negative values and surrogate pairs.
  EXPECT_EQ(read("{\\rtf1 \\u-10179?\\u-8704?}").PlainText(), "\xF0\x9F\x98\x80");
  // A surrogate without its partner becomes U+FFFD.
  EXPECT_EQ(read("{\\rtf1 \\u-10179?\\u-10179?\\u66?\\u-8704?}").PlainText(), "\uFFFD\uFFFDB\uFFFD");
  // Bytes decode in the font's charset...
  EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'cf\\'f0\\'e8}").PlainText(),
            "При");
  // ...or the document's code page when the font sets none.
  EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'e0}").PlainText(), "Да");
  EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1250 \\'e8\\'9a}").PlainText(), "čš");
  EXPECT_EQ(read("{\\rtf1\\ansi \\'e9t\\'e9 \\'80}").PlainText(), "été €");
  // A Unicode fallback does not run over a group's end.
  EXPECT_EQ(read("{\\rtf1 {\\uc3\\u1044}ok}").PlainText(), "Дok");
}

TEST(RtfReader, GroupsRestoreState) {
  const auto d = read("{\\rtf1 {\\b a{\\i\\fs40 b}c}d}");
  const auto& runs = d.Paragraphs.at(0).Runs;
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].Format.Bold, true);
  EXPECT_FALSE(runs[0].Format.Italic);
  EXPECT_EQ(runs[1].Format.Italic, true);
  EXPECT_EQ(runs[1].Format.Bold, true);
  EXPECT_EQ(runs[1].Format.HalfPoints, 40);
  EXPECT_EQ(runs[2].Format.Bold, true);
  EXPECT_FALSE(runs[2].Format.HalfPoints);
  EXPECT_EQ(runs[2].Text, "c");
  EXPECT_EQ(runs[3].Format, TRunFormat{});
  // Paragraph properties are group state too.
  const auto p = read("{\\rtf1 {\\qc a\\par}b\\par}");
  EXPECT_EQ(p.Paragraphs.at(0).Format.Alignment, TParaAlignment::paCenter);
  EXPECT_FALSE(p.Paragraphs.at(1).Format.Alignment);
}

TEST(RtfReader, NonTextDestinationsAreSkipped) {
  const auto d = read(
      "{\\rtf1{\\*\\generator Writer 1.0;}{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
      "{\\header H}{\\footer F}{\\*\\unknowndest hidden}{\\pict\\pngblip 89504e470d0a}"
      "{\\pict\\bin3 }}}}Body{\\v secret} text}");
  EXPECT_EQ(d.PlainText(), "Body text");
  // A field shows its result, not its instruction.
  const auto f = read("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt {\\ul link}}} now}");
  EXPECT_EQ(f.PlainText(), "see link now");
  // Control words the reader does not know are ignored, their text kept.
  EXPECT_EQ(read("{\\rtf1 \\noproof\\lang1033 word}").PlainText(), "word");
}

TEST(RtfReader, EscapesAndSpecialCharacters) {
  EXPECT_EQ(read("{\\rtf1 a\\\\b\\{c\\}}").PlainText(), "a\\b{c}");
  EXPECT_EQ(read("{\\rtf1 a\\tab b\\line c\\~d\\emdash\\-e}").PlainText(), "a\tb\nc\xC2\xA0" "d\xE2\x80\x94" "e");
  // Line ends in the file are not text; a backslash before one is a \par.
  const auto d = read("{\\rtf1 one\r\ntwo\\\nthree}");
  ASSERT_EQ(d.Paragraphs.size(), 2u);
  EXPECT_EQ(d.Paragraphs[0].PlainText(), "onetwo");
  EXPECT_EQ(d.Paragraphs[1].PlainText(), "three");
}

TEST(RtfReader, ParagraphFormatting) {
  const auto d = read(
      "{\\rtf1\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1\\tx1440\\tx500 First\\par"
      " Second\\par\\pard\\qj\\sl-300 Third\\par\\pard\\sl400 Fourth\\par}");
  ASSERT_EQ(d.Paragraphs.size(), 4u);
  const TParaFormat& a = d.Paragraphs[0].Format;
  EXPECT_EQ(a.Alignment, TParaAlignment::paCenter);
  EXPECT_EQ(a.LeftIndent, 720);
  EXPECT_EQ(a.RightIndent, 360);
  EXPECT_EQ(a.FirstIndent, -360);
  EXPECT_EQ(a.SpaceBefore, 120);
  EXPECT_EQ(a.SpaceAfter, 240);
  EXPECT_EQ(a.LineRule, TLineSpacingRule::lsMultiple);
  EXPECT_EQ(a.LineSpacing, 360);
  EXPECT_EQ(a.TabStops, (std::vector<int>{500, 1440}));
  EXPECT_EQ(d.Paragraphs[1].Format, a);  // \par keeps the properties
  EXPECT_EQ(d.Paragraphs[2].Format.Alignment, TParaAlignment::paJustify);
  EXPECT_EQ(d.Paragraphs[2].Format.LeftIndent, 0);
  EXPECT_EQ(d.Paragraphs[2].Format.LineRule, TLineSpacingRule::lsExactly);
  EXPECT_EQ(d.Paragraphs[2].Format.LineSpacing, 300);
  EXPECT_EQ(d.Paragraphs[3].Format.LineRule, TLineSpacingRule::lsAtLeast);
  // An empty paragraph keeps the character format of its mark for its height.
  const auto e = read("{\\rtf1\\fs48\\par x}");
  ASSERT_EQ(e.Paragraphs.size(), 2u);
  EXPECT_TRUE(e.Paragraphs[0].Runs.empty());
  EXPECT_EQ(e.Paragraphs[0].EndFormat.HalfPoints, 48);
}

TEST(RtfReader, PlainTextSplitsLines) {
  const auto d = ReadPlainText("\xEF\xBB\xBFLine1\r\nLine2\nLine3\r\rEnd\tTab");
  ASSERT_EQ(d.Paragraphs.size(), 5u);
  EXPECT_EQ(d.Paragraphs[0].PlainText(), "Line1");
  EXPECT_EQ(d.Paragraphs[2].PlainText(), "Line3");
  EXPECT_TRUE(d.Paragraphs[3].Runs.empty());
  EXPECT_EQ(d.Paragraphs[4].PlainText(), "End\tTab");
  EXPECT_EQ(d.Paragraphs[0].Runs[0].Format, TRunFormat{});
  EXPECT_TRUE(LooksLikeRtf("  {\\rtf1 x}"));
  EXPECT_FALSE(LooksLikeRtf("{\\rt"));
}

TEST(RtfReader, MalformedInput) {
  EXPECT_THROW(read("plain words"), ERtfError);
  EXPECT_THROW(read(""), ERtfError);
  try {
    read("{\\rtf1" + std::string(100000, '{'));
    FAIL() << "deep nesting accepted";
  } catch (const ERtfError& e) {
    EXPECT_NE(std::string(e.what()).find("nested"), std::string::npos);
    EXPECT_EQ(e.Offset(), 6u + TRtfReader::kMaxGroupDepth - 1) << "the brace one level too deep";
  }
  // Just below the limit is fine.
  const int ok = TRtfReader::kMaxGroupDepth - 1;
  EXPECT_EQ(read("{\\rtf1" + std::string(ok, '{') + "deep" + std::string(ok + 1, '}')).PlainText(), "deep");
  // Truncated input closes its groups.
  const auto t = read("{\\rtf1 {\\b Hello");
  EXPECT_EQ(t.PlainText(), "Hello");
  EXPECT_EQ(runAt(t, 0, 0).Format.Bold, true);
  EXPECT_EQ(read("{\\rtf1 x\\").PlainText(), "x");
  EXPECT_EQ(read("{\\rtf1 x\\'4").PlainText(), "x");
  // Parameters saturate instead of overflowing.
  const auto h = read("{\\rtf1\\fs99999999999999999999 big\\li-99999999999999 x}");
  EXPECT_EQ(runAt(h, 0, 0).Format.HalfPoints, 2147483647);
  EXPECT_EQ(runAt(h, 0, 0).Format.Resolve(TFont{}).Size, 1638);
  EXPECT_EQ(h.Paragraphs[0].Format.LeftIndent, -31680);
  // \bin lengths beyond the data or negative stop at what is there.
  EXPECT_EQ(read("{\\rtf1 a{\\pict\\bin999999999 xyz").PlainText(), "a");
  EXPECT_EQ(read("{\\rtf1 a\\bin-5 b}").PlainText(), "ab");
  // Text after the document's closing brace is ignored.
  EXPECT_EQ(read("{\\rtf1 in}out").PlainText(), "in");
}

TEST(RtfReader, RandomBytesParseOrFailCleanly) {
  std::mt19937 rng(12345);
  const std::string alphabet = "{}\\\\'rtfubinpar0123456789-; abc\x80\xff\n";
  for (int n = 0; n < 2000; ++n) {
    std::string s = "{\\rtf1";
    const int len = int(rng() % 200);
    for (int i = 0; i < len; ++i)
      s += (rng() % 4) ? alphabet[rng() % alphabet.size()] : char(rng() % 256);
    try {
      const std::string text = read(s).PlainText();
      ASSERT_TRUE(validUtf8(text)) << s;
    } catch (const ERtfError&) {
    }
  }
}
