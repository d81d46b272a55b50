// `zdreport preview --grab`, run as users run it: the window drawn to a
// picture from a template over the example database and from a saved
// prepared report, with found text marked; and bad command lines.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "tests/TempPath.h"
#include "tests/interop/CommandLineRun.h"

namespace fs = std::filesystem;
using zd::test::kData;
using zd::test::kOrderedLines;
using zd::test::kTemplate;
using zd::test::Zdreport;

namespace {

// Pixels of the picture in the colour, or (colour < 0) darker than mid grey.
int Count(const QImage& image, int colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      n += colour < 0 ? qGray(p) < 100 : (p & 0xFFFFFF) == QRgb(colour);
    }
  return n;
}

using CliPreview = zd::test::TCommandLineTest;

TEST_F(CliPreview, GrabDrawsTheWindowWithThePageFromATemplateOrAPreparedReport) {
  const auto run = Zdreport({"preview", kTemplate, "--data", kData, "--sql", kOrderedLines, "--grab", Out("w.png")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote " + Out("w.png") + " (8 pages)\n");
  const QImage window(QString::fromStdString(Out("w.png")));
  ASSERT_FALSE(window.isNull());
  EXPECT_GT(window.width(), 600);
  // The page area, below the tool bar and left of the scroll bar, has text.
  const QImage page = window.copy(20, 60, window.width() - 60, window.height() - 120);
  EXPECT_GT(Count(page, -1), 2000);

  ASSERT_EQ(Zdreport({"render", kTemplate, "--data", kData, "-o", Out("r.zqp")}).exitCode, 0);
  const auto saved = Zdreport({"preview", Out("r.zqp"), "--find", "country total", "--grab", Out("f.png")});
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  const QImage found(QString::fromStdString(Out("f.png")));
  EXPECT_GT(Count(found, -1), 2000);
  EXPECT_GT(Count(found, 0xFFA000), 100);  // the match stood on
}

TEST_F(CliPreview, BadCommandLinesAndFilesAreRefused) {
  EXPECT_EQ(Zdreport({"preview", kTemplate, "--grab", Out("x.png")}).exitCode, 2);  // no --data
  EXPECT_EQ(Zdreport({"preview", kTemplate, "--data", kData, "--grab", Out("x.jpg")}).exitCode, 2);
  EXPECT_EQ(Zdreport({"preview", Out("r.zqp"), "--data", kData, "--grab", Out("x.png")}).exitCode, 2);
  const auto missing = Zdreport({"preview", Out("missing.zqp"), "--grab", Out("x.png")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("missing.zqp"), std::string::npos);
  EXPECT_FALSE(fs::exists(Out("x.png")));
}

}  // namespace
