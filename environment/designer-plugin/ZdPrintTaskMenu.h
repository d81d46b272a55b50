#pragma once
// The commands Qt Designer offers on a viewer's context menu: "About Zdq",
// "Preview..." and "Print..." of the prepared report its reportFile names.
// A double click previews.
#include <QList>
#include <QObject>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

class QAction;

namespace zd {

class TZdqPreview;

class TZdPrintTaskMenu : public QObject, public QDesignerTaskMenuExtension {
  Q_OBJECT
  Q_INTERFACES(QDesignerTaskMenuExtension)

 public:
  TZdPrintTaskMenu(TZdqPreview* viewer, QObject* parent);
  // Preview and Print are enabled while the viewer shows a report.
  QList<QAction*> taskActions() const override;
  QAction* preferredEditAction() const override { return preview_; }

 private:
  void about();
  void preview();
  void print();

  TZdqPreview* viewer_;
  QAction *about_, *preview_, *print_;
};

class TZdPrintTaskMenuFactory : public QExtensionFactory {
  Q_OBJECT

 public:
  using QExtensionFactory::QExtensionFactory;

 protected:
  QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};

}  // namespace zd
