// The object inspector docked in the designer: every kind of property is
// edited in place or through its editor, lands in the report and goes back
// with Ctrl+Z; the list and the designer's selection follow each other.
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "designer/ExpressionBuilder.h"
#include "designer/ZdPicEdit.h"
#include "designer/ZdqDialogs.h"
#include "designer/ZdqOI.h"
#include "host/data/MemoryDataSet.h"
#include "host/data/SqlDataSet.h"
#include "designer/controls/ZdColorsCombo.h"
#include "report/controls/PictureControls.h"
#include "tests/designer/DesignWindowFixture.h"

namespace zd::test {
namespace {

class InspectorTest : public DesignWindowTest {
 protected:
  TfrmZdqOI& ShowInspector(TZdqControl& element) {
    Open();
    window->actInspector->trigger();
    QApplication::processEvents();
    designer.ClearSelected();
    designer.AddSelected(&element);
    QApplication::processEvents();
    return window->Inspector();
  }
  // Makes the row current, which puts its in-place editor over the value.
  QWidget* EditorOf(const std::string& path) {
    TfrmZdqOI& oi = window->Inspector();
    QTreeWidgetItem* row = oi.RowOf(path);
    EXPECT_NE(row, nullptr) << path;
    if (!row) return nullptr;
    for (QTreeWidgetItem* parent = row->parent(); parent; parent = parent->parent()) parent->setExpanded(true);
    oi.sgOI->setCurrentItem(row, 1);
    return oi.InplaceEditor();
  }
  void Type(const std::string& path, const QString& text) {
    auto* edit = EditorOf(path)->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr) << path;
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
  void Choose(const std::string& path, const QString& item) {
    auto* list = qobject_cast<QComboBox*>(EditorOf(path));
    ASSERT_NE(list, nullptr) << path;
    const int index = list->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    list->setCurrentIndex(index);
    emit list->activated(index);
  }
  void PressEllipsis(const std::string& path) {
    auto* button = EditorOf(path)->findChild<QToolButton*>();
    ASSERT_NE(button, nullptr) << path;
    button->click();
  }
  void Undo() {
    QApplication::processEvents();  // the edit becomes its undo step
    window->activateWindow();  // a dialog was over it
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
  }
  TZdqControl& First(int band) { return *Band(band).Objects().front(); }
};

TEST_F(InspectorTest, EveryKindOfPropertyIsEditedAndUndoneWithCtrlZ) {
  AddLabel(1, 10, 10, 80, 20);
  ShowInspector(First(1));

  // Each edit changes the element; the pointer is fetched again after undo,
  // which rebuilds the report.
  auto check = [&](const char* what, auto edit, auto value) {
    SCOPED_TRACE(what);
    const auto before = value(First(1));
    edit();
    QApplication::processEvents();
    EXPECT_NE(value(First(1)), before);
    Undo();
    EXPECT_EQ(value(First(1)), before);
  };
  check("integer", [&] { Type("Left", "77"); }, [](TZdqControl& c) { return c.Left(); });
  check("string", [&] { Type("DisplayName", "Total"); }, [](TZdqControl& c) { return c.DisplayName(); });
  check("enumeration", [&] { Choose("Alignment", "taCenter"); }, [](TZdqControl& c) { return int(c.Alignment()); });
  check("boolean", [&] { Choose("Transparent", "False"); }, [](TZdqControl& c) { return c.Transparent(); });
  check("nested integer", [&] { Type("Font.Size", "23"); }, [](TZdqControl& c) { return c.Font().Size(); });
  check("colour", [&] {
    auto* colors = qobject_cast<TZdColorsCombo*>(EditorOf("BackColor"));
    ASSERT_NE(colors, nullptr);
    const int red = colors->findText("Red");
    ASSERT_GE(red, 0);
    colors->setCurrentIndex(red);
    emit colors->activated(red);
  }, [](TZdqControl& c) { return c.BackColor(); });
  check("set", [&] {
    WhenModal<QDialog>([](QDialog* d) {
      auto* members = d->findChild<QListWidget*>();
      members->item(1)->setCheckState(Qt::Checked);  // fsItalic
      d->accept();
    });
    PressEllipsis("Font.Style");
  }, [](TZdqControl& c) { return c.Font().Value().Style.Bits; });
  check("font", [&] {
    WhenModal<QFontDialog>([](QFontDialog* d) {
      QFont f = d->currentFont();
      f.setPointSize(31);
      d->setCurrentFont(f);
      d->accept();
    });
    PressEllipsis("Font");
  }, [](TZdqControl& c) { return c.Font().Size(); });
  check("string list", [&] {
    WhenModal<QDialog>([](QDialog* d) {
      d->findChild<QPlainTextEdit*>()->setPlainText("first\nsecond");
      d->accept();
    });
    PressEllipsis("Comments");
  }, [](TZdqControl& c) { return c.Comments().Text(); });

  // Text that does not fit the kind is refused with a message and changes nothing.
  WhenModal<QDialog>([](QDialog* d) { d->close(); });
  Type("Width", "wide");
  QApplication::processEvents();
  EXPECT_EQ(First(1).Width(), 80);
}

TEST_F(InspectorTest, PicturesAndFloatsOfOtherElementsAreEditedToo) {
  Band(1).Add<TZdqImage>(5, 5, 40, 40);
  ShowInspector(First(1));
  ASSERT_EQ(static_cast<TZdqImage&>(First(1)).ImageKind(), TZdqImageKind::ikFile);
  QImage red(6, 4, QImage::Format_RGB32);
  red.fill(Qt::red);
  QApplication::clipboard()->setImage(red);
  WhenModal<TfrmPicEdit>([](TfrmPicEdit* d) {
    d->btnPaste->click();
    d->btnOk->click();
  });
  PressEllipsis("Picture");
  QApplication::processEvents();
  // A picture chosen for a file image becomes what it shows, in the same step.
  EXPECT_EQ(static_cast<TZdqImage&>(First(1)).Picture().Width(), 6);
  EXPECT_EQ(static_cast<TZdqImage&>(First(1)).ImageKind(), TZdqImageKind::ikPicture);
  Undo();
  EXPECT_TRUE(static_cast<TZdqImage&>(First(1)).Picture().Empty());
  EXPECT_EQ(static_cast<TZdqImage&>(First(1)).ImageKind(), TZdqImageKind::ikFile);

  designer.ClearSelected();
  designer.AddSelected(&Band(1));
  QApplication::processEvents();
  Type("LessThan", "2.5");
  QApplication::processEvents();
  EXPECT_DOUBLE_EQ(Band(1).LessThan(), 2.5);
  Undo();
  EXPECT_DOUBLE_EQ(Band(1).LessThan(), 0);

  // Expressions go through the builder.
  WhenModal<TfrmExpBuilder>([](TfrmExpBuilder* b) {
    b->SetExpression("Orders.Region");
    b->btnOK->click();
  });
  PressEllipsis("Expression");
  QApplication::processEvents();
  EXPECT_EQ(Band(1).Expression(), "Orders.Region");
  Undo();
  EXPECT_EQ(Band(1).Expression(), "");
}

TEST_F(InspectorTest, ListsWhatTheTemplateWritesWithValuesAndDefaultsShown) {
  TZdqLabel& label = AddLabel(1, 10, 10, 80, 20);
  label.SetBackColor(0x563412);
  TfrmZdqOI& oi = ShowInspector(label);

  std::set<std::string> listed, published;
  for (int i = 0; i < oi.sgOI->topLevelItemCount(); ++i) listed.insert(oi.sgOI->topLevelItem(i)->text(0).toStdString());
  for (const TPropertyInfo* p : label.PublishedProperties()->Properties())
    if (p->Kind() != TPropKind::Method) published.insert(p->Name());
  EXPECT_EQ(listed, published);

  QTreeWidgetItem* back = oi.RowOf("BackColor");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->text(1), "R:12 G:34 B:56");
  EXPECT_TRUE(back->font(1).bold());  // differs from its default, white
  EXPECT_FALSE(oi.RowOf("Transparent")->font(1).bold());
  EXPECT_EQ(oi.RowOf("Font")->text(1), "(TZdqFont)");
  EXPECT_EQ(oi.RowOf("Comments")->text(1), "(TStrings)");
  EXPECT_EQ(oi.RowOf("Font")->childCount(), int(TZdqFont::ClassProperties().Properties().size()));
  EXPECT_EQ(oi.RowOf("Comments")->childCount(), 0);
  EXPECT_EQ(oi.RowOf("Font.Style")->text(1), "[]");

  // Objects are not typed into.
  oi.sgOI->setCurrentItem(oi.RowOf("Font"), 1);
  EXPECT_TRUE(oi.InplaceEditor()->findChild<QLineEdit*>()->isReadOnly());
  // Events are on their own tab; no element here publishes one.
  oi.tcOI->setCurrentIndex(1);
  EXPECT_EQ(oi.sgOI->topLevelItemCount(), 0);
}

TEST_F(InspectorTest, FollowsTheDesignerSelectionAndSelectsWhatIsChosenInItsList) {
  TZdqLabel& label = AddLabel(1, 10, 10, 80, 20);
  TfrmZdqOI& oi = ShowInspector(label);
  EXPECT_TRUE(window->dockInspector->isVisible());
  EXPECT_EQ(oi.Selected(), &label);
  EXPECT_EQ(oi.RowOf("DisplayName")->text(1), QString::fromStdString(label.DisplayName()));

  const int bandEntry = oi.cbOI->findData(QVariant::fromValue(static_cast<void*>(&Band(2))));
  ASSERT_GE(bandEntry, 0);
  oi.cbOI->setCurrentIndex(bandEntry);
  emit oi.cbOI->activated(bandEntry);
  QApplication::processEvents();
  EXPECT_EQ(designer.GetSelected(0), &Band(2));
  EXPECT_EQ(designer.SelectedCount(), 1);
  EXPECT_EQ(oi.Selected(), &Band(2));

  // Deleting the inspected control leaves the inspector on something that still exists.
  designer.ClearSelected();
  designer.AddSelected(&label);
  QApplication::processEvents();
  window->DeleteSelection();
  QApplication::processEvents();
  EXPECT_TRUE(Band(1).Objects().empty());
  EXPECT_NE(oi.Selected(), nullptr);
  EXPECT_NE(oi.RowOf("Name"), nullptr);
}

TEST_F(InspectorTest, AReferenceIsChosenFromTheComponentsOfItsClass) {
  auto* orders = new TMemoryDataSet(&root);
  orders->SetName("Orders");
  auto* customers = new TMemoryDataSet(report);  // one of the report's own
  customers->SetName("Customers");
  (new TComponent(&root))->SetName("Helper");
  report->SetDataSet(orders);
  Open();
  window->actInspector->trigger();
  window->Inspector().SelectComponent(report);
  QApplication::processEvents();

  auto* list = qobject_cast<QComboBox*>(EditorOf("DataSet"));
  ASSERT_NE(list, nullptr);
  QStringList offered;
  for (int i = 0; i < list->count(); ++i) offered << list->itemText(i);
  EXPECT_EQ(offered, QStringList({"", "Customers", "Orders"}));
  EXPECT_EQ(list->currentText(), "Orders");

  Choose("DataSet", "Customers");
  EXPECT_EQ(report->DataSet(), customers);
  Undo();
  EXPECT_EQ(report->DataSet(), orders);
  Choose("DataSet", "");
  EXPECT_EQ(report->DataSet(), nullptr);
}

TEST_F(InspectorTest, AnOpenDatasetTakesANewQueryAndOpensAgain) {
  auto* lines = new TSqlDataSet(report);
  lines->SetName("Lines");
  lines->SetDatabaseName(std::string(ZD_SOURCE_DIR) + "/examples/demo.db");
  lines->SetSQL("SELECT * FROM order_lines");
  lines->Open();
  Open();
  window->actInspector->trigger();
  window->Inspector().SelectComponent(lines);
  QApplication::processEvents();

  Type("SQL", "SELECT country FROM order_lines");
  QApplication::processEvents();
  EXPECT_EQ(lines->SQL(), "SELECT country FROM order_lines");
  EXPECT_TRUE(lines->Active());
  EXPECT_EQ(lines->FieldCount(), 1);

  // A query the database refuses is kept, and reported when the report runs.
  Type("SQL", "SELECT nothing FROM nowhere");
  QApplication::processEvents();
  EXPECT_EQ(lines->SQL(), "SELECT nothing FROM nowhere");
  EXPECT_FALSE(lines->Active());
}

TEST_F(InspectorTest, EditPropertiesAndDoubleClickRunTheElementsDialogAsOneUndoStep) {
  AddLabel(1, 10, 10, 80, 20);
  Open();
  window->PrepareContextMenu(First(1));
  ASSERT_TRUE(window->Action(TMenuItem::EditProperties)->isEnabled());
  WhenModal<TfrmLabel>([](TfrmLabel* d) {
    d->edDisplayName->setText("From the menu");
    d->accept();
  });
  window->Action(TMenuItem::EditProperties)->trigger();
  EXPECT_EQ(First(1).DisplayName(), "From the menu");

  WhenModal<TfrmZdqBand>([](TfrmZdqBand* d) {
    d->cbStretch->setChecked(true);
    d->accept();
  });
  QTest::mouseDClick(&Surface(), Qt::LeftButton, {}, At(Band(1), 200, 50));
  EXPECT_TRUE(Band(1).Stretch());
  WhenModal<TfrmLabel>([](TfrmLabel* d) {
    d->edDisplayName->setText("Cancelled");
    d->reject();
  });
  QTest::mouseDClick(&Surface(), Qt::LeftButton, {}, At(First(1), 5, 5));
  EXPECT_EQ(First(1).DisplayName(), "From the menu");

  Undo();
  EXPECT_FALSE(Band(1).Stretch());
  EXPECT_EQ(First(1).DisplayName(), "From the menu");
  Undo();
  EXPECT_NE(First(1).DisplayName(), "From the menu");
}

class CustomFileEditor : public TZdqPropertyEditor {
 public:
  TZdqPropertyAttributes GetAttributes() const override { return rpaValueList; }
};

TEST(PropertyEditorRegistry, FindsEditorsByNameTypeAndKindWithLaterOnesFirst) {
  ensureDesignerApp();
  TZdqImage image;
  const TClassProperties& props = *image.PublishedProperties();
  auto editorOf = [&](const char* name) { return GetZdqPropertyEditor(&image, &props.Get(name)); };

  ASSERT_NE(editorOf("FileName"), nullptr);
  EXPECT_EQ(editorOf("FileName")->EditorType(), TZdqPropertyEditorType::petEditButton);
  EXPECT_EQ(editorOf("ImageKind")->EditorType(), TZdqPropertyEditorType::petCombobox);
  EXPECT_EQ(editorOf("Font")->EditorType(), TZdqPropertyEditorType::petEditButton);
  EXPECT_EQ(editorOf("Left"), nullptr);  // the plain edit box
  EXPECT_EQ(GetZdqPropertyEditor(nullptr, &props.Get("Left")), nullptr);

  RegisterZdqPropertyEditor<CustomFileEditor>("", "filename");
  RegisterZdqPropertyEditor<CustomFileEditor>("", "filename");
  TZdqPropertyEditor* custom = editorOf("FileName");
  ASSERT_NE(dynamic_cast<CustomFileEditor*>(custom), nullptr);
  EXPECT_EQ(custom->EditorType(), TZdqPropertyEditorType::petCombobox);
  UnRegisterZdqPropertyEditor<CustomFileEditor>("", "FILENAME");
  EXPECT_EQ(dynamic_cast<CustomFileEditor*>(editorOf("FileName")), nullptr);  // both went

  // A kind editor for one name only.
  RegisterZdqKindPropertyEditor<TZdqKindPropertyEditor>("", "Left", TPropKind::Integer);
  EXPECT_NE(editorOf("Left"), nullptr);
  EXPECT_EQ(editorOf("Top"), nullptr);
  UnRegisterZdqPropertyEditor<TZdqKindPropertyEditor>("", "Left");
  EXPECT_EQ(editorOf("Left"), nullptr);
}

}  // namespace
}  // namespace zd::test
