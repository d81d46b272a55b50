// The designer's commands: alignment over several bands, the clipboard
// between bands, the context menu, undo and redo of every kind of edit,
// saving with a backup, the options kept per user, and a template edited
// here that renders through `zdreport render`.
#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QLabel>
#include <QMessageBox>
#include <QDialog>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <filesystem>
#include <fstream>

#include "designer/DesignClipboard.h"
#include "designer/DesignEdits.h"
#include "designer/DesignTemplates.h"
#include "designer/DesignerSettings.h"
#include "designer/LayoutDialog.h"
#include "designer/controls/ColorButton.h"
#include "designer/controls/ControlColors.h"
#include "designer/controls/ZdBrushPenStyleCombo.h"
#include "designer/controls/ZdColorsCombo.h"
#include "designer/controls/ZdFontCombos.h"
#include "host/data/MemoryDataSet.h"
#include "print/Language.h"
#include "report/controls/ShapeControls.h"
#include "report/template/Template.h"
#include "report/template/TemplateObjects.h"
#include "tests/TempPath.h"
#include "tests/designer/DesignWindowFixture.h"
#include "tests/interop/CommandLineRun.h"

namespace fs = std::filesystem;

namespace zd::test {
namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string AsText(const TBytes& bytes) {
  const TBytes text = TemplateTreeToBytes(ReadTemplateTree(bytes), TTemplateFormat::Text);
  return {text.begin(), text.end()};
}

// The stored properties but the display name, which a paste makes unique.
std::vector<std::pair<std::string, std::string>> PropertiesButName(const TZdqControl& c) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const TStreamProperty& p : StreamProperties(c))
    if (p.name != "DisplayName" && p.name != "Hint")  // the hint follows the name
      out.emplace_back(p.name, p.value.text + std::to_string(p.value.integer));
  return out;
}

TEST_F(DesignWindowTest, AlignmentWorksOverTheSelectionOfEveryBand) {
  TZdqLabel& a = AddLabel(0, 0, 5, 50, 10);
  TZdqLabel& b = AddLabel(1, 40, 5, 40, 10);
  TZdqLabel& c = AddLabel(2, 100, 5, 20, 10);
  TfrmReportDesigner& w = Open();
  EXPECT_FALSE(w.AlignAction(TAlignCommand::RightEdges)->isEnabled());  // nothing selected
  for (TZdqControl* control : {&c, &a, &b}) designer.AddSelected(control);
  ASSERT_TRUE(w.AlignAction(TAlignCommand::RightEdges)->isEnabled());
  w.AlignAction(TAlignCommand::RightEdges)->trigger();
  EXPECT_EQ(a.Left() + a.Width(), 120);
  EXPECT_EQ(b.Left() + b.Width(), 120);
  EXPECT_EQ(c.Left() + c.Width(), 120);
  // Spacing takes band order, not selection order: a, b, c with lefts 0, 10, 90.
  a.SetLeft(0);
  b.SetLeft(10);
  c.SetLeft(90);
  w.AlignAction(TAlignCommand::SpaceEquallyX)->trigger();
  EXPECT_EQ(a.Left(), 0);
  EXPECT_EQ(b.Left(), 30);
  EXPECT_EQ(c.Left(), 90);
}

TEST_F(DesignWindowTest, CopyAndPasteIntoAnotherBandKeepClassPropertiesAndPlaces) {
  TZdqLabel& a = AddLabel(1, 12, 14, 60, 18);
  a.SetAlignment(TAlignment::taRightJustify);
  a.Font().Edit().Size = 14;
  a.Frame().SetDrawTop(true);
  auto& shape = Band(1).Add<TZdqRectangle>(100, 30, 40, 40);
  TZdqLabel& stay = AddLabel(2, 5, 5, 10, 10);
  TfrmReportDesigner& w = Open();
  designer.AddSelected(&a);
  designer.AddSelected(&shape);
  w.Action(TMenuItem::Copy)->trigger();
  // A press on the page footer's empty area makes it the band pastes go to.
  Press(At(Band(2), 200, 50));
  Release(At(Band(2), 200, 50));
  designer.AddSelected(&stay);
  w.Action(TMenuItem::Paste)->trigger();
  ASSERT_EQ(Band(2).Objects().size(), 3u);
  const TZdqControl& pastedLabel = *Band(2).Objects()[1];
  const TZdqControl& pastedShape = *Band(2).Objects()[2];
  EXPECT_EQ(pastedLabel.ClassName(), "TZdqLabel");
  EXPECT_EQ(pastedShape.ClassName(), "TZdqRectangle");
  EXPECT_EQ(PropertiesButName(pastedLabel), PropertiesButName(a));
  EXPECT_EQ(PropertiesButName(pastedShape), PropertiesButName(shape));
  EXPECT_NE(pastedLabel.DisplayName(), a.DisplayName());
  EXPECT_EQ(designer.Selection(), (std::vector<TZdqControl*>{Band(2).Objects()[1], Band(2).Objects()[2]}));
  EXPECT_FALSE(a.Selected() || stay.Selected());

  // Cut takes the selection away; what was cut pastes again.
  w.Action(TMenuItem::Cut)->trigger();
  EXPECT_EQ(Band(2).Objects().size(), 1u);
  w.Action(TMenuItem::Paste)->trigger();
  EXPECT_EQ(Band(2).Objects().size(), 3u);
}

TEST_F(DesignWindowTest, ContextMenuTogglesFrameStretchAndTransparencyAndOrder) {
  TZdqLabel& a = AddLabel(1, 10, 10, 30, 10);
  TZdqLabel& b = AddLabel(1, 50, 10, 30, 10);
  TfrmReportDesigner& w = Open();
  designer.AddSelected(&a);
  designer.AddSelected(&b);
  w.PrepareContextMenu(a);
  EXPECT_FALSE(w.Action(TMenuItem::FrameLeft)->isChecked());
  EXPECT_TRUE(w.Action(TMenuItem::EditProperties)->isEnabled());
  w.Action(TMenuItem::FrameLeft)->trigger();
  EXPECT_TRUE(a.Frame().FrameType().Has(ftLeft) && b.Frame().FrameType().Has(ftLeft));
  w.PrepareContextMenu(a);
  EXPECT_TRUE(w.Action(TMenuItem::FrameLeft)->isChecked());
  w.Action(TMenuItem::Transparent)->trigger();
  EXPECT_FALSE(a.Transparent());
  designer.SelectElements(1);
  designer.AddSelected(&b);
  w.Action(TMenuItem::SendToBack)->trigger();
  EXPECT_EQ(Band(1).Objects(), (std::vector<TZdqControl*>{&b, &a}));
  w.Action(TMenuItem::BringToFront)->trigger();
  EXPECT_EQ(Band(1).Objects(), (std::vector<TZdqControl*>{&a, &b}));

  designer.SelectElements(1);
  designer.AddSelected(&Band(1));
  w.PrepareContextMenu(Band(1));
  EXPECT_TRUE(w.Action(TMenuItem::Stretch)->isEnabled());
  w.Action(TMenuItem::Stretch)->trigger();
  EXPECT_TRUE(Band(1).Stretch());
  // Selection commands through their shortcuts.
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(designer.SelectedCount(), 2);
  QTest::keyClick(window.get(), Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(designer.SelectedCount(), 0);
}

TEST_F(DesignWindowTest, FormattingButtonsShowTheFirstSelectedAndSetEverySelected) {
  TZdqLabel& a = AddLabel(1, 10, 10, 30, 10);
  TZdqLabel& b = AddLabel(2, 50, 10, 30, 10);
  a.Font().Edit().Style.Set(fsItalic);
  a.SetAlignment(TAlignment::taCenter);
  a.Frame().SetDrawBottom(true);
  TfrmReportDesigner& w = Open();
  EXPECT_FALSE(w.actFontStyle[0]->isEnabled());
  designer.AddSelected(&a);
  designer.AddSelected(&b);
  EXPECT_FALSE(w.actFontStyle[0]->isChecked());
  EXPECT_TRUE(w.actFontStyle[1]->isChecked());
  EXPECT_TRUE(w.actJustify[1]->isChecked());
  EXPECT_TRUE(w.actFrameSide[2]->isChecked());
  EXPECT_FALSE(w.actFrameSide[0]->isChecked());
  EXPECT_EQ(w.statusBar()->findChildren<QLabel*>().front()->text(), "(L:10,T:10),(W:30,H:10)");

  w.actFontStyle[0]->trigger();  // bold on, for both
  w.actJustify[2]->trigger();
  w.actFrameSide[0]->trigger();
  for (TZdqLabel* label : {&a, &b}) {
    EXPECT_TRUE(label->Font().Value().Style.Has(fsBold));
    EXPECT_EQ(label->Alignment(), TAlignment::taRightJustify);
    EXPECT_TRUE(label->Frame().FrameType().Has(ftTop));
  }
  EXPECT_TRUE(a.Font().Value().Style.Has(fsItalic));  // the other styles stay
  EXPECT_FALSE(b.Font().Value().Style.Has(fsItalic));
  w.actUndo->trigger();
  EXPECT_FALSE(report->Bands()[2]->Objects()[0]->Frame().FrameType().Has(ftTop));
}

TEST_F(DesignWindowTest, PickersShowTheFirstSelectedAndEachChangeIsOneUndoStep) {
  TZdqLabel& a = AddLabel(1, 10, 10, 30, 10);
  TZdqLabel& b = AddLabel(2, 50, 10, 30, 10);
  a.SetBackColor(clYellow);
  a.Frame().SetStyle(TPenStyle::psDot);
  TfrmReportDesigner& w = Open();
  EXPECT_FALSE(w.cbPenStyle->isEnabled());
  ASSERT_GT(w.cbFontName->count(), 1);
  const std::string family = w.cbFontName->itemText(1).toLower().toStdString();  // listed, in other case
  a.Font().Edit().Name = family;
  designer.AddSelected(&a);
  designer.AddSelected(&b);
  EXPECT_EQ(w.btnBackColor->Color(), clYellow);
  EXPECT_EQ(w.cbPenStyle->PenStyle(), TPenStyle::psDot);
  EXPECT_EQ(w.cbFontName->FontName(), w.cbFontName->itemText(1).toStdString());
  EXPECT_EQ(a.Font().Name(), family);  // showing is no edit

  w.cbPenStyle->SetPenStyle(TPenStyle::psDash);  // as picked from the list
  w.btnFontColor->SetColor(clRed);               // as picked from the palette
  for (TZdqLabel* label : {&a, &b}) {
    EXPECT_EQ(label->Frame().Style(), TPenStyle::psDash);
    EXPECT_EQ(label->Font().Color(), clRed);
  }

  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  const TZdqControl& undone = *Band(2).Objects()[0];
  EXPECT_EQ(undone.Font().Color(), clBlack);
  EXPECT_EQ(undone.Frame().Style(), TPenStyle::psDash);
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Band(2).Objects()[0]->Frame().Style(), TPenStyle::psSolid);
}

TEST_F(DesignWindowTest, StyleListsNameTheStylesInTheReportsLanguage) {
  report->Language().SetLanguageID(TZdqLangID::lnGerman);
  TfrmReportDesigner& w = Open();
  EXPECT_EQ(w.cbBrushStyle->itemText(0), "Durchgezogen");
  EXPECT_EQ(w.cbBrushStyle->itemText(1), "Keine");
  EXPECT_EQ(w.cbBrushStyle->itemText(2), "Waagerecht");
  EXPECT_EQ(w.cbBrushStyle->itemText(6), "Kreuz");
  EXPECT_EQ(w.cbPenStyle->itemText(1), "Gestrichelt");
}

TEST_F(DesignWindowTest, RulersFollowThePointerAndTakeOnlyConfirmedOptions) {
  report->PrinterSetting().Margins().SetLeft(254);  // an inch
  report->PrinterSetting().Margins().SetRight(127);
  TfrmReportDesigner& w = Open();
  TZdRuler& top = *w.ZdRulerUp;
  EXPECT_EQ(top.MarginStart(), 96);
  EXPECT_EQ(top.MarginEnd(), 48);
  EXPECT_EQ(top.width(), 96 + Surface().BandWidth() + 48);
  MoveTo(At(Band(1), 30, 40));
  EXPECT_EQ(Surface().BandRuler(Band(1))->Position(), Surface().TitleHeight() + 40);
  EXPECT_EQ(top.Position(), 96 + 30);

  auto answerOptions = [](bool confirm) {
    test::WhenModal<TfrmLayout>([confirm](TfrmLayout* dialog) {
      dialog->cbColor->SetColorValue(clWhite);
      dialog->rbMeasure[1]->setChecked(true);  // inches
      dialog->chkToolbars[size_t(TZdqDToolbar::rtFont)]->setChecked(false);
      QTest::mouseClick(confirm ? dialog->btnOK : dialog->btnCancel, Qt::LeftButton);
    });
  };
  const TZdqDOptions before = designer.Options;
  QToolBar* fontBar = w.findChild<QToolBar*>("tbFont");
  ASSERT_TRUE(w.actOptions->isEnabled());
  answerOptions(false);
  w.actOptions->trigger();
  EXPECT_EQ(designer.Options, before);
  EXPECT_EQ(top.Measure(), TZdMeasure::zdmCentimetre);
  EXPECT_EQ(top.MarginColor(), cl3DLight);
  EXPECT_EQ(Surface().SplitterColor(), TColor(0xC0C0C0));
  EXPECT_TRUE(fontBar->isVisible());

  answerOptions(true);
  w.actOptions->trigger();
  EXPECT_EQ(designer.Options.Color, clWhite);
  EXPECT_FALSE(fontBar->isVisible());
  EXPECT_EQ(Surface().SplitterColor(), clWhite);
  w.AddBand(TBandType::btReportSummary);  // a band added later gets the same ruler
  for (TZdRuler* ruler : {&top, Surface().BandRuler(Band(0)), Surface().BandRuler(*report->Bands().back())}) {
    EXPECT_EQ(ruler->Measure(), TZdMeasure::zdmInch);
    EXPECT_EQ(ruler->Color(), clWhite);
    EXPECT_EQ(ruler->MarginColor(), clBlack);
    EXPECT_EQ(ruler->PositionColor(), clBlack);
  }
}

TEST_F(DesignWindowTest, UnsavedEditsAreKeptForRecoveryAndOfferedBack) {
  const fs::path dir = UniqueTempPath("designer-recovery");
  fs::create_directories(dir);
  const QString recovery = QString::fromStdString((dir / "recovery.zdq").string());
  {
    TfrmReportDesigner& w = Open();
    w.SetRecoveryFileName(recovery);
    w.WriteRecovery();
    EXPECT_FALSE(QFile::exists(recovery));  // nothing unsaved
    w.AddBand(TBandType::btReportTitle);
    w.WriteRecovery();
    ASSERT_TRUE(QFile::exists(recovery));
    ASSERT_TRUE(w.SaveFile(QString::fromStdString((dir / "saved.zdq").string())));
    EXPECT_FALSE(QFile::exists(recovery));  // saved: nothing to recover
    w.AddBand(TBandType::btReportSummary);
    w.WriteRecovery();
    // A crash leaves the file behind; a closed window would remove it.
    QFile::copy(recovery, recovery + ".kept");
  }
  window.reset();
  QFile::rename(recovery + ".kept", recovery);
  report->NewReport();
  TfrmReportDesigner& w = Open();
  w.SetRecoveryFileName(recovery);
  test::WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
  w.OfferRecovery();
  EXPECT_EQ(report->Bands().size(), 5u);
  EXPECT_EQ(report->Bands().back()->BandType(), TBandType::btReportSummary);
  EXPECT_FALSE(QFile::exists(recovery));
  w.actUndo->trigger();  // the restored report is one step
  EXPECT_EQ(report->Bands().size(), 3u);
  fs::remove_all(dir);
}

TEST_F(DesignWindowTest, UndoAndRedoWalkBackAndForthThroughEveryKindOfEdit) {
  TZdqLabel& label = AddLabel(1, 40, 20, 50, 20);
  TfrmReportDesigner& w = Open();
  EXPECT_FALSE(w.actUndo->isEnabled());
  std::vector<TBytes> states{SaveReportToBytes(*report)};
  auto step = [&] {
    states.push_back(SaveReportToBytes(*report));
    ASSERT_NE(states.back(), states[states.size() - 2]) << "the edit changed nothing";
  };
  Drag(At(label, 10, 5), At(label, 30, 15));  // move
  step();
  Key(Qt::Key_Right, Qt::ShiftModifier);  // resize
  step();
  w.Action(TMenuItem::Copy)->trigger();
  w.Action(TMenuItem::Paste)->trigger();  // paste
  step();
  w.ToolAction(2)->trigger();  // insert
  Press(At(Band(0), 10, 10));
  Release(At(Band(0), 10, 10));
  step();
  w.DeleteSelection();  // delete
  step();
  w.AddBand(TBandType::btReportSummary);  // band
  step();
  designer.SelectElements(0);
  SetPublished(*designer.GetSelected(0), "Transparent", false);  // a property set by another tool
  QApplication::processEvents();
  step();

  for (size_t i = states.size() - 1; i > 0; --i) {
    ASSERT_TRUE(w.actUndo->isEnabled());
    w.actUndo->trigger();
    EXPECT_EQ(AsText(SaveReportToBytes(*report)), AsText(states[i - 1])) << "undo to step " << i - 1;
  }
  EXPECT_FALSE(w.actUndo->isEnabled());
  EXPECT_EQ(Band(1).Objects().size(), 1u);
  for (size_t i = 1; i < states.size(); ++i) {
    ASSERT_TRUE(w.actRedo->isEnabled());
    w.actRedo->trigger();
    EXPECT_EQ(SaveReportToBytes(*report), states[i]) << "redo to step " << i;
  }
  EXPECT_FALSE(w.actRedo->isEnabled());
  // A new edit after an undo drops what could have been redone.
  w.actUndo->trigger();
  Key(Qt::Key_A, Qt::ControlModifier);
  designer.SelectElements(0);
  Key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_FALSE(w.actRedo->isEnabled());
  // Undo shortcut of the window.
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(SaveReportToBytes(*report), states[states.size() - 2]);
}

TEST_F(DesignWindowTest, SavingKeepsABackupOfTheFileItReplaces) {
  const fs::path dir = UniqueTempPath("designer-save");
  fs::create_directories(dir);
  const fs::path file = dir / "Report.zdq", backup = dir / "Report.~zdq";
  TfrmReportDesigner& w = Open();
  ASSERT_TRUE(w.SaveFile(QString::fromStdString(file.string())));
  EXPECT_FALSE(fs::exists(backup));  // nothing to back up yet
  const std::string first = ReadAll(file);
  w.AddBand(TBandType::btReportTitle);
  ASSERT_TRUE(w.SaveFile(QString::fromStdString(file.string())));
  EXPECT_EQ(ReadAll(backup), first);
  EXPECT_NE(ReadAll(file), first);

  designer.Options.CreateBackup = false;
  fs::remove(backup);
  w.AddBand(TBandType::btReportSummary);
  ASSERT_TRUE(w.SaveFile(QString::fromStdString(file.string())));
  EXPECT_FALSE(fs::exists(backup));
  // Opening reads the file back; a file that cannot be read changes nothing.
  w.NewReport();
  ASSERT_EQ(report->Bands().size(), 3u);
  ASSERT_TRUE(w.OpenFile(QString::fromStdString(file.string())));
  EXPECT_EQ(report->Bands().size(), 5u);
  fs::remove_all(dir);
}

TEST_F(DesignWindowTest, PreviewPreparesTheReportAsEditedAndLeavesItInDesign) {
  auto* rows = new TMemoryDataSet(&root);
  rows->SetName("Rows");
  rows->AddField("n", TFieldType::ftInteger);
  for (int i = 0; i < 200; ++i) rows->AppendRecord({i});
  rows->Open();
  report->SetDataSet(rows);
  report->SetAnimatedStatus(false);
  AddLabel(1, 10, 10, 30, 10);
  TfrmReportDesigner& w = Open();
  QTimer::singleShot(500, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ADD_FAILURE() << box->text().toStdString();
      box->close();
    }
  });
  w.actPreview->trigger();
  const int pages = report->GetNumPages();
  EXPECT_GT(pages, 1);
  EXPECT_EQ(report->ReportState, TZdReportState::rsDesign);
  // Taller details take more pages.
  designer.AddSelected(&Band(1));
  SetPublished(Band(1), "Height", 300);
  w.actPreview->trigger();
  EXPECT_GT(report->GetNumPages(), pages * 2);
}

TEST(DesignerSettings, OptionsRoundTripAndMissingOrBadValuesChangeNothing) {
  ensureDesignerApp();
  OpenDesignerSettings()->remove("");
  TZdqDOptions changed;
  changed.DisplayGrid = false;
  changed.SnapToGrid = true;
  changed.GridSizeX = 10;
  changed.GridSizeY = 5;
  changed.ShowBandTitle = true;
  changed.Flat = false;
  changed.CreateBackup = false;
  changed.ShowExplorer = true;
  changed.ShowInspector = false;
  changed.Toolbars.Set(TZdqDToolbar::rtFont, false);
  changed.Color = 0x123456;
  TZdqDOptions untouched = changed;
  LoadDesignerOptions(untouched);  // nothing stored yet
  EXPECT_EQ(untouched, changed);

  SaveDesignerOptions(changed, "ZdReport 0.1");
  TZdqDOptions loaded;
  LoadDesignerOptions(loaded);
  EXPECT_EQ(loaded, changed);
  EXPECT_EQ(OpenDesignerSettings()->value("Version").toString(), "ZdReport 0.1");
  EXPECT_EQ(OpenDesignerSettings()->value("Toolbars").toUInt(), 0x1du);

  OpenDesignerSettings()->setValue("GridSizeX", 0);
  LoadDesignerOptions(loaded);
  EXPECT_EQ(loaded.GridSizeX, 10);
  OpenDesignerSettings()->remove("");
}

TEST_F(DesignWindowTest, ATemplateEditedHereRendersWithTheEdits) {
  const fs::path dir = UniqueTempPath("designer-render");
  fs::create_directories(dir);
  LoadReportForDesign(*report, kTemplate);
  TfrmReportDesigner& w = Open();
  TZdqControl* total = nullptr;
  for (TZdqControl* c : report->Bands()[4]->Objects())
    if (c->DisplayName() == "Country total") total = c;
  ASSERT_NE(total, nullptr);
  Press(At(*total, 3, 3));
  Release(At(*total, 3, 3));
  Key(Qt::Key_Delete);
  w.DeleteSelection();  // the key's action, should the window not be active
  const std::string edited = (dir / "edited.zdq").string(), text = (dir / "out.txt").string();
  ASSERT_TRUE(w.SaveFile(QString::fromStdString(edited)));
  const ToolRun run = Zdreport({"render", edited, "--data", kData, "--sql", kOrderedLines, "-o", text});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string out = ReadAll(text);
  EXPECT_NE(out.find("Grand total"), std::string::npos);
  EXPECT_EQ(out.find("Country total"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zd::test
