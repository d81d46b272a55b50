#pragma once
// The designer's options dialog: background colour, grid and snapping,
// ruler unit, backup and settings saving, and the visible tool bars.
#include <QDialog>
#include <array>

#include "designer/DesignerOptions.h"
#include "designer/controls/ZdRuler.h"

class QCheckBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace zd {

class TZdColorsCombo;
class TZdNumberEdit;

class TfrmLayout : public QDialog {
 public:
  // Captions come from the string table of this language.
  explicit TfrmLayout(QWidget* parent = nullptr, int languageShift = 0);

  void Fill(const TZdqDOptions& options, TZdMeasure rulerMeasure);
  // What the dialog shows, written over `options` (fields it does not show
  // are kept); a grid size that is not a positive whole number becomes 8.
  void WriteBack(TZdqDOptions& options, TZdMeasure& rulerMeasure) const;

  QTabWidget* Pages;
  TZdColorsCombo* cbColor;
  QCheckBox* chkDisplayGrid;
  TZdNumberEdit* edGridSizeX;
  TZdNumberEdit* edGridSizeY;
  QCheckBox* chkShowBandTitle;
  QCheckBox* chkSnapToGrid;
  std::array<QRadioButton*, 3> rbMeasure;  // centimetres, inches, pixels
  QCheckBox* chkCreateBackup;
  QCheckBox* chkAutoSaveOptions;
  std::array<QCheckBox*, 5> chkToolbars;   // in TZdqDToolbar order
  QCheckBox* chkFlat;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 private:
  QWidget* preferencesPage(int shift);
  QWidget* savePage(int shift);
  QWidget* toolbarsPage(int shift);
};

// Runs the dialog on `options` and the rulers' unit; they change only when
// the user confirms.
bool EditDesignerOptions(QWidget* parent, TZdqDOptions& options, TZdMeasure& rulerMeasure, int languageShift = 0);

}  // namespace zd
