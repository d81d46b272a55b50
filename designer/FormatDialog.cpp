#include "designer/FormatDialog.h"
#include "designer/DesignerText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

#include "expr/DisplayFormat.h"
#include "print/Language.h"
#include "print/TextIds.h"

namespace zd {

namespace {

enum : int {
  kCaption = 1370, kFormat, kCharacter, kNumber, kDateTime, kStringPage, kNumberPage, kCurrencyPage,
  kDatePage, kTimePage, kBlankZero, kLeadingZeros, kScientific, kCurrencySign, kUpperCase, kLowerCase,
  kProperCase, kTrim, kSample, kSystemDefault, kDecimals, kNegatives, kThousands, kDecimalSeparator,
  kCaseNone,
  kDateOrder = 1396, kDateSeparator, kDay, kMonth, kYear, kLongFormat, kShortFormat, kCustomFormat,
  kStyleNone, kMarkerPosition, kTimeSeparator, kHour12, kHour24, kAM, kPM, kHour, kMinute, kSecond,
  kDayOfWeek, kShortName, kLongName, kWeekdayNone, kWeekdaySeparator, kRoundBy, kCurrencySymbol,
  kPositive, kNegative, kCustomMask, kMarkerBefore, kMarkerAfter, kDateType, kTimeType,
};

// Sample values: a negative eight-digit number and 20 January 2025, 13:30.
constexpr const char* kSampleNumber = "-12345678";

// Free texts become code arguments, which end at a space and must not start
// another code.
QValidator* argumentValidator(QObject* parent) {
  return new QRegularExpressionValidator(QRegularExpression("[^ @]*"), parent);
}

QLineEdit* separatorEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(1);
  edit->setMaximumWidth(40);
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[^@]?"), edit));
  return edit;
}

QComboBox* listCombo(QWidget* parent, const QStringList& items) {
  auto* combo = new QComboBox(parent);
  combo->addItems(items);
  return combo;
}

std::string str(const QLineEdit* edit) { return edit->text().toStdString(); }

// The sample label refreshes when it is clicked.
class TClickRefresh : public QObject {
 public:
  TClickRefresh(QObject* parent, std::function<void()> onClick) : QObject(parent), onClick_(std::move(onClick)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease) onClick_();
    return false;
  }

 private:
  std::function<void()> onClick_;
};

}  // namespace

QString TfrmFormat::text(int id) const { return DesignerText(shift_, id); }

TfrmFormat::TfrmFormat(QWidget* parent, int shift) : QDialog(parent), shift_(shift) {
  setWindowTitle(text(kCaption));
  edFormat = new QLineEdit(this);
  edFormat->setReadOnly(true);  // it shows the composition; the choices make it
  auto* formatRow = new QFormLayout;
  formatRow->addRow(text(kFormat), edFormat);

  rbCharacter = new QRadioButton(text(kCharacter), this);
  rbNumber = new QRadioButton(text(kNumber), this);
  rbDateTime = new QRadioButton(text(kDateTime), this);
  auto* families = new QButtonGroup(this);
  auto* familyRow = new QHBoxLayout;
  for (QRadioButton* rb : {rbCharacter, rbNumber, rbDateTime}) {
    families->addButton(rb);
    familyRow->addWidget(rb);
  }
  familyRow->addStretch();

  pcFormat = new QTabWidget(this);
  pcFormat->addTab(tsString = stringPage(), text(kStringPage));
  pcFormat->addTab(tsNumber = numberPage(), text(kNumberPage));
  pcFormat->addTab(tsCurrency = currencyPage(), text(kCurrencyPage));
  pcFormat->addTab(tsDate = datePage(), text(kDatePage));
  pcFormat->addTab(tsTime = timePage(), text(kTimePage));

  auto* gbSample = new QGroupBox(text(kSample).trimmed(), this);
  lblSample = new QLabel(gbSample);
  lblSample->setAlignment(Qt::AlignCenter);
  lblSample->setMinimumHeight(30);
  lblSample->installEventFilter(new TClickRefresh(lblSample, [this] { SetSampleText(); }));
  (new QVBoxLayout(gbSample))->addWidget(lblSample);

  auto* buttons = new QDialogButtonBox(this);
  btnOk = buttons->addButton(text(txt::OK), QDialogButtonBox::AcceptRole);
  btnCancel = buttons->addButton(text(txt::Cancel), QDialogButtonBox::RejectRole);
  btnOk->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    GetFormat();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(formatRow);
  layout->addLayout(familyRow);
  layout->addWidget(pcFormat);
  layout->addWidget(gbSample);
  layout->addWidget(buttons);

  // Every change of a choice refreshes the pages, the format and the sample.
  for (QRadioButton* rb : findChildren<QRadioButton*>()) connect(rb, &QRadioButton::toggled, this, [this] { refresh(); });
  for (QCheckBox* cb : findChildren<QCheckBox*>()) connect(cb, &QCheckBox::toggled, this, [this] { refresh(); });
  for (QComboBox* cb : findChildren<QComboBox*>())
    connect(cb, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
  for (QLineEdit* ed : findChildren<QLineEdit*>())
    if (ed != edFormat) connect(ed, &QLineEdit::textChanged, this, [this] { refresh(); });

  ShowChoices(DefaultFormatChoices());
}

QWidget* TfrmFormat::stringPage() {
  auto* page = new QWidget;
  rbUpperCase = new QRadioButton(text(kUpperCase), page);
  rbLowerCase = new QRadioButton(text(kLowerCase), page);
  rbProperCase = new QRadioButton(text(kProperCase), page);
  rbStringNone = new QRadioButton(text(kCaseNone), page);
  cbTrim = new QCheckBox(text(kTrim), page);
  edStrCustomMask = new QLineEdit(page);
  auto* layout = new QVBoxLayout(page);
  for (QWidget* w : std::initializer_list<QWidget*>{rbUpperCase, rbLowerCase, rbProperCase, rbStringNone, cbTrim})
    layout->addWidget(w);
  auto* mask = new QFormLayout;
  mask->addRow(text(kCustomMask), edStrCustomMask);
  layout->addLayout(mask);
  layout->addStretch();
  return page;
}

QWidget* TfrmFormat::numberPage() {
  auto* page = new QWidget;
  cbDefaultNumber = new QCheckBox(text(kSystemDefault), page);
  pnlNumber = new QWidget(page);
  cbDecimals = listCombo(pnlNumber, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
  cbNegatives = listCombo(pnlNumber, {text(kCaseNone), "-123", "123-", "(123)"});
  edDecimalSeparator = separatorEdit(pnlNumber);
  edDecimalSeparator->setValidator(new QRegularExpressionValidator(QRegularExpression("[^ @]?"), edDecimalSeparator));
  cbThousands = new QCheckBox(text(kThousands), pnlNumber);
  edThousandSeparator = separatorEdit(pnlNumber);
  cbRoundBy = new QComboBox(pnlNumber);
  for (const char* step : kRoundBySteps) cbRoundBy->addItem(step);
  auto* form = new QFormLayout(pnlNumber);
  form->setContentsMargins(0, 0, 0, 0);
  form->addRow(text(kDecimals), cbDecimals);
  form->addRow(text(kNegatives), cbNegatives);
  form->addRow(text(kDecimalSeparator), edDecimalSeparator);
  form->addRow(cbThousands, edThousandSeparator);
  form->addRow(text(kRoundBy), cbRoundBy);

  cbBlankZero = new QCheckBox(text(kBlankZero), page);
  cbLeadingZeros = new QCheckBox(text(kLeadingZeros), page);
  cbScientific = new QCheckBox(text(kScientific), page);
  cbCurrencySign = new QCheckBox(text(kCurrencySign), page);
  auto* flags = new QVBoxLayout;
  for (QCheckBox* cb : {cbBlankZero, cbLeadingZeros, cbScientific, cbCurrencySign}) flags->addWidget(cb);
  flags->addStretch();
  auto* columns = new QHBoxLayout;
  columns->addWidget(pnlNumber, 1);
  columns->addLayout(flags);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(cbDefaultNumber);
  layout->addLayout(columns);
  layout->addStretch();
  return page;
}

QWidget* TfrmFormat::currencyPage() {
  auto* page = new QWidget;
  cbDefaultCurrency = new QCheckBox(text(kSystemDefault), page);
  pnlCurrency = new QWidget(page);
  edCurrencySymbol = new QLineEdit(pnlCurrency);
  edCurrencySymbol->setValidator(argumentValidator(edCurrencySymbol));
  edCurrencySymbol->setMaximumWidth(80);
  cbCurrencyPosition1 = listCombo(pnlCurrency, {"$1", "1$", "$ 1", "1 $"});
  cbCurrencyPosition2 = listCombo(pnlCurrency, {"($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-", "-1 $",
                                                "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"});
  auto* form = new QFormLayout(pnlCurrency);
  form->setContentsMargins(0, 0, 0, 0);
  form->addRow(text(kCurrencySymbol), edCurrencySymbol);
  form->addRow(text(kPositive), cbCurrencyPosition1);
  form->addRow(text(kNegative), cbCurrencyPosition2);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(cbDefaultCurrency);
  layout->addWidget(pnlCurrency);
  layout->addStretch();
  return page;
}

QWidget* TfrmFormat::datePage() {
  auto* page = new QWidget;
  const QStringList styles{text(kLongFormat), text(kShortFormat), text(kCustomFormat), text(kStyleNone)};
  cbDateType = listCombo(page, styles);
  pnlDate = new QWidget(page);
  cbDateOrder = listCombo(pnlDate, {"DMY", "DYM", "MDY", "MYD", "YMD", "YDM"});
  edDateSeparator = separatorEdit(pnlDate);
  cbDateDay = listCombo(pnlDate, {"1", "01", text(kStyleNone)});
  cbDateMonth = listCombo(pnlDate, {"1", "01", "Jan", "January", text(kStyleNone)});
  cbDateYear = listCombo(pnlDate, {"99", "1999", text(kStyleNone)});
  auto* gbDateDW = new QGroupBox(text(kDayOfWeek).trimmed(), pnlDate);
  cbDateDW = listCombo(gbDateDW, {text(kShortName), text(kLongName), text(kWeekdayNone)});
  edDWSeparator = separatorEdit(gbDateDW);
  auto* weekday = new QFormLayout(gbDateDW);
  weekday->addRow(cbDateDW);
  weekday->addRow(text(kWeekdaySeparator), edDWSeparator);
  auto* form = new QFormLayout;
  form->addRow(text(kDateOrder), cbDateOrder);
  form->addRow(text(kDateSeparator), edDateSeparator);
  form->addRow(text(kDay), cbDateDay);
  form->addRow(text(kMonth), cbDateMonth);
  form->addRow(text(kYear), cbDateYear);
  auto* columns = new QHBoxLayout(pnlDate);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->addLayout(form);
  columns->addWidget(gbDateDW, 0, Qt::AlignTop);
  auto* type = new QFormLayout;
  type->addRow(text(kDateType), cbDateType);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(type);
  layout->addWidget(pnlDate);
  layout->addStretch();
  return page;
}

QWidget* TfrmFormat::timePage() {
  auto* page = new QWidget;
  cbTimeType = listCombo(page, {text(kLongFormat), text(kShortFormat), text(kCustomFormat), text(kStyleNone)});
  pnlTime = new QWidget(page);
  rbHour12 = new QRadioButton(text(kHour12).trimmed(), pnlTime);
  rbHour24 = new QRadioButton(text(kHour24).trimmed(), pnlTime);
  edTimeSeparator = separatorEdit(pnlTime);
  edStringAM = new QLineEdit(pnlTime);
  edStringPM = new QLineEdit(pnlTime);
  for (QLineEdit* ed : {edStringAM, edStringPM}) {
    ed->setValidator(argumentValidator(ed));
    ed->setMaximumWidth(80);
  }
  cbAMPMPosition = listCombo(pnlTime, {text(kMarkerBefore), text(kMarkerAfter)});
  cbTimeHour = listCombo(pnlTime, {"1", "01", text(kStyleNone)});
  cbTimeMinute = listCombo(pnlTime, {"1", "01", text(kStyleNone)});
  cbTimeSecond = listCombo(pnlTime, {"1", "01", text(kStyleNone)});
  auto* clock = new QHBoxLayout;
  clock->addWidget(rbHour12);
  clock->addWidget(rbHour24);
  clock->addStretch();
  auto* left = new QFormLayout;
  left->addRow(clock);
  left->addRow(text(kTimeSeparator), edTimeSeparator);
  left->addRow(text(kAM), edStringAM);
  left->addRow(text(kPM), edStringPM);
  left->addRow(text(kMarkerPosition), cbAMPMPosition);
  auto* right = new QFormLayout;
  right->addRow(text(kHour), cbTimeHour);
  right->addRow(text(kMinute), cbTimeMinute);
  right->addRow(text(kSecond), cbTimeSecond);
  auto* columns = new QHBoxLayout(pnlTime);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->addLayout(left);
  columns->addLayout(right);
  auto* type = new QFormLayout;
  type->addRow(text(kTimeType), cbTimeType);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(type);
  layout->addWidget(pnlTime);
  layout->addStretch();
  return page;
}

TFormatChoices TfrmFormat::Choices() const {
  TFormatChoices c;
  c.Family = rbCharacter->isChecked() ? TFormatFamily::Character
             : rbNumber->isChecked()  ? TFormatFamily::Number
             : rbDateTime->isChecked() ? TFormatFamily::DateTime
                                       : TFormatFamily::None;
  c.TextCase = rbUpperCase->isChecked()   ? TTextCase::Upper
               : rbLowerCase->isChecked() ? TTextCase::Lower
               : rbProperCase->isChecked() ? TTextCase::Proper
                                           : TTextCase::None;
  c.Trim = cbTrim->isChecked();
  c.CustomMask = str(edStrCustomMask);

  c.DefaultNumber = cbDefaultNumber->isChecked();
  c.Decimals = cbDecimals->currentIndex();
  c.Negatives = cbNegatives->currentIndex();
  c.DecimalSeparator = str(edDecimalSeparator);
  c.Thousands = cbThousands->isChecked();
  c.ThousandSeparator = str(edThousandSeparator);
  c.RoundBy = cbRoundBy->currentText().toStdString();
  c.BlankZero = cbBlankZero->isChecked();
  c.LeadingZeros = cbLeadingZeros->isChecked();
  c.Scientific = cbScientific->isChecked();
  c.CurrencySign = cbCurrencySign->isChecked();
  c.DefaultCurrency = cbDefaultCurrency->isChecked();
  c.CurrencySymbol = str(edCurrencySymbol);
  c.CurrencyPositive = cbCurrencyPosition1->currentIndex();
  c.CurrencyNegative = cbCurrencyPosition2->currentIndex();

  c.DateType = cbDateType->currentIndex();
  c.DateOrder = cbDateOrder->currentIndex();
  c.DateSeparator = str(edDateSeparator);
  c.Day = cbDateDay->currentIndex();
  c.Month = cbDateMonth->currentIndex();
  c.Year = cbDateYear->currentIndex();
  c.Weekday = cbDateDW->currentIndex();
  c.WeekdaySeparator = str(edDWSeparator);

  c.TimeType = cbTimeType->currentIndex();
  c.Hour24 = rbHour24->isChecked();
  c.TimeSeparator = str(edTimeSeparator);
  c.AM = str(edStringAM);
  c.PM = str(edStringPM);
  c.MarkerPosition = cbAMPMPosition->currentIndex();
  c.Hour = cbTimeHour->currentIndex();
  c.Minute = cbTimeMinute->currentIndex();
  c.Second = cbTimeSecond->currentIndex();
  return c;
}

void TfrmFormat::ShowChoices(const TFormatChoices& c) {
  showing_ = true;
  auto family = [&](QRadioButton* rb, TFormatFamily f) {
    // An exclusive group refuses to uncheck its last checked button.
    rb->group()->setExclusive(false);
    rb->setChecked(c.Family == f);
    rb->group()->setExclusive(true);
  };
  family(rbCharacter, TFormatFamily::Character);
  family(rbNumber, TFormatFamily::Number);
  family(rbDateTime, TFormatFamily::DateTime);
  rbUpperCase->setChecked(c.TextCase == TTextCase::Upper);
  rbLowerCase->setChecked(c.TextCase == TTextCase::Lower);
  rbProperCase->setChecked(c.TextCase == TTextCase::Proper);
  rbStringNone->setChecked(c.TextCase == TTextCase::None);
  cbTrim->setChecked(c.Trim);
  edStrCustomMask->setText(QString::fromStdString(c.CustomMask));

  auto set = [](QLineEdit* ed, const std::string& s) { ed->setText(QString::fromStdString(s)); };
  cbDefaultNumber->setChecked(c.DefaultNumber);
  cbDecimals->setCurrentIndex(c.Decimals);
  cbNegatives->setCurrentIndex(c.Negatives);
  set(edDecimalSeparator, c.DecimalSeparator);
  cbThousands->setChecked(c.Thousands);
  set(edThousandSeparator, c.ThousandSeparator);
  cbRoundBy->setCurrentText(QString::fromStdString(c.RoundBy));
  cbBlankZero->setChecked(c.BlankZero);
  cbLeadingZeros->setChecked(c.LeadingZeros);
  cbScientific->setChecked(c.Scientific);
  cbCurrencySign->setChecked(c.CurrencySign);
  cbDefaultCurrency->setChecked(c.DefaultCurrency);
  set(edCurrencySymbol, c.CurrencySymbol);
  cbCurrencyPosition1->setCurrentIndex(c.CurrencyPositive);
  cbCurrencyPosition2->setCurrentIndex(c.CurrencyNegative);

  cbDateType->setCurrentIndex(c.DateType);
  cbDateOrder->setCurrentIndex(c.DateOrder);
  set(edDateSeparator, c.DateSeparator);
  cbDateDay->setCurrentIndex(c.Day);
  cbDateMonth->setCurrentIndex(c.Month);
  cbDateYear->setCurrentIndex(c.Year);
  cbDateDW->setCurrentIndex(c.Weekday);
  set(edDWSeparator, c.WeekdaySeparator);

  cbTimeType->setCurrentIndex(c.TimeType);
  rbHour24->setChecked(c.Hour24);
  rbHour12->setChecked(!c.Hour24);
  set(edTimeSeparator, c.TimeSeparator);
  set(edStringAM, c.AM);
  set(edStringPM, c.PM);
  cbAMPMPosition->setCurrentIndex(c.MarkerPosition);
  cbTimeHour->setCurrentIndex(c.Hour);
  cbTimeMinute->setCurrentIndex(c.Minute);
  cbTimeSecond->setCurrentIndex(c.Second);
  showing_ = false;
  refresh();
}

void TfrmFormat::SetFormat(const std::string& format) {
  TFormatChoices choices = DefaultFormatChoices();
  ReadFormat(format, choices);
  ShowChoices(choices);
}

std::string TfrmFormat::GetFormat() {
  const std::string format = GetFormatString();
  edFormat->setText(QString::fromStdString(format));
  return format;
}

void TfrmFormat::refresh() {
  if (showing_) return;
  showPages();
  pnlNumber->setEnabled(!cbDefaultNumber->isChecked());
  pnlCurrency->setEnabled(!cbDefaultCurrency->isChecked());
  pnlDate->setEnabled(cbDateType->currentIndex() == fsCustom);
  pnlTime->setEnabled(cbTimeType->currentIndex() == fsCustom);
  GetFormat();
  SetSampleText();
}

void TfrmFormat::showPages() {
  const bool number = rbNumber->isChecked(), dateTime = rbDateTime->isChecked();
  const bool visible[] = {rbCharacter->isChecked(), number, number && cbCurrencySign->isChecked(), dateTime,
                          dateTime};
  for (int i = 0; i < pcFormat->count(); ++i) pcFormat->setTabVisible(i, visible[i]);
  if (pcFormat->isTabVisible(pcFormat->currentIndex())) return;
  for (int i = 0; i < pcFormat->count(); ++i)
    if (visible[i]) {
      pcFormat->setCurrentIndex(i);
      break;
    }
}

void TfrmFormat::SetSampleText() {
  const std::string format = GetFormatString();
  std::string value;
  int width = 0;
  if (rbCharacter->isChecked()) {
    value = GetString(shift_, txt::FormatSample);
  } else if (rbNumber->isChecked()) {
    value = kSampleNumber;
    const int digit = lblSample->fontMetrics().horizontalAdvance('0');
    width = digit > 0 ? lblSample->width() / digit : 0;
  } else if (rbDateTime->isChecked()) {
    value = std::string("45677") + currentLocale().decimalSeparator + "5625";
  }
  lblSample->setText(QString::fromStdString(GetTextByFormat(value, format, width)));
}

bool EditDisplayFormat(QWidget* parent, std::string& format, int languageShift) {
  TfrmFormat dialog(parent, languageShift);
  dialog.SetFormat(format);
  if (dialog.exec() != QDialog::Accepted) return false;
  format = dialog.GetFormat();
  return true;
}

}  // namespace zd
