#include "environment/designer-plugin/ZdPrintTaskMenu.h"

#include <QAction>
#include <QMessageBox>
#include <exception>
#include <functional>

#include "preview/ZdqView.h"
#include "print/PrintZd.h"
#include "zdreport/Version.h"

namespace zd {

namespace {

// Qt Designer must outlive whatever a report file or printer does wrong.
void Reporting(QWidget* parent, const QString& caption, const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    QMessageBox::warning(parent, caption, QString::fromStdString(e.what()));
  }
}

}  // namespace

TZdPrintTaskMenu::TZdPrintTaskMenu(TZdqPreview* viewer, QObject* parent)
    : QObject(parent),
      viewer_(viewer),
      about_(new QAction(QStringLiteral("About Zdq"), this)),
      preview_(new QAction(QStringLiteral("Preview..."), this)),
      print_(new QAction(QStringLiteral("Print..."), this)) {
  connect(about_, &QAction::triggered, this, &TZdPrintTaskMenu::about);
  connect(preview_, &QAction::triggered, this, &TZdPrintTaskMenu::preview);
  connect(print_, &QAction::triggered, this, &TZdPrintTaskMenu::print);
}

QList<QAction*> TZdPrintTaskMenu::taskActions() const {
  const bool shown = viewer_->Report() != nullptr;
  preview_->setEnabled(shown);
  print_->setEnabled(shown);
  preview_->setToolTip(shown || viewer_->reportFile().isEmpty() ? QString() : viewer_->ReportFileError());
  return {about_, preview_, print_};
}

void TZdPrintTaskMenu::about() {
  TZdPrintBaseComponent* report = viewer_->Report();
  const QString product =
      QString::fromStdString(report ? report->ProductVersion : std::string("ZdReport ") + kVersion);
  QMessageBox::about(viewer_, about_->text(),
                     product + QStringLiteral("\nBanded reports for Qt: design, preview, print and export."));
}

void TZdPrintTaskMenu::preview() {
  if (TZdPrintBaseComponent* report = viewer_->Report())
    Reporting(viewer_, preview_->text(), [report] { report->PreviewPreparedReport(); });
}

void TZdPrintTaskMenu::print() {
  if (TZdPrintBaseComponent* report = viewer_->Report())
    Reporting(viewer_, print_->text(), [report] { report->Print(); });
}

QObject* TZdPrintTaskMenuFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const {
  if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
  if (auto* viewer = qobject_cast<TZdqPreview*>(object)) return new TZdPrintTaskMenu(viewer, parent);
  return nullptr;
}

}  // namespace zd
