// Barcodes prepared by the engine, exported as a picture by zdreport and read
// back by zbarimg: every symbology it reads decodes to the text encoded,
// horizontal and turned, typed in and taken from the example database.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tests/TempPath.h"
#include "tests/interop/CommandLineRun.h"

using namespace zd::test;

namespace {

bool HaveZbar() { return RunTool("sh", {"-c", "command -v zbarimg"}).exitCode == 0; }

// Every symbol zbarimg finds on the page as "TYPE:text". EAN-13 and UPC-A
// lose their check digit, which zbarimg has verified.
std::multiset<std::string> Scanned(const std::string& picture) {
  // UPC-A would otherwise read as EAN-13 with a leading 0.
  const ToolRun run = RunTool("zbarimg", {"-q", "--nodbus", "-Supca.enable", "-Si25.enable", picture});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::multiset<std::string> symbols;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    const std::string type = line.substr(0, line.find(':'));
    if (type == "EAN-13" || type == "UPC-A") line.pop_back();
    symbols.insert(line);
  }
  return symbols;
}

// The first page at 300 dpi.
std::string RenderPage(const std::string& templateFile, const std::vector<std::string>& data) {
  const std::string picture = UniqueTempPath("codes.png").string();
  std::vector<std::string> args = {"render", templateFile};
  args.insert(args.end(), data.begin(), data.end());
  for (const char* a : {"--pages", "1", "--resolution", "300", "-o"}) args.push_back(a);
  args.push_back(picture);
  const ToolRun run = Zdreport(args);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return picture;
}

struct TCode {
  std::string type, value, extra;  // extra: more properties, one a line
  int width, height;
};

std::string TemplateText(const std::vector<TCode>& codes) {
  std::string text = "TZdReport Codes\n  TZdqBand\n    Height = 1000\n    BandType = btReportTitle\n";
  int top = 0;
  for (const TCode& c : codes) {
    text += "    TZdBarCode\n      BarCodeType = " + c.type + "\n      Value = \"" + c.value + "\"\n" +
            "      NarrowWidth = 2\n      WideWidth = 5\n      Left = 20\n      Top = " + std::to_string(top) +
            "\n      Width = " + std::to_string(c.width) + "\n      Height = " + std::to_string(c.height) + "\n" +
            c.extra;
    top += c.height + 30;  // a quiet zone above and below
  }
  return text;
}

}  // namespace

TEST(BarcodeScan, EverySymbologyZbarReadsDecodesToItsValue) {
  if (!HaveZbar()) GTEST_SKIP() << "zbarimg not installed (package zbar-tools)";
  const std::string templateFile = UniqueTempPath("codes.zdqt").string();
  std::ofstream(templateFile) << TemplateText({
      {"bcCode39", "ZD-REPORT 39 $/+%.", "", 700, 50},
      {"bcInterleaved2of5", "12345", "", 300, 50},
      {"bcUPCA", "0123456789", "      ShowText = True\n", 300, 60},
      {"bcCode128", "Zd-Report 128 {~}", "", 400, 50},
      {"bcEAN13", "590123412345", "", 300, 50},
      {"bcQRCode", "Grüße aus Zürich", "", 120, 120},
      {"bcPostnet", "12345-6789", "", 300, 20},
      {"bcDataMatrix", "not read by zbar", "", 100, 100},
      // Turned: the bars run across and the symbol reads downwards.
      {"bcCode39", "TURNED", "      Vertical = True\n", 60, 360},
  });
  const std::string picture = RenderPage(templateFile, {"--data", kData, "--sql", "SELECT 1 AS one"});
  EXPECT_EQ(Scanned(picture), (std::multiset<std::string>{
                                  "CODE-39:ZD-REPORT 39 $/+%.", "I2/5:012345", "UPC-A:00123456789",
                                  "CODE-128:Zd-Report 128 {~}", "EAN-13:590123412345", "QR-Code:Grüße aus Zürich",
                                  "CODE-39:TURNED"}));
  std::filesystem::remove(picture);
  std::filesystem::remove(templateFile);
}

TEST(BarcodeScan, TheExampleLabelsScanAsTheirProductsFields) {
  if (!HaveZbar()) GTEST_SKIP() << "zbarimg not installed (package zbar-tools)";
  const std::string where = "WHERE product_id IN (5, 13)";
  const std::string picture =
      RenderPage(kSource + "/examples/barcodes.zdq",
                 {"--data", "sqlite:" + kDatabase + ":product_labels", "--sql",
                  "SELECT * FROM product_labels " + where + " ORDER BY product_id"});
  const ToolRun fields = RunTool("sqlite3", {"-separator", "\t", kDatabase,
                                             "SELECT sku, product, ean, upc, lot, url FROM product_labels " + where});
  ASSERT_EQ(fields.exitCode, 0) << fields.err;
  std::multiset<std::string> expected;
  std::istringstream rows(fields.out);
  for (std::string row; std::getline(rows, row);) {
    std::istringstream cells(row);
    std::string sku, product, ean, upc, lot, url;
    std::getline(cells, sku, '\t'), std::getline(cells, product, '\t'), std::getline(cells, ean, '\t');
    std::getline(cells, upc, '\t'), std::getline(cells, lot, '\t'), std::getline(cells, url, '\t');
    expected.insert({"CODE-39:" + sku, "CODE-128:" + product, "EAN-13:" + ean, "UPC-A:0" + upc, "I2/5:" + lot,
                     "QR-Code:" + url});
  }
  EXPECT_EQ(expected.size(), 12u);
  EXPECT_EQ(Scanned(picture), expected);
  std::filesystem::remove(picture);
}
