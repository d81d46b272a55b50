// The HTML and XML writers over the spreadsheet driver, and the escaping
// they share.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "export/markup/HtmlExport.h"
#include "export/markup/detail/XmlEscape.h"
#include "export/markup/XmlExport.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"
#include "host/locale/Locale.h"

namespace zd {
namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TPlacedText {
  int x, y;
  std::string text;
};

TMetafile pageOf(const std::vector<TPlacedText>& texts) {
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    for (const TPlacedText& t : texts) canvas.TextOut(t.x, t.y, t.text);
  }
  page.SetWidth(800);
  page.SetHeight(1120);
  return page;
}

class MarkupFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureGuiApp();
    dir = test::UniqueTempPath("markup_html");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    savedLocale = currentLocale();
  }
  void TearDown() override {
    setCurrentLocale(savedLocale);
    std::filesystem::remove_all(dir);
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }

  std::filesystem::path dir;
  TLocale savedLocale;
};

// ---- escaping ----

const TZdqOutputCharset kUtf8(TZdqOutputCharset::Utf8), kWestern(1252);

TEST(MarkupEscapeTest, MarkupCharactersBecomeEntitiesAndWhatTheEncodingLacksReferences) {
  EXPECT_EQ(EscapeMarkup("a<b & \"c\"", kUtf8), "a&lt;b &amp; &quot;c&quot;");
  EXPECT_EQ(EscapeMarkup("it's > | \u00a9", kWestern), "it&#39;s &gt; | \u00a9");
  EXPECT_EQ(EscapeMarkup("\u00e9\u20ac\u0141\U0001F600", kWestern), "\u00e9\u20ac&#321;&#128512;");
  EXPECT_EQ(EscapeMarkup("\u00e9\u0141\u4e2d\U0001F600", kUtf8), "\u00e9\u0141\u4e2d\U0001F600");
  EXPECT_EQ(EscapeMarkup("tab\tline\r\n", kUtf8), "tab&#9;line&#13;&#10;");
  // Characters no markup allows, and malformed UTF-8, become the replacement character.
  EXPECT_EQ(EscapeMarkup(std::string("a\x01z\x7f\xc2\x85", 6), kUtf8), "a\ufffdz\ufffd\ufffd");
  EXPECT_EQ(EscapeMarkup("\xff", kWestern), "&#65533;");
}

TEST(MarkupEscapeTest, TheLengthLimitNeverCutsAnEntity) {
  EXPECT_EQ(EscapeMarkup(std::string(300, 'x'), kUtf8, 255), std::string(255, 'x'));
  std::string amps;
  for (int i = 0; i < 51; ++i) amps += "&amp;";
  EXPECT_EQ(EscapeMarkup(std::string(100, '&'), kUtf8, 255), amps);  // 51 entities use 255
  EXPECT_EQ(EscapeMarkup("abc&", kUtf8, 5), "abc");
  // A character and its reference stand for one character.
  EXPECT_EQ(EscapeMarkup("\u0141\u0141\u0141", kWestern, 2), "&#321;&#321;");
  EXPECT_EQ(EscapeMarkup("\u0141\u0141\u0141", kUtf8, 2), "\u0141\u0141");
}

// ---- HTML pieces ----

TEST(HtmlPiecesTest, ColoursAreRedGreenBlueBlackNeverAndFontSizesMapToSix) {
  EXPECT_EQ(GetHTMLColor(0x0000FF, false), "color=\"#FF0000\"");
  EXPECT_EQ(GetHTMLColor(0x00FF8040, true), "bgcolor=\"#4080FF\"");
  EXPECT_EQ(GetHTMLColor(clBlack, true), "");
  EXPECT_EQ(GetHTMLColor(clBlack, false), "");
  // Font sizes map to the six HTML sizes.
  const std::vector<std::pair<int, std::string>> sizes = {
      {5, "-1"}, {6, "1"},  {7, "1"},  {8, "2"},  {9, "2"},  {10, "3"}, {13, "3"}, {14, "4"},
      {17, "4"}, {18, "5"}, {23, "5"}, {24, "6"}, {35, "6"}, {36, "-1"}, {0, "-1"}, {-8, "-1"}};
  for (const auto& [size, html] : sizes) EXPECT_EQ(GetHTMLFontSize(size), html) << "size " << size;
}

TEST(HtmlPiecesTest, FontTagCarriesFaceSizeColourAndStyles) {
  TFont arial;
  arial.Name = "Arial";
  arial.Size = 12;
  arial.Style.Set(fsBold);
  arial.Style.Set(fsItalic);
  EXPECT_EQ(GetHTMLTextWithFont("x", arial, kUtf8), "<font face=\"Arial\" size=3><b><i>x</i></b></font>");

  TFont plain;
  plain.Name = "MS Sans Serif";
  plain.Size = 36;
  plain.Color = 0x0000FF;
  plain.Style.Set(fsUnderline);
  EXPECT_EQ(GetHTMLTextWithFont("y", plain, kUtf8), "<font  color=\"#FF0000\"><u>y</u></font>");

  TFont quoted;
  quoted.Name = "A\"B";
  quoted.Size = 5;
  EXPECT_EQ(GetHTMLTextWithFont("z", quoted, kUtf8), "<font face=\"A&quot;B\" >z</font>");
}

// WriteData on a string, without a file.
class THtmlCellWriter : public TZdqExportToHTML {
 public:
  std::string Cell(const TZdqMFERecord* rec, TAlignment alignment) {
    std::ostringstream out;
    Stream = &out;
    WriteData(rec && !rec->Text.empty() ? TSpreadsheetCellType::ctString : TSpreadsheetCellType::ctBlank, rec,
              0, 0, "", alignment, clWhite);
    Stream = nullptr;
    return out.str();
  }
};

TEST(HtmlPiecesTest, CellsCarryTheirBackgroundAlignmentAndFont) {
  THtmlCellWriter html;
  html.BodyBackColor = clWhite;
  TZdqMFERecord cell;
  cell.Text = "5 < 6";
  cell.Font.Name = "MS Sans Serif";
  cell.Font.Size = 8;
  cell.BackColor = clWhite;
  EXPECT_EQ(html.Cell(&cell, TAlignment::taLeftJustify), "    <TD><font size=2>5 &lt; 6</font></TD>\r\n");
  EXPECT_EQ(html.Cell(&cell, TAlignment::taRightJustify),
            "    <TD align=\"right\"><font size=2>5 &lt; 6</font></TD>\r\n");
  cell.BackColor = 0x00FFFF;  // yellow
  EXPECT_EQ(html.Cell(&cell, TAlignment::taCenter),
            "    <TD bgcolor=\"#FFFF00\" align=\"center\"><font size=2>5 &lt; 6</font></TD>\r\n");
  cell.BackColor = clBlack;
  EXPECT_EQ(html.Cell(&cell, TAlignment::taLeftJustify), "    <TD><font size=2>5 &lt; 6</font></TD>\r\n");

  TZdqMFERecord blank = cell;
  blank.Text = "  ";
  blank.BackColor = 0x00FFFF;
  EXPECT_EQ(html.Cell(&blank, TAlignment::taRightJustify), "    <TD bgcolor=\"#FFFF00\">&nbsp;</TD>\r\n");
  EXPECT_EQ(html.Cell(nullptr, TAlignment::taLeftJustify), "    <TD>&nbsp;</TD>\r\n");
}

// ---- HTML files ----

TEST_F(MarkupFileTest, HtmlFileIsATableOfTheGrid) {
  TZdqExportToHTML html;
  html.Properties().Author = "Ann & \"Bo\"";
  html.Properties().Keywords = "k<1>";
  html.Properties().Title = "Sales \u00e9t\u00e9";
  const TMetafile page = pageOf({{100, 50, "a&b"}, {300, 50, "b"}, {300, 90, "d"}});
  html.SaveMetafileToFile(&page, path("grid.html"));
  const std::string font = "<font face=\"Arial\" size=3>";
  const std::string expected =
      "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\"\r\ncontent=\"text/html; charset=UTF-8\">\r\n"
      "<meta name=\"AUTHOR\" content=\"Ann &amp; &quot;Bo&quot;\">\r\n"
      "<meta name=\"KEYWORDS\" content=\"k&lt;1&gt;\">\r\n"
      "<meta name=\"GENERATOR\" content=\"Harbolt ZdReport\">\r\n"
      "<title>Sales \u00e9t\u00e9</title>\r\n</head>\r\n\r\n"
      "<body bgcolor=\"#FFFFFF\">\r\n<table border=1>\r\n"
      "  <TR>\r\n    <TD>" + font + "a&amp;b</font></TD>\r\n    <TD>" + font + "b</font></TD>\r\n  </TR>\r\n"
      "  <TR>\r\n    <TD>&nbsp;</TD>\r\n    <TD>" + font + "d</font></TD>\r\n  </TR>\r\n"
      "</table>\r\n</body>\r\n</html>\r\n";
  EXPECT_EQ(readFile(dir / "grid.html"), expected);
}

TEST_F(MarkupFileTest, HtmlBodyOfABlackBackgroundHasNoColourAndALegacyCodePageIsDeclared) {
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    canvas.SetBkMode(TBkMode::bmOpaque);
    canvas.Brush.Color = clBlack;
    canvas.Font.Color = clWhite;
    canvas.TextOut(100, 50, "\u0141\u00f3d\u017a \u03a9");
  }
  TZdqExportToHTML html;
  html.SetCodePage(1250);
  html.SaveMetafileToFile(&page, path("black.html"));
  const std::string text = readFile(dir / "black.html");
  EXPECT_NE(text.find("charset=windows-1250\">"), std::string::npos);
  EXPECT_NE(text.find("<body >\r\n"), std::string::npos);
  // Polish letters as bytes of the code page, the Greek one as a reference.
  EXPECT_NE(text.find("<TD><font face=\"Arial\" size=3 color=\"#FFFFFF\">\xa3\xf3" "d\x9f &#937;</font></TD>"),
            std::string::npos)
      << text;
}

TEST_F(MarkupFileTest, HtmlPicturesAreSavedAsJpegNextToThePage) {
  TBitmap picture(40, 20, clRed);
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    canvas.TextOut(100, 50, "logo");
    canvas.StretchDraw(TRect{100, 100, 180, 140}, picture);
  }
  TZdqExportToHTML html;
  html.SaveMetafileToFile(&page, path("pictures.html"));
  const std::string text = readFile(dir / "pictures.html");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(text, m, std::regex("<img src=\"(ZDQ[0-9A-F]{8}\\.jpg)\" width=\"(\\d+)\" height=\"(\\d+)\">")))
      << text;
  TBitmap saved;
  saved.LoadFromFile((dir / m[1].str()).string());
  EXPECT_EQ(std::to_string(saved.Width()), m[2].str());
  EXPECT_EQ(std::to_string(saved.Height()), m[3].str());
  EXPECT_EQ(saved.Width(), 80);
  EXPECT_EQ(saved.Height(), 40);
  const TColor centre = saved.Pixel(40, 20);
  EXPECT_GT(centre & 0xFF, 0xC0u);         // still red after JPEG
  EXPECT_LT((centre >> 8) & 0xFF, 0x40u);
}

// ---- XML files ----

TEST_F(MarkupFileTest, XmlRowsCarryAnAttributePerNonEmptyCell) {
  TZdqExportToXML xml;
  const TMetafile page =
      pageOf({{100, 50, "a"}, {300, 50, "\"q\""}, {500, 50, "c"}, {100, 90, "x<y"}, {500, 90, "\u00fc"}});
  xml.SaveMetafileToFile(&page, path("rows.xml"));
  const std::string expected = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>") +
                               "<!-- Generated by " + TZdqExport::ProductKey() + "-->  \r\n<RECORDS>\r\n" +
                               "  <RECORD>\r\n    <ROW\r\n     Column1=\"a\"\r\n     Column2=\"&quot;q&quot;\"" +
                               "\r\n     Column3=\"c\"\r\n    />\r\n  </RECORD>\r\n" +
                               "  <RECORD>\r\n    <ROW\r\n     Column1=\"x&lt;y\"\r\n     Column3=\"\u00fc\"" +
                               "\r\n    />\r\n  </RECORD>\r\n" + "\r\n</RECORDS>";
  EXPECT_EQ(readFile(dir / "rows.xml"), expected);

  // A page without text is just the frame.
  const TMetafile empty = pageOf({});
  xml.SaveMetafileToFile(&empty, path("empty.xml"));
  EXPECT_EQ(readFile(dir / "empty.xml"),
            std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><!-- Generated by ") +
                TZdqExport::ProductKey() + "-->  \r\n<RECORDS>\r\n\r\n</RECORDS>");
}

TEST_F(MarkupFileTest, XmlFilePerPageHoldsOnlyItsOwnPage) {
  TZdqExportToXML xml;
  xml.StartExport();
  xml.NewPage(0, 0);
  xml.ExportRecords(pageOf({{100, 50, "first"}}));
  xml.SaveToFile(path("p0_0.xml"));
  xml.NewPage(1, 0);
  xml.ExportRecords(pageOf({{100, 50, "second"}}));
  xml.SaveToFile(path("p1_0.xml"));
  xml.EndExport();
  const std::string first = readFile(dir / "p0_0.xml"), second = readFile(dir / "p1_0.xml");
  EXPECT_NE(first.find("Column1=\"first\""), std::string::npos);
  EXPECT_EQ(second.find("first"), std::string::npos) << second;
  EXPECT_NE(second.find("Column1=\"second\""), std::string::npos);
  EXPECT_EQ(second.find("Column2"), std::string::npos);
}

}  // namespace
}  // namespace zd
