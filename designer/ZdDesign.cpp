#include "designer/ZdDesign.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QSaveFile>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "designer/DesignClipboard.h"
#include "designer/DesignEdits.h"
#include "designer/DesignSurface.h"
#include "designer/DesignerIcons.h"
#include "designer/DesignTemplates.h"
#include "designer/DesignerSettings.h"
#include "designer/GroupsDialog.h"
#include "designer/LayoutDialog.h"
#include "designer/ReportExplorer.h"
#include "designer/ReportSettingsDialog.h"
#include "designer/ZdqDialogs.h"
#include "designer/ZdqEdit.h"
#include "designer/ZdqOI.h"
#include "designer/ZdqWizard.h"
#include "designer/controls/ColorButton.h"
#include "designer/controls/ControlColors.h"
#include "designer/controls/ZdBrushPenStyleCombo.h"
#include "designer/controls/ZdFontCombos.h"
#include "designer/DesignerText.h"
#include "host/core/Properties.h"
#include "host/graphics/QtGraphics.h"
#include "preview/PreviewIcons.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "print/ZdPrntr.h"
#include "report/ZdInitialize.h"
#include "report/model/ControlRegistry.h"
#include "report/template/Template.h"

namespace zd {

namespace {

constexpr int kRecoveryIntervalMs = 60 * 1000;
constexpr int kInspectorWidth = 330;  // pixels of the docked object inspector when first shown

// "Text (*.x)|*.x|All (*.*)|*.*" as a Qt file-dialog filter.
QString QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|', Qt::SkipEmptyParts);
  QStringList out;
  for (int i = 0; i < parts.size(); i += 2) out << parts[i];
  return out.join(";;");
}

QString WithExtension(QString name) {
  if (QFileInfo(name).suffix().isEmpty()) name += ".zdq";
  return name;
}

// Toggles a published Boolean; false when the class has no such property.
bool ToggleBoolean(TZdqControl& control, const std::string& name) {
  const TClassProperties* props = control.PublishedProperties();
  const TPropertyInfo* prop = props ? props->Find(name) : nullptr;
  if (!prop) return false;
  prop->SetOrdinal(control, !prop->GetOrdinal(control));
  return true;
}

bool HasBoolean(const TZdqControl& control, const std::string& name, bool& value) {
  const TClassProperties* props = control.PublishedProperties();
  const TPropertyInfo* prop = props ? props->Find(name) : nullptr;
  if (!prop) return false;
  value = prop->GetOrdinal(control) != 0;
  return true;
}

}  // namespace

TfrmReportDesigner::TfrmReportDesigner(TZdqDesigner& designer, QWidget* parent)
    : QMainWindow(parent), designer_(designer), report_(*designer.Report()), history_(report_) {
  const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  recoveryFile_ = QDir(dataDir.isEmpty() ? QDir::tempPath() : dataDir).filePath("designer-recovery.zdq");
  ZdInitialize();  // the palette offers every control class, the barcode's included
  setWindowTitle(text(txt::DesignerCaption));
  surface_ = new TDesignSurface(designer_);
  scroll_ = new QScrollArea;
  scroll_->setWidget(surface_);
  scroll_->setBackgroundRole(QPalette::Dark);
  scroll_->setFrameShape(QFrame::NoFrame);  // the top ruler lines up with the bands
  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(buildTopRuler());
  column->addWidget(scroll_);
  setCentralWidget(central);
  selectionStatus_ = new QLabel;
  pointerStatus_ = new QLabel;
  statusBar()->addWidget(selectionStatus_, 1);
  statusBar()->addWidget(pointerStatus_, 1);
  buildActions();
  buildInspector();
  buildToolBars();
  buildContextMenu();

  surface_->OnEdited = [this] { CommitEdit(); };
  surface_->OnPointerStatus = [this](const QString& s) { pointerStatus_->setText(s); };
  surface_->OnDoubleClick = [this](TZdqControl& subject) { EditProperties(subject); };
  surface_->OnToolReset = [this] { ToolAction(0)->setChecked(true); };
  surface_->OnPointerX = [this](int x) { ZdRulerUp->SetPosition(ZdRulerUp->MarginStart() + x); };
  surface_->OnLaidOut = [this] { placeTopRuler(); };
  connect(scroll_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeTopRuler(); });
  placeTopRuler();
  surface_->OnContextMenu = [this](TZdqControl& subject, const QPoint& at) {
    PrepareContextMenu(subject);
    contextMenu_->popup(at);
  };
  designer_.OnSelectedChange = [this] { selectionChanged(); };
  report_.OnDesignerMessage = [this](TZdqControl&, int, intptr_t, intptr_t) { surface_->update(); };
  // Edits made by anything but this window's own commands (a property
  // dialog) become one undo step once the event that made them is over.
  history_.OnEdited = [this] {
    if (commitQueued_ || surface_->Dragging()) return;
    commitQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      commitQueued_ = false;
      CommitEdit();
    });
  };
  auto* autosave = new QTimer(this);
  connect(autosave, &QTimer::timeout, this, &TfrmReportDesigner::WriteRecovery);
  autosave->start(kRecoveryIntervalMs);
  resize(900, 700);
  selectionChanged();
  // Laying the bands out asks the paper size, which a report without one
  // takes from the printer then: that is where undo starts.
  history_.Reset();
  CommitEdit();
}

TfrmReportDesigner::~TfrmReportDesigner() {
  report_.OnDesignerMessage = nullptr;
  designer_.OnSelectedChange = nullptr;
  // A clean close leaves nothing to recover.
  QFile::remove(RecoveryFileName());
}

QString TfrmReportDesigner::text(int id) const { return DesignerText(report_.GetLanguageShift(), id); }

// ---- building ----

void TfrmReportDesigner::buildActions() {
  auto make = [this](const QString& caption, const QKeySequence& shortcut, auto slot) {
    QAction* a = new QAction(caption, this);
    a->setToolTip(caption);
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    addAction(a);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  actNew = make(text(txt::HintNewReport), {}, [this] { NewReport(); });
  actOpen = make(text(txt::HintOpen), QKeySequence::Open, [this] {
    const QString name = QFileDialog::getOpenFileName(this, text(txt::OpenTemplateTitle),
                                                      QString::fromStdString(report_.GetFileName()),
                                                      QtFilter(GetString(report_.GetLanguageShift(), txt::TemplateFilter)));
    if (!name.isEmpty()) OpenFile(name);
  });
  actSave = make(text(txt::HintSave), {}, [this] {
    const std::string filter = GetString(report_.GetLanguageShift(), txt::TemplateFilter) + "|" +
                               GetString(report_.GetLanguageShift(), txt::AllFilesFilter);
    const QString name = QFileDialog::getSaveFileName(this, text(txt::SaveTemplateTitle),
                                                      QString::fromStdString(report_.GetFileName()), QtFilter(filter));
    if (!name.isEmpty()) SaveFile(WithExtension(name));
  });
  actPreview = make(text(txt::HintPreview), {}, [this] {
    try {
      report_.Preview();
    } catch (const std::exception& e) {
      QMessageBox::critical(this, text(txt::ErrorCaption), QString::fromStdString(e.what()));
    }
    report_.ReportState = TZdReportState::rsDesign;
  });
  actPrint = make(text(txt::HintPrint), {}, [this] {
    try {
      report_.Print();
    } catch (const std::exception& e) {
      QMessageBox::critical(this, text(txt::ErrorCaption), QString::fromStdString(e.what()));
    }
    report_.ReportState = TZdReportState::rsDesign;
  });
  actNew->setIcon(DesignIcon(TDesignIcon::New));
  actOpen->setIcon(DesignIcon(TDesignIcon::Open));
  actSave->setIcon(DesignIcon(TDesignIcon::Save));
  actPreview->setIcon(DesignIcon(TDesignIcon::Preview));
  actPrint->setIcon(ToolIcon(TToolIcon::Print));
  actUndo = make(text(txt::HintUndo), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { Undo(); });
  actRedo = make(text(txt::HintRedo), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { Redo(); });
  actUndo->setIcon(DesignIcon(TDesignIcon::Undo));
  actRedo->setIcon(DesignIcon(TDesignIcon::Redo));
  actOptions = make(text(txt::HintOptions), {}, [this] { EditOptions(); });
  actOptions->setIcon(DesignIcon(TDesignIcon::Options));
  actNewBand = new QAction(DesignIcon(TDesignIcon::AddBand), text(txt::HintAddBand), this);
  auto* bandMenu = new QMenu(this);
  for (int t = int(TBandType::btReportTitle); t <= int(TBandType::btSubDetail); ++t) {
    if (TBandType(t) == TBandType::btGroupHeader || TBandType(t) == TBandType::btGroupFooter) continue;  // the groups dialog's
    bandMenu->addAction(QString::fromStdString(BandTypeNameText(report_.GetLanguageShift(), TBandType(t))), this,
                        [this, t] { AddBand(TBandType(t)); });
  }
  actNewBand->setMenu(bandMenu);
  for (int i = 0; i < kAlignCommandCount; ++i) {
    align_[size_t(i)] = make(text(txt::AlignCommands + i), {}, [this, i] { Align(TAlignCommand(i)); });
    align_[size_t(i)]->setIcon(AlignIcon(TAlignCommand(i)));
  }
}

QAction* TfrmReportDesigner::ToolAction(int tool) const {
  const auto actions = tools_->actions();
  const int index = tool == 0 ? 0 : tool - 1;
  return index >= 0 && index < actions.size() ? actions[index] : nullptr;
}

void TfrmReportDesigner::buildToolBars() {
  auto bar = [this](const char* name, TZdqDToolbar kind) {
    QToolBar* b = addToolBar(name);
    b->setObjectName(name);
    toolBars_[size_t(kind)] = b;
    return b;
  };
  QToolBar* standard = bar("tbStandard", TZdqDToolbar::rtStandard);
  standard->addActions({actNew, actOpen, actSave});
  standard->addSeparator();
  standard->addActions({actPreview, actPrint});
  standard->addSeparator();
  standard->addActions({actUndo, actRedo, actNewBand});
  standard->addSeparator();
  standard->addAction(actOptions);
  standard->addAction(actInspector);
  actExplorer = standard->addAction(DesignIcon(TDesignIcon::Explorer), text(txt::HintExplorer));
  actExplorer->setCheckable(true);
  connect(actExplorer, &QAction::triggered, this, &TfrmReportDesigner::ToggleExplorer);
  actWizard = standard->addAction(DesignIcon(TDesignIcon::Wizard), text(txt::HintWizard));
  connect(actWizard, &QAction::triggered, this, [this] { btnWizardReportClick(); });
  actReportSettings = standard->addAction(DesignIcon(TDesignIcon::ReportSettings), text(txt::HintReportSettings));
  connect(actReportSettings, &QAction::triggered, this, &TfrmReportDesigner::EditReportSettings);
  actGroups = standard->addAction(DesignIcon(TDesignIcon::Groups), text(txt::HintGroups));
  connect(actGroups, &QAction::triggered, this, &TfrmReportDesigner::EditReportGroups);

  QToolBar* elements = bar("tbElements", TZdqDToolbar::rtElement);
  tools_ = new QActionGroup(this);
  auto addTool = [this, elements](const QIcon& icon, const QString& caption, int tool) {
    QAction* a = elements->addAction(icon, caption);
    a->setCheckable(true);
    tools_->addAction(a);
    connect(a, &QAction::triggered, this, [this, tool] { designer_.Options.Tool = tool; });
  };
  addTool(DesignIcon(TDesignIcon::Arrow), text(txt::HintSelectTool), 0);
  const auto& classes = lstZdqControls();
  for (size_t i = 0; i < classes.size(); ++i)
    addTool(ControlClassIcon(classes[i].ControlClassName),
            QString::fromStdString(ZdqControlCaption(classes[i], report_.GetLanguageShift())), int(i) + 2);
  ToolAction(0)->setChecked(true);

  addToolBarBreak();
  QToolBar* alignment = bar("tbAlignment", TZdqDToolbar::rtAlignment);
  for (QAction* a : align_) alignment->addAction(a);
  QToolBar* font = bar("tbFont", TZdqDToolbar::rtFont);
  const char* styleLetters[3] = {"B", "I", "U"};
  for (int i = 0; i < 3; ++i) {
    const int bit = 1 << i;  // fsBold, fsItalic, fsUnderline
    actFontStyle[size_t(i)] = font->addAction(styleLetters[i], this, [this, bit](bool on) { setFontStyle(bit, on); });
    actFontStyle[size_t(i)]->setCheckable(true);
  }
  QFont letters = font->font();
  letters.setBold(true);
  actFontStyle[0]->setFont(letters);
  font->addSeparator();
  const TAlignment justify[3] = {TAlignment::taLeftJustify, TAlignment::taCenter, TAlignment::taRightJustify};
  const char* justifyMarks[3] = {"\u2261\u2190", "\u2261", "\u2192\u2261"};
  auto* justifyGroup = new QActionGroup(this);
  for (int i = 0; i < 3; ++i) {
    const TAlignment a = justify[i];
    actJustify[size_t(i)] = font->addAction(QString::fromUtf8(justifyMarks[i]), this, [this, a] { setAlignment(a); });
    actJustify[size_t(i)]->setCheckable(true);
    justifyGroup->addAction(actJustify[size_t(i)]);
  }
  addToolBarBreak();  // the pickers make the formatting bars too wide for one row
  QToolBar* frame = bar("tbFrame", TZdqDToolbar::rtFrame);
  const std::pair<int, int> sides[4] = {{ftTop, txt::HintFrameTop}, {ftLeft, txt::HintFrameLeft},
                                        {ftBottom, txt::HintFrameBottom}, {ftRight, txt::HintFrameRight}};
  const char* sideMarks[4] = {"\u2594", "\u258F", "\u2581", "\u2595"};
  for (int i = 0; i < 4; ++i) {
    const int bit = sides[i].first;
    actFrameSide[size_t(i)] = frame->addAction(QString::fromUtf8(sideMarks[i]), this, [this, bit](bool on) { setFrameSide(bit, on); });
    actFrameSide[size_t(i)]->setToolTip(text(sides[i].second));
    actFrameSide[size_t(i)]->setCheckable(true);
  }
  buildPickers(font, frame);
  applyToolBarOptions();
}

void TfrmReportDesigner::buildInspector() {
  inspector_ = new TfrmZdqOI(report_);
  dockInspector = new QDockWidget(inspector_->windowTitle(), this);
  dockInspector->setObjectName("dockInspector");
  dockInspector->setWidget(inspector_);
  addDockWidget(Qt::RightDockWidgetArea, dockInspector);
  dockInspector->hide();
  actInspector = dockInspector->toggleViewAction();
  actInspector->setIcon(DesignIcon(TDesignIcon::Inspector));
  actInspector->setToolTip(text(txt::HintInspector));
  // The inspector follows the first selected element; choosing a band or
  // control in its list selects that element here.
  inspector_->OnSelect = [this](TComponent& chosen) {
    auto* element = dynamic_cast<TZdqControl*>(&chosen);
    if (!element || element->Selected()) return;
    designer_.ClearSelected();
    designer_.AddSelected(element);
  };
  // Elements may have gone or been rebuilt since the inspector was filled:
  // it finds its place again before it shows anything.
  auto follow = [this] {
    if (!dockInspector->isVisible()) return;
    inspector_->Refresh();
    if (TZdqControl* first = designer_.GetSelected(0)) inspector_->SelectComponent(first);
  };
  AddSelectionListener(follow);
  AddReportListener(follow);
  connect(dockInspector, &QDockWidget::visibilityChanged, this, follow);
  // Docks share the room evenly with the bands; the inspector's two columns need less.
  connect(dockInspector, &QDockWidget::visibilityChanged, this, [this, sized = false](bool visible) mutable {
    if (!visible || sized) return;
    sized = true;
    // Once the dock has been laid out: before, the size would be overridden.
    QTimer::singleShot(0, this, [this] { resizeDocks({dockInspector}, {kInspectorWidth}, Qt::Horizontal); });
  });
}

void TfrmReportDesigner::buildPickers(QToolBar* font, QToolBar* frame) {
  auto colorButton = [this](TColorType type, TColor initial, const char* property, auto partOf) {
    auto* button = new TColorButton;
    button->SetColorType(type);
    button->SetColor(initial);
    auto apply = [this, button, property, partOf] {
      editSelection([&](TZdqControl& c) { SetPublished(partOf(c), property, int64_t(button->Color())); });
    };
    button->OnClick = [apply](TColorButton*) { apply(); };
    button->OnChange = [apply](TZdCustomColorBtn*) { apply(); };  // a colour picked from the palette
    return button;
  };
  auto control = [](TZdqControl& c) -> TPersistent& { return c; };
  auto controlFrame = [](TZdqControl& c) -> TPersistent& { return c.Frame(); };
  auto controlFont = [](TZdqControl& c) -> TPersistent& { return c.Font(); };
  btnBackColor = colorButton(TColorType::ctcFill, clWhite, "BackColor", control);
  btnFrameColor = colorButton(TColorType::ctcLine, clBlack, "Color", controlFrame);
  btnFontColor = colorButton(TColorType::ctcText, clBlack, "Color", controlFont);

  cbFontName = new TZdFontNamesCombo;
  cbFontSize = new TZdFontSizesCombo;
  cbFontName->SetDevice(TZdFontDevice::fdBoth);
  cbFontName->SetFontSizesCombo(cbFontSize);
  cbFontName->setFixedWidth(160);
  cbFontName->OnChange = [this](TZdFontNamesCombo* sender) {
    const std::string name = sender->FontName();
    if (!name.empty()) editSelection([&](TZdqControl& c) { SetPublished(c.Font(), "Name", name); });
  };
  cbFontSize->OnChange = [this](TZdFontSizesCombo* sender) {
    const int size = sender->FontSize();
    if (size > 0) editSelection([&](TZdqControl& c) { SetPublished(c.Font(), "Size", size); });
  };

  cbBrushStyle = new TZdBrushPenStyleCombo;
  cbBrushStyle->SetBrushPenMode(TZdBrushPenMode::bpmBrush);
  cbBrushStyle->SetShowNames(true);
  cbBrushStyle->OnChange = [this](TZdBrushPenStyleCombo* sender) {
    editSelection([&](TZdqControl& c) { SetPublished(c, "BrushStyle", int(sender->BrushStyle())); });
  };
  cbPenStyle = new TZdBrushPenStyleCombo;
  cbPenStyle->SetBrushPenMode(TZdBrushPenMode::bpmPen);
  cbPenStyle->SetShowNames(false);
  cbPenStyle->OnChange = [this](TZdBrushPenStyleCombo* sender) {
    editSelection([&](TZdqControl& c) { SetPublished(c.Frame(), "Style", int(sender->PenStyle())); });
  };
  // Style names in the report's language, by style ordinal.
  auto name = [this](int id) { return text(id).toStdString(); };
  const int clear = txt::PenStyleNames + int(TPenStyle::psClear);
  std::vector<std::string> brushNames{name(txt::PenStyleNames), name(clear)};
  for (int i = 0; i < 5; ++i) brushNames.push_back(name(txt::BrushHatchNames + i));
  cbBrushStyle->SetBrushNames(brushNames);
  std::vector<std::string> penNames;
  for (int i = 0; i <= int(TPenStyle::psClear); ++i) penNames.push_back(name(txt::PenStyleNames + i));
  cbPenStyle->SetPenNames(penNames);

  font->addSeparator();
  font->addWidget(cbFontName);
  font->addWidget(cbFontSize);
  font->addWidget(btnFontColor);
  frame->addSeparator();
  frame->addWidget(btnFrameColor);
  frame->addWidget(cbPenStyle);
  frame->addWidget(btnBackColor);
  frame->addWidget(cbBrushStyle);
}

void TfrmReportDesigner::applyToolBarOptions() {
  const TZdqDOptions& o = designer_.Options;
  for (size_t i = 0; i < toolBars_.size(); ++i) {
    toolBars_[i]->setVisible(o.Toolbars.Has(TZdqDToolbar(i)));
    toolBars_[i]->setStyleSheet(o.Flat ? QString() : "QToolButton { border: 1px outset gray; }");
  }
  for (TColorButton* b : {btnBackColor, btnFrameColor, btnFontColor}) b->SetFlat(o.Flat);
}

QWidget* TfrmReportDesigner::buildTopRuler() {
  constexpr int kHeight = 25;
  // The ruler is as wide as the page and slides with the bands' horizontal scrolling.
  auto* holder = new QWidget;
  holder->setFixedHeight(kHeight);
  holder->setBackgroundRole(QPalette::Dark);
  holder->setAutoFillBackground(true);
  ZdRulerUp = new TZdRuler(holder);
  ZdRulerUp->setObjectName("ZdRulerUp");
  ZdRulerUp->SetDirection(TZdDirection::zddHorizontalUp);
  ZdRulerUp->SetMeasure(TZdMeasure::zdmCentimetre);
  ZdRulerUp->SetMarginStart(20);
  ZdRulerUp->SetMarginEnd(0);
  ZdRulerUp->SetMarginColor(cl3DLight);
  ZdRulerUp->SetPositionColor(clWhite);
  ZdRulerUp->SetPositionStep(1);
  ZdRulerUp->resize(ZdRulerUp->width(), kHeight);
  return holder;
}

void TfrmReportDesigner::placeTopRuler() {
  const TZdqPageMargins& margins = report_.PrinterSetting().Margins();
  const int left = TenthsMmToPageUnits(margins.Left()), right = TenthsMmToPageUnits(margins.Right());
  ZdRulerUp->SetMarginStart(left);
  ZdRulerUp->SetMarginEnd(right);
  // The left margin ends where the bands begin.
  const int x = TDesignSurface::kRulerWidth - left - scroll_->horizontalScrollBar()->value();
  ZdRulerUp->setGeometry(x, 0, left + surface_->BandWidth() + right, ZdRulerUp->height());
}

QAction* TfrmReportDesigner::addItem(TMenuItem item, const QString& caption, const QKeySequence& shortcut) {
  QAction* a = new QAction(caption, this);
  if (!shortcut.isEmpty()) {
    a->setShortcut(shortcut);
    addAction(a);  // the shortcut works without the menu open
  }
  connect(a, &QAction::triggered, this, [this, item] { runItem(item); });
  items_[item] = a;
  return a;
}

void TfrmReportDesigner::buildContextMenu() {
  contextMenu_ = new QMenu(this);
  // An item chosen is run before this comes round; a menu dismissed forgets its subject.
  connect(contextMenu_, &QMenu::aboutToHide, this, [this] {
    QTimer::singleShot(0, this, [this] { menuSubject_ = nullptr; });
  });
  QMenu& m = *contextMenu_;
  m.addAction(addItem(TMenuItem::About, text(txt::HintAbout)));
  QAction* edit = addItem(TMenuItem::EditProperties, text(txt::EditProperties));
  m.addAction(edit);
  m.setDefaultAction(edit);
  m.addAction(addItem(TMenuItem::Sizes, text(txt::Sizes)));
  m.addSeparator();
  m.addAction(addItem(TMenuItem::BringToFront, text(txt::BringToFront)));
  m.addAction(addItem(TMenuItem::SendToBack, text(txt::SendToBack)));
  m.addSeparator();
  m.addAction(addItem(TMenuItem::Cut, text(txt::Cut), QKeySequence(Qt::CTRL | Qt::Key_X)));
  m.addAction(addItem(TMenuItem::Copy, text(txt::Copy), QKeySequence(Qt::CTRL | Qt::Key_C)));
  m.addAction(addItem(TMenuItem::Paste, text(txt::Paste), QKeySequence(Qt::CTRL | Qt::Key_V)));
  m.addAction(addItem(TMenuItem::Delete, text(txt::Delete), QKeySequence(Qt::Key_Delete)));
  m.addSeparator();
  m.addAction(addItem(TMenuItem::SelectAll, text(txt::SelectAll), QKeySequence(Qt::CTRL | Qt::Key_A)));
  m.addAction(addItem(TMenuItem::UnselectAll, text(txt::UnselectAll), QKeySequence(Qt::CTRL | Qt::Key_U)));
  m.addAction(addItem(TMenuItem::InvertSelection, text(txt::InvertSelection), QKeySequence(Qt::CTRL | Qt::Key_I)));
  m.addSeparator();
  m.addAction(addItem(TMenuItem::Font, text(txt::FontEllipsis), QKeySequence(Qt::CTRL | Qt::Key_F)));
  QMenu* frame = m.addMenu(text(txt::Frame));
  QAction* frameItem = frame->menuAction();
  frameItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  items_[TMenuItem::Frame] = frameItem;
  for (auto [item, id] : {std::pair{TMenuItem::FrameTop, txt::HintFrameTop}, {TMenuItem::FrameLeft, txt::HintFrameLeft},
                          {TMenuItem::FrameBottom, txt::HintFrameBottom}, {TMenuItem::FrameRight, txt::HintFrameRight}})
  {
    QAction* a = addItem(item, text(id));
    a->setCheckable(true);
    frame->addAction(a);
  }
  frame->addAction(addItem(TMenuItem::LineType, text(txt::HintLineType) + "..."));
  m.addSeparator();
  for (auto [item, id, key] : {std::tuple{TMenuItem::Stretch, txt::Stretch, Qt::Key_S},
                                {TMenuItem::Transparent, txt::Transparent, Qt::Key_T}}) {
    QAction* a = addItem(item, text(id), QKeySequence(Qt::CTRL | key));
    a->setCheckable(true);
    m.addAction(a);
  }
}

void TfrmReportDesigner::PrepareContextMenu(TZdqControl& subject) {
  menuSubject_ = &subject;
  const bool band = dynamic_cast<TZdqBand*>(&subject) != nullptr;
  const TZdFrameTypes sides = subject.Frame().FrameType();
  for (auto [item, side] : {std::pair{TMenuItem::FrameTop, ftTop}, {TMenuItem::FrameLeft, ftLeft},
                            {TMenuItem::FrameBottom, ftBottom}, {TMenuItem::FrameRight, ftRight}})
    items_[item]->setChecked(sides.Has(side));
  bool stretch = false;
  items_[TMenuItem::Stretch]->setEnabled(HasBoolean(subject, "Stretch", stretch));
  items_[TMenuItem::Stretch]->setChecked(stretch);
  items_[TMenuItem::Transparent]->setChecked(subject.Transparent());
  items_[TMenuItem::Paste]->setEnabled(!DesignClipboard().Empty());
  items_[TMenuItem::EditProperties]->setEnabled(HasZdqEditor(subject));
  for (TMenuItem item : {TMenuItem::Cut, TMenuItem::Copy, TMenuItem::BringToFront, TMenuItem::SendToBack})
    items_[item]->setEnabled(!band);
}

// ---- commands ----

void TfrmReportDesigner::runItem(TMenuItem item) {
  // The menu acts on the control it opened over; a shortcut on the first selected one.
  TZdqControl* subject = menuSubject_ ? menuSubject_ : designer_.GetSelected(0);
  menuSubject_ = nullptr;
  switch (item) {
    case TMenuItem::About:
      QMessageBox::about(this, text(txt::HintAbout), QString::fromStdString(report_.ProductVersion));
      return;
    case TMenuItem::Cut: CutSelection(); return;
    case TMenuItem::Copy: CopySelection(); return;
    case TMenuItem::Paste:
      if (TZdqBand* band = surface_->CurrentBand()) PasteInto(*band);
      return;
    case TMenuItem::Delete: DeleteSelection(); return;
    case TMenuItem::SelectAll: designer_.SelectElements(0); return;
    case TMenuItem::UnselectAll: designer_.SelectElements(1); return;
    case TMenuItem::InvertSelection: designer_.SelectElements(2); return;
    case TMenuItem::Font: chooseFont(); return;
    default: break;
  }
  if (!subject) return;
  switch (item) {
    case TMenuItem::EditProperties: EditProperties(*subject); return;
    case TMenuItem::Sizes: askSizes(*subject); break;
    case TMenuItem::BringToFront:
    case TMenuItem::SendToBack:
      if (TZdqBand* band = subject->GetParentBand()) band->ChangeOrder(item == TMenuItem::BringToFront);
      break;
    case TMenuItem::Stretch: ToggleBoolean(*subject, "Stretch"); break;
    case TMenuItem::Transparent: ToggleBoolean(*subject, "Transparent"); break;
    case TMenuItem::FrameTop: toggleFrameSide(ftTop); return;
    case TMenuItem::FrameLeft: toggleFrameSide(ftLeft); return;
    case TMenuItem::FrameBottom: toggleFrameSide(ftBottom); return;
    case TMenuItem::FrameRight: toggleFrameSide(ftRight); return;
    case TMenuItem::LineType: askFramePen(*subject); return;
    default: return;
  }
  surface_->update();
  CommitEdit();
}

void TfrmReportDesigner::EditProperties(TZdqControl& subject) {
  if (!EditZdqControl(subject, this)) return;
  afterStructureChange();  // a band's new type may have moved it
}

void TfrmReportDesigner::toggleFrameSide(int bit) {
  if (TZdqControl* first = designer_.GetSelected(0)) setFrameSide(bit, !(first->Frame().FrameType().Bits & bit));
}

void TfrmReportDesigner::editSelection(const std::function<void(TZdqControl&)>& edit) {
  if (showingSelection_) return;
  for (TZdqControl* c : selectedInBandOrder()) edit(*c);
  surface_->update();
  CommitEdit();
}

void TfrmReportDesigner::setFrameSide(int bit, bool on) {
  editSelection([&](TZdqControl& c) {
    const int bits = c.Frame().FrameType().Bits;
    SetPublished(c.Frame(), "FrameType", on ? (bits | bit) : (bits & ~bit));
  });
}

void TfrmReportDesigner::setFontStyle(int bit, bool on) {
  editSelection([&](TZdqControl& c) {
    const int bits = c.Font().Style().Bits;
    SetPublished(c.Font(), "Style", on ? (bits | bit) : (bits & ~bit));
  });
}

void TfrmReportDesigner::setAlignment(TAlignment alignment) {
  editSelection([&](TZdqControl& c) { SetPublished(c, "Alignment", int(alignment)); });
}

void TfrmReportDesigner::askSizes(TZdqControl& control) {
  TfrmControlSizes dialog(this);
  dialog.LangShift = report_.GetLanguageShift();
  dialog.FillStringsFromRes();
  dialog.SetSizes(BoundsOf(control));
  if (dialog.exec() == QDialog::Accepted) SetBounds(control, dialog.Sizes());
}

// The pen shown is the subject's; the one chosen goes to every selected control.
void TfrmReportDesigner::askFramePen(const TZdqControl& subject) {
  TfrmPenStyle dialog(this);
  dialog.LangShift = report_.GetLanguageShift();
  dialog.FillStringsFromRes();
  dialog.SetPen(subject.Frame().Width(), subject.Frame().Style());
  if (dialog.exec() != QDialog::Accepted) return;
  editSelection([&](TZdqControl& c) {
    SetPublished(c.Frame(), "Width", dialog.Thickness());
    SetPublished(c.Frame(), "Style", int(dialog.PenStyle()));
  });
}

void TfrmReportDesigner::chooseFont() {
  TZdqControl* first = designer_.GetSelected(0);
  if (!first) return;
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, ToQFont(first->Font().Value()), this);
  if (!ok) return;
  for (TZdqControl* c : designer_.Selection()) {
    TFont& f = c->Font().Edit();
    f.Name = chosen.family().toStdString();
    f.Size = chosen.pointSize() > 0 ? chosen.pointSize() : f.Size;
    f.Style = TFontStyles{};
    f.Style.Set(fsBold, chosen.bold());
    f.Style.Set(fsItalic, chosen.italic());
    f.Style.Set(fsUnderline, chosen.underline());
  }
  surface_->update();
  CommitEdit();
}

std::vector<TZdqControl*> TfrmReportDesigner::selectedInBandOrder() const {
  std::vector<TZdqControl*> out;
  for (TZdqBand* band : report_.Bands())
    for (TZdqControl* c : band->Objects())
      if (c->Selected()) out.push_back(c);
  return out;
}

void TfrmReportDesigner::Align(TAlignCommand command) {
  const std::vector<TZdqControl*> controls = selectedInBandOrder();
  std::vector<TAlignItem> items;
  for (TZdqControl* c : controls)
    items.push_back({BoundsOf(*c), surface_->BandWidth(), c->GetParentBand()->Height()});
  const std::vector<TControlBounds> result = AlignBounds(items, command);
  for (size_t i = 0; i < controls.size(); ++i) SetBounds(*controls[i], result[i]);
  surface_->update();
  CommitEdit();
}

void TfrmReportDesigner::CopySelection() { DesignClipboard().Copy(selectedInBandOrder()); }

void TfrmReportDesigner::CutSelection() {
  CopySelection();
  DeleteSelection();
}

void TfrmReportDesigner::PasteInto(TZdqBand& band) {
  if (DesignClipboard().Empty()) return;
  designer_.SelectElements(1);
  for (TZdqControl* c : DesignClipboard().Paste(band)) designer_.AddSelected(c);
  surface_->update();
  CommitEdit();
}

void TfrmReportDesigner::DeleteSelection() {
  std::vector<TZdqBand*> bands;
  for (TZdqBand* band : report_.Bands()) {
    if (band->Selected()) bands.push_back(band);
    for (TZdqControl* c : std::vector<TZdqControl*>(band->Objects()))
      if (c->Selected() || band->Selected()) {
        designer_.Forget(c);
        delete c;
      }
  }
  for (TZdqBand* band : bands) {
    designer_.Forget(band);
    report_.DeleteBand(band->GetBandIndex());
  }
  afterStructureChange();
}

void TfrmReportDesigner::AddBand(TBandType type) {
  report_.NewBand(type, true);
  afterStructureChange();
}

void TfrmReportDesigner::ToggleExplorer() {
  if (!explorer_) {
    explorer_ = new TfrmZdqExplorer(report_, this);
    addDockWidget(Qt::LeftDockWidgetArea, explorer_);
    explorer_->OnSelect = [this](TZdqControl& chosen) {
      designer_.SelectElements(1);
      designer_.AddSelected(&chosen);
    };
    explorer_->tvReport->OnMoveControl = [this](TZdqControl& control, TZdqBand& target, int position) {
      MoveControl(control, target, position);
    };
    explorer_->OnEdited = [this] { CommitEdit(); };
    connect(explorer_, &QDockWidget::visibilityChanged, actExplorer, &QAction::setChecked);
    AddSelectionListener([this] {
      if (explorer_->isVisible()) explorer_->SelectComponent(designer_.GetSelected(0));
    });
    AddReportListener([this] {
      if (explorer_->isVisible()) explorer_->Rebuild();
    });
    explorer_->hide();
  }
  explorer_->setVisible(!explorer_->isVisible());
  if (!explorer_->isVisible()) return;
  explorer_->Rebuild();
  explorer_->SelectComponent(designer_.GetSelected(0));
}

void TfrmReportDesigner::MoveControl(TZdqControl& control, TZdqBand& target, int position) {
  // Appending the control and then every control from the position on
  // leaves it at the position.
  const auto& objects = target.Objects();
  std::vector<TZdqControl*> after;
  for (size_t i = size_t(std::clamp(position, 0, int(objects.size()))); i < objects.size(); ++i)
    if (objects[i] != &control) after.push_back(objects[i]);
  control.MoveToBand(target);
  for (TZdqControl* c : after) c->MoveToBand(target);
  afterStructureChange();
}

void TfrmReportDesigner::EditReportGroups() {
  // Bands of deleted groups go with their controls.
  designer_.ClearSelected();
  if (EditGroups(this, report_)) afterStructureChange();
}

void TfrmReportDesigner::EditReportSettings() {
  TfrmReportSet dialog(report_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  designer_.ClearSelected();  // the settings may delete bands
  if (dialog.WriteBack(report_)) {
    afterStructureChange();
  } else {
    surface_->update();
    CommitEdit();
  }
}

void TfrmReportDesigner::btnWizardReportClick() {
  TfrmZdqWizard wizard(report_.GetLanguageShift(), this);
  wizard.FillFields(&report_.GetDataManager());
  wizard.exec();
  if (wizard.Aborted()) return;
  TWizardChoices choices = wizard.Choices();
  choices.ClientWidth = scroll_->viewport()->width();
  designer_.ClearSelected();
  GenerateWizardReport(report_, choices);
  afterStructureChange();
}

void TfrmReportDesigner::afterStructureChange() {
  surface_->ReCreateBands();
  selectionChanged();
  CommitEdit();
}

void TfrmReportDesigner::CommitEdit() {
  history_.Commit();
  actUndo->setEnabled(history_.CanUndo());
  actRedo->setEnabled(history_.CanRedo());
  for (const auto& listener : reportListeners_) listener();
  selectionChanged();  // the status shows the bounds as they are now
}

void TfrmReportDesigner::EditOptions() {
  TZdMeasure measure = ZdRulerUp->Measure();
  if (!EditDesignerOptions(this, designer_.Options, measure, report_.GetLanguageShift())) return;
  const TColor color = designer_.Options.Color;
  applyToolBarOptions();
  ZdRulerUp->SetMeasure(measure);
  ZdRulerUp->ApplyDesignColor(color);
  surface_->SetRulerMeasure(measure);
  surface_->ApplyDesignColor(color);
  surface_->ReCreateBands();  // band titles may have been switched on or off
}

void TfrmReportDesigner::Undo() {
  CommitEdit();  // an edit still waiting is the step undone
  if (!history_.CanUndo()) return;
  designer_.ClearSelected();
  history_.Undo();
  surface_->ReCreateBands();
  CommitEdit();
}

void TfrmReportDesigner::Redo() {
  if (!history_.CanRedo()) return;
  designer_.ClearSelected();
  history_.Redo();
  surface_->ReCreateBands();
  CommitEdit();
}

void TfrmReportDesigner::NewReport() {
  designer_.ClearSelected();
  report_.NewReport();
  report_.SetFileName("");
  history_.Reset();
  afterStructureChange();
}

bool TfrmReportDesigner::OpenFile(const QString& fileName) {
  designer_.ClearSelected();
  try {
    LoadReportForDesign(report_, fileName.toStdString());
  } catch (const std::exception& e) {
    QMessageBox::critical(this, text(txt::ErrorCaption), QString::fromStdString(e.what()));
    return false;
  }
  history_.Reset();
  afterStructureChange();
  return true;
}

bool TfrmReportDesigner::SaveFile(const QString& fileName) {
  CommitEdit();
  try {
    if (designer_.Options.CreateBackup) CreateTemplateBackup(fileName.toStdString());
    SaveReport(report_, fileName.toStdString());
  } catch (const std::exception& e) {
    QMessageBox::critical(this, text(txt::ErrorCaption), QString::fromStdString(e.what()));
    return false;
  }
  history_.MarkSaved();
  QFile::remove(RecoveryFileName());
  return true;
}

// ---- feedback ----

void TfrmReportDesigner::selectionChanged() {
  const TZdqControl* first = designer_.GetSelected(0);
  selectionStatus_->setText(first ? QString("(L:%1,T:%2),(W:%3,H:%4)")
                                        .arg(first->Left()).arg(first->Top()).arg(first->Width()).arg(first->Height())
                                  : QString());
  const bool controls = !selectedInBandOrder().empty();
  for (QAction* a : align_) a->setEnabled(controls);
  for (auto* group : {&actFontStyle[0], &actFontStyle[1], &actFontStyle[2], &actJustify[0], &actJustify[1],
                      &actJustify[2], &actFrameSide[0], &actFrameSide[1], &actFrameSide[2], &actFrameSide[3]})
    (*group)->setEnabled(controls);
  for (QWidget* picker : std::initializer_list<QWidget*>{btnBackColor, btnFrameColor, btnFontColor, cbFontName,
                                                         cbFontSize, cbBrushStyle, cbPenStyle})
    picker->setEnabled(controls);
  if (first) showFormatting(*first);
  surface_->update();
  for (const auto& listener : selectionListeners_) listener();
}

void TfrmReportDesigner::showFormatting(const TZdqControl& first) {
  showingSelection_ = true;
  const TFontStyles style = first.Font().Value().Style;
  for (int i = 0; i < 3; ++i) actFontStyle[size_t(i)]->setChecked(style.Bits & (1 << i));
  const TAlignment justify[3] = {TAlignment::taLeftJustify, TAlignment::taCenter, TAlignment::taRightJustify};
  for (int i = 0; i < 3; ++i) actJustify[size_t(i)]->setChecked(first.Alignment() == justify[i]);
  const int sides[4] = {ftTop, ftLeft, ftBottom, ftRight};
  for (int i = 0; i < 4; ++i) actFrameSide[size_t(i)]->setChecked(first.Frame().FrameType().Bits & sides[i]);
  btnBackColor->SetColor(first.BackColor());
  btnFrameColor->SetColor(first.Frame().Color());
  btnFontColor->SetColor(first.Font().Color());
  cbFontName->SetFontName(first.Font().Name());
  // A family not installed here is still named, though it cannot be listed.
  cbFontName->setPlaceholderText(QString::fromStdString(first.Font().Name()));
  cbFontSize->SetFontSize(first.Font().Size());
  cbBrushStyle->SetBrushStyle(first.BrushStyle());
  cbPenStyle->SetPenStyle(first.Frame().Style());
  showingSelection_ = false;
}

// ---- life cycle ----

void TfrmReportDesigner::ExecModal() {
  setWindowModality(Qt::ApplicationModal);
  show();
  OfferRecovery();
  QEventLoop loop;
  connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
  closed_ = &loop;
  loop.exec();
}

void TfrmReportDesigner::closeEvent(QCloseEvent* event) {
  CommitEdit();
  if (history_.Modified() && isVisible()) {
    const auto answer = QMessageBox::question(this, text(txt::ConfirmationCaption), text(txt::SaveChanges),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return event->ignore();
    if (answer == QMessageBox::Yes) {
      actSave->trigger();
      if (history_.Modified()) return event->ignore();
    }
  }
  event->accept();
  if (auto* loop = qobject_cast<QEventLoop*>(closed_.data())) loop->quit();
}

void TfrmReportDesigner::RestoreLayout() {
  const auto settings = OpenDesignerSettings();
  if (settings->contains("WindowGeometry")) restoreGeometry(settings->value("WindowGeometry").toByteArray());
  if (settings->contains("WindowState")) restoreState(settings->value("WindowState").toByteArray());
  for (QToolBar* bar : findChildren<QToolBar*>()) {
    const QString key = bar->objectName() + "Visible";
    if (settings->contains(key)) bar->setVisible(settings->value(key).toBool());
  }
}

void TfrmReportDesigner::SaveLayout() const {
  const auto settings = OpenDesignerSettings();
  settings->setValue("WindowGeometry", saveGeometry());
  settings->setValue("WindowState", saveState());
  for (const QToolBar* bar : findChildren<QToolBar*>()) settings->setValue(bar->objectName() + "Visible", bar->isVisible());
}

void TfrmReportDesigner::WriteRecovery() {
  CommitEdit();
  if (!history_.Modified()) return;
  QDir().mkpath(QFileInfo(RecoveryFileName()).path());
  QSaveFile file(RecoveryFileName());
  const TBytes& bytes = history_.Current();
  if (file.open(QIODevice::WriteOnly)) {
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    file.commit();
  }
}

void TfrmReportDesigner::OfferRecovery() {
  const QString name = RecoveryFileName();
  if (!QFile::exists(name)) return;
  if (QMessageBox::question(this, text(txt::ConfirmationCaption), text(txt::RestoreRecovery)) == QMessageBox::Yes) {
    const std::string fileName = report_.StoredFileName();
    designer_.ClearSelected();
    try {
      LoadReportForDesign(report_, name.toStdString());
      report_.SetFileName(fileName);  // saving goes where the lost work belonged
      surface_->ReCreateBands();
      CommitEdit();
    } catch (const std::exception& e) {
      QMessageBox::critical(this, text(txt::ErrorCaption), QString::fromStdString(e.what()));
    }
  }
  QFile::remove(name);
}

}  // namespace zd
