// `zdreport design --grab`, run as users run it: the designer window drawn
// with a new report, with a template and with a selection; and bad command
// lines.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "tests/TempPath.h"
#include "tests/interop/CommandLineRun.h"

namespace fs = std::filesystem;
using zd::test::kData;
using zd::test::kTemplate;
using zd::test::Zdreport;

namespace {

int Black(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == 0;
  return n;
}

int Dark(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) < 96;
  return n;
}

class CliDesign : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = zd::test::UniqueTempPath("zdreport-design");
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }
  std::string Out(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(CliDesign, GrabDrawsTheWindowWithTheTemplateAndTheSelection) {
  const auto empty = Zdreport({"design", "--grab", Out("new.png")});
  ASSERT_EQ(empty.exitCode, 0) << empty.err;
  EXPECT_EQ(empty.out, "Wrote " + Out("new.png") + "\n");
  const auto open = Zdreport({"design", kTemplate, "--grab", Out("open.png")});
  ASSERT_EQ(open.exitCode, 0) << open.err;
  const auto selected =
      Zdreport({"design", kTemplate, "--data", kData, "--grab", Out("sel.png"), "--select", "Country total,Grand total"});
  ASSERT_EQ(selected.exitCode, 0) << selected.err;
  const QImage blank(QString::fromStdString(Out("new.png"))), plain(QString::fromStdString(Out("open.png"))),
      handles(QString::fromStdString(Out("sel.png")));
  ASSERT_FALSE(blank.isNull() || plain.isNull() || handles.isNull());
  EXPECT_GT(plain.width(), 600);
  // The template's texts, and the eight handles of each selected control.
  EXPECT_GT(Black(plain), Black(blank) + 1000);
  EXPECT_GE(Black(handles), Black(plain) + 2 * 8 * 20);
  // The docked panels beside the bands list controls and properties: text at both sides.
  const auto panels = Zdreport({"design", kTemplate, "--grab", Out("panels.png"), "--panels"});
  ASSERT_EQ(panels.exitCode, 0) << panels.err;
  const QImage docked(QString::fromStdString(Out("panels.png")));
  ASSERT_GT(docked.width(), plain.width());
  const int side = docked.width() - plain.width();
  EXPECT_GT(Dark(docked.copy(0, 0, side, docked.height())), 2000);
  EXPECT_GT(Dark(docked.copy(docked.width() - side, 0, side, docked.height())), 2000);
}

TEST_F(CliDesign, BadCommandLinesAndFilesAreRefused) {
  EXPECT_EQ(Zdreport({"design", kTemplate, "--select", "Grand total"}).exitCode, 2);  // no --grab
  EXPECT_EQ(Zdreport({"design", kTemplate, "--panels"}).exitCode, 2);
  EXPECT_EQ(Zdreport({"design", "--data", kData, "--grab", Out("x.png")}).exitCode, 2);  // no template
  EXPECT_EQ(Zdreport({"design", kTemplate, "--grab", Out("x.jpg")}).exitCode, 2);
  const auto unknown = Zdreport({"design", kTemplate, "--grab", Out("x.png"), "--select", "Nothing"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find("'Nothing'"), std::string::npos);
  const auto missing = Zdreport({"design", Out("missing.zdq"), "--grab", Out("x.png")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("missing.zdq"), std::string::npos);
  EXPECT_FALSE(fs::exists(Out("x.png")));
}

}  // namespace
