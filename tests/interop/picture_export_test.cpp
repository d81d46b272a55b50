// Pictures of the example report read by ImageMagick, libtiff, libemf2svg
// and libwmf: the size in pixels at the page's resolution and at print
// resolution, and pages that are drawn, not blank; and the 8-bit text of
// the WMF writer read back by LibreOffice in every script.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "host/emf/Metafile.h"
#include "host/emf/WindowsMetafile.h"
#include "host/graphics/Bitmap.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"
#include "tests/interop/CommandLineRun.h"

using namespace zd::test;

namespace {

bool HaveTool(const std::string& name) { return RunTool("sh", {"-c", "command -v " + name}).exitCode == 0; }

std::string Render(const std::string& name, std::vector<std::string> extra) {
  const std::string output = UniqueTempPath(name).string();
  std::vector<std::string> args = {"render", kTemplate, "--data", kData, "--sql", kOrderedLines, "-o", output};
  args.insert(args.end(), extra.begin(), extra.end());
  const ToolRun run = Zdreport(args);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return output;
}

std::string ReadText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::pair<int, int> IdentifiedSize(const std::string& file) {
  const ToolRun run = RunTool("identify", {"-format", "%w %h", file});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::istringstream in(run.out);
  std::pair<int, int> size{0, 0};
  in >> size.first >> size.second;
  return size;
}

int NonWhitePixels(const std::string& file) {
  zd::TBitmap bitmap;
  bitmap.LoadFromFile(file);
  int count = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) count += bitmap.Pixel(x, y) != zd::clWhite;
  return count;
}

// The first customer's country: a text every first page shows.
std::string FirstCountry() {
  const ToolRun run = RunTool("sqlite3", {kDatabase, "SELECT country FROM order_lines ORDER BY country LIMIT 1"});
  std::string country = run.out;
  while (!country.empty() && (country.back() == '\n' || country.back() == '\r')) country.pop_back();
  return country;
}

TEST(PictureInterop, BitmapFormatsHaveTheSizeOfAnA4PageAtTheirResolution) {
  if (!HaveTool("identify")) GTEST_SKIP() << "identify not installed (package imagemagick)";
  for (const char* extension : {"png", "bmp", "jpg", "tiff"}) {
    const std::string file = Render(std::string("page.") + extension, {"--pages", "1"});
    EXPECT_EQ(IdentifiedSize(file), std::make_pair(794, 1123)) << extension;
    if (std::string(extension) != "tiff") EXPECT_GT(NonWhitePixels(file), 5000) << extension;
    std::filesystem::remove(file);
  }
  const std::string fine = Render("fine.png", {"--pages", "1", "--resolution", "300"});
  const auto [width, height] = IdentifiedSize(fine);
  EXPECT_NEAR(width, 2480, 2);
  EXPECT_NEAR(height, 3508, 2);
  EXPECT_GT(NonWhitePixels(fine), 9 * 5000);
  std::filesystem::remove(fine);
}

TEST(PictureInterop, LibtiffReadsTheTiffWriter) {
  if (!HaveTool("tiffinfo")) GTEST_SKIP() << "tiffinfo not installed (package libtiff-tools)";
  const std::string file = Render("page.tiff", {"--pages", "1"});
  const ToolRun run = RunTool("tiffinfo", {"-D", file});
  std::filesystem::remove(file);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Image Width: 794 Image Length: 1123"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("RGB color"), std::string::npos) << run.out;
}

TEST(PictureInterop, MetafilesOfTwoPagesAreReadWithTheirTexts) {
  if (!HaveTool("emf2svg-conv") || !HaveTool("wmf2svg")) GTEST_SKIP() << "emf2svg-conv or wmf2svg not installed";
  const std::string country = FirstCountry();
  ASSERT_FALSE(country.empty());

  const std::string emf = Render("pages.emf", {"--pages", "1-2"}), emfSvg = emf + ".svg";
  const ToolRun emfRun = RunTool("emf2svg-conv", {"-i", emf, "-o", emfSvg});
  EXPECT_EQ(emfRun.exitCode, 0) << emfRun.err;
  EXPECT_NE(ReadText(emfSvg).find(country), std::string::npos);

  const std::string wmf = Render("pages.wmf", {"--pages", "1-2"}), wmfSvg = wmf + ".svg";
  const ToolRun wmfRun = RunTool("wmf2svg", {"-o", wmfSvg, wmf});
  EXPECT_EQ(wmfRun.exitCode, 0) << wmfRun.err;
  // libwmf places each character by itself, so texts are counted, not read.
  const std::string svg = ReadText(wmfSvg);
  size_t characters = 0;
  for (size_t at = svg.find("<text"); at != std::string::npos; at = svg.find("<text", at + 1)) ++characters;
  EXPECT_GT(characters, 2000u);
  // Two A4 pages stacked, whatever size the reader scales them to.
  double width = 0, height = 0;
  ASSERT_EQ(std::sscanf(svg.c_str() + svg.find("<svg"), "<svg width=\"%lf\" height=\"%lf\"", &width, &height), 2);
  EXPECT_NEAR(width / height, 794.0 / (2 * 1123), 0.01);
  for (const std::string& file : {emf, emfSvg, wmf, wmfSvg}) std::filesystem::remove(file);
}

TEST(PictureInterop, LibreOfficeReadsWindowsMetafileTextInEveryScript) {
  if (!HaveTool("soffice") || !HaveTool("pdftotext")) GTEST_SKIP() << "soffice or pdftotext not installed";
  zd::test::ensureGuiApp();
  const std::vector<std::string> lines = {"Grüße, 5 €", "Příliš žluťoučký kůň", "Привет, мир", "Καλημέρα",
                                          "Käse Сыр 中文 ok"};
  zd::TMetafile emf;
  emf.SetWidth(600);
  emf.SetHeight(300);
  {
    zd::TMetafileCanvas canvas(emf);
    canvas.Font.Name = "Arial";
    canvas.Font.Size = 12;
    for (size_t i = 0; i < lines.size(); ++i) canvas.TextOut(20, 20 + 40 * int(i), lines[i]);
  }
  const std::filesystem::path dir = UniqueTempPath("wmf-scripts");
  std::filesystem::create_directories(dir);
  const std::vector<uint8_t> wmf = zd::WindowsMetafileOf(emf);
  std::ofstream(dir / "scripts.wmf", std::ios::binary).write(reinterpret_cast<const char*>(wmf.data()), long(wmf.size()));

  const ToolRun convert = RunTool("soffice", {"-env:UserInstallation=file://" + (dir / "lo-profile").string(), "--headless",
                                              "--convert-to", "pdf", "--outdir", dir.string(), (dir / "scripts.wmf").string()});
  ASSERT_EQ(convert.exitCode, 0) << convert.err;
  const ToolRun text = RunTool("pdftotext", {(dir / "scripts.pdf").string(), "-"});
  ASSERT_EQ(text.exitCode, 0) << convert.out << convert.err << text.err;
  for (const std::string& line : lines) EXPECT_NE(text.out.find(line), std::string::npos) << line << " in\n" << text.out;
  std::filesystem::remove_all(dir);
}

}  // namespace
