// Reports exported to PDF must read back in standard PDF tools: structure
// without warnings, page count and size, the text of each page in order,
// the fonts used, and with embedded subsets any Unicode text. The PDF that
// keeps the page must also look like the page: rasterised, it matches what
// the metafile player draws.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "export/pdf/PdfExport.h"
#include "export/pdf/PdfPageExport.h"
#include "host/emf/detail/MetafilePlayer.h"
#include "host/graphics/Bitmap.h"
#include "tests/Fixtures.h"
#include "host/graphics/QtGraphics.h"
#include "host/locale/Locale.h"
#include "host/printing/Printer.h"
#include "print/PrintZd.h"
#include "tests/TempPath.h"

using namespace zd;

namespace {

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

ToolRun RunTool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(tool, args);
  if (!p.waitForFinished(60000)) return {};
  return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

std::string PageText(const std::string& file, int page) {
  const QString n = QString::number(page);
  return RunTool("pdftotext", {"-q", "-f", n, "-l", n, "-layout", QString::fromStdString(file), "-"}).out;
}

std::string InfoField(const std::string& pdfinfo, const std::string& name) {
  std::istringstream lines(pdfinfo);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(name + ":", 0) == 0) {
      const size_t start = line.find_first_not_of(' ', name.size() + 1);
      return start == std::string::npos ? "" : line.substr(start);
    }
  return {};
}

// The embedded subsets pdffonts lists: their names carry a "+" after the tag.
std::vector<std::string> SubsetLines(const std::string& file) {
  std::istringstream lines(RunTool("pdffonts", {QString::fromStdString(file)}).out);
  std::vector<std::string> subsets;
  for (std::string line; std::getline(lines, line);)
    if (line.find('+') != std::string::npos) subsets.push_back(line);
  return subsets;
}

std::string Points(int units) {
  std::ostringstream s;
  s << units * 72.0 / 96.0;
  return s.str();
}

// Three pages: a title with characters PDF strings must escape, a ruled
// line, a picture on the first page, body lines per page and a footer.
class SampleReport : public TZdPrintComponent {
 public:
  std::vector<std::string> bodyLines{"Plain body text"};
  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    for (int p = 1; p <= 3; ++p) {
      NewPage();
      TCanvas& c = *Producer().MFCanvas();
      c.Font = TFont{};
      c.Font.Size = 16;
      c.Font.Style = TFontStyles(fsBold);
      c.TextOut(60, 60, "Totals (net) \\ gross");
      c.MoveTo(60, 100);
      c.LineTo(700, 100);
      c.Font = TFont{};
      c.Font.Name = "Times New Roman";
      int y = 130;
      for (const std::string& line : bodyLines) {
        c.TextOut(60, y, line + " " + std::to_string(p));
        y += 30;
      }
      if (p == 1) {
        TBitmap picture(24, 12, clRed);
        c.StretchDraw(TRect{60, 400, 84, 412}, picture);
      }
      c.Font = TFont{};
      c.Font.Name = "Courier New";
      c.TextOut(60, 1000, "Page " + std::to_string(p) + " of 3");
    }
    EndDoc();
  }
};

class PdfExportInterop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }
  void SetUp() override {
    report.SetAnimatedStatus(false);
    report.ZdProperty().Title = "Quarter (Q3)";
    report.ZdProperty().Author = "Ann";
  }
  void TearDown() override { setCurrentLocale(TLocale{}); }

  std::string Export(const char* name, bool embed, TZdqECompression compression = TZdqECompression::seASCIIHex) {
    const std::string file = zd::test::UniqueTempPath(name).string();
    report.PrepareReport();
    report.ExportTo(file, false, TStringList{"1", "2", "3"}, [=](TComponent* owner) {
      auto pdf = std::make_unique<TZdqExportToPDF>(owner);
      pdf->EmbedFonts = embed;
      pdf->Compression = compression;
      return std::unique_ptr<TZdqExport>(std::move(pdf));
    });
    return file;
  }

  static void ExpectCleanCheck(const std::string& file) {
    const ToolRun check = RunTool("qpdf", {"--check", QString::fromStdString(file)});
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
    EXPECT_EQ(check.err, "");
  }

  SampleReport report;
};

TEST_F(PdfExportInterop, SpecifiedOutputChecksCleanWithPagesSizesAndTextsInOrder) {
  const std::string file = Export("zd_pdf_plain.pdf", false);
  ExpectCleanCheck(file);

  const std::string info = RunTool("pdfinfo", {QString::fromStdString(file)}).out;
  EXPECT_EQ(InfoField(info, "Pages"), "3");
  const TPageInfo& page = report.Pages().At(0);
  const std::string size = Points(page.PageWidth()) + " x " + Points(page.PageHeight()) + " pts";
  EXPECT_EQ(InfoField(info, "Page size").substr(0, size.size()), size);
  if (page.PageWidth() == 794 && page.PageHeight() == 1123)
    EXPECT_EQ(InfoField(info, "Page size").substr(0, 18), "595.5 x 842.25 pts");
  EXPECT_EQ(InfoField(info, "Title"), "Quarter (Q3)");
  EXPECT_EQ(InfoField(info, "Author"), "Ann");

  for (int p = 1; p <= 3; ++p) {
    const std::string text = PageText(file, p);
    const size_t title = text.find("Totals (net) \\ gross");
    const size_t body = text.find("Plain body text " + std::to_string(p));
    const size_t footer = text.find("Page " + std::to_string(p) + " of 3");
    EXPECT_NE(title, std::string::npos) << text;
    EXPECT_NE(body, std::string::npos) << text;
    EXPECT_NE(footer, std::string::npos) << text;
    EXPECT_LT(title, body);
    EXPECT_LT(body, footer);
  }

  const std::string fonts = RunTool("pdffonts", {QString::fromStdString(file)}).out;
  for (const char* base : {"Helvetica-Bold", "Times-Roman", "Courier"})
    EXPECT_NE(fonts.find(base), std::string::npos) << fonts;

  const std::string images = RunTool("pdfimages", {"-list", QString::fromStdString(file)}).out;
  EXPECT_NE(images.find("rgb"), std::string::npos) << images;
}

TEST_F(PdfExportInterop, FlateImagesHoldRealDataThatDecodesCleanly) {
  const std::string file = Export("zd_pdf_flate.pdf", false, TZdqECompression::seFlate);
  ExpectCleanCheck(file);
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(bytes.find("/Filter /FlateDecode"), std::string::npos);
  const std::string images = RunTool("pdfimages", {"-list", QString::fromStdString(file)}).out;
  EXPECT_NE(images.find(" 24 "), std::string::npos) << images;  // the picture's width
}

TEST_F(PdfExportInterop, CyrillicInACyrillicCodePageComesBackThroughTheDifferences) {
  TLocale russian;
  russian.ansiCodePage = 1251;
  setCurrentLocale(russian);
  report.bodyLines = {"Привет, мир"};
  const std::string file = Export("zd_pdf_cp1251.pdf", false);
  ExpectCleanCheck(file);
  EXPECT_NE(PageText(file, 2).find("Привет, мир 2"), std::string::npos) << PageText(file, 2);
}

TEST_F(PdfExportInterop, EmbeddedSubsetsShowAndExtractAnyUnicodeText) {
  report.bodyLines = {"Привет, мир", "Příliš žluťoučký kůň", "Plain body text"};
  const std::string file = Export("zd_pdf_embedded.pdf", true);
  ExpectCleanCheck(file);
  EXPECT_EQ(InfoField(RunTool("pdfinfo", {QString::fromStdString(file)}).out, "Pages"), "3");
  for (int p = 1; p <= 3; ++p) {
    const std::string text = PageText(file, p), n = std::to_string(p);
    const size_t cyrillic = text.find("Привет, мир " + n), czech = text.find("Příliš žluťoučký kůň " + n),
                 footer = text.find("Page " + n + " of 3");
    EXPECT_NE(cyrillic, std::string::npos) << text;
    EXPECT_NE(czech, std::string::npos) << text;
    EXPECT_NE(footer, std::string::npos) << text;
    EXPECT_LT(cyrillic, czech);
    EXPECT_LT(czech, footer);
    EXPECT_NE(text.find("Totals (net) \\ gross"), std::string::npos) << text;
  }
  const std::vector<std::string> subsets = SubsetLines(file);
  for (const std::string& line : subsets) {
    EXPECT_NE(line.find("CID TrueType"), std::string::npos) << line;
    EXPECT_NE(line.find("Identity-H"), std::string::npos) << line;
    EXPECT_NE(line.find(" yes yes yes "), std::string::npos) << line;  // embedded, subset, to-unicode
  }
  EXPECT_EQ(subsets.size(), 3u);  // bold sans, serif, mono
}

TEST_F(PdfExportInterop, TextsBeyondTheCodePageAreEmbeddedInTheFontsThatHaveThemAndExtract) {
  const std::vector<std::string> scripts = {
      "Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144",  // Polish
      "\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1",                       // Greek
      "\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439\u0442\u0435",     // Cyrillic
      "\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd",                          // Hebrew
      "\u0645\u0631\u062d\u0628\u0627 \u0628\u0643\u0645",                          // Arabic
      "\u4f60\u597d\u4e16\u754c"};                                              // Chinese
  report.bodyLines = scripts;
  const std::string file = Export("zd_pdf_scripts.pdf", false);
  ExpectCleanCheck(file);
  const std::string text = PageText(file, 1);
  for (const std::string& line : scripts) {
    // The words of each line come out as written, right-to-left ones too.
    std::istringstream words(line);
    for (std::string word; words >> word;) EXPECT_NE(text.find(word), std::string::npos) << word << "\n" << text;
  }
  // The Latin texts keep their base fonts; the others are embedded subsets,
  // the Chinese one in a font other than the body's.
  const std::string fonts = RunTool("pdffonts", {QString::fromStdString(file)}).out;
  for (const char* base : {"Helvetica-Bold", "Courier"}) EXPECT_NE(fonts.find(base), std::string::npos) << fonts;
  const std::vector<std::string> subsets = SubsetLines(file);
  for (const std::string& line : subsets)
    EXPECT_NE(line.find(" yes yes yes "), std::string::npos) << line;  // embedded, subset, to-unicode
  EXPECT_GE(subsets.size(), 2u) << fonts;

  // A Latin-only document embeds nothing and stays small.
  report.bodyLines = {"Plain body text"};
  const std::string latin = Export("zd_pdf_latin.pdf", false);
  EXPECT_TRUE(SubsetLines(latin).empty());
  EXPECT_LT(std::filesystem::file_size(latin), std::filesystem::file_size(file));
}

}  // namespace

namespace {

// Everything the player draws, on the first page: texts aligned, turned,
// underlined, on a background, cut by a clip and in several scripts; lines
// of each pen style and width; boxes, rounded boxes and ellipses, filled
// solid and hatched; a picture; shapes cut by a clipped region. A second
// page has a text of its own.
class DrawingReport : public TZdPrintComponent {
 public:
  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    NewPage();
    TCanvas& c = *Producer().MFCanvas();
    c.Font = TFont{};
    c.Font.Size = 18;
    c.Font.Style = TFontStyles(fsBold);
    c.TextOut(60, 40, "Quarterly figures");
    c.Font = TFont{};
    c.Font.Name = "Times New Roman";
    c.Font.Size = 12;
    c.SetTextAlign(TA_RIGHT);
    c.TextOut(700, 90, "Right aligned 1,234.50");
    c.SetTextAlign(TA_CENTER);
    c.TextOut(400, 120, "Centred heading");
    c.SetTextAlign(TA_LEFT);
    c.Font.Style = TFontStyles(fsUnderline);
    c.TextOut(60, 150, "Underlined words");
    c.Font = TFont{};
    c.Font.Color = clBlue;
    c.SetBkMode(TBkMode::bmOpaque);
    c.Brush.Color = clYellow;
    c.TextOut(60, 180, "On a yellow background");
    c.SetBkMode(TBkMode::bmTransparent);
    c.Font.Color = clBlack;
    c.TextRect(TRect{60, 210, 140, 240}, 60, 212, "Cut off by its clip rectangle");
    c.TextOut(60, 250, "\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440 \u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1");
    c.TextOut(60, 280, "\u4f60\u597d\u4e16\u754c \u0645\u0631\u062d\u0628\u0627");
    c.Font.Orientation = 900;
    c.TextOut(740, 400, "Turned upwards");
    c.Font.Orientation = 0;

    c.Pen = TPen{clBlack, 1, TPenStyle::psSolid};
    c.MoveTo(60, 320);
    c.LineTo(700, 320);
    c.Pen = TPen{clRed, 3, TPenStyle::psSolid};
    c.MoveTo(60, 335);
    c.LineTo(700, 335);
    c.Pen = TPen{clBlack, 1, TPenStyle::psDash};
    c.MoveTo(60, 350);
    c.LineTo(700, 350);
    c.Pen = TPen{clGreen, 1, TPenStyle::psDot};
    c.MoveTo(60, 365);
    c.LineTo(60, 560);

    c.Pen = TPen{clBlack, 2, TPenStyle::psSolid};
    c.Brush = TBrush{clSilver, TBrushStyle::bsSolid};
    c.Rectangle(100, 380, 260, 460);
    c.Brush = TBrush{RGBColor(0, 128, 255), TBrushStyle::bsSolid};
    c.RoundRect(TRect{280, 380, 440, 460}, 30, 20);
    c.Brush = TBrush{clLime, TBrushStyle::bsSolid};
    c.Ellipse(460, 380, 620, 460);
    c.Pen = TPen{clBlack, 1, TPenStyle::psSolid};
    c.Brush = TBrush{clRed, TBrushStyle::bsDiagCross};
    c.Rectangle(100, 480, 260, 560);
    c.Brush = TBrush{clBlue, TBrushStyle::bsHorizontal};
    c.Ellipse(280, 480, 440, 560);
    c.Brush = TBrush{clGray, TBrushStyle::bsSolid};
    c.FillRect(TRect{460, 480, 620, 500});

    TBitmap picture(24, 12, clWhite);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 24; ++x)
        if ((x / 4 + y / 4) % 2) picture.SetPixel(x, y, RGBColor(200, 0, 120));
    c.StretchDraw(TRect{460, 510, 556, 558}, picture);

    // Only the middle of the circle shows.
    c.SetClipRect(TRect{100, 600, 300, 660});
    c.Brush = TBrush{RGBColor(255, 128, 0), TBrushStyle::bsSolid};
    c.Ellipse(100, 580, 300, 780);
    c.SetClipRect(std::nullopt);

    NewPage();
    c.Font = TFont{};
    c.Font.Size = 14;
    c.TextOut(60, 60, "Second page");
    EndDoc();
  }
};

// Pixels of two rasters of one page that differ beyond anti-aliasing: a
// pixel counts when neither image has a pixel like the other's within one
// pixel around it. Inked pixels are those not white in either.
struct TRasterDifference {
  int inked = 0;
  int differing = 0;
  QImage marked;  // the differing pixels in red on the first raster
};

bool Alike(QRgb a, QRgb b) {
  constexpr int kTolerance = 96;
  return std::abs(qRed(a) - qRed(b)) <= kTolerance && std::abs(qGreen(a) - qGreen(b)) <= kTolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= kTolerance;
}

bool AlikeNearby(const QImage& image, int x, int y, QRgb colour) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (image.valid(x + dx, y + dy) && Alike(image.pixel(x + dx, y + dy), colour)) return true;
  return false;
}

TRasterDifference Compare(const QImage& a, const QImage& b) {
  TRasterDifference d;
  d.marked = a.copy();
  for (int y = 0; y < std::min(a.height(), b.height()); ++y)
    for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
      const QRgb pa = a.pixel(x, y), pb = b.pixel(x, y);
      if (pa == pb && pa == qRgb(255, 255, 255)) continue;
      ++d.inked;
      if (!Alike(pa, pb) && !(AlikeNearby(b, x, y, pa) && AlikeNearby(a, x, y, pb))) {
        ++d.differing;
        d.marked.setPixel(x, y, qRgb(255, 0, 0));
      }
    }
  return d;
}

class PdfPageInterop : public PdfExportInterop {
 protected:
  void SetUp() override {
    drawing.SetAnimatedStatus(false);
    drawing.ZdProperty().Title = "Umsatz \u00fcber alles \u2013 \u5e74\u5ea6";
    drawing.ZdProperty().Author = "Zo\u00eb";
    drawing.ZdProperty().Subject = "Figures";
    drawing.ZdProperty().Keywords = "sales, \u0441\u0447\u0451\u0442";
  }

  std::string ExportDrawing(const char* name) {
    const std::string file = zd::test::UniqueTempPath(name).string();
    drawing.PrepareReport();
    TZdqOutline& first = drawing.Outlines().Add();
    first.Text = "Figures \u2013 \u00fcberblick";
    first.Top = 380;
    TZdqOutline& second = drawing.Outlines().Add();
    second.Text = "Second page";
    second.PageNo = 1;
    drawing.ExportTo(file, false, TStringList{"1", "2"}, ExportClassOf<TZdqExportToPagePDF>());
    return file;
  }

  // The page rasterised by the PDF reader and by the player, at 96 dots an
  // inch: one pixel a page unit; text smoothed and shapes not, as the
  // player draws them.
  QImage PdfRaster(const std::string& file, int page) {
    const std::string stem = file + "-raster";
    const QString n = QString::number(page);
    const ToolRun run = RunTool("pdftoppm", {"-r", "96", "-aaVector", "no", "-f", n, "-l", n, "-png",
                                             "-singlefile", QString::fromStdString(file), QString::fromStdString(stem)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return QImage(QString::fromStdString(stem + ".png")).convertToFormat(QImage::Format_RGB32);
  }
  QImage PlayerRaster(int page) {
    const TPageInfo& info = drawing.Pages().At(page);
    return ToQImage(RasterizeMetafile(info.Drawing()->Bytes(), info.PageWidth(), info.PageHeight()))
        .convertToFormat(QImage::Format_RGB32);
  }

  DrawingReport drawing;
};

TEST_F(PdfPageInterop, ChecksCleanWithThePageSizeUnicodePropertiesAndTextsInReadingOrder) {
  const std::string file = ExportDrawing("zd_pdfpage_drawing.pdf");
  ExpectCleanCheck(file);
  const std::string info = RunTool("pdfinfo", {QString::fromStdString(file)}).out;
  EXPECT_EQ(InfoField(info, "Pages"), "2");
  const TPageInfo& page = drawing.Pages().At(0);
  const std::string size = Points(page.PageWidth()) + " x " + Points(page.PageHeight()) + " pts";
  EXPECT_EQ(InfoField(info, "Page size").substr(0, size.size()), size);
  EXPECT_EQ(InfoField(info, "Title"), drawing.ZdProperty().Title);
  EXPECT_EQ(InfoField(info, "Author"), drawing.ZdProperty().Author);
  EXPECT_EQ(InfoField(info, "Subject"), "Figures");
  EXPECT_EQ(InfoField(info, "Keywords"), drawing.ZdProperty().Keywords);

  const std::string text = PageText(file, 1);
  std::vector<size_t> at;
  for (const char* piece : {"Quarterly figures", "Right aligned 1,234.50", "Centred heading", "Underlined words",
                            "On a yellow background", "\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440",
                            "\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1", "\u4f60\u597d\u4e16\u754c",
                            "\u0645\u0631\u062d\u0628\u0627"}) {
    at.push_back(text.find(piece));
    EXPECT_NE(at.back(), std::string::npos) << piece << "\n" << text;
  }
  for (size_t i = 1; i < 5; ++i) EXPECT_LT(at[i - 1], at[i]) << text;
  // The clip rectangle cuts the text on the page, not in the file.
  EXPECT_NE(text.find("Cut off by"), std::string::npos) << text;
  EXPECT_EQ(PageText(file, 2).find("Quarterly"), std::string::npos);
  EXPECT_NE(PageText(file, 2).find("Second page"), std::string::npos);

  // Every font an embedded subset with a Unicode map; the Chinese text in a
  // fallback font of its own; one subset per font for the whole document.
  const std::string fonts = RunTool("pdffonts", {QString::fromStdString(file)}).out;
  std::vector<std::string> names;
  for (const std::string& line : SubsetLines(file)) {
    EXPECT_NE(line.find("CID TrueType"), std::string::npos) << line;
    EXPECT_NE(line.find(" yes yes yes "), std::string::npos) << line;
    names.push_back(line.substr(line.find('+') + 1, line.find(' ') - line.find('+') - 1));
  }
  EXPECT_GE(names.size(), 4u) << fonts;  // bold sans, serif, sans, and a CJK fallback
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << fonts;

  const std::string images = RunTool("pdfimages", {"-list", QString::fromStdString(file)}).out;
  EXPECT_NE(images.find("   24    12  rgb"), std::string::npos) << images;
}

TEST_F(PdfPageInterop, OutlineEntriesBecomeBookmarksToTheirPages) {
  const std::string file = ExportDrawing("zd_pdfpage_outline.pdf");
  const std::string json =
      RunTool("qpdf", {"--json", "--json-key=outlines", QString::fromStdString(file)}).out;
  const size_t first = json.find("\"title\": \"Figures \u2013 \u00fcberblick\"");
  const size_t second = json.find("\"title\": \"Second page\"");
  ASSERT_NE(first, std::string::npos) << json;
  ASSERT_NE(second, std::string::npos) << json;
  EXPECT_LT(first, second);
  // Each names the page it jumps to, the first at its band's top.
  const size_t firstPage = json.rfind("\"destpageposfrom1\":", first);
  const size_t secondPage = json.rfind("\"destpageposfrom1\":", second);
  EXPECT_EQ(json.substr(firstPage, 21), "\"destpageposfrom1\": 1") << json;
  EXPECT_EQ(json.substr(secondPage, 21), "\"destpageposfrom1\": 2") << json;
  const std::string top = Points(drawing.Pages().At(0).PageHeight() - 380);
  EXPECT_NE(json.find(top + ",", json.rfind("\"dest\"", first)), std::string::npos) << top << "\n" << json;
}

TEST_F(PdfPageInterop, RasterisedPagesMatchWhatThePlayerDraws) {
  const std::string file = ExportDrawing("zd_pdfpage_pixels.pdf");
  for (int page = 0; page < 2; ++page) {
    const QImage pdf = PdfRaster(file, page + 1), player = PlayerRaster(page);
    ASSERT_EQ(pdf.size(), player.size()) << page;
    const TRasterDifference d = Compare(pdf, player);
    EXPECT_GT(d.inked, 500) << page;
    if (d.differing > d.inked / 100) {
      const QString stem = QString::fromStdString(file) + "-page" + QString::number(page + 1);
      player.save(stem + "-player.png");
      d.marked.save(stem + "-differing.png");
      ADD_FAILURE() << "page " << page + 1 << ": " << d.differing << " of " << d.inked
                    << " inked pixels differ; see " << stem.toStdString() << "-*.png";
    }
  }
}

TEST_F(PdfPageInterop, OneFilePerPageHoldsThatPageAndItsBookmarksOnly) {
  const std::string file = zd::test::UniqueTempPath("zd_pdfpage_each.pdf").string();
  drawing.PrepareReport();
  TZdqOutline& second = drawing.Outlines().Add();
  second.Text = "Second page";
  second.PageNo = 1;
  drawing.ExportTo(file, true, TStringList{"1", "2"}, ExportClassOf<TZdqExportToPagePDF>());
  const std::string one = SeparatePageFileName(file, 0, 0), two = SeparatePageFileName(file, 1, 0);
  ExpectCleanCheck(one);
  ExpectCleanCheck(two);
  EXPECT_EQ(InfoField(RunTool("pdfinfo", {QString::fromStdString(one)}).out, "Pages"), "1");
  EXPECT_NE(PageText(two, 1).find("Second page"), std::string::npos);
  auto outlines = [](const std::string& pdf) {
    return RunTool("qpdf", {"--json", "--json-key=outlines", QString::fromStdString(pdf)}).out;
  };
  EXPECT_EQ(outlines(one).find("Second page"), std::string::npos);
  EXPECT_NE(outlines(two).find("Second page"), std::string::npos);
}

}  // namespace
