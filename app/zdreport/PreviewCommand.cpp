#include "app/zdreport/PreviewCommand.h"

#include <QApplication>
#include <QSaveFile>
#include <QToolButton>
#include <memory>
#include <stdexcept>

#include "app/zdreport/ParameterValues.h"
#include "app/zdreport/TemplateReport.h"
#include "environment/files/StandaloneReport.h"
#include "preview/WidgetsUserInterface.h"
#include "preview/ZdqPreview.h"

namespace zd::cli {

namespace {

constexpr QSize kGrabSize(1000, 760);

// The window as the options ask for it to open.
void Open(TfrmZdPreview& window, TZdPrintBaseComponent& report, const TPreviewOptions& options) {
  window.SetReport(&report);
  window.show();
  QApplication::processEvents();  // lays the window out, so that the zoom fits its width
  if (options.thumbnails) window.btnThumbnails->setChecked(true);
  if (options.outlines) window.btnOutlines->setChecked(true);
  if (!options.find.empty()) window.ZdqPreview->Find({options.find, TFindMode::AnyPosition, false}, true);
}

void Grab(TZdPrintBaseComponent& report, const TPreviewOptions& options) {
  TfrmZdPreview window;
  window.resize(kGrabSize);
  Open(window, report, options);
  QApplication::processEvents();
  QSaveFile file(QString::fromStdString(options.grab));
  if (!file.open(QIODevice::WriteOnly) || !window.grab().save(&file, "PNG") || !file.commit())
    throw std::runtime_error("cannot write " + options.grab + ": " + file.errorString().toStdString());
}

}  // namespace

TPreviewResult RunPreview(const TPreviewOptions& options) {
  InstallWidgetsUserInterface();
  if (!options.grab.empty()) RequireNoFolder(options.grab, "the picture");
  TPreviewResult result;
  TComponent root;
  std::unique_ptr<TTemplateReport> loaded;
  std::unique_ptr<TStandaloneReport> withoutData;
  TZdReport* report = nullptr;
  if (!options.preparedFile.empty()) {
    RequireNoFolder(options.preparedFile, "the prepared report");
    report = new TZdReport(&root);
    report->LoadPreparedReport(options.preparedFile);
  } else if (options.noData) {
    withoutData = std::make_unique<TStandaloneReport>(options.templateFile);
    report = &withoutData->Report();
    if (options.anyAllowedPath) report->FileAccess().AllowAnyPath();
    for (const std::string& path : options.allowedPaths) report->FileAccess().AllowFolder(path);
    if (options.twoPass) report->SetTwoPass(true);
    TCommandLineParameters(options.parameters).Apply(*report);
    withoutData->Prepare();
  } else {
    loaded = std::make_unique<TTemplateReport>(options);
    loaded->Prepare(options.grab.empty());  // a window of pages: the progress in a window too
    result.warnings = loaded->Warnings();
    report = &loaded->Report();
  }
  result.pages = report->GetNumPages();
  if (options.grab.empty()) {
    TfrmZdPreview window;
    Open(window, *report, options);
    window.exec();
  } else {
    Grab(*report, options);
    result.grabbed = options.grab;
  }
  return result;
}

}  // namespace zd::cli
