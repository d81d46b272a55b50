// The PDF exporter over collected cells: page tree, the objects of every
// page, page breaks from cell positions, positions in points and content.
#include <gtest/gtest.h>

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

  void AddText(int left, int top, const std::string& text) {
    TZdqMFERecord cell;
    cell.Left = left;
    cell.Top = top;
    cell.Text = text;
    pdf.Records().push_back(cell);
  }

  static int Count(const std::string& s, const std::string& what) {
    int n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
  }

  TZdqExportToPDF pdf;
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
  for (int p = 0; p < 23; ++p) AddText(0, p * 1123 + 50, "page " + std::to_string(p + 1));
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

TEST_F(PdfExporter, ATextTwoPagesFurtherDownStartsOnlyOneNewPage) {
  AddText(0, 10, "first");
  AddText(0, 2 * 1123 + 10, "far below");
  const std::string file = pdf.BuildDocument();
  EXPECT_EQ(Count(file, "/Type /Page \r\n"), 2);
}

TEST_F(PdfExporter, TextIsPlacedInPointsWithItsFontColourAndEscaped) {
  TZdqMFERecord cell;
  cell.Left = 86;
  cell.Top = 1123 + 110;  // on the second page
  cell.Text = "a (b)";
  cell.Font.Color = clRed;
  cell.Font.Size = 12;
  AddText(0, 5, "first page");
  pdf.Records().push_back(cell);
  const std::string file = pdf.BuildDocument();
  // x = (86 + 10) * 0.75, y = (1123 - 110 - 10) * 0.75
  EXPECT_NE(file.find("BT\r\n1.000 0.000 0.000 rg\r\n/F0 12 Tf\r\n14 TL\r\n72 752.25 Td (a \\(b\\)) Tj \r\n"
                      "0.000 0.000 0.000 RG\r\nET\r\n"),
            std::string::npos);
  std::smatch length;
  ASSERT_TRUE(std::regex_search(file, length, std::regex("<< /Length ([0-9]+) 0 R >> \r\nstream\r\n")));
  const size_t data = size_t(length.position(0) + length.length(0));
  const size_t end = file.find("endstream", data);
  const std::string lengthObject = length[1].str() + " 0 obj\r\n" + std::to_string(end - data) + "\r\n";
  EXPECT_NE(file.find(lengthObject), std::string::npos);
}

TEST_F(PdfExporter, LinesAreFilledRectanglesWithTheirColours) {
  TZdqMFERecord line;
  line.Kind = TZdqMFERecordKind::rkLine;
  line.Left = 40;
  line.Top = 100;
  line.Width = 401;
  line.Height = 1;
  line.BackColor = clBlue;
  pdf.Records().push_back(line);
  const std::string file = pdf.BuildDocument();
  EXPECT_NE(file.find("0.000 0.000 1.000 RG\r\n30 767.25 300 0 re\r\nB\r\n1.000 1.000 1.000 RG\r\n"),
            std::string::npos);
}

TEST_F(PdfExporter, PicturesBecomeImagesWhoseHexDataRunsInLinesOfThirteenPixels) {
  TZdqMFERecord picture;
  picture.Kind = TZdqMFERecordKind::rkPicture;
  picture.Left = 30;
  picture.Top = 200;
  picture.Bitmap = TBitmap(14, 2, RGBColor(0x12, 0xAB, 0xEF));
  pdf.Records().push_back(picture);
  const std::string file = pdf.BuildDocument();
  EXPECT_NE(file.find("q\r\n10.5 0 0 1.5 30 690.75 cm\r\n/Im1 Do\r\nQ\r\n"), std::string::npos);
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
