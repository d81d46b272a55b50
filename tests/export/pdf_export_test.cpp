// The PDF exporter over collected cells: page tree, the objects of every
// page, page breaks from cell positions, positions in points and content.
// The PDF exporter that keeps the page: pages of their own sizes, content
// that nests as the records do, glyphs where the records put them, shared
// pictures, and clear errors for what it cannot write.
#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>

#include "EmfRecords.h"
#include "export/ExportRegistry.h"
#include "export/pdf/PdfExport.h"
#include "export/pdf/PdfPageExport.h"
#include "export/pdf/detail/PdfWriter.h"
#include "host/graphics/Bitmap.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

int Count(const std::string& s, const std::string& what) {
  int n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

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

  // The document the pages make, as SaveToFile writes it.
  std::string Saved() {
    std::ostringstream out;
    pdf.SetDestinationStream(&out);
    pdf.SaveToFile("");
    pdf.SetDestinationStream(nullptr);
    return out.str();
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

// Pages go to the file as they complete: the cells kept are the last page's.
TEST_F(PdfExporter, TwentyThreePagesMakeThreeNodesOfTenTenAndThree) {
  for (int p = 0; p < 23; ++p)
    AddPage([&](TCanvas& c) {
      c.TextOut(0, 50, "page " + std::to_string(p + 1));
      c.TextOut(0, 90, "row");
      EXPECT_LE(pdf.Records().size(), 3u);
    });
  const std::string file = Saved();
  const std::vector<std::string> contents = Contents(file);
  ASSERT_EQ(contents.size(), 23u);
  for (int p = 0; p < 23; ++p) EXPECT_NE(contents[size_t(p)].find("(page " + std::to_string(p + 1) + ")"), std::string::npos);
  EXPECT_EQ(Count(file, "/Type /Page \r\n"), 23);
  std::smatch root;
  ASSERT_TRUE(std::regex_search(file, root, std::regex("3 0 obj\r\n<< /Type /Pages \r\n/Kids \\[ ((?:[0-9]+ 0 R )+) \\] \r\n/Count 23 >> ")));
  EXPECT_EQ(Count(root[1], " 0 R"), 3);
  EXPECT_EQ(Count(file, "/Count 10 \r\n/Parent 3 0 R >> "), 2);
  EXPECT_EQ(Count(file, "/Count 3 \r\n/Parent 3 0 R >> "), 1);
}

TEST_F(PdfExporter, AnEmptyPageStillHasAllItsObjectsWithoutGapsButNoPageSizeFails) {
  const std::string file = Saved();
  // Catalog, info, root, node, page, content, length, procedure set, resources.
  EXPECT_NE(file.find("xref\r\n0 10\r\n"), std::string::npos);
  EXPECT_NE(file.find("/MediaBox [0 0 595.5 842.25] "), std::string::npos);
  EXPECT_NE(file.find("<< /Length 7 0 R >> \r\nstream\r\nendstream\r\n"), std::string::npos);
  EXPECT_NE(file.find("7 0 obj\r\n0\r\nendobj"), std::string::npos);
  EXPECT_NE(file.find("[ /PDF /Text ] "), std::string::npos);
  EXPECT_NE(file.find("9 0 obj\r\n<<\r\n/ProcSet 8 0 R\r\n>>\r\nendobj"), std::string::npos);
  pdf.intPageHeight = 0;
  EXPECT_THROW(Saved(), EPdfError);
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
  const std::vector<std::string> contents = Contents(Saved());
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
  const std::vector<std::string> contents = Contents(Saved());
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
  const std::string content = Contents(Saved())[0];
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
  const std::string content = Contents(Saved())[0];
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
  const std::string content = Contents(Saved())[0];
  EXPECT_NE(content.find("q 0.000 0.000 1.000 RG 2.25 w 2 J\r\n30.375 766.875 m 330.375 766.875 l S Q"),
            std::string::npos)
      << content;
  EXPECT_EQ(Count(content, " l S"), 1);  // an invisible pen draws nothing
}

TEST_F(PdfExporter, PicturesBecomeImagesWhoseHexDataRunsInLinesOfThirteenPixels) {
  AddPage([](TCanvas& c) { c.StretchDraw(TRect{30, 200, 44, 202}, TBitmap(14, 2, RGBColor(0x12, 0xAB, 0xEF))); });
  const std::string file = Saved();
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

class PagePdfExporter : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::ensureGuiApp(); }
  void SetUp() override { pdf.StartExport(); }
  void TearDown() override { pdf.EndExport(); }

  static TMetafile Drawn(const std::function<void(TCanvas&)>& draw, int width = 794, int height = 1123) {
    TMetafile page;
    {
      TMetafileCanvas canvas(page);
      draw(canvas);
    }
    page.SetWidth(width);
    page.SetHeight(height);
    return page;
  }

  void AddPage(const TMetafile& page) {
    pdf.NewPage(pages++, 0);
    pdf.ExportRecords(page);
    pdf.PageProcessed(page);
  }

  // The saved document and the inflated content of each page, in order.
  std::string Save() {
    pdf.SaveToFile(file);
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static std::vector<std::string> Contents(const std::string& document) {
    std::vector<std::string> out;
    const std::regex stream("<< /Filter /FlateDecode /Length ([0-9]+) >>\r\nstream\r\n");
    for (auto it = std::sregex_iterator(document.begin(), document.end(), stream); it != std::sregex_iterator();
         ++it) {
      const size_t at = size_t(it->position(0) + it->length(0)), length = std::stoul((*it)[1]);
      std::string inflated(1 << 20, '\0');
      uLongf size = uLongf(inflated.size());
      EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size,
                           reinterpret_cast<const Bytef*>(document.data() + at), uLong(length)),
                Z_OK);
      inflated.resize(size);
      out.push_back(inflated);
    }
    return out;
  }
  TZdqExportToPagePDF pdf;
  int pages = 0;
  const std::string file = test::UniqueTempPath("zd_page.pdf").string();
};

TEST_F(PagePdfExporter, EveryPageIsAPdfPageOfItsOwnSizeInPointsDrawnInPageUnits) {
  AddPage(Drawn([](TCanvas& c) { c.TextOut(10, 10, "portrait"); }));
  AddPage(Drawn([](TCanvas& c) { c.TextOut(10, 10, "landscape"); }, 1123, 794));
  const std::string document = Save();
  EXPECT_NE(document.find("/Count 2 "), std::string::npos);
  const size_t portrait = document.find("/MediaBox [0 0 595.5 842.25]"),
               landscape = document.find("/MediaBox [0 0 842.25 595.5]");
  ASSERT_NE(portrait, std::string::npos);
  ASSERT_NE(landscape, std::string::npos);
  EXPECT_LT(portrait, landscape);
  const std::vector<std::string> contents = Contents(document);
  ASSERT_EQ(contents.size(), 2u);
  EXPECT_EQ(contents[0].rfind("0.75 0 0 -0.75 0 842.25 cm", 0), 0u) << contents[0];
  EXPECT_EQ(contents[1].rfind("0.75 0 0 -0.75 0 595.5 cm", 0), 0u) << contents[1];
}

TEST_F(PagePdfExporter, SavesAndClipsNestAsTheRecordsDoAndEveryPageEndsBalanced) {
  using test::EmfRecordBytes;
  // Saved twice, cut, restored five times (more than saved), saved again
  // and never restored.
  const TMetafile page = test::MetafileOf({EmfRecordBytes(EMR_SAVEDC).Bytes(), EmfRecordBytes(EMR_SAVEDC).Bytes(),
                                           EmfRecordBytes(EMR_INTERSECTCLIPRECT).rect(10, 20, 110, 70).Bytes(),
                                           EmfRecordBytes(EMR_RESTOREDC).i32(-5).Bytes(),
                                           EmfRecordBytes(EMR_SAVEDC).Bytes()});
  AddPage(page);
  const std::string content = Contents(Save()).at(0);
  EXPECT_NE(content.find("10 20 100 50 re W n"), std::string::npos) << content;
  EXPECT_EQ(Count(content, "q\n"), 3) << content;
  EXPECT_EQ(Count(content, "Q\n"), 3) << content;
  EXPECT_LT(content.find("re W n"), content.find("Q\n"));
}

TEST_F(PagePdfExporter, GlyphsFollowTheRecordedAdvancesWhereTheyDifferFromTheFontsOwn) {
  using test::EmfRecordBytes;
  // "AB" with each letter given 40 units: far wider than the font sets it.
  EmfRecordBytes text(EMR_EXTTEXTOUTW);
  text.rect(0, 0, 100, 20).u32(1).f32(0).f32(0);
  text.i32(10).i32(30).u32(2).u32(76).u32(0).rect(0, 0, -1, -1).u32(80);
  text.u32(0x00420041).i32(40).i32(40);
  AddPage(test::MetafileOf({text.Bytes()}));
  // The canvas records the font's own advances: no adjustment is needed.
  AddPage(Drawn([](TCanvas& c) { c.TextOut(10, 30, "Plain words, nothing moved"); }));
  const std::vector<std::string> contents = Contents(Save());
  ASSERT_EQ(contents.size(), 2u);
  std::smatch adjusted;
  ASSERT_TRUE(std::regex_search(contents[0], adjusted, std::regex("\\[<[0-9A-F]{4}>(-[0-9.]+)<[0-9A-F]{4}>\\] TJ")))
      << contents[0];
  // Moved right by the difference: a negative adjustment in thousandths of the em.
  EXPECT_LT(std::stod(adjusted[1]), -500);
  EXPECT_EQ(contents[1].find("TJ"), std::string::npos) << contents[1];
  EXPECT_NE(contents[1].find("> Tj"), std::string::npos) << contents[1];
}

TEST_F(PagePdfExporter, APictureOnEveryPageIsStoredOnceAndDrawnUprightInItsBox) {
  TBitmap logo(8, 4, clRed);
  const auto draw = [&logo](TCanvas& c) { c.StretchDraw(TRect{100, 50, 132, 66}, logo); };
  AddPage(Drawn(draw));
  AddPage(Drawn(draw));
  const std::string document = Save();
  EXPECT_EQ(Count(document, "/Subtype /Image"), 1);
  for (const std::string& content : Contents(document))
    EXPECT_NE(content.find("q 32 0 0 -16 100 66 cm /I"), std::string::npos) << content;
}

TEST_F(PagePdfExporter, WhatCannotBeWrittenFailsClearlyAndLeavesNoFile) {
  pdf.NewPage(0, 0);
  EXPECT_THROW(pdf.PageProcessed(TMetafile{}), EPdfError);  // a page without a size
  pdf.EndExport();

  using test::EmfRecordBytes;
  // A bitmap whose pixels would lie beyond the record.
  EmfRecordBytes bitmap(EMR_STRETCHDIBITS);
  bitmap.rect(0, 0, 10, 10).i32(0).i32(0).i32(0).i32(0).i32(1).i32(1);
  bitmap.u32(80).u32(40).u32(120).u32(4000).u32(0).u32(0x00CC0020).i32(10).i32(10);
  for (int i = 0; i < 11; ++i) bitmap.u32(0);
  pdf.StartExport();
  pdf.NewPage(0, 0);
  EXPECT_THROW(pdf.ExportRecords(test::MetafileOf({bitmap.Bytes()})), EMetafileError);
  pdf.EndExport();

  // A folder where the file should go: nothing half-written is left.
  pdf.StartExport();
  AddPage(Drawn([](TCanvas& c) { c.TextOut(10, 10, "text"); }));
  std::filesystem::create_directory(file);
  EXPECT_THROW(pdf.SaveToFile(file), EPdfError);
  EXPECT_TRUE(std::filesystem::is_directory(file));
  EXPECT_FALSE(std::filesystem::exists(file + ".partial"));
  std::filesystem::remove(file);
}

TEST(PdfFormats, PdfMeansThePageAndTheCellExporterIsPdfCells) {
  const PZdqRegisterExport page = FindZdqExport("TZdqExportToPagePDF"), cells = FindZdqExport("TZdqExportToPDF");
  ASSERT_TRUE(page && cells);
  EXPECT_EQ(page->FormatName, "pdf");
  EXPECT_EQ(cells->FormatName, "pdf-cells");
  EXPECT_EQ(page->FileExtension, "PDF");
  EXPECT_EQ(cells->FileExtension, "PDF");
  std::set<std::string> names;
  for (const TZdqRegisterExport& entry : ZdqExports())
    EXPECT_TRUE(names.insert(entry.FormatName).second) << entry.FormatName << " is taken twice";
}

}  // namespace
}  // namespace zd
