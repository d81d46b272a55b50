// The Qt Designer plugin loaded as Qt Designer loads it: its widget-box
// group and widgets, the widgets it makes, and the task menu of a viewer
// with and without a prepared report to show.
#include <gtest/gtest.h>

#include <QAction>
#include <QMessageBox>
#include <QPluginLoader>
#include <QXmlStreamReader>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <filesystem>
#include <fstream>
#include <memory>

#include "tests/WidgetTesting.h"
#include "tests/interop/CommandLineRun.h"

namespace {

using zd::test::kData;
using zd::test::kTemplate;
using zd::test::Zdreport;

// The class a widget's domXml declares.
QString DeclaredClass(const QString& domXml) {
  QXmlStreamReader xml(domXml);
  while (!xml.atEnd())
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"widget")
      return xml.attributes().value("class").toString();
  return {};
}

QStringList Captions(const QList<QAction*>& actions) {
  QStringList captions;
  for (const QAction* action : actions) captions << action->text();
  return captions;
}

// Qt Designer's core as far as plugins use it: the extension manager.
class TFormEditor : public QDesignerFormEditorInterface {
 public:
  TFormEditor() { setExtensionManager(new QExtensionManager(this)); }
};

class DesignerPlugin : public zd::test::TCommandLineTest {
 protected:
  void SetUp() override {
    zd::test::ensureWidgetsApp();
    TCommandLineTest::SetUp();
    loader_.setFileName(ZD_DESIGNER_PLUGIN);
    ASSERT_TRUE(loader_.load()) << loader_.errorString().toStdString();
    collection_ = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader_.instance());
    ASSERT_NE(collection_, nullptr);
  }

  QPluginLoader loader_;
  QDesignerCustomWidgetCollectionInterface* collection_ = nullptr;
};

TEST_F(DesignerPlugin, OffersTheWidgetComponentsUnderOneGroup) {
  const QList<QDesignerCustomWidgetInterface*> widgets = collection_->customWidgets();
  QStringList names;
  for (QDesignerCustomWidgetInterface* widget : widgets) {
    names << widget->name();
    EXPECT_EQ(widget->group(), "ZdReport Designer");
    EXPECT_FALSE(widget->icon().isNull());
    EXPECT_EQ(DeclaredClass(widget->domXml()), widget->name());
    // Qt Designer and uic take the class by name: the widget must say the same.
    QWidget parent;
    QWidget* made = widget->createWidget(&parent);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(QString(made->metaObject()->className()), widget->name());
    // Forms include the header from the installed include folder.
    EXPECT_TRUE(std::filesystem::exists(std::string(ZD_SOURCE_DIR) + "/" + widget->includeFile().toStdString()))
        << widget->includeFile().toStdString();
  }
  EXPECT_EQ(names, QStringList{"zd::TZdqPreview"});
}

TEST_F(DesignerPlugin, ViewerTaskMenuOffersPrintCommandsForItsReportFile) {
  ASSERT_EQ(Zdreport({"render", kTemplate, "--data", kData, "--pages", "1-2", "-o", Out("r.zqp")}).exitCode, 0);
  std::ofstream(Out("bad.zqp")) << "ZDQP and nothing else";

  TFormEditor core;
  QDesignerCustomWidgetInterface* viewerPlugin = collection_->customWidgets().value(0);
  ASSERT_NE(viewerPlugin, nullptr);
  viewerPlugin->initialize(&core);
  ASSERT_TRUE(viewerPlugin->isInitialized());
  std::unique_ptr<QWidget> viewer(viewerPlugin->createWidget(nullptr));
  auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), viewer.get());
  ASSERT_NE(menu, nullptr);

  const auto state = [&] {
    const QList<QAction*> actions = menu->taskActions();
    EXPECT_EQ(Captions(actions), (QStringList{"About Zdq", "Preview...", "Print..."}));
    EXPECT_TRUE(actions.value(0)->isEnabled());
    return std::make_pair(actions.value(1)->isEnabled(), actions.value(2)->isEnabled());
  };
  EXPECT_EQ(state(), std::make_pair(false, false));  // no report file
  viewer->setProperty("reportFile", QString::fromStdString(Out("bad.zqp")));
  EXPECT_EQ(state(), std::make_pair(false, false));
  EXPECT_FALSE(menu->taskActions().value(1)->toolTip().isEmpty());  // says why
  viewer->setProperty("reportFile", QString::fromStdString(Out("r.zqp")));
  EXPECT_EQ(state(), std::make_pair(true, true));
  // A double click previews.
  EXPECT_EQ(menu->preferredEditAction(), menu->taskActions().value(1));

  QString previewTitle, aboutText;
  zd::test::WhenModal([&](QWidget* window) {
    previewTitle = window->windowTitle();
    window->close();
  });
  menu->preferredEditAction()->trigger();
  EXPECT_TRUE(previewTitle.startsWith("Report preview mode")) << previewTitle.toStdString();
  zd::test::WhenModal<QMessageBox>([&](QMessageBox* box) {
    aboutText = box->text();
    box->accept();
  });
  menu->taskActions().value(0)->trigger();
  EXPECT_TRUE(aboutText.startsWith("ZdReport ")) << aboutText.toStdString();
}

}  // namespace
