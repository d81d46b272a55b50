#include "app/zdreport/DesignCommand.h"

#include <QApplication>
#include <QSaveFile>
#include <memory>
#include <stdexcept>

#include "app/zdreport/TemplateReport.h"
#include "designer/DesignTemplates.h"
#include "designer/ZdDesign.h"
#include "designer/ZdqDesigner.h"
#include "preview/WidgetsUserInterface.h"

namespace zd::cli {

namespace {

constexpr QSize kGrabSize(1000, 760);
constexpr QSize kGrabWithPanelsSize(1400, 800);  // room for the docks beside the bands

TZdqControl* FindControl(TZdReport& report, const std::string& displayName) {
  for (TZdqBand* band : report.Bands())
    for (TZdqControl* c : band->Objects())
      if (c->DisplayName() == displayName) return c;
  return nullptr;
}

void Grab(TZdReport& report, const TDesignOptions& options) {
  TZdqDesigner designer;
  designer.SetReport(&report);
  report.ReportState = TZdReportState::rsDesign;
  TfrmReportDesigner window(designer);
  window.resize(options.panels ? kGrabWithPanelsSize : kGrabSize);
  window.show();
  if (options.panels) {
    window.actInspector->trigger();
    window.actExplorer->trigger();
    QApplication::processEvents();
  }
  for (const std::string& name : options.selected) {
    TZdqControl* control = FindControl(report, name);
    if (!control) throw EUsageError("the template has no control named '" + name + "'", "design");
    designer.AddSelected(control);
  }
  QApplication::processEvents();
  QSaveFile file(QString::fromStdString(options.grab));
  if (!file.open(QIODevice::WriteOnly) || !window.grab().save(&file, "PNG") || !file.commit())
    throw std::runtime_error("cannot write " + options.grab + ": " + file.errorString().toStdString());
}

}  // namespace

std::string RunDesign(const TDesignOptions& options) {
  InstallWidgetsUserInterface();
  if (!options.grab.empty()) RequireNoFolder(options.grab, "the picture");
  TComponent root;
  std::unique_ptr<TTemplateReport> loaded;
  TZdReport* report = nullptr;
  if (!options.dataSource.empty()) {
    loaded = std::make_unique<TTemplateReport>(options);
    report = &loaded->Report();
    // The data manager the command line adds is no part of the template and
    // would be saved with it; the report finds the dataset by its name anyway.
    report->SetDataManager(nullptr);
  } else {
    report = new TZdReport(&root);
    if (!options.templateFile.empty()) {
      RequireNoFolder(options.templateFile, "the template");
      LoadReportForDesign(*report, options.templateFile);
    }
  }
  if (options.grab.empty()) {
    DesignReport(*report);
    return {};
  }
  Grab(*report, options);
  return options.grab;
}

}  // namespace zd::cli
