#pragma once
// The Qt Designer plugin: the widget components under "ZdReport Designer" in
// the widget box, so that forms place them as they place Qt's own.
#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace zd {

inline constexpr char kWidgetBoxGroup[] = "ZdReport Designer";

// The page viewer, TZdqPreview, with its task menu of print commands.
class TZdqPreviewWidgetPlugin : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  using QObject::QObject;
  QString name() const override;
  QString group() const override { return QString::fromLatin1(kWidgetBoxGroup); }
  QString toolTip() const override;
  QString whatsThis() const override;
  QString includeFile() const override;
  QIcon icon() const override;
  bool isContainer() const override { return false; }
  QString domXml() const override;
  QWidget* createWidget(QWidget* parent) override;
  bool isInitialized() const override { return initialized_; }
  void initialize(QDesignerFormEditorInterface* core) override;

 private:
  bool initialized_ = false;
};

class TZdqWidgetCollection : public QObject, public QDesignerCustomWidgetCollectionInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
  Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

 public:
  explicit TZdqWidgetCollection(QObject* parent = nullptr);
  QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

 private:
  QList<QDesignerCustomWidgetInterface*> widgets_;
};

}  // namespace zd
