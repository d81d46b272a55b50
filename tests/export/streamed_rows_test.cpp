// Rows written page by page after a layout pass give the same bytes as the
// grid built from the whole document at once.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "export/markup/CsvExport.h"
#include "export/markup/HtmlExport.h"
#include "export/markup/XmlExport.h"
#include "export/rtf/RtfExport.h"
#include "export/sheet/Excel.h"
#include "export/sheet/Lotus.h"
#include "tests/Fixtures.h"
#include "host/locale/Clock.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

constexpr int kPageWidth = 400, kPageHeight = 300;

struct TText {
  int x, y;
  std::string text;
  TColor back = clWhite;
};

TMetafile PageOf(const std::vector<TText>& texts) {
  TMetafile page;
  page.SetWidth(kPageWidth);
  page.SetHeight(kPageHeight);
  TMetafileCanvas canvas(page);
  canvas.SetBkMode(TBkMode::bmOpaque);
  for (const TText& t : texts) {
    canvas.Brush.Color = t.back;
    canvas.TextOut(t.x, t.y, t.text);
  }
  canvas.Close();
  return page;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Plays the pages as the report's export does, bars side by side, with or
// without the layout pass first.
void Play(TZdqExport& exporter, const std::vector<std::vector<TMetafile>>& pages, bool layoutPass,
          const std::string& file) {
  auto play = [&] {
    for (size_t p = 0; p < pages.size(); ++p)
      for (size_t b = 0; b < pages[p].size(); ++b) {
        exporter.NewPage(int(p), int(b));
        exporter.OffsetX = kPageWidth * int(b);
        exporter.OffsetY = kPageHeight * int(p);
        exporter.ExportRecords(pages[p][b]);
        exporter.PageProcessed(pages[p][b]);
      }
  };
  exporter.intPageWidth = kPageWidth;
  exporter.intPageHeight = kPageHeight;
  exporter.StartExport();
  if (layoutPass) do {
      exporter.BeginLayoutPass();
      play();
      exporter.EndLayoutPass(file);
    } while (exporter.NeedsAnotherLayoutPass());
  play();
  exporter.SaveToFile(file);
  exporter.EndExport();
}

std::string Export(TZdqExport& exporter, const std::vector<std::vector<TMetafile>>& pages, bool layoutPass) {
  const std::string file = test::UniqueTempPath("zd_streamed_rows.out").string();
  Play(exporter, pages, layoutPass, file);
  const std::string bytes = ReadBytes(file);
  std::filesystem::remove(file);
  return bytes;
}

using TMaker = std::function<std::unique_ptr<TZdqExport>()>;
template <class T>
TMaker MakerOf() {
  return [] { return std::make_unique<T>(); };
}

void ExpectSameBytesEitherWay(const std::vector<std::vector<TMetafile>>& pages, const char* what) {
  const std::vector<std::pair<const char*, TMaker>> formats = {
      {"csv", MakerOf<TZdqExportToCSV>()},   {"xls", MakerOf<TZdqExportToExcel>()},
      {"html", MakerOf<TZdqExportToHTML>()}, {"xml", MakerOf<TZdqExportToXML>()},
      {"wk1", MakerOf<TZdqExportToLotus>()}, {"rtf", MakerOf<TZdqExportToRTF>()}};
  const TClockOverride clock{TDateTime{45000.75}};  // the RTF header's creation time
  for (const auto& [format, make] : formats) {
    const std::string whole = Export(*make(), pages, false);
    const std::string streamed = Export(*make(), pages, true);
    EXPECT_FALSE(whole.empty()) << what << ", " << format;
    EXPECT_EQ(streamed, whole) << what << ", " << format;
  }
}

TEST(StreamedRowsTest, GiveTheBytesOfTheWholeGrid) {
  test::ensureGuiApp();
  // A column that turns up only on the last page, numbers in a number
  // format first seen late, a line whose cells straddle a page break, and
  // blanks that look like the first cell of the next page's coloured line.
  const std::vector<std::vector<TMetafile>> pages = {
      {PageOf({{20, 20, "Name"}, {200, 20, "Amount"}, {20, 60, "apples"}, {200, 60, "12"}, {20, 295, "late"}})},
      {PageOf({{200, 0, "3.50"}, {300, 40, "new", clYellow}, {20, 80, "pears"}, {200, 80, "1,234.5"}})},
      {PageOf({{110, 30, "middle"}, {20, 70, "plums"}, {300, 70, "7"}})}};
  ExpectSameBytesEitherWay(pages, "pages top to bottom");

  // Bars of one page lie side by side and share their lines, here one
  // that a text just above the second bar joins to the page before.
  ExpectSameBytesEitherWay({{PageOf({{20, 20, "left"}, {20, 292, "bottom"}, {20, 50, "a"}}),
                             PageOf({{20, 20, "right"}, {90, 50, "b"}})},
                            {PageOf({{20, 10, "c"}}), PageOf({{100, -3, "edge"}, {150, 10, "d"}})}},
                           "bars");

  // A page that reaches above the one before it is laid out from the whole
  // grid instead; texts close enough to share a slot, by a pass of their own.
  ExpectSameBytesEitherWay({{PageOf({{20, 20, "one"}, {200, 20, "two"}})},
                            {PageOf({{20, 100, "x"}})},
                            {PageOf({{120, -578, "above"}, {200, 100, "y"}})}},
                           "page reaching above");
  ExpectSameBytesEitherWay({{PageOf({{20, 20, "1"}, {32, 24, "2"}, {200, 20, "y"}})},
                            {PageOf({{20, 20, "z"}, {200, 20, "4.25"}})}},
                           "shared slot");
}

// Texts that share a slot still stream: the rows are written as they
// complete (the bytes are those of the whole grid, above).
class TRowCountingExcel : public TZdqExportToExcel {
 public:
  int streamed = 0, written = 0;

 protected:
  void WriteGridRow(std::vector<TZdqMFERecord>& row) override {
    ++written;
    streamed += StreamsRows();
    TZdqExportToExcel::WriteGridRow(row);
  }
};

TEST(StreamedRowsTest, TextsSharingASlotStillStream) {
  test::ensureGuiApp();
  TRowCountingExcel excel;
  const std::string bytes = Export(
      excel, {{PageOf({{20, 20, "1"}, {32, 24, "2.5"}, {200, 20, "y"}})}, {PageOf({{20, 20, "z"}})}}, true);
  EXPECT_GT(excel.written, 0);
  EXPECT_EQ(excel.streamed, excel.written);
  EXPECT_FALSE(bytes.empty());
}

// A row that fails half way leaves neither the file nor the part written.
class TFailingCsv : public TZdqExportToCSV {
 protected:
  void WriteGridRow(std::vector<TZdqMFERecord>& row) override {
    if (++rows_ == 2) throw std::runtime_error("disk full");
    TZdqExportToCSV::WriteGridRow(row);
  }

 private:
  int rows_ = 0;
};

TEST(StreamedRowsTest, AFailedRowLeavesNoFile) {
  test::ensureGuiApp();
  const std::filesystem::path file = test::UniqueTempPath("zd_streamed_fail.csv");
  const std::vector<std::vector<TMetafile>> pages = {{PageOf({{20, 20, "a"}, {20, 60, "b"}})},
                                                     {PageOf({{20, 20, "c"}})}};
  {
    TFailingCsv exporter;
    EXPECT_THROW(Play(exporter, pages, true, file.string()), std::runtime_error);
  }
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
    EXPECT_EQ(entry.path().filename().string().find(file.filename().string()), std::string::npos) << entry.path();
}

// Only formats with 16-bit row numbers stop at 65,535 rows.
TEST(StreamedRowsTest, LongDocumentsFitFormatsWithoutARowLimit) {
  test::ensureGuiApp();
  std::vector<std::vector<TMetafile>> pages;
  for (int p = 0; p < 2200; ++p) {
    std::vector<TText> lines;
    for (int y = 0; y < 300; y += 10) lines.push_back({20, y, std::to_string(p * 30 + y / 10)});
    pages.push_back({PageOf(lines)});
  }
  const std::string html = Export(*MakerOf<TZdqExportToHTML>()(), pages, true);
  EXPECT_NE(html.find(">65999<"), std::string::npos);
  TZdqExportToExcel xls;
  EXPECT_THROW(Play(xls, pages, true, test::UniqueTempPath("zd_streamed_rows.xls").string()), std::out_of_range);
}

}  // namespace
}  // namespace zd
