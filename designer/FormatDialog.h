#pragma once
// The display-format dialog: composes a control's format from choices,
// reads an existing format back into them and shows a live sample.
#include <QDialog>
#include <string>

#include "designer/FormatChoices.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace zd {

class TfrmFormat : public QDialog {
 public:
  explicit TfrmFormat(QWidget* parent = nullptr, int languageShift = 0);

  // Shows the choices the format makes; what it does not say keeps the
  // locale's defaults.
  void SetFormat(const std::string& format);
  // The composition of the choices shown, also put into edFormat.
  std::string GetFormat();
  std::string GetFormatString() const { return ComposeFormat(Choices()); }
  TFormatChoices Choices() const;
  void ShowChoices(const TFormatChoices& choices);

  QLineEdit* edFormat;
  QRadioButton *rbCharacter, *rbNumber, *rbDateTime;
  QTabWidget* pcFormat;
  QWidget *tsString, *tsNumber, *tsCurrency, *tsDate, *tsTime;
  // String page
  QRadioButton *rbUpperCase, *rbLowerCase, *rbProperCase, *rbStringNone;
  QCheckBox* cbTrim;
  QLineEdit* edStrCustomMask;
  // Number page
  QCheckBox* cbDefaultNumber;
  QWidget* pnlNumber;
  QComboBox *cbDecimals, *cbNegatives, *cbRoundBy;
  QLineEdit *edDecimalSeparator, *edThousandSeparator;
  QCheckBox *cbThousands, *cbBlankZero, *cbLeadingZeros, *cbScientific, *cbCurrencySign;
  // Currency page
  QCheckBox* cbDefaultCurrency;
  QWidget* pnlCurrency;
  QLineEdit* edCurrencySymbol;
  QComboBox *cbCurrencyPosition1, *cbCurrencyPosition2;
  // Date page
  QComboBox* cbDateType;
  QWidget* pnlDate;
  QComboBox *cbDateOrder, *cbDateDay, *cbDateMonth, *cbDateYear, *cbDateDW;
  QLineEdit *edDateSeparator, *edDWSeparator;
  // Time page
  QComboBox* cbTimeType;
  QWidget* pnlTime;
  QRadioButton *rbHour12, *rbHour24;
  QLineEdit *edTimeSeparator, *edStringAM, *edStringPM;
  QComboBox *cbAMPMPosition, *cbTimeHour, *cbTimeMinute, *cbTimeSecond;

  QLabel* lblSample;
  QPushButton *btnOk, *btnCancel;

 private:
  QWidget* stringPage();
  QWidget* numberPage();
  QWidget* currencyPage();
  QWidget* datePage();
  QWidget* timePage();
  QString text(int id) const;
  // Pages, enabled panels, format text and sample after any change.
  void refresh();
  void showPages();
  void SetSampleText();

  int shift_;
  bool showing_ = false;  // choices are being put into the widgets
};

// Runs the dialog on format, which changes only when the user confirms.
bool EditDisplayFormat(QWidget* parent, std::string& format, int languageShift = 0);

}  // namespace zd
