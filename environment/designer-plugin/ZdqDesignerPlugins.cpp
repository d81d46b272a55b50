#include "environment/designer-plugin/ZdqDesignerPlugins.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

#include "environment/designer-plugin/ZdPrintTaskMenu.h"
#include "preview/PreviewIcons.h"
#include "preview/WidgetsUserInterface.h"
#include "preview/ZdqView.h"
#include "report/ZdInitialize.h"

namespace zd {

QString TZdqPreviewWidgetPlugin::name() const { return QStringLiteral("zd::TZdqPreview"); }

QString TZdqPreviewWidgetPlugin::toolTip() const { return QStringLiteral("Prepared report viewer"); }

QString TZdqPreviewWidgetPlugin::whatsThis() const {
  return QStringLiteral(
      "Shows the pages of a prepared report with zoom, thumbnails, outline and text search. Set reportFile to "
      "a prepared report (.zqp) to show it, or call SetReport from code.");
}

QString TZdqPreviewWidgetPlugin::includeFile() const { return QStringLiteral("preview/ZdqView.h"); }

QIcon TZdqPreviewWidgetPlugin::icon() const { return ToolIcon(TToolIcon::OnePage); }

QString TZdqPreviewWidgetPlugin::domXml() const {
  return QStringLiteral(
      "<ui language=\"c++\">\n"
      " <widget class=\"zd::TZdqPreview\" name=\"ZdqPreview\">\n"
      "  <property name=\"geometry\"><rect><x>0</x><y>0</y><width>400</width><height>300</height></rect>"
      "</property>\n"
      " </widget>\n"
      "</ui>\n");
}

QWidget* TZdqPreviewWidgetPlugin::createWidget(QWidget* parent) { return new TZdqPreview(parent); }

void TZdqPreviewWidgetPlugin::initialize(QDesignerFormEditorInterface* core) {
  if (initialized_) return;
  // The plugin carries its own copy of the library: it starts it as a
  // program would, with the preview and print dialogs on Qt Widgets.
  ZdInitialize();
  InstallWidgetsUserInterface();
  if (QExtensionManager* manager = core->extensionManager())
    manager->registerExtensions(new TZdPrintTaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
  initialized_ = true;
}

TZdqWidgetCollection::TZdqWidgetCollection(QObject* parent) : QObject(parent) {
  widgets_.append(new TZdqPreviewWidgetPlugin(this));
}

}  // namespace zd
