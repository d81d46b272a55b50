// The RTF writer over the spreadsheet driver: the document it makes of a
// grid, its text escaping, its pictures and its temporary body file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <regex>

#include "export/rtf/RtfExport.h"
#include "export/rtf/detail/RtfBody.h"
#include "host/locale/Clock.h"
#include "host/locale/Locale.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kHeader = "{\\rtf1\\ansi\\ansicpg1252\\uc1\r\n";
const std::string kInfo =
    "{\\*\\generator ZdReport Designer;}{\\info{\\operator ZdReport metafile export 0.1}"
    "{\\*\\company Harbolt Software}{\\creatim\\yr2023\\mo3\\dy15\\hr18\\min0}";

class RtfFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureGuiApp();
    setCurrentLocale(TLocale{});
    dir = test::UniqueTempPath("rtf_export");
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    setCurrentLocale(TLocale{});
    fs::remove_all(dir);
  }
  std::string Export(const TMetafile& page, const std::string& name = "out.rtf") {
    rtf.SaveMetafileToFile(&page, (dir / name).string());
    return readFile(dir / name);
  }
  static TMetafile Page(const std::function<void(TMetafileCanvas&)>& draw) {
    TMetafile page;
    {
      TMetafileCanvas canvas(page);
      draw(canvas);
    }
    page.SetWidth(800);
    page.SetHeight(1120);
    return page;
  }

  TClockOverride clock{TDateTime{45000.75}};
  TZdqExportToRTF rtf;
  fs::path dir;
};

TEST_F(RtfFileTest, TablesInOrderOfFirstUsePrecedeTheBodyOfOneTableRowPerGridRow) {
  rtf.Properties().Title = "Q{1}";
  rtf.Properties().Author = "Ann";
  const TMetafile page = Page([](TMetafileCanvas& canvas) {
    canvas.TextOut(100, 50, "a\\b");
    canvas.Font.Name = "Courier New";
    canvas.Font.Color = clRed;
    canvas.Font.Style = TFontStyles(uint8_t(fsBold | fsItalic | fsUnderline));
    canvas.TextOut(300, 50, "Courier");
    canvas.Font = TFont{};
    canvas.Font.Color = clWhite;
    canvas.TextOut(300, 90, "white");
  });
  const std::string border = "\\clbrdrl\\brdrth \\clbrdrr\\brdrth \\clbrdrt\\brdrth \\clbrdrb\\brdrth \\cellx";
  const std::string cell = "\\pard\\intbl\\li30\\ri30";
  EXPECT_EQ(Export(page),
            kHeader +
                "{\\fonttbl{\\f0 Arial}{\\f1 Courier New}}\r\n"
                "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n" +
                kInfo + "{\\title Q\\{1\\}}{\\author Ann}}\r\n" +
                "{\\header \\pard\\plain {Q\\{1\\} \\par }}\r\n"
                "\\par\r\n\\paperw11520\\paperh16128\r\n\\trowd\\irow\\trautofit1\\trql\\trgaph0\\trleft0\r\n" +
                // Columns at the texts' boxes, 99 and 299 units from the left.
                border + "1425\r\n" + border + "4305\r\n" +
                cell + "{\\f0\\fs20\\cf1 a\\\\b}\\cell " + cell + "{\\f1\\fs20\\i\\b\\ul\\cf2 Courier}\\cell \\row\r\n" +
                cell + "\\cell " + cell + "{\\f0\\fs20 white}\\cell \\row\r\n" + "\\pard\\par}");
}

TEST_F(RtfFileTest, WithoutTextThereAreNoTablesAndTheBodyFollowsTheHeaderLine) {
  const std::string document = Export(Page([](TMetafileCanvas& canvas) { canvas.Rectangle(10, 10, 90, 90); }));
  EXPECT_EQ(document.rfind(kHeader + kInfo + "}\r\n\\par\r\n", 0), 0u) << document;
  EXPECT_EQ(document.find("tbl"), std::string::npos);
}

TEST_F(RtfFileTest, TextsOutsideTheCodePageAreEscapedAndNotCountedAsLost) {
  const std::string document =
      Export(Page([](TMetafileCanvas& canvas) { canvas.TextOut(100, 50, "\u041f\u00e9 {x}"); }));
  EXPECT_NE(document.find("{\\f0\\fs20\\cf1 \\u1055?\\'e9 \\{x\\}}\\cell "), std::string::npos) << document;
  EXPECT_EQ(rtf.ReplacedCharacters, 0u);
}

TEST_F(RtfFileTest, PicturesAreDeviceIndependentBitmapsInHexadecimal) {
  rtf.RecordKinds.Include(TZdqMFERecordKind::rkPicture);
  const std::string document = Export(Page([](TMetafileCanvas& canvas) {
    canvas.TextOut(100, 50, "logo");
    canvas.StretchDraw(TRect{100, 100, 104, 102}, TBitmap(4, 2, clRed));
  }));
  std::smatch m;
  ASSERT_TRUE(std::regex_search(document, m, std::regex("\\\\pard\\\\intbl\\\\li30\\\\ri30\\{\\\\pict\\\\dibitmap ([0-9A-F]+) \\}\\\\cell ")))
      << document;
  std::vector<uint8_t> dib;
  for (size_t i = 0; i < m[1].length(); i += 2) dib.push_back(uint8_t(std::stoi(m[1].str().substr(i, 2), nullptr, 16)));
  ASSERT_GT(dib.size(), 40u);
  EXPECT_EQ(dib[0], 40);  // BITMAPINFOHEADER, then the rows
  const TBitmap picture = TBitmap::FromDib(dib.data(), 40, dib.data() + 40, dib.size() - 40);
  ASSERT_EQ(picture.Width(), 4);
  EXPECT_EQ(picture.Pixel(2, 1), clRed);
}

TEST_F(RtfFileTest, TheBodyFileBesideTheOutputGoesAwayAfterSuccessAndFailure) {
  EXPECT_EQ(TRtfBody::FileNameFor("/d/report.rtf"), "/d/report.$$$");
  EXPECT_EQ(TRtfBody::FileNameFor("/d/report.$$$"), "/d/report.$$$.$$$");
  const TMetafile page = Page([](TMetafileCanvas& canvas) { canvas.TextOut(100, 50, "x"); });
  Export(page);
  EXPECT_TRUE(fs::exists(dir / "out.rtf"));
  EXPECT_FALSE(fs::exists(dir / "out.$$$"));

  // A folder where the document should go: the body is written, the
  // document cannot take its place.
  fs::create_directories(dir / "taken.rtf" / "inside");
  EXPECT_THROW(rtf.SaveMetafileToFile(&page, (dir / "taken.rtf").string()), EZdqExportFileError);
  EXPECT_FALSE(fs::exists(dir / "taken.$$$"));
}

TEST(RtfTextTest, SpecialCharactersAreEscapedAndNoCharacterIsLost) {
  const TZdqOutputCharset western(1252), cyrillic(1251);
  EXPECT_EQ(RtfText("{a\\b}", western), "\\{a\\\\b\\}");
  EXPECT_EQ(RtfText("a\tb\r\nc\nd\re\x01" "f", western), "a\\tab b\\line c\\line d\\line ef");
  // In the code page its byte in hexadecimal; outside it the UTF-16 units,
  // signed, each with its one fallback character.
  EXPECT_EQ(RtfText("\u00e9\u20ac\u043f", western), "\\'e9\\'80\\u1087?");
  EXPECT_EQ(RtfText("\u00e9\u043f", cyrillic), "\\u233?\\'ef");
  EXPECT_EQ(RtfText("\uFFFD\U0001F600", western), "\\u-3?\\u-10179?\\u-8704?");
  // The limit counts characters, not bytes or escapes.
  EXPECT_EQ(RtfText("\u043f\u043f{x", western, 3), "\\u1087?\\u1087?\\{");
}

TEST(RtfPiecesTest, UnitsDatesAndTables) {
  EXPECT_EQ(GetTwips(827), 11908);  // 11908.8 truncated
  EXPECT_EQ(DateTimeToRTF(TDateTime{45000}), "yr2023\\mo3\\dy15");
  EXPECT_EQ(DateTimeToRTF(TDateTime{45000.5 + 5.0 / 1440}), "yr2023\\mo3\\dy15\\hr12\\min5");

  std::vector<std::string> items;
  for (int i = 0; i < 40; ++i) items.push_back("{\\f" + std::to_string(i) + " Font number " + std::to_string(i) + "}");
  const std::string table = RtfTable("{\\fonttbl", items);
  std::string joined;
  size_t lines = 0;
  for (size_t at = 0; at < table.size(); ++lines) {
    const size_t end = table.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LT(end - at, 255u);
    joined += table.substr(at, end - at);
    at = end + 2;
  }
  EXPECT_GT(lines, 1u);
  std::string expected = "{\\fonttbl";
  for (const std::string& item : items) expected += item;
  EXPECT_EQ(joined, expected + "}");
}

}  // namespace
}  // namespace zd
