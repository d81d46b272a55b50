// The PDF exporter over collected cells: page tree, the objects of every
// page, page breaks from cell positions, positions in points and content.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "export/PdfExport.h"
#include "export/PdfWriter.h"
#include "host/graphics/GuiApp.h"

namespace zd {
namespace {

class PdfExporter : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::ensureGuiApp(); }
  void SetUp() override {
    pdf.intPageWidth = pdf.intTotalWidth = 794;
    pdf.intPageHeight = 1123;
    pdf.StartExport();
  }
  void TearDown() override { pdf.EndExport(); }

  // Collects a page drawn by `draw` as the driver does: the page's offset
  // is its position among the pages exported.
  void AddPage(const std::function<void(TCanvas&)>& draw) {
    TMetafile page;
    {
      TMetafileCanvas canvas(page);
      draw(canvas);
    }
    page.SetWidth(794);
    page.SetHeight(1123);
    pdf.NewPage(pages, 0);
    pdf.OffsetY = 1123 * pages++;
    pdf.ExportRecords(page);
  }

  static int Count(const std::string& s, const std::string& what) {
    int n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
  }

  // The content stream of each page, in order.
  static std::vector<std::string> Contents(const std::string& file) {
    std::vector<std::string> out;
    const std::regex stream("<< /Length [0-9]+ 0 R >> \r\nstream\r\n");
    for (auto it = std::sregex_iterator(file.begin(), file.end(), stream); it != std::sregex_iterator(); ++it) {
      const size_t data = size_t(it->position(0) + it->length(0));
      out.push_back(file.substr(data, file.find("endstream", data) - data));
    }
    return out;
  }

  TZdqExportToPDF pdf;
  int pages = 0;
};

TEST_F(PdfExporter, CollectsTextLinesAndPicturesAndStartsWithHexImages) {
  EXPECT_TRUE(pdf.RecordKinds.Has(TZdqMFERecordKind::rkText));
  EXPECT_TRUE(pdf.RecordKinds.Has(TZdqMFERecordKind::rkLine));
  EXPECT_TRUE(pdf.RecordKinds.Has(TZdqMFERecordKind::rkPicture));
  EXPECT_FALSE(pdf.RecordKinds.Has(TZdqMFERecordKind::rkRectangle));
  EXPECT_EQ(pdf.Compression, TZdqECompression::seASCIIHex);
  EXPECT_STREQ(PdfFilterName(TZdqECompression::seDCT), "DCTDecode");
}

TEST_F(PdfExporter, TwentyThreePagesMakeThreeNodesOfTenTenAndThree) {
  for (int p = 0; p < 23; ++p) AddPage([&](TCanvas& c) { c.TextOut(0, 50, "page " + std::to_string(p + 1)); });
  const std::string file = pdf.BuildDocument();
  EXPECT_EQ(Count(file, "/Type /Page \r\n"), 23);
  std::smatch root;
  ASSERT_TRUE(std::regex_search(file, root, std::regex("3 0 obj\r\n<< /Type /Pages \r\n/Kids \\[ ((?:[0-9]+ 0 R )+) \\] \r\n/Count 23 >> ")));
  EXPECT_EQ(Count(root[1], " 0 R"), 3);
  EXPECT_EQ(Count(file, "/Count 10 \r\n/Parent 3 0 R >> "), 2);
  EXPECT_EQ(Count(file, "/Count 3 \r\n/Parent 3 0 R >> "), 1);
}

TEST_F(PdfExporter, AnEmptyPageStillHasAllItsObjectsWithoutGapsInTheNumbers) {
  const std::string file = pdf.BuildDocument();
  // Catalog, info, root, node, page, content, length, procedure set, resources.
  EXPECT_NE(file.find("xref\r\n0 10\r\n"), std::string::npos);
  EXPECT_NE(file.find("/MediaBox [0 0 595.5 842.25] "), std::string::npos);
  EXPECT_NE(file.find("<< /Length 7 0 R >> \r\nstream\r\nendstream\r\n"), std::string::npos);
  EXPECT_NE(file.find("7 0 obj\r\n0\r\nendobj"), std::string::npos);
  EXPECT_NE(file.find("[ /PDF /Text ] "), std::string::npos);
  EXPECT_NE(file.find("9 0 obj\r\n<<\r\n/ProcSet 8 0 R\r\n>>\r\nendobj"), std::string::npos);
}

TEST_F(PdfExporter, EveryPageIsAPdfPageAndEveryCellStaysOnItsPage) {
  AddPage([](TCanvas& c) { c.TextOut(40, 40, "first"); });
  AddPage([](TCanvas&) {});  // a blank page is still a page
  AddPage([](TCanvas& c) {
    // A rule at the very top of the page belongs to it, not to the page before.
    c.MoveTo(0, 0);
    c.LineTo(700, 0);
    c.TextOut(40, 40, "third");
  });
  const std::vector<std::string> contents = Contents(pdf.BuildDocument());
  ASSERT_EQ(contents.size(), 3u);
  EXPECT_NE(contents[0].find("(first)"), std::string::npos);
  EXPECT_EQ(contents[0].find(" l S"), std::string::npos) << contents[0];
  EXPECT_TRUE(contents[1].empty()) << contents[1];
  EXPECT_NE(contents[2].find("(third)"), std::string::npos);
  EXPECT_NE(contents[2].find("0.375 841.875 m 525.375 841.875 l S"), std::string::npos) << contents[2];
}

TEST_F(PdfExporter, TextSitsOnThePagesBaselineWithItsFontColourAndEscaped) {
  TFont font;
  font.Color = clRed;
  font.Size = 12;
  AddPage([&](TCanvas& c) {
    c.Font = font;
    c.TextOut(86, 110, "a (b)");
  });
  const std::vector<std::string> contents = Contents(pdf.BuildDocument());
  ASSERT_EQ(contents.size(), 1u);
  // The text's left edge at x, its baseline at y + ascent, in points.
  const std::string at = PdfPoints(86) + " " + PdfPoints(1123 - 110 - FontAscent(font));
  EXPECT_NE(contents[0].find("BT\r\n1.000 0.000 0.000 rg\r\n/F0 12 Tf\r\n" + at + " Td (a \\(b\\)) Tj\r\nET\r\n"),
            std::string::npos)
      << contents[0];
}

TEST_F(PdfExporter, TextLargerThanItsControlIsClippedToIt) {
  AddPage([](TCanvas& c) {
    TRect narrow{100, 100, 130, 116};
    c.DrawText(narrow, "1,234,567.89", DT_RIGHT | DT_SINGLELINE);
    TRect wide{100, 200, 400, 216};
    c.DrawText(wide, "fits", DT_LEFT | DT_SINGLELINE);
  });
  const std::string content = Contents(pdf.BuildDocument())[0];
  EXPECT_EQ(Count(content, " re W n"), 1) << content;
  EXPECT_NE(content.find("q " + PdfPoints(100) + " " + PdfPoints(1123 - 116) + " " + PdfPoints(30) + " " +
                         PdfPoints(16) + " re W n"),
            std::string::npos)
      << content;
}

TEST_F(PdfExporter, ATabLeavesTheGapThePageLeaves) {
  TFont font;
  const std::vector<int> advances = CharAdvances(font, "a\tb");
  AddPage([](TCanvas& c) { c.TextOut(50, 50, "a\tb"); });
  const std::string content = Contents(pdf.BuildDocument())[0];
  const std::string baseline = PdfPoints(1123 - 50 - FontAscent(font));
  EXPECT_NE(content.find("1 0 0 1 " + PdfPoints(50) + " " + baseline + " Tm (a) Tj"), std::string::npos) << content;
  EXPECT_NE(content.find("1 0 0 1 " + PdfPoints(50 + advances[0] + advances[1]) + " " + baseline + " Tm (b) Tj"),
            std::string::npos)
      << content;
}

TEST_F(PdfExporter, LinesAreStrokedThroughThePixelCentresWithThePensWidthAndColour) {
  AddPage([](TCanvas& c) {
    c.Pen.Color = clBlue;
    c.Pen.Width = 3;
    c.MoveTo(40, 100);
    c.LineTo(440, 100);
    c.Pen.Style = TPenStyle::psClear;
    c.MoveTo(40, 200);
    c.LineTo(440, 200);
  });
  const std::string content = Contents(pdf.BuildDocument())[0];
  EXPECT_NE(content.find("q 0.000 0.000 1.000 RG 2.25 w 2 J\r\n30.375 766.875 m 330.375 766.875 l S Q"),
            std::string::npos)
      << content;
  EXPECT_EQ(Count(content, " l S"), 1);  // an invisible pen draws nothing
}

TEST_F(PdfExporter, PicturesBecomeImagesWhoseHexDataRunsInLinesOfThirteenPixels) {
  AddPage([](TCanvas& c) { c.StretchDraw(TRect{30, 200, 44, 202}, TBitmap(14, 2, RGBColor(0x12, 0xAB, 0xEF))); });
  const std::string file = pdf.BuildDocument();
  EXPECT_NE(file.find("q\r\n10.5 0 0 1.5 " + PdfPoints(30) + " " + PdfPoints(1123 - 202) + " cm\r\n/Im1 Do\r\nQ\r\n"),
            std::string::npos);
  EXPECT_NE(file.find("/XObject << /Im1 "), std::string::npos);
  EXPECT_NE(file.find("[ /PDF /Text /ImageC ] "), std::string::npos);
  std::string pixels;
  for (int i = 0; i < 28; ++i) pixels += "12ABEF";
  const std::string lines = pixels.substr(0, 78) + "\r\n" + pixels.substr(78, 78) + "\r\n" + pixels.substr(156) + ">";
  EXPECT_NE(file.find("stream\r\n" + lines + "\r\nendstream"), std::string::npos);
  EXPECT_NE(file.find("obj\r\n" + std::to_string(lines.size()) + "\r\nendobj"), std::string::npos);
}

TEST_F(PdfExporter, WithoutAPageSizeTheExportFailsClearly) {
  pdf.intPageHeight = 0;
  EXPECT_THROW(pdf.BuildDocument(), EPdfError);
}

}  // namespace
}  // namespace zd
