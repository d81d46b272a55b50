// Exporting to a stream gives the same bytes as exporting to a file, in
// every format, so a server can send a report without touching the disk;
// and pages spilled to a temporary file export as if they had stayed.
#include <gtest/gtest.h>

#include <QBuffer>
#include <fstream>
#include <sstream>

#include "export/detail/ExportOutput.h"
#include "export/ExportRegistry.h"
#include "export/pdf/detail/PdfWriter.h"
#include "host/core/DeviceStream.h"
#include "host/locale/Clock.h"
#include "host/graphics/Bitmap.h"
#include "print/PrintZd.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

class TwoPageReport : public TZdPrintComponent {
 public:
  using TZdPrintComponent::TZdPrintComponent;
  bool withPicture = false;
  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    for (int p = 1; p <= 2; ++p) {
      NewPage();
      Producer().MFCanvas()->TextOut(30, 40, "Zeile " + std::to_string(p) + " \xC3\xA4\xE2\x82\xAC");
      if (withPicture) Producer().MFCanvas()->StretchDraw({30, 80, 62, 112}, TBitmap(8, 8, clRed));
    }
    EndDoc();
  }
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class StreamExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::useVirtualPrinter(); }
  void SetUp() override {
    report.PrepareReport();
    spilled.SetPageMemoryLimit(1);
    spilled.PrepareReport();
  }
  TClockOverride clock{TDateTime{45000.75}};
  TwoPageReport report;
  TwoPageReport spilled;  // its pages read back from the spill file
  const TStringList pages{"1", "2"};
};

TEST_F(StreamExportTest, EveryFormatWritesTheSameBytesToAStreamAsToAFile) {
  ASSERT_GE(ZdqExports().size(), 8u);
  ASSERT_EQ(spilled.Pages().At(0).ResidentBytes(), 0u);
  for (const TZdqRegisterExport& format : ZdqExports()) {
    SCOPED_TRACE(format.FormatName);
    const auto file = test::UniqueTempPath(format.FormatName + "/out." + format.FileExtension);
    std::filesystem::create_directories(file.parent_path());
    report.ExportTo(file.string(), false, pages, format.ExportClass);
    std::ostringstream stream;
    report.ExportTo(stream, pages, format.ExportClass);
    const std::string bytes = ReadFile(file);
    EXPECT_GT(bytes.size(), 0u);
    EXPECT_EQ(stream.str(), bytes);
    std::ostringstream fromSpilled;
    spilled.ExportTo(fromSpilled, pages, format.ExportClass);
    EXPECT_EQ(fromSpilled.str(), bytes);
    std::filesystem::remove_all(file.parent_path());
  }
}

// An HTML page on a stream has no folder for its pictures: they go inside.
TEST_F(StreamExportTest, HtmlOnAStreamCarriesItsPicturesAndLeavesNoFiles) {
  report.withPicture = true;
  report.PrepareReport();
  const auto folder = test::UniqueTempPath("html-stream");
  std::filesystem::create_directories(folder);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  std::ostringstream stream;
  report.ExportTo(stream, pages, FindZdqExport("TZdqExportToHTML")->ExportClass);
  std::filesystem::current_path(previous);
  EXPECT_NE(stream.str().find("<img src=\"data:image/jpeg;base64,/9j/"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  std::filesystem::remove_all(folder);
}

TEST_F(StreamExportTest, AQtDeviceReceivesTheDocumentAndAFailedStreamIsAnError) {
  const TZdqExportClass pdf = FindZdqExport("TZdqExportToPagePDF")->ExportClass;
  std::ostringstream expected;
  report.ExportTo(expected, pages, pdf);
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    TDeviceOStream device(buffer);
    report.ExportTo(device, pages, pdf);
  }
  EXPECT_EQ(buffer.data().toStdString(), expected.str());

  QBuffer closed;  // not open: every write fails
  TDeviceOStream broken(closed);
  EXPECT_THROW(report.ExportTo(broken, pages, pdf), EPdfError);
  std::ostringstream bad;
  bad.setstate(std::ios::badbit);
  EXPECT_THROW(report.ExportTo(bad, pages, FindZdqExport("TZdqExportToCSV")->ExportClass), EZdqExportFileError);
}

}  // namespace
}  // namespace zd
