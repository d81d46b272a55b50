// Reports exported to PDF must read back in standard PDF tools: structure
// without warnings, page count and size, the text of each page in order,
// the fonts used, and with embedded subsets any Unicode text.
#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "export/PdfExport.h"
#include "host/graphics/GuiApp.h"
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
      TCanvas& c = *MFCanvas;
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
    test::ensureGuiApp();
    TSystemPrinter& printer = TSystemPrinter::Instance();
    printer.SetSystemPrintersHidden(true);
    printer.SetVirtualPrinterEnabled(true);
    printer.SetPrinterIndex(-1);
  }
  void SetUp() override {
    report.AnimatedStatus = false;
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
  const ToolRun fonts = RunTool("pdffonts", {QString::fromStdString(file)});
  std::istringstream lines(fonts.out);
  int listed = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find('+') == std::string::npos) continue;  // header lines
    ++listed;
    EXPECT_NE(line.find("CID TrueType"), std::string::npos) << line;
    EXPECT_NE(line.find("Identity-H"), std::string::npos) << line;
    EXPECT_NE(line.find(" yes yes yes "), std::string::npos) << line;  // embedded, subset, to-unicode
  }
  EXPECT_EQ(listed, 3) << fonts.out;  // bold sans, serif, mono
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
  int embedded = 0;
  std::istringstream lines(fonts);
  for (std::string line; std::getline(lines, line);)
    if (line.find('+') != std::string::npos) {
      ++embedded;
      EXPECT_NE(line.find(" yes yes yes "), std::string::npos) << line;  // embedded, subset, to-unicode
    }
  EXPECT_GE(embedded, 2) << fonts;

  // A Latin-only document embeds nothing and stays small.
  report.bodyLines = {"Plain body text"};
  const std::string latin = Export("zd_pdf_latin.pdf", false);
  EXPECT_EQ(RunTool("pdffonts", {QString::fromStdString(latin)}).out.find('+'), std::string::npos);
  EXPECT_LT(std::filesystem::file_size(latin), std::filesystem::file_size(file));
}

}  // namespace
