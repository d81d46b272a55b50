// The property dialogs of report elements, run as "Edit properties..." runs
// them: OK without edits leaves the element exactly as it was, Cancel
// leaves it alone whatever was done, and OK writes what was chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTest>

#include "barcode/ZdBarCode.h"
#include "designer/ExpressionBuilder.h"
#include "designer/ExpressionEdit.h"
#include "designer/ZdPicEdit.h"
#include "designer/ZdqDialogs.h"
#include "designer/ZdqOI.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "report/controls/PictureControls.h"
#include "report/controls/ShapeControls.h"
#include "report/controls/TextControls.h"
#include "report/template/Template.h"
#include "resources/StringTables.h"
#include "tests/designer/DesignWindowFixture.h"

namespace zd::test {
namespace {

class PropertyDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureDesignerApp();
    report = new TZdReport(&root);  // page header, detail, page footer
  }
  TZdqBand& Band(int index) { return *report->Bands()[size_t(index)]; }

  // One element of every class, each with settings away from its defaults.
  std::vector<TZdqControl*> EveryElement() {
    TZdqBand& header = report->NewBand(TBandType::btGroupHeader);
    header.SetExpression("Orders.Customer");
    header.SetOutlineExpression("Orders.Customer");
    TZdqBand& detail = Band(header.GetBandIndex() + 1);
    auto& label = detail.Add<TZdqLabel>(1, 2, 30, 20);
    label.SetAngle(90);
    label.SetWordWrap(true);
    label.SetTransparent(false);
    label.SetHint("a hint");
    label.SetObjectPosition(TZdqObjectPosition::opBottomBand);
    label.Comments().SetText("line one\r\nline two\r\n");
    label.HighLights().Add()->SetExpression("Value > 1");
    label.HighLights().Add()->SetColor(clRed);
    label.ZdPrintWhen().SetShowIf("Page > 1");
    label.ZdPrintWhen().SetOnGroupChange(true);
    label.ZdPrintWhen().SetGroupName("Orders.Customer");
    label.ZdPrintWhen().SetRepeatedValues(false);
    auto& line = detail.Add<TZdqLine>(40, 2, 30, 20);
    line.SetLineType(TLineType::ltRightDiagonal);
    line.SetLineStyle(TLineStyle::lsDouble);
    auto& rect = detail.Add<TZdqRectangle>(80, 2, 30, 20);
    rect.SetRectangleType(TRectangleType::rtRoundSquare);
    rect.SetStretch(TShapeStretch::ssTallest);
    auto& ellipse = detail.Add<TZdqEllipse>(120, 2, 30, 20);
    ellipse.SetEllipseType(TEllipseType::etCircle);
    auto& image = detail.Add<TZdqImage>(160, 2, 30, 20);
    image.SetImageKind(TZdqImageKind::ikPicture);
    image.Picture().SetBitmap(TBitmap(3, 2, clRed));
    image.SetFileName("old.png");
    image.SetCenter(true);
    auto& rich = detail.Add<TZdRichText>(200, 2, 30, 20);
    rich.SetExpression("Orders.Notes");
    rich.SetFileName("notes.rtf");
    auto& barcode = detail.Add<TZdBarCode>(240, 2, 30, 20);
    barcode.SetBarCodeType(TBarCodeType::bcPostnet);
    barcode.SetVertical(true);
    barcode.SetValue("12345");
    auto& expression = detail.Add<TZdqExpression>(280, 2, 30, 20);
    expression.SetExpression("Orders.Total");
    auto& sysData = detail.Add<TZdqSysData>(320, 2, 30, 20);
    return {&label, &line, &rect, &ellipse, &image, &rich, &barcode, &expression, &sysData, &header, &detail};
  }

  // Runs the element's dialog, handing it to act once it shows.
  template <class TDialog = TZdqBaseEditor, class TAction>
  bool Edit(TZdqControl& element, TAction act) {
    WhenModal<TDialog>(act);
    return EditZdqControl(element);
  }

  TComponent root;
  TZdReport* report = nullptr;
};

TEST_F(PropertyDialogsTest, OkWithoutEditsKeepsEveryElementAndCancelKeepsItWhateverWasDone) {
  for (TZdqControl* element : EveryElement()) {
    SCOPED_TRACE(element->ClassName());
    const TBytes before = SaveReportToBytes(*report);
    EXPECT_TRUE(Edit(*element, [](TZdqBaseEditor* d) { d->accept(); }));
    EXPECT_EQ(SaveReportToBytes(*report), before);

    const bool canceled = Edit<TfrmControl>(*element, [](TfrmControl* d) {
      d->edDisplayName->setText("changed");
      d->cbTransparent->toggle();
      d->meDescription->setPlainText("other");
      d->btnAddHighLight->click();
      d->edHighLightExpression->Edit->setText("1 = 1");
      WhenModal<TfrmPrintWhen>([](TfrmPrintWhen* p) {
        p->cbShowIf->setChecked(true);
        p->edShowIf->Edit->setText("False");
        p->accept();
      });
      d->btnPrintWhen->click();
      d->reject();
    });
    EXPECT_FALSE(canceled);
    EXPECT_EQ(SaveReportToBytes(*report), before);
  }
}

TEST_F(PropertyDialogsTest, OkWritesTheCommonPartAndThePrintCondition) {
  TZdqLabel& label = Band(1).Add<TZdqLabel>(1, 2, 30, 20);
  label.ZdPrintWhen().SetShowIf("Page > 1");
  EXPECT_TRUE(Edit<TfrmLabel>(label, [](TfrmLabel* d) {
    EXPECT_EQ(d->TypeControl, TfrmTypeControl::tcLabel);
    EXPECT_TRUE(d->btnDisplayName->isVisibleTo(d));
    d->edDisplayName->setText("Heading");
    d->edAngle->setText("45");
    d->cbWordWrap->setChecked(true);
    d->bgPosition->button(int(TZdqObjectPosition::opCenterBand))->setChecked(true);
    d->meDescription->setPlainText("why");
    d->btnAddHighLight->click();
    d->edHighLightExpression->Edit->setText("Total < 0");
    emit d->edHighLightExpression->Edit->editingFinished();
    WhenModal<TfrmPrintWhen>([](TfrmPrintWhen* p) {
      EXPECT_TRUE(p->cbShowIf->isChecked());
      EXPECT_FALSE(p->cbOnGroupChange->isEnabled());  // the report has no groups
      p->cbShowIf->setChecked(false);  // the box keeps its text, the condition goes
      EXPECT_FALSE(p->edHideWhen->isEnabled());
      p->cbHideWhen->setChecked(true);
      EXPECT_TRUE(p->edHideWhen->isEnabled());
      p->edHideWhen->Edit->setText("Total = 0");
      p->accept();
    });
    d->btnPrintWhen->click();
    d->accept();
  }));
  EXPECT_EQ(label.DisplayName(), "Heading");
  EXPECT_EQ(label.Angle(), 45);
  EXPECT_TRUE(label.WordWrap());
  EXPECT_EQ(label.ObjectPosition(), TZdqObjectPosition::opCenterBand);
  EXPECT_EQ(label.Comments().Text(), "why\r\n");
  ASSERT_EQ(label.HighLights().Count(), 1);
  EXPECT_EQ(label.HighLights()[0]->Expression(), "Total < 0");
  EXPECT_EQ(label.ZdPrintWhen().ShowIf(), "");
  EXPECT_EQ(label.ZdPrintWhen().HideWhen(), "Total = 0");

  // With a group in the report the group list offers its expression.
  report->NewBand(TBandType::btGroupHeader).SetExpression("Orders.Region");
  EXPECT_TRUE(Edit<TfrmLabel>(label, [](TfrmLabel* d) {
    WhenModal<TfrmPrintWhen>([](TfrmPrintWhen* p) {
      EXPECT_TRUE(p->cbOnGroupChange->isEnabled());
      EXPECT_FALSE(p->cbGroups->isEnabled());
      p->cbOnGroupChange->setChecked(true);
      EXPECT_TRUE(p->cbGroups->isEnabled());
      p->cbGroups->setCurrentIndex(p->cbGroups->findText("Orders.Region"));
      p->accept();
    });
    d->btnPrintWhen->click();
    d->accept();
  }));
  EXPECT_TRUE(label.ZdPrintWhen().OnGroupChange());
  EXPECT_EQ(label.ZdPrintWhen().GroupName(), "Orders.Region");
}

TEST_F(PropertyDialogsTest, ShapeImageAndBarcodeDialogsWriteTheirOwnFields) {
  auto& ellipse = Band(1).Add<TZdqEllipse>(1, 2, 30, 20);
  EXPECT_TRUE(Edit<TfrmShape>(ellipse, [](TfrmShape* d) {
    EXPECT_TRUE(d->gbEllipse->isVisibleTo(d));
    EXPECT_FALSE(d->gbLineStyle->isVisibleTo(d));
    EXPECT_FALSE(d->gbRectangle->isVisibleTo(d));
    d->bgEllipse->button(int(TEllipseType::etCircle))->setChecked(true);
    d->bgStretch->button(int(TShapeStretch::ssHeight))->setChecked(true);
    d->cbDoubleLine->setChecked(true);
    d->accept();
  }));
  EXPECT_EQ(ellipse.EllipseType(), TEllipseType::etCircle);
  EXPECT_EQ(ellipse.Stretch(), TShapeStretch::ssHeight);
  EXPECT_EQ(ellipse.LineStyle(), TLineStyle::lsDouble);

  // A picture confirmed in the picture editor is the image's only once the
  // image dialog is confirmed too.
  auto& image = Band(1).Add<TZdqImage>(40, 2, 30, 20);
  auto pickPicture = [](TfrmImage* d) {
    WhenModal<TfrmPicEdit>([](TfrmPicEdit* p) {
      p->SetPicture([] { TPicture pic; pic.SetBitmap(TBitmap(7, 5, clBlue)); return pic; }());
      p->btnOk->click();
    });
    d->btnPicture->click();
    EXPECT_TRUE(d->rbPicture->isChecked());
  };
  EXPECT_FALSE(Edit<TfrmImage>(image, [&](TfrmImage* d) {
    pickPicture(d);
    d->reject();
  }));
  EXPECT_TRUE(image.Picture().Empty());
  EXPECT_TRUE(Edit<TfrmImage>(image, [&](TfrmImage* d) {
    pickPicture(d);
    d->cbAspectRatio->setChecked(true);
    d->accept();
  }));
  EXPECT_EQ(image.Picture().Width(), 7);
  EXPECT_EQ(image.ImageKind(), TZdqImageKind::ikPicture);
  EXPECT_TRUE(image.AspectRatio());

  auto& barcode = Band(1).Add<TZdBarCode>(80, 2, 30, 20);
  barcode.SetValue("987");
  EXPECT_TRUE(Edit<TfrmImage>(barcode, [](TfrmImage* d) {
    EXPECT_EQ(d->TypeControl, TfrmTypeControl::tcBarCode);
    EXPECT_TRUE(d->rbFile->isChecked());
    EXPECT_EQ(d->edFileName->text(), "987");
    EXPECT_FALSE(d->btnFileName->isVisibleTo(d));
    d->rbField->setChecked(true);
    d->cbField->setEditText("Orders.Code");
    d->cbBarCodeType->setCurrentIndex(int(TBarCodeType::bcUPCA));
    d->accept();
  }));
  EXPECT_EQ(barcode.Expression(), "Orders.Code");
  EXPECT_EQ(barcode.Value(), "");
  EXPECT_EQ(barcode.BarCodeType(), TBarCodeType::bcUPCA);
}

TEST_F(PropertyDialogsTest, BandDialogShowsTheFieldsOfTheTypeAndReordersOnAChangedType) {
  TZdqBand& detail = Band(1);
  EXPECT_TRUE(Edit<TfrmZdqBand>(detail, [](TfrmZdqBand* d) {
    EXPECT_EQ(d->cbBandType->currentText(), "Detail");
    EXPECT_FALSE(d->cbDataset->isVisibleTo(d));
    EXPECT_FALSE(d->cbExpression->isVisibleTo(d));
    d->cbBandType->setCurrentIndex(int(TBandType::btGroupHeader) - 1);
    EXPECT_TRUE(d->cbExpression->isVisibleTo(d));
    // What the builder returns that is no field goes into the first entry.
    WhenModal<TfrmExpBuilder>([](TfrmExpBuilder* b) {
      b->SetExpression("Upper(Name)");
      b->btnOK->click();
    });
    d->btnExpression->click();
    EXPECT_EQ(d->cbExpression->currentIndex(), 0);
    EXPECT_EQ(d->cbExpression->currentText(), "Upper(Name)");
    d->cbBandType->setCurrentIndex(int(TBandType::btSubDetail) - 1);
    EXPECT_TRUE(d->cbDataset->isVisibleTo(d));
    d->edOutline->Edit->setText("Orders.No");
    d->accept();
  }));
  EXPECT_EQ(detail.BandType(), TBandType::btSubDetail);
  EXPECT_EQ(detail.OutlineExpression(), "Orders.No");
  EXPECT_EQ(detail.Expression(), "Upper(Name)");

  TZdqBand& title = report->NewBand(TBandType::btReportTitle);
  ASSERT_EQ(title.GetBandIndex(), 0);
  EXPECT_TRUE(Edit<TfrmZdqBand>(title, [](TfrmZdqBand* d) {
    d->cbBandType->setCurrentIndex(int(TBandType::btReportSummary) - 1);
    d->accept();
  }));
  EXPECT_EQ(title.GetBandIndex(), int(report->Bands().size()) - 1);
  for (size_t i = 1; i < report->Bands().size(); ++i)
    EXPECT_LE(BandOrderKey(report->Bands()[i - 1]->BandType()), BandOrderKey(report->Bands()[i]->BandType()));
}

// An editor of its own kind, counting what the registry calls.
class CountingEditor : public TZdqBaseExternalEditor {
 public:
  static inline bool confirm = false;
  static inline int before = 0, after = 0;
  bool InternalExecute() override { return confirm; }
  void BeforeEditProperties() override { ++before; }
  void AfterEditProperties() override { ++after; }
};

TEST_F(PropertyDialogsTest, TheRegistryRunsTheEditorOfTheNearestRegisteredClass) {
  auto& line = Band(1).Add<TZdqLine>(1, 2, 30, 20);
  RegisterZdqEditor<CountingEditor>("TZdqLine");
  CountingEditor::confirm = false;
  EXPECT_FALSE(EditZdqControl(line));
  CountingEditor::confirm = true;
  EXPECT_TRUE(EditZdqControl(line));
  EXPECT_EQ(CountingEditor::before, 2);
  EXPECT_EQ(CountingEditor::after, 1);

  // Without its own entry a line gets the common dialog of every control.
  UnRegisterZdqEditor("TZdqLine");
  EXPECT_TRUE(Edit<TfrmControl>(line, [](TfrmControl* d) {
    EXPECT_EQ(dynamic_cast<TfrmShape*>(d), nullptr);
    d->accept();
  }));
  RegisterZdqEditor<TfrmShape>("TZdqLine");
  EXPECT_FALSE(Edit<TfrmShape>(line, [](TfrmShape* d) { d->reject(); }));

  // The common dialog refuses bands.
  UnRegisterZdqEditor("TZdqBand");
  EXPECT_FALSE(EditZdqControl(Band(1)));
  RegisterZdqEditor<TfrmZdqBand>("TZdqBand");
  EXPECT_TRUE(HasZdqEditor(Band(1)));
}

// Every text a dialog shows has a number in the string tables, and apart from
// the deliberately partial Spanish every language has its own entry for every
// English text instead of falling back to English.
TEST_F(PropertyDialogsTest, EveryCaptionResolvesInAllNineLanguages) {
  std::vector<TZdqControl*> elements = EveryElement();
  QString englishTitle;
  for (int shift = 0; shift < 9; ++shift) {
    SCOPED_TRACE("language " + std::to_string(shift));
    report->Language().SetLanguageID(TZdqLangID(shift));
    if (shift != 0 && TZdqLangID(shift) != TZdqLangID::lnSpanish) {
      std::span<const ResourceString> own = LanguageStrings(shift);
      for (const ResourceString& english : LanguageStrings(0))
        EXPECT_TRUE(std::ranges::binary_search(own, english.number, {}, &ResourceString::number))
            << "untranslated text " << english.number;
    }
    for (TZdqControl* element : elements) {
      Edit(*element, [&](TZdqBaseEditor* d) {
        EXPECT_FALSE(d->windowTitle().isEmpty());
        for (auto* w : d->findChildren<QAbstractButton*>())  // not the tab bar's arrows
          if (!qobject_cast<QToolButton*>(w)) EXPECT_FALSE(w->text().isEmpty()) << w->metaObject()->className();
        for (auto* w : d->findChildren<QLabel*>()) EXPECT_FALSE(w->text().isEmpty());
        for (auto* w : d->findChildren<QGroupBox*>()) EXPECT_FALSE(w->title().trimmed().isEmpty());
        for (auto* tabs : d->findChildren<QTabWidget*>())
          for (int i = 0; i < tabs->count(); ++i) EXPECT_FALSE(tabs->tabText(i).isEmpty());
        if (element == elements.front()) {
          if (shift == 0) englishTitle = d->windowTitle();
          if (shift == 3) EXPECT_NE(d->windowTitle(), englishTitle);  // German has its own
        }
        d->reject();
      });
    }
    TfrmPicEdit pictures(shift);
    for (auto* b : pictures.findChildren<QPushButton*>()) EXPECT_FALSE(b->text().isEmpty());
    TfrmZdqOI inspector(*report);
    EXPECT_FALSE(inspector.windowTitle().isEmpty());
    EXPECT_FALSE(inspector.tcOI->tabText(1).isEmpty());
  }
}

}  // namespace
}  // namespace zd::test
