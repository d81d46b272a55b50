// Our metafiles must open in an independent EMF reader.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>

#include "host/emf/Metafile.h"
#include "host/graphics/Bitmap.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"

using namespace zd;

TEST(EmfInterop, ConverterReadsTextAndShapes) {
  test::ensureGuiApp();
  const QString conv = QStandardPaths::findExecutable("emf2svg-conv");
  if (conv.isEmpty()) GTEST_SKIP() << "emf2svg-conv not installed (package emf2svg)";

  TMetafile m;
  m.SetWidth(300);
  m.SetHeight(200);
  {
    TMetafileCanvas c(m, "ZdReport", "interop");
    c.Brush.Color = clSilver;
    c.Rectangle(10, 10, 290, 190);
    c.Ellipse(20, 20, 80, 80);
    c.RoundRect(TRect{100, 20, 180, 80}, 10, 10);
    c.MoveTo(10, 100);
    c.LineTo(290, 100);
    c.Font.Name = "Arial";
    c.Font.Size = 14;
    c.Font.Color = clBlue;
    c.TextOut(30, 120, "InteropCaption");
    c.StretchDraw(TRect{200, 120, 260, 180}, TBitmap(4, 4, clRed));
  }
  const auto dir = std::filesystem::temp_directory_path();
  const std::string emf = zd::test::UniqueTempPath("zd_interop.emf").string(), svg = zd::test::UniqueTempPath("zd_interop.svg").string();
  m.SaveToFile(emf);
  QProcess p;
  p.start(conv, {"-i", QString::fromStdString(emf), "-o", QString::fromStdString(svg)});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  QFile f(QString::fromStdString(svg));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray out = f.readAll();
  EXPECT_TRUE(out.contains("InteropCaption"));
  EXPECT_TRUE(out.contains("<svg"));
  EXPECT_TRUE(out.contains("ellipse") || out.contains("path"));
  std::filesystem::remove(emf);
  std::filesystem::remove(svg);
}
