// An application that opens the visual designer through the package's
// Designer component: the window over a report of one band, shown on the
// offscreen platform; fails when the design surface does not show.
#include <QApplication>

#include "designer/DesignSurface.h"
#include "designer/ZdDesign.h"
#include "designer/ZdqDesigner.h"
#include "report/model/ZdReport.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  zd::TComponent owner;
  auto* report = new zd::TZdReport(&owner);
  report->DeleteAllBands();
  report->AddBand(zd::TBandType::btDetail, true);
  zd::TZdqDesigner designer(&owner);
  designer.SetReport(report);
  zd::TfrmReportDesigner window(designer);
  window.show();
  QApplication::processEvents();
  return window.Surface().isVisible() && !window.grab().isNull() ? 0 : 1;
}
