// `zdreport thumbnail` and `zdreport preview --no-data`, run as file managers
// and Qt Creator run them: page 1 of a template (without data) and of a
// prepared report, told apart by content; bad input refused without a
// picture written.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/interop/CommandLineRun.h"

namespace fs = std::filesystem;
using zd::test::kData;
using zd::test::kSource;
using zd::test::kTemplate;
using zd::test::Zdreport;

namespace {

// Pixels with ink on them; small text is grey more than black.
int InkedPixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) < 200;
  return n;
}

QImage Picture(const std::string& file) { return QImage(QString::fromStdString(file)); }

std::string ReadAll(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Thumbnail = zd::test::TCommandLineTest;

TEST_F(Thumbnail, DrawsPageOneOfTemplatesAndPreparedReportsByContent) {
  // The template, without data: its headers and footers, no rows.
  const auto layout = Zdreport({"thumbnail", kTemplate, Out("t.png"), "--size", "200"});
  ASSERT_EQ(layout.exitCode, 0) << layout.err;
  const QImage t = Picture(Out("t.png"));
  ASSERT_FALSE(t.isNull());
  EXPECT_EQ(t.height(), 200);  // portrait: the longer side is the height
  EXPECT_NEAR(t.width(), 200 * 210 / 297, 2);
  EXPECT_GT(InkedPixels(t), 30);

  // The same template as text draws the same picture.
  ASSERT_EQ(Zdreport({"thumbnail", kSource + "/examples/order-lines.zdqt", Out("text.png"), "--size", "200"})
                .exitCode, 0);
  EXPECT_EQ(Picture(Out("text.png")), t);

  // The prepared report has its rows on page 1: much more ink.
  ASSERT_EQ(Zdreport({"render", kTemplate, "--data", kData, "-o", Out("r.zqp")}).exitCode, 0);
  const auto prepared = Zdreport({"thumbnail", Out("r.zqp"), Out("p.png"), "--size", "200"});
  ASSERT_EQ(prepared.exitCode, 0) << prepared.err;
  const QImage p = Picture(Out("p.png"));
  EXPECT_EQ(p.size(), t.size());
  EXPECT_GT(InkedPixels(p), 2 * InkedPixels(t));

  // Thumbnailers get copies under other names; the default size is 256.
  fs::copy_file(Out("r.zqp"), Out("copy-without-extension"));
  ASSERT_EQ(Zdreport({"thumbnail", Out("copy-without-extension"), Out("c.png")}).exitCode, 0);
  const QImage c = Picture(Out("c.png"));
  EXPECT_EQ(c.height(), 256);
  EXPECT_NEAR(c.width(), 256 * 210 / 297, 2);
  EXPECT_GT(InkedPixels(c), InkedPixels(p));
}

TEST_F(Thumbnail, BadInputIsRefusedAndAnOldPictureKept) {
  std::ofstream(Out("old.png")) << "the picture of before";
  std::ofstream(Out("noise.zdq")) << "no template at all";
  std::ofstream(Out("truncated.zqp")) << std::string("B\0\0\0Z\0D\0Q\0P\0 \0", 14);
  for (const std::string input : {Out("noise.zdq"), Out("truncated.zqp"), Out("missing.zdq"), dir_.string()}) {
    const auto run = Zdreport({"thumbnail", input, Out("old.png")});
    EXPECT_EQ(run.exitCode, 1) << input;
    EXPECT_NE(run.err.find("zdreport: error: cannot read '" + input + "'"), std::string::npos) << run.err;
    EXPECT_EQ(ReadAll(Out("old.png")), "the picture of before") << input;
  }
  EXPECT_EQ(Zdreport({"thumbnail", kTemplate, Out("x.png"), "--size", "8"}).exitCode, 2);
  EXPECT_EQ(Zdreport({"thumbnail", kTemplate, Out("x.png"), "--size", "big"}).exitCode, 2);
  EXPECT_EQ(Zdreport({"thumbnail", kTemplate}).exitCode, 2);
  EXPECT_FALSE(fs::exists(Out("x.png")));
  // Never over the report itself.
  fs::copy_file(kTemplate, Out("same.zdq"));
  EXPECT_EQ(Zdreport({"thumbnail", Out("same.zdq"), Out("same.zdq")}).exitCode, 2);
  EXPECT_EQ(ReadAll(Out("same.zdq")), ReadAll(kTemplate));
}

TEST_F(Thumbnail, PreviewWithoutDataShowsTheTemplatesLayout) {
  const auto run = Zdreport({"preview", kTemplate, "--no-data", "--grab", Out("w.png")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote " + Out("w.png") + " (1 pages)\n");
  EXPECT_GT(InkedPixels(Picture(Out("w.png")).copy(20, 60, 900, 600)), 500);
  EXPECT_EQ(Zdreport({"preview", kTemplate, "--no-data", "--data", kData, "--grab", Out("x.png")}).exitCode, 2);
  EXPECT_FALSE(fs::exists(Out("x.png")));
}

}  // namespace
