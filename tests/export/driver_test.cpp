// The collector under the print component's export: the cells each saved
// file is built from.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "export/ExportAttributes.h"
#include "host/printing/Printer.h"
#include "print/PrintZd.h"
#include "tests/Fixtures.h"

namespace zd {
namespace {

class TwoPageReport : public TZdPrintComponent {
 public:
  using TZdPrintComponent::TZdPrintComponent;
  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    for (int p = 1; p <= 2; ++p) {
      NewPage();
      Producer().MFCanvas()->TextOut(30, 40, "page " + std::to_string(p));
    }
    EndDoc();
  }
};

// Keeps what each SaveToFile arranged, as the exporter is gone afterwards.
struct TSavedGrid {
  std::string fileName;
  int rows = 0, cols = 0;
  std::vector<std::pair<std::string, int>> cells;  // text and top
};
class TGridCapture : public TZdqExportAttributes {
 public:
  using TZdqExportAttributes::TZdqExportAttributes;
  static inline std::vector<TSavedGrid>* saved = nullptr;
  void SaveToFile(const std::string& fileName) override {
    TZdqExportAttributes::SaveToFile(fileName);
    TSavedGrid grid{fileName, RowCount(), ColCount(), {}};
    for (const auto& c : Records()) grid.cells.emplace_back(c.Text, c.Top);
    saved->push_back(grid);
  }
};

class DriverTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }
  void SetUp() override {
    TGridCapture::saved = &saved;
    report.PrepareReport();
  }
  TwoPageReport report;
  std::vector<TSavedGrid> saved;
};

TEST_F(DriverTest, OneResultStacksThePagesBelowEachOther) {
  report.ExportTo("all.csv", false, TStringList{"1", "2"}, ExportClassOf<TGridCapture>());
  ASSERT_EQ(saved.size(), 1u);
  const int h = report.Pages().At(0).Drawing()->Height();
  EXPECT_EQ(saved[0].rows, 2);
  EXPECT_EQ(saved[0].cols, 1);
  EXPECT_EQ(saved[0].cells, (std::vector<std::pair<std::string, int>>{{"page 1", 39}, {"page 2", h + 39}}));
}

// The cells are kept for the whole export, so a later file also holds the
// pages before it.
TEST_F(DriverTest, FilesPerPageAreBuiltFromEveryPageSoFar) {
  report.ExportTo("out.csv", true, TStringList{"1", "2"}, ExportClassOf<TGridCapture>());
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].fileName, "out0_0.csv");
  EXPECT_EQ(saved[0].cells, (std::vector<std::pair<std::string, int>>{{"page 1", 39}}));
  EXPECT_EQ(saved[1].fileName, "out1_0.csv");
  EXPECT_EQ(saved[1].rows, 1);  // every page at offset 0: both texts share one slot, in drawing order
  EXPECT_EQ(saved[1].cells, (std::vector<std::pair<std::string, int>>{{"page 1 page 2", 39}}));
}

}  // namespace
}  // namespace zd
