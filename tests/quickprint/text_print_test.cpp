// Printing a text file: header and footer lines on every page, bars for
// long lines, the text hook, and the code pages of the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <QImage>

#include "expr/ExprValue.h"
#include "host/core/Errors.h"
#include "host/locale/Clock.h"
#include "host/locale/DateTime.h"
#include "host/locale/Locale.h"
#include "quickprint/ZdqText.h"
#include "tests/TempPath.h"
#include "tests/quickprint/PageContent.h"

using namespace zd;
using zd::test::PageStrings;

namespace {

class TextPrint : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::useWidgetsAndVirtualPrinter(); }

  TextPrint() {
    printer.SetAnimatedStatus(false);
    test::UsePaper(printer, 600, 400);
    file = test::UniqueTempPath("lines.txt").string();
    printer.FileName = file;
  }
  ~TextPrint() override { std::filesystem::remove(file); }

  void Write(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
  void WriteLines(int count, const std::string& prefix = "line ") {
    std::string text;
    for (int i = 1; i <= count; ++i) text += prefix + std::to_string(i) + "\n";
    Write(text);
  }
  int Usable() { return printer.PrinterSetting().PaperWidthPixels() - printer.PrinterSetting().GetPageOffsetLeft() -
                        printer.PrinterSetting().GetPageOffsetRight(); }

  TComponent owner;
  TZdPrintText printer{&owner};
  std::string file;
};

TEST_F(TextPrint, DefaultHeaderAndFooterOnEveryPage) {
  WriteLines(60);
  printer.Prepare();
  const int pages = printer.NumPages();
  ASSERT_GE(pages, 3);
  const std::string date =
      FormatDateTimeText(currentLocale().shortDateFormat, double(int64_t(Now().days)), currentLocale());
  ASSERT_NE(date.find(std::to_string(DecodeDate(Now()).year)), std::string::npos) << date;
  std::vector<std::string> lines;
  for (int p = 0; p < pages; ++p) {
    const std::vector<test::TShownText> texts = test::TextsOnPage(*printer.GetPage(p, 0));
    ASSERT_GE(texts.size(), 3u);
    // The date and time, then the page and sheet numbers right-aligned,
    // both made as the page starts.
    EXPECT_EQ(texts[0].text.rfind(date, 0), 0u) << texts[0].text;
    EXPECT_EQ(texts[1].text, "page #" + std::to_string(p + 1) + "/Sheet1");
    const int right = printer.PrinterSetting().GetPageOffsetLeft() + Usable();
    EXPECT_NEAR(texts[1].x + MeasureText(printer.FooterFont(), texts[1].text).Width, right, 1);
    EXPECT_GT(texts[1].y, texts.back().y);
    for (size_t i = 2; i < texts.size(); ++i) lines.push_back(texts[i].text);
  }
  // The blank report line once, at the start; then every line in order.
  ASSERT_EQ(lines.front(), " ");
  lines.erase(lines.begin());
  ASSERT_EQ(lines.size(), 60u);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(lines[size_t(i)], "line " + std::to_string(i + 1));
}

TEST_F(TextPrint, PageCountsMakeASecondPass) {
  WriteLines(60);
  printer.SetHeader({"#A#PN of #PC"});
  printer.SetFooter({"%%PN"});
  printer.SetMacroChar('#');
  printer.Prepare();
  const int pages = printer.NumPages();
  ASSERT_GE(pages, 2);
  for (int p = 0; p < pages; ++p) {
    const std::vector<std::string> texts = PageStrings(printer, p, 0);
    EXPECT_EQ(texts.front(), std::to_string(p + 1) + " of " + std::to_string(pages));
  }
  EXPECT_EQ(PageStrings(printer, pages - 1, 0).back(), "%%PN");  // a report line, at the end
}

TEST_F(TextPrint, LongLinesPrintOnBarsOrWrap) {
  // Each line as wide as about two and a half pages.
  std::string text;
  std::string wide;
  for (int i = 0; MeasureText(printer.Font(), wide).Width < Usable() * 5 / 2; ++i)
    wide += "w" + std::to_string(i) + " ";
  for (int i = 0; i < 3; ++i) text += "row" + std::to_string(i) + " " + wide + "\n";
  Write(text);
  printer.SetHeader({});
  printer.SetFooter({});
  printer.Prepare();
  const TFont font = printer.Font();
  ASSERT_GT(MeasureText(font, "row0 " + wide).Width, 2 * Usable());
  ASSERT_EQ(printer.NumBars(), 3);
  // Each bar continues the lines where the page width cut them: the pieces
  // fit their sheet and together give back every line whole.
  std::vector<std::string> joined(3);
  for (int bar = 0; bar < 3; ++bar) {
    const std::vector<std::string> lines = PageStrings(printer, 0, bar);
    ASSERT_EQ(lines.size(), 3u) << bar;
    for (int i = 0; i < 3; ++i) {
      EXPECT_LE(MeasureText(font, lines[size_t(i)]).Width, Usable() + MeasureText(font, "w").Width) << bar;
      if (bar > 0) EXPECT_NE(lines[size_t(i)].rfind("row", 0), 0u);
      joined[size_t(i)] += lines[size_t(i)];
    }
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(joined[size_t(i)], "row" + std::to_string(i) + " " + wide);

  printer.SetWordWrap(true);
  printer.Prepare();
  EXPECT_EQ(printer.NumBars(), 1);
  std::vector<std::string> wrapped;
  for (int p = 0; p < printer.NumPages(); ++p)
    for (const std::string& line : PageStrings(printer, p, 0)) wrapped.push_back(line);
  EXPECT_GE(wrapped.size(), 9u);
  EXPECT_EQ(wrapped.front().rfind("row0 w0", 0), 0u);
  for (const std::string& line : wrapped) EXPECT_LE(MeasureText(font, line).Width, Usable()) << line;
}

TEST_F(TextPrint, DrawTextHookCanSuppressText) {
  Write("one\nsecret\ntwo\n");
  printer.SetHeader({});
  printer.SetFooter({});
  printer.Prepare();
  const std::vector<test::TShownText> plain = test::TextsOnPage(*printer.GetPage(0, 0));
  ASSERT_EQ(test::Strings(plain), (std::vector<std::string>{"one", "secret", "two"}));

  printer.OnDrawText = [](TCanvas&, std::string& text, const TRect&, uint32_t&, int& height, bool& drawDefault) {
    if (text == "secret") drawDefault = false, height = 0;
    if (text == "two") text = "TWO";
  };
  printer.Prepare();
  const std::vector<test::TShownText> hooked = test::TextsOnPage(*printer.GetPage(0, 0));
  ASSERT_EQ(test::Strings(hooked), (std::vector<std::string>{"one", "TWO"}));
  // The suppressed line took no room either.
  EXPECT_EQ(hooked[1].y, plain[1].y);
}

TEST_F(TextPrint, FilesAreReadInTheirCodePage) {
  EXPECT_EQ(DecodeTextLine("caf\xC3\xA9", TCodePage::cpUTF8), "caf\xC3\xA9");
  EXPECT_EQ(DecodeTextLine("caf\xE9", TCodePage::cpUTF8), "caf\xC3\xA9");  // not UTF-8: read as 1252
  EXPECT_EQ(DecodeTextLine("\x80", TCodePage::cpANSI), "\xE2\x82\xAC");    // euro sign
  EXPECT_EQ(DecodeTextLine("\x80\x82", TCodePage::cpASCII), "\xC3\x87\xC3\xA9");  // DOS: C cedilla, e acute
  EXPECT_EQ(DecodeTextLine("a\tb\xC3\xA9\tc", TCodePage::cpUTF8), "a       b\xC3\xA9      c");

  Write("\xC4rger\r\n\x8E\r\n");
  printer.CodePage = TCodePage::cpASCII;
  printer.SetHeader({});
  printer.SetFooter({});
  printer.Prepare();
  EXPECT_EQ(PageStrings(printer, 0, 0), (std::vector<std::string>{"\xE2\x94\x80rger", "\xC3\x84"}));
}

// The records of a kind on a page, with the drawing state before each.
std::vector<std::pair<TEmfRecord, TEmfState>> RecordsOf(const TPageInfo& page, uint32_t type) {
  std::vector<std::pair<TEmfRecord, TEmfState>> found;
  EnumerateMetafile(*page.Drawing(), [&](const TEmfRecord& rec, const TEmfState& state) {
    if (rec.Type == type) found.emplace_back(rec, state);
    return true;
  });
  return found;
}

TEST_F(TextPrint, HeaderPicturesAndFrameLines) {
  WriteLines(40);
  const std::string picture = test::UniqueTempPath("logo.png").string();
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::blue);
  ASSERT_TRUE(image.save(QString::fromStdString(picture)));
  printer.SetHeader({"%Ahead%FB", "%A%IT " + picture, "%Anot printed after a picture"});
  printer.SetFooter({});
  printer.Prepare();
  ASSERT_GE(printer.NumPages(), 2);
  for (int p = 0; p < 2; ++p) {
    const TPageInfo& page = *printer.GetPage(p, 0);
    const std::vector<test::TShownText> texts = test::TextsOnPage(page);
    ASSERT_EQ(texts[0].text, "head");
    EXPECT_EQ(RecordsOf(page, EMR_STRETCHDIBITS).size(), 1u) << "the picture once per page";
    EXPECT_EQ(RecordsOf(page, EMR_LINETO).size(), 1u) << "the frame line under the header";
    // The picture takes at least its own height above the body.
    EXPECT_GE(texts[1].y - texts[0].y, 30) << p;
    for (const test::TShownText& t : texts) EXPECT_EQ(t.text.find("not printed"), std::string::npos);
  }

  // A picture that is not there is left out.
  std::filesystem::remove(picture);
  printer.Prepare();
  EXPECT_TRUE(RecordsOf(*printer.GetPage(0, 0), EMR_STRETCHDIBITS).empty());
  EXPECT_EQ(PageStrings(printer, 0, 0).at(1), "line 1");
}

TEST_F(TextPrint, MissingFilesAreErrorsAndEndlessLinesAreCut) {
  printer.FileName = file + ".absent";
  EXPECT_THROW(printer.Prepare(), EZdError);
  printer.FileName.clear();
  EXPECT_THROW(printer.Prepare(), EZdError);

  // A file without line breaks is neither read whole nor printed on
  // thousands of sheets.
  printer.FileName = file;
  Write(std::string(1 << 20, 'x') + "\nlast\n");
  printer.Prepare();
  EXPECT_EQ(printer.NumBars(), 100);
  EXPECT_EQ(printer.Warnings().size(), 2u);
  EXPECT_EQ(PageStrings(printer, 0, 0).back(), "last");
}

}  // namespace
