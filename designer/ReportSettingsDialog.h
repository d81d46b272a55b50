#pragma once
// The report settings dialog: document properties, the bands the report
// includes, page setup (printer, paper, source, frame, background) and the
// other report-wide settings. Values are written back only on OK.
#include <QDialog>
#include <array>

#include "host/graphics/Bitmap.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace zd {

class TColorButton;
class TPageSketch;
class TZdColorsCombo;
class TZdFontNamesCombo;
class TZdFontSizesCombo;
class TZdNumberEdit;
class TZdReport;

// A band the settings include or leave out, with its paired "new page" box.
struct TBandChoice {
  QCheckBox* Include;
  QCheckBox* NewPage;
};

class TfrmReportSet : public QDialog {
 public:
  // Filled from the report.
  explicit TfrmReportSet(TZdReport& report, QWidget* parent = nullptr);

  // Writes every value back; true when bands, paper or orientation changed,
  // so the design surface has to rebuild its band views.
  bool WriteBack(TZdReport& report) const;

  QTabWidget* Pages;
  // Common
  QLineEdit *edTitle, *edAuthor, *edSubject, *edKeywords;
  QPlainTextEdit* mmComments;
  // Bands: report title, report summary, page header, page footer
  std::array<TBandChoice, 4> bands{};
  // Page setup
  QTabWidget* PageSetup;
  QRadioButton *rbDefaultPrinter, *rbSpecifiedPrinter;
  QListWidget* lbPrinters;
  QComboBox* cbPaperSize;
  TZdNumberEdit *edPaperWidth, *edPaperHeight;
  QRadioButton *rbOrientDefault, *rbPortrait, *rbLandscape;
  QLabel* imgOrientation;
  QCheckBox* cbDefaultMargins;
  std::array<TZdNumberEdit*, 4> edMargins{};  // left, top, right, bottom
  QComboBox* cbBin;
  std::array<QRadioButton*, 4> rbDuplex{};    // default, none, horizontal, vertical
  std::array<QCheckBox*, 4> cbFrameSides{};   // top, bottom, left, right
  TZdColorsCombo* cbFrameColor;
  TZdColorsCombo* cbBackColor;
  QComboBox* cbImageType;
  QPushButton* btnPicture;
  TPageSketch* pnlPreview;
  // Other
  TZdNumberEdit *edStartAt, *edCountBy;
  TZdFontNamesCombo* cbFontName;
  TZdFontSizesCombo* cbFontSize;
  QToolButton *btnBold, *btnItalic, *btnUnderline;
  TColorButton* btnFontColor;
  TZdNumberEdit *edBars, *edColumnSpace, *edColumns;
  QCheckBox* cbTwoPass;
  QPushButton *btnOK, *btnCancel;

  // The background picture, written to the page frame on OK.
  TPicture Picture;

 private:
  QWidget* commonPage();
  QWidget* bandsPage();
  QWidget* pageSetupPage();
  QWidget* printerPage();
  QWidget* paperSizePage();
  QWidget* paperSourcePage();
  QWidget* framePage();
  QWidget* backgroundPage();
  QWidget* otherPage();
  void fill(TZdReport& report);
  void paperChosen();
  void sizeTyped();
  void orientationChosen();
  void choosePicture();
  void updatePreview();
  QString text(int id) const;

  int shift_;
  bool choosingPaper_ = false;  // the size boxes are set from the paper list
};

}  // namespace zd
