#pragma once
// The designer window: tool bars, the design surface in a scroll box, the
// status bar, the context menu and every command they issue.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <string>

#include "designer/DesignGeometry.h"
#include "designer/DesignHistory.h"
#include "designer/ZdqDesigner.h"
#include "designer/controls/ZdRuler.h"
#include "print/Frame.h"

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMenu;
class QScrollArea;
class QToolBar;

namespace zd {

class TColorButton;
class TDesignSurface;
class TfrmZdqExplorer;
class TfrmZdqOI;
class TZdBrushPenStyleCombo;
class TZdFontNamesCombo;
class TZdFontSizesCombo;

// The context menu's items by tag.
enum class TMenuItem {
  About = 1, EditProperties = 2, Sizes = 3, BringToFront = 5, SendToBack = 6, Cut = 8, Copy = 9,
  Paste = 10, Delete = 11, SelectAll = 13, UnselectAll = 14, InvertSelection = 15, Font = 17,
  Frame = 18, Stretch = 20, Transparent = 21, FrameTop = 22, FrameLeft = 23, FrameBottom = 24,
  FrameRight = 25, LineType = 26
};

class TfrmReportDesigner : public QMainWindow {
 public:
  explicit TfrmReportDesigner(TZdqDesigner& designer, QWidget* parent = nullptr);
  ~TfrmReportDesigner() override;

  // Shows the window and returns once it is closed.
  void ExecModal();
  void RestoreLayout();
  void SaveLayout() const;

  TDesignSurface& Surface() { return *surface_; }
  TDesignHistory& History() { return history_; }
  QAction* Action(TMenuItem item) const { return items_.at(item); }
  QAction* AlignAction(TAlignCommand command) const { return align_[size_t(command)]; }
  QAction* ToolAction(int tool) const;  // 0 the arrow, n >= 2 class n - 2
  QMenu& ContextMenu() { return *contextMenu_; }
  // The object inspector, docked beside the design area; actInspector shows and hides it.
  TfrmZdqOI& Inspector() { return *inspector_; }
  QDockWidget* dockInspector;
  QAction* actInspector;
  QAction *actNew, *actOpen, *actSave, *actPreview, *actPrint, *actUndo, *actRedo, *actNewBand, *actOptions;
  QAction *actGroups, *actReportSettings, *actExplorer, *actWizard;
  // Across the top of the design area, over the page with its margins.
  TZdRuler* ZdRulerUp;
  // The formatting buttons: they show the first selected control and set
  // every selected one.
  std::array<QAction*, 3> actFontStyle{};  // bold, italic, underline
  std::array<QAction*, 3> actJustify{};    // left, centre, right
  std::array<QAction*, 4> actFrameSide{};  // top, left, bottom, right
  TColorButton *btnBackColor, *btnFrameColor, *btnFontColor;
  TZdFontNamesCombo* cbFontName;
  TZdFontSizesCombo* cbFontSize;
  TZdBrushPenStyleCombo *cbBrushStyle, *cbPenStyle;

  // ---- commands ----
  void NewReport();
  // False when the file could not be read (the report stays as it was).
  bool OpenFile(const QString& fileName);
  // With CreateBackup, a file being replaced is first copied to ".~zdq".
  bool SaveFile(const QString& fileName);
  void Align(TAlignCommand command);
  void CopySelection();
  void CutSelection();
  void PasteInto(TZdqBand& band);
  // Frees the selected controls and the selected bands with theirs.
  void DeleteSelection();
  void AddBand(TBandType type);
  // Runs the report wizard; unless it is abandoned, the report is rebuilt
  // from its choices as one undo step.
  void btnWizardReportClick();
  // Runs the options dialog; confirmed options are applied to the open window.
  void EditOptions();
  // Runs the groups dialog; the group bands are rebuilt as one undo step.
  void EditReportGroups();
  // Shows or hides the report explorer beside the design area, made the
  // first time; it is filled again whenever it is shown.
  void ToggleExplorer();
  TfrmZdqExplorer* Explorer() const { return explorer_; }
  // Moves the control into the band at that index of its objects.
  void MoveControl(TZdqControl& control, TZdqBand& target, int position);
  // Runs the report settings dialog; what it writes is one undo step.
  void EditReportSettings();
  void Undo();
  void Redo();
  // The report as it is becomes an undo step.
  void CommitEdit();
  // Runs the element's property dialog; confirmed edits become an undo step.
  void EditProperties(TZdqControl& subject);
  // Refreshes the menu's enabled and checked states for its subject.
  void PrepareContextMenu(TZdqControl& subject);

  // Panels beside the design area (docked with addDockWidget) keep in step
  // through these: selection listeners run whenever the selection or the
  // selected elements' bounds may have changed, report listeners after every
  // edit, undo, redo and load has been committed.
  void AddSelectionListener(std::function<void()> listener) { selectionListeners_.push_back(std::move(listener)); }
  void AddReportListener(std::function<void()> listener) { reportListeners_.push_back(std::move(listener)); }

  // The file autosave writes the edited report to (every minute) and the
  // designer offers to restore from when it opens after a crash.
  const QString& RecoveryFileName() const { return recoveryFile_; }
  void SetRecoveryFileName(const QString& fileName) { recoveryFile_ = fileName; }
  // Writes the recovery file when the report has unsaved edits.
  void WriteRecovery();
  // When a recovery file is there, asks whether to load it; it is removed
  // either way.
  void OfferRecovery();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildActions();
  void buildToolBars();
  void buildContextMenu();
  void buildPickers(QToolBar* font, QToolBar* frame);
  void buildInspector();
  QWidget* buildTopRuler();
  void placeTopRuler();
  void applyToolBarOptions();
  QAction* addItem(TMenuItem item, const QString& text, const QKeySequence& shortcut = {});
  void runItem(TMenuItem item);
  void afterStructureChange();
  void selectionChanged();
  void askSizes(TZdqControl& control);
  void askFramePen(const TZdqControl& subject);
  void chooseFont();
  void toggleFrameSide(int bit);
  void setFrameSide(int bit, bool on);
  void setFontStyle(int bit, bool on);
  void setAlignment(TAlignment alignment);
  // Every selected control takes the edit; together they are one undo step.
  void editSelection(const std::function<void(TZdqControl&)>& edit);
  void showFormatting(const TZdqControl& first);
  std::vector<TZdqControl*> selectedInBandOrder() const;
  QString text(int id) const;

  TZdqDesigner& designer_;
  TZdReport& report_;
  TDesignHistory history_;
  TDesignSurface* surface_;
  QScrollArea* scroll_;
  std::array<QToolBar*, 5> toolBars_{};  // by TZdqDToolbar
  QLabel* selectionStatus_;
  QLabel* pointerStatus_;
  QMenu* contextMenu_;
  TfrmZdqOI* inspector_;
  QActionGroup* tools_;
  std::map<TMenuItem, QAction*> items_;
  std::array<QAction*, kAlignCommandCount> align_{};
  TZdqControl* menuSubject_ = nullptr;
  bool commitQueued_ = false;
  bool showingSelection_ = false;  // the pickers are being set, not the user
  QPointer<QObject> closed_;
  QString recoveryFile_;
  TfrmZdqExplorer* explorer_ = nullptr;
  std::vector<std::function<void()>> selectionListeners_, reportListeners_;
};

}  // namespace zd
