// The viewer's reportFile property, as a form sets it: a prepared report
// loads and shows, a bad file leaves the viewer empty with the reason, and
// the viewer gives back a report the application set instead; and a form
// laid out in Qt Designer (viewer_form.ui) compiles and sets it.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "PreviewFixtures.h"
#include "preview/Thumbnails.h"
#include "preview/ZdqView.h"
#include "tests/TempPath.h"
#include "ui_viewer_form.h"

namespace zd {
namespace {

using test::TTextReport;

TEST(ViewerReportFile, LoadsPreparedReportsAndKeepsBadFilesOut) {
  const std::filesystem::path dir = test::UniqueTempPath("viewer-report-file");
  std::filesystem::create_directories(dir);
  const QString saved = QString::fromStdString((dir / "five.zqp").string());
  TTextReport five(5);
  five.Prepare();
  five.SavePreparedReport(saved.toStdString());
  const QString corrupt = QString::fromStdString((dir / "corrupt.zqp").string());
  std::ofstream(corrupt.toStdString()) << "ZDQP but nothing a prepared report holds";

  TZdqPreview viewer;
  // Forms set it by name, as uic and Qt Designer do.
  ASSERT_TRUE(viewer.setProperty("reportFile", saved));
  ASSERT_NE(viewer.Report(), nullptr);
  EXPECT_EQ(viewer.Report()->GetNumPages(), 5);
  viewer.SetShowThumbnails(true);
  ASSERT_NE(viewer.Thumbnails(), nullptr);
  EXPECT_EQ(viewer.Thumbnails()->Model().rowCount(), 5);
  EXPECT_TRUE(viewer.ReportFileError().isEmpty());
  EXPECT_EQ(viewer.property("reportFile").toString(), saved);

  for (const QString& bad : {corrupt, QString::fromStdString((dir / "missing.zqp").string())}) {
    viewer.setReportFile(bad);
    EXPECT_EQ(viewer.Report(), nullptr) << bad.toStdString();
    EXPECT_FALSE(viewer.ReportFileError().isEmpty()) << bad.toStdString();
  }
  viewer.setReportFile(saved);
  viewer.setReportFile("");
  EXPECT_EQ(viewer.Report(), nullptr);
  EXPECT_TRUE(viewer.ReportFileError().isEmpty());

  // A report the application shows is its own: changing the file keeps it.
  TTextReport own(2);
  own.Prepare();
  viewer.setReportFile(saved);
  viewer.SetReport(&own);
  viewer.setReportFile("");
  EXPECT_EQ(viewer.Report(), &own);
  std::filesystem::remove_all(dir);
}

TEST(ViewerReportFile, FormsFromQtDesignerSetIt) {
  test::ensureWidgetsApp();
  QWidget form;
  Ui::ViewerForm ui;
  ui.setupUi(&form);
  EXPECT_EQ(ui.ZdqPreview->reportFile(), "no-such-report.zqp");
  EXPECT_EQ(ui.ZdqPreview->Report(), nullptr);
  EXPECT_TRUE(ui.ZdqPreview->ReportFileError().contains("no-such-report.zqp"))
      << ui.ZdqPreview->ReportFileError().toStdString();
}

}  // namespace
}  // namespace zd
