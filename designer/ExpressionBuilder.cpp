#include "designer/ExpressionBuilder.h"
#include "designer/DesignerText.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

#include "expr/ExprParser.h"
#include "host/locale/Clock.h"
#include "print/Language.h"
#include "print/SysData.h"
#include "print/TextIds.h"
#include "report/model/ExprAdapter.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

enum : int {
  kCaption = 1300, kGroupCaptions = 1301, kSystemVariables = 1306, kCustomVariables, kParameters, kAll,
  kArithmetic, kComparison, kLogic, kConversion, kDateTime, kMath, kProgramFlow, kAggregate, kString,
  kValidate, kValid = 1324,
};

constexpr int kGroupCount = 5;
constexpr int kItemKeyStep = 10000;

// The fixed part of the catalogue: item key and item text. "%n", "%b" and
// "%d" stand for the argument words number, boolean and datetime, any other
// "%" letter for string.
struct TFixedItem {
  int key;
  const char* text;
};
constexpr TFixedItem kFixedCatalogue[] = {
    {20000, "''"}, {20000, "False"}, {20000, "NULL"}, {20000, "True"},
    {30000, "-"}, {30000, "*"}, {30000, "/"}, {30000, "+"},
    {30001, "<"}, {30001, "<="}, {30001, "<>"}, {30001, "="}, {30001, ">"}, {30001, ">="},
    {30002, "AND"}, {30002, "NOT"}, {30002, "OR"},
    {40000, "CHR(%s)"}, {40000, "DATETOSTR(%d)"}, {40000, "FLOATTOSTR(%n)"}, {40000, "INTTOSTR(%n)"},
    {40000, "ORD(%n)"}, {40000, "STRTOFLOAT(%s)"}, {40000, "STRTOINT(%s)"},
    {40001, "DATE(%d)"}, {40001, "DAY(%d)"}, {40001, "GETDATE"}, {40001, "HOUR(%d)"}, {40001, "MINUTE(%d)"},
    {40001, "MONTH(%d)"}, {40001, "SECOND(%d)"}, {40001, "TIME(%d)"}, {40001, "YEAR(%d)"},
    {40002, "ABS(%n)"}, {40002, "ARCCOS(%n)"}, {40002, "ARCSIN(%n)"}, {40002, "ARCTAN(%n)"},
    {40002, "COS(%n)"}, {40002, "EXP(%n)"}, {40002, "FRAC(%n)"}, {40002, "INT(%n)"}, {40002, "LN(%n)"},
    {40002, "LOG(%n)"}, {40002, "MOD"}, {40002, "POWER(%n, %n)"}, {40002, "RANDOM(%n)"},
    {40002, "ROUND(%n)"}, {40002, "SIN(%n)"}, {40002, "SQR(%n)"}, {40002, "SQRT(%n)"}, {40002, "TAN(%n)"},
    {40003, "IIF(%b, %a, %a)"}, {40003, "IS"},
    {40004, "AVG(%n, ..., %n)"}, {40004, "COUNT(%n, ..., %n)"}, {40004, "MAX(%n, ..., %n)"},
    {40004, "MIN(%n, ..., %n)"}, {40004, "SUM(%n, ..., %n)"},
    {40005, "LOWER(%s)"}, {40005, "SUBSTRING(%s, %n, %n)"}, {40005, "TRIM(%s)"}, {40005, "TRIMLEFT(%s)"},
    {40005, "TRIMRIGHT(%s)"}, {40005, "UPPER(%s)"},
};

// Subgroups after the datasets: group index and caption.
struct TFixedSubgroup {
  int group;
  int caption;
};
constexpr TFixedSubgroup kFixedSubgroups[] = {
    {TfrmExpBuilder::grVariables, kSystemVariables}, {TfrmExpBuilder::grVariables, kCustomVariables},
    {TfrmExpBuilder::grVariables, kParameters},      {TfrmExpBuilder::grConstants, kAll},
    {TfrmExpBuilder::grOperators, kArithmetic},      {TfrmExpBuilder::grOperators, kComparison},
    {TfrmExpBuilder::grOperators, kLogic},           {TfrmExpBuilder::grFunctions, kConversion},
    {TfrmExpBuilder::grFunctions, kDateTime},        {TfrmExpBuilder::grFunctions, kMath},
    {TfrmExpBuilder::grFunctions, kProgramFlow},     {TfrmExpBuilder::grFunctions, kAggregate},
    {TfrmExpBuilder::grFunctions, kString},
};

// The operator buttons insert these texts; the logical ones keep their spaces.
constexpr const char* kOperatorTexts[] = {"+", "-", "*", "/", "=", ">", "<", "<>", " AND ", " OR ", " NOT ", "(", ")"};


int itemKey(int group, int subgroup) { return kItemKeyStep * group + subgroup; }

}  // namespace

TfrmExpBuilder::TfrmExpBuilder(int languageShift, const TZdqDataManager* dataManager,
                               const TZdqVariables* variables, const TZdqParameters* parameters, QWidget* parent)
    : QDialog(parent), shift_(languageShift), dataManager_(dataManager) {
  setWindowTitle(DesignerText(shift_, kCaption));
  lbType = new QListWidget(this);
  lbSubType = new QListWidget(this);
  lbValue = new QListWidget(this);
  for (int group = 0; group < kGroupCount; ++group) lbType->addItem(DesignerText(shift_, kGroupCaptions + group));
  lblHint = new QLabel(this);
  lblHint->setFrameShape(QFrame::StyledPanel);
  lblHint->setTextInteractionFlags(Qt::TextSelectableByMouse);
  memExpression = new QPlainTextEdit(this);
  memExpression->setMinimumHeight(70);
  memExpression->setMaximumHeight(110);

  auto* lists = new QHBoxLayout;
  lists->addWidget(lbType, 2);
  lists->addWidget(lbSubType, 3);
  lists->addWidget(lbValue, 4);

  auto* buttons = new QDialogButtonBox(this);
  btnValidate = buttons->addButton(DesignerText(shift_, kValidate), QDialogButtonBox::ActionRole);
  btnOK = buttons->addButton(DesignerText(shift_, txt::OK), QDialogButtonBox::AcceptRole);
  btnCancel = buttons->addButton(DesignerText(shift_, txt::Cancel), QDialogButtonBox::RejectRole);
  btnOK->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(btnValidate, &QPushButton::clicked, this, [this] { btnValidateClick(); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memExpression);
  layout->addWidget(buildOperatorButtons());
  layout->addLayout(lists, 1);
  layout->addWidget(lblHint);
  layout->addWidget(buttons);
  resize(560, 420);

  loadCatalogue(variables, parameters);
  connect(lbType, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) ChooseGroup(row);
  });
  connect(lbSubType, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) FillItems();
  });
  connect(lbValue, &QListWidget::currentRowChanged, this, [this](int row) {
    lblHint->setText(row >= 0 ? lbValue->item(row)->text() : QString());
  });
  connect(lbValue, &QListWidget::itemDoubleClicked, this, [this] { ValueAdd(ItemInsertion()); });
  ChooseGroup(grDataSources);
  memExpression->setFocus();
}

QWidget* TfrmExpBuilder::buildOperatorButtons() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  for (const char* insertion : kOperatorTexts) {
    auto* button = new QPushButton(QString(insertion).trimmed(), row);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);  // the caret stays where the text goes
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 14);
    button->setMaximumWidth(48);
    connect(button, &QPushButton::clicked, this, [this, insertion] { ValueAdd(insertion); });
    layout->addWidget(button);
    OperatorButtons.push_back(button);
  }
  layout->addStretch();
  return row;
}

void TfrmExpBuilder::loadCatalogue(const TZdqVariables* variables, const TZdqParameters* parameters) {
  if (dataManager_)
    for (int i = 0; i < dataManager_->Datasets().Count(); ++i) {
      const TZdqDataset& item = *dataManager_->Datasets()[i];
      subTypes_.push_back({grDataSources, QString::fromStdString(item.Caption())});
      if (const TDataSet* dataset = item.Dataset())
        for (const std::string& field : dataset->GetFieldNames())
          items_.push_back({itemKey(grDataSources, i), QString::fromStdString(field)});
    }
  for (const TFixedSubgroup& subgroup : kFixedSubgroups)
    subTypes_.push_back({subgroup.group, DesignerText(shift_, subgroup.caption)});

  // System values by their English names, the ones expressions accept.
  for (int kind = 0; kind < SysDataTypeCount; ++kind)
    items_.push_back({itemKey(grVariables, 0), SysDataEnglishName(TZdqSysDataType(kind))});
  if (variables)
    for (int i = 0; i < variables->Count(); ++i)
      items_.push_back({itemKey(grVariables, 1), QString::fromStdString((*variables)[i]->Name())});
  if (parameters)
    for (int i = 0; i < parameters->Count(); ++i)
      items_.push_back({itemKey(grVariables, 2), QString::fromStdString((*parameters)[i]->Name())});
  loadFixedCatalogue();
}

void TfrmExpBuilder::loadFixedCatalogue() {
  for (const TFixedItem& item : kFixedCatalogue) items_.push_back({item.key, argumentWords(item.text)});
}

QString TfrmExpBuilder::argumentWords(const QString& item) const {
  QString result;
  for (qsizetype i = 0; i < item.size(); ++i) {
    if (item[i] != '%' || i + 1 == item.size()) {
      result += item[i];
      continue;
    }
    const QChar code = item[++i];
    const int word = code == 'n' ? txt::ArgNumber
                     : code == 'b' ? txt::ArgBoolean
                     : code == 'd' ? txt::ArgDateTime
                                   : txt::ArgString;
    result += DesignerText(shift_, word);
  }
  return result;
}

QString TfrmExpBuilder::Expression() const { return memExpression->toPlainText(); }

void TfrmExpBuilder::SetExpression(const QString& expression) { memExpression->setPlainText(expression); }

void TfrmExpBuilder::ChooseGroup(int group) {
  if (lbType->currentRow() != group) return lbType->setCurrentRow(group);  // comes back through the signal
  const QSignalBlocker quiet(lbSubType);
  lbSubType->clear();
  for (const TEntry& entry : subTypes_)
    if (entry.key == group) lbSubType->addItem(entry.text);
  lbSubType->setCurrentRow(lbSubType->count() > 0 ? 0 : -1);
  FillItems();
}

int TfrmExpBuilder::chosenKey() const { return itemKey(lbType->currentRow(), lbSubType->currentRow()); }

void TfrmExpBuilder::FillItems() {
  {
    const QSignalBlocker quiet(lbValue);
    lbValue->clear();
    if (lbSubType->currentRow() >= 0)
      for (const TEntry& entry : items_)
        if (entry.key == chosenKey()) lbValue->addItem(entry.text);
    lbValue->setCurrentRow(lbValue->count() > 0 ? 0 : -1);
  }
  lblHint->setText(lbValue->currentItem() ? lbValue->currentItem()->text() : QString());
}

QString TfrmExpBuilder::ItemInsertion() const {
  const QListWidgetItem* item = lbValue->currentItem();
  if (!item) return {};
  if (lbType->currentRow() == grDataSources)
    return "[" + lbSubType->currentItem()->text() + "." + item->text() + "]";
  return " " + item->text() + " ";
}

void TfrmExpBuilder::ValueAdd(const QString& insertion) {
  memExpression->textCursor().insertText(insertion);
  memExpression->setFocus();
}

void TfrmExpBuilder::btnValidateClick() {
  TZdqExprDataManager fields;
  fields.Bind(dataManager_);
  try {
    EvaluateValue(&fields, Expression().toStdString(),
                  [this](TComponent* sender, const std::string& name, bool& accept, TFieldType& type, TVariant& value) {
                    ZdqGetVariable(sender, name, accept, type, value);
                  });
  } catch (const std::exception& e) {
    QMessageBox::critical(this, DesignerText(shift_, txt::ErrorCaption), QString::fromStdString(e.what()));
    return;
  }
  QMessageBox::information(this, DesignerText(shift_, txt::InformationCaption), DesignerText(shift_, kValid));
}

void TfrmExpBuilder::ZdqGetVariable(TComponent*, const std::string& variableName, bool& accept,
                                    TFieldType& variableType, TVariant& value) const {
  const auto kind = SysDataByEnglishName(variableName);
  if (!kind) return;
  accept = true;
  variableType = SysDataFieldType(*kind);
  const double now = Now().days;
  switch (*kind) {
    case TZdqSysDataType::sdDate:
      value = int64_t(std::floor(now));
      break;
    case TZdqSysDataType::sdTime:
      value = TDateTime{now - std::floor(now)};
      break;
    case TZdqSysDataType::sdDateTime:
      value = TDateTime{now};
      break;
    case TZdqSysDataType::sdAuthor:
    case TZdqSysDataType::sdReportTitle:
    case TZdqSysDataType::sdSubject:
    case TZdqSysDataType::sdKeywords:
      value = std::string();
      break;
    case TZdqSysDataType::sdDetailNo:
      value = -1;
      break;
    case TZdqSysDataType::sdBandLineNo:
      break;  // no sample: the line number exists only while a band prints
    default:
      value = 1;  // page, bar and column numbers and counts
      break;
  }
}

bool ExpressionBuilder(std::string& expression, int languageShift, const TZdqDataManager* dataManager,
                       const TZdqVariables* variables, const TZdqParameters* parameters, QWidget* parent) {
  TfrmExpBuilder dialog(languageShift, dataManager, variables, parameters, parent);
  dialog.SetExpression(QString::fromStdString(expression));
  if (dialog.exec() != QDialog::Accepted) return false;
  expression = dialog.Expression().toStdString();
  return true;
}

bool ExpressionBuilder(std::string& expression, TZdReport& report, QWidget* parent) {
  return ExpressionBuilder(expression, report.GetLanguageShift(), &report.GetDataManager(), &report.Variables(),
                           &report.Parameters(), parent);
}

}  // namespace zd
