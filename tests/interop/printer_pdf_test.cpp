// Pages printed through the built-in PDF printer must read back in standard
// PDF tools: page count and sheet size, the text of each page, structure.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <filesystem>

#include "tests/Fixtures.h"
#include "host/printing/Printer.h"
#include "host/printing/PrinterPainter.h"
#include "print/ZdPrntr.h"
#include "tests/TempPath.h"

using namespace zd;

namespace {

struct ToolRun {
  int exitCode = -1;
  QString out;
};

ToolRun RunTool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(tool, args);
  if (!p.waitForFinished(30000)) return {};
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput())};
}

QString Field(const QString& pdfinfo, const QString& name) {
  for (const QString& line : pdfinfo.split('\n'))
    if (line.startsWith(name + ':')) return line.mid(name.size() + 1).trimmed();
  return {};
}

// Prints "Page 1" .. "Page n", one per sheet, inside the printable area.
std::string PrintNumberedPages(TSystemPrinter& printer, int pages, const char* name) {
  const std::string file = zd::test::UniqueTempPath(name).string();
  printer.SetTitle("Numbered pages");
  printer.BeginDoc(file);
  for (int i = 1; i <= pages; ++i) {
    if (i > 1) printer.NewPage();
    QPainter* painter = PrinterPainter(printer);
    painter->setFont(QFont("DejaVu Sans", 24));
    painter->drawText(printer.PhysicalOffsetX() + 300, printer.PhysicalOffsetY() + 600,
                      QStringLiteral("Page %1").arg(i));
  }
  printer.EndDoc();
  return file;
}

class PrinterPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureGuiApp();
    for (const char* tool : {"pdfinfo", "pdftotext", "qpdf"})
      if (QStandardPaths::findExecutable(tool).isEmpty())
        GTEST_SKIP() << tool << " not installed (packages poppler-utils, qpdf)";
    printer.SetSystemPrintersHidden(true);
  }

  void ExpectReadable(const std::string& file, const QString& sizeText) {
    const QString path = QString::fromStdString(file);
    const ToolRun info = RunTool("pdfinfo", {path});
    ASSERT_EQ(info.exitCode, 0) << info.out.toStdString();
    EXPECT_EQ(Field(info.out, "Pages"), "3");
    EXPECT_TRUE(Field(info.out, "Page size").startsWith(sizeText))
        << Field(info.out, "Page size").toStdString();
    EXPECT_EQ(Field(info.out, "Title"), "Numbered pages");

    const ToolRun text = RunTool("pdftotext", {path, "-"});
    ASSERT_EQ(text.exitCode, 0);
    const QStringList pages = text.out.split('\f');
    ASSERT_GE(pages.size(), 3);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(pages[i].trimmed(), QStringLiteral("Page %1").arg(i + 1)) << i;

    const ToolRun check = RunTool("qpdf", {"--check", path});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
  }

  TSystemPrinter printer;
};

}  // namespace

TEST_F(PrinterPdf, A4PagesInOrder) {
  ExpectReadable(PrintNumberedPages(printer, 3, "zd_printer_a4.pdf"), "595 x 842 pts");
}

TEST_F(PrinterPdf, LetterChosenThroughSettings) {
  TZdqPrinter settings(&printer);
  settings.SetPaperSize(TZdqPaperSize::psLetter);
  settings.SetPrinterSettings();
  ExpectReadable(PrintNumberedPages(printer, 3, "zd_printer_letter.pdf"), "612 x 792 pts");
}

TEST_F(PrinterPdf, LandscapeTurnsTheSheet) {
  TZdqPrinter settings(&printer);
  settings.SetPaperSize(TZdqPaperSize::psA4);
  settings.SetOrientation(TZdqPrinterOrientation::spoPortrait);
  settings.SetOrientation(TZdqPrinterOrientation::spoLandscape);
  settings.SetPrinterSettings();
  ExpectReadable(PrintNumberedPages(printer, 3, "zd_printer_a4l.pdf"), "842 x 595 pts");
}
