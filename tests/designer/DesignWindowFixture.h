#pragma once
// The designer window on the offscreen platform over a report of known
// bands and controls, driven with QTest as a user drives it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTest>
#include <memory>

#include "designer/DesignSurface.h"
#include "designer/ZdDesign.h"
#include "designer/ZdqDesigner.h"
#include "host/printing/Printer.h"
#include "report/ZdInitialize.h"
#include "report/controls/TextControls.h"
#include "tests/WidgetTesting.h"

namespace zd::test {

// Settings and the recovery file go to a test folder, not the user's.
inline void ensureDesignerApp() {
  QStandardPaths::setTestModeEnabled(true);
  useWidgetsAndVirtualPrinter();
  ZdInitialize();
}

class DesignWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureDesignerApp();
    report = new TZdReport(&root);  // page header, detail, page footer, 100 pixels each
    designer.SetReport(report);
    report->ReportState = TZdReportState::rsDesign;
  }
  // The window opens on the report as it is then.
  TfrmReportDesigner& Open() {
    window = std::make_unique<TfrmReportDesigner>(designer);
    window->show();
    QApplication::processEvents();
    return *window;
  }
  TZdqBand& Band(int index) { return *report->Bands()[size_t(index)]; }
  TZdqLabel& AddLabel(int band, int left, int top, int width, int height) {
    return Band(band).Add<TZdqLabel>(left, top, width, height);
  }
  TDesignSurface& Surface() { return window->Surface(); }
  // A point of a band in surface coordinates.
  QPoint At(const TZdqBand& band, int x, int y) { return Surface().BandOrigin(band) + QPoint(x, y); }
  QPoint At(const TZdqControl& c, int x, int y) { return At(*c.GetParentBand(), c.Left() + x, c.Top() + y); }
  void Press(QPoint p, Qt::KeyboardModifiers m = {}) { QTest::mousePress(&Surface(), Qt::LeftButton, m, p); }
  void MoveTo(QPoint p) { QTest::mouseMove(&Surface(), p); }
  void Release(QPoint p) { QTest::mouseRelease(&Surface(), Qt::LeftButton, {}, p); }
  void Drag(QPoint from, QPoint to) {
    Press(from);
    MoveTo(to);
    Release(to);
  }
  void Key(int key, Qt::KeyboardModifiers m = {}) { QTest::keyClick(&Surface(), Qt::Key(key), m); }

  TComponent root;
  TZdReport* report = nullptr;
  TZdqDesigner designer;
  std::unique_ptr<TfrmReportDesigner> window;
};

}  // namespace zd::test
