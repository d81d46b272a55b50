#include "designer/ZdqWizard.h"
#include "designer/DesignerText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "expr/StrUtils.h"
#include "host/graphics/QtGraphics.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "report/model/ZdqDMan.h"

namespace zd {

namespace {

enum : int {
  kCaption = 2100, kBack, kNext, kCreate, kStep, kAbortQuestion, kTypeNames, kStyleCaption = 2110, kStyleNames,
  kColumnNames = 2115, kAdjustWidth = 2120, kGridCaptions, kCalcNames = 2124, kEndOfReport = 2130, kEndOfPage,
  kEndOfGroup, kNumberAcross, kLabelShape, kShapeNone, kShapeRectangle, kPageTexts = 2137,
  kFinishHeading = 2145, kFinishDescription, kLabelHeading, kLabelDescription, kShapeRoundRect,
};

constexpr int kStyleCount = 4, kTypeCount = 4, kCalcTypeCount = 6, kFirstGroupEntry = 4;

// A miniature of a report page in the chosen style: title, captions, rows.
class TStyleSample : public QWidget {
 public:
  TStyleSample(std::function<TWizardReportStyle()> style, QWidget* parent)
      : QWidget(parent), style_(std::move(style)) {
    setMinimumSize(170, 150);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    using S = TWizardReportStyle;
    const S style = style_();
    QPainter p(this);
    const QRect page = rect().adjusted(4, 4, -4, -4);
    p.fillRect(page, Qt::white);
    p.setPen(Qt::gray);
    p.drawRect(page);
    const QRect title(page.left() + 8, page.top() + 8, page.width() - 16, 18);
    const QColor maroon = ToQColor(0x000080), navy = ToQColor(0x800000);
    if (style == S::rsExecutive) p.fillRect(title, ToQColor(0x808000));
    QFont font = p.font();
    font.setBold(true);
    font.setItalic(style == S::rsCorporative);
    p.setFont(font);
    p.setPen(style == S::rsExecutive ? ToQColor(0x00FFFF) : style == S::rsPresentative ? maroon
                                                          : style == S::rsCorporative ? navy : QColor(Qt::black));
    p.drawText(title, style == S::rsStandard ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter, "Title");
    QPen rule(style == S::rsPresentative ? maroon : style == S::rsCorporative ? navy : QColor(Qt::black), 2);
    p.setPen(rule);
    if (style == S::rsStandard || style == S::rsPresentative) p.drawLine(title.bottomLeft(), title.bottomRight());
    if (style == S::rsPresentative || style == S::rsCorporative) p.drawLine(title.topLeft(), title.topRight());
    font.setBold(style != S::rsCorporative);
    font.setItalic(style == S::rsCorporative);
    p.setFont(font);
    p.setPen(style == S::rsExecutive || style == S::rsCorporative ? navy : QColor(Qt::black));
    int y = title.bottom() + 8;
    p.drawText(QRect(title.left(), y, title.width() / 2, 14), Qt::AlignLeft, "Name");
    p.drawText(QRect(title.center().x(), y, title.width() / 2, 14), Qt::AlignLeft, "Amount");
    for (y += 20; y + 10 < page.bottom(); y += 14) {
      p.setPen(Qt::darkGray);
      p.drawLine(title.left(), y, title.center().x() - 10, y);
      p.drawLine(title.center().x(), y, title.right() - 10, y);
      if (style != S::rsStandard) {
        p.setPen(Qt::lightGray);
        p.drawLine(title.left(), y + 5, title.right(), y + 5);
      }
    }
  }

 private:
  std::function<TWizardReportStyle()> style_;
};

QGroupBox* radioGroup(const QString& caption, QButtonGroup* group, const QStringList& items, QWidget* parent) {
  auto* box = new QGroupBox(caption, parent);
  auto* layout = new QVBoxLayout(box);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], box);
    group->addButton(button, i);
    layout->addWidget(button);
  }
  group->button(0)->setChecked(true);
  return box;
}

}  // namespace

QString TfrmZdqWizard::text(int id) const { return DesignerText(shift_, id); }

TfrmZdqWizard::TfrmZdqWizard(int languageShift, QWidget* parent) : QDialog(parent), shift_(languageShift) {
  lblHeading = new QLabel(this);
  QFont bold = lblHeading->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  lblHeading->setFont(bold);
  lblDescription = new QLabel(this);
  lblDescription->setWordWrap(true);
  Pages = new QStackedWidget(this);
  Pages->addWidget(typePage());
  Pages->addWidget(fieldsPage());
  Pages->addWidget(groupsPage());
  Pages->addWidget(calculationsPage());
  Pages->addWidget(finishPage());
  Pages->addWidget(labelSetupPage());

  lblStep = new QLabel(this);
  btnPrev = new QPushButton(text(kBack), this);
  btnNext = new QPushButton(text(kNext), this);
  btnFinish = new QPushButton(this);
  for (QPushButton* b : {btnPrev, btnNext, btnFinish}) b->setAutoDefault(false);
  btnNext->setDefault(true);
  connect(btnPrev, &QPushButton::clicked, this, [this] { btnPrevClick(); });
  connect(btnNext, &QPushButton::clicked, this, [this] { btnNextClick(); });
  connect(btnFinish, &QPushButton::clicked, this, [this] { close(); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lblStep);
  buttons->addStretch();
  buttons->addWidget(btnPrev);
  buttons->addWidget(btnNext);
  buttons->addWidget(btnFinish);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblHeading);
  layout->addWidget(lblDescription);
  layout->addWidget(Pages, 1);
  layout->addLayout(buttons);
  resize(560, 400);
  UpdateButtons();
}

QWidget* TfrmZdqWizard::typePage() {
  auto* page = new QWidget;
  rgReportType = new QButtonGroup(page);
  QStringList types, styles;
  for (int i = 0; i < kTypeCount; ++i) types << text(kTypeNames + i);
  for (int i = 0; i < kStyleCount; ++i) styles << text(kStyleNames + i);
  QGroupBox* typeBox = radioGroup({}, rgReportType, types, page);
  rgReportStyle = new QButtonGroup(page);
  gbReportStyle = radioGroup(text(kStyleCaption), rgReportStyle, styles, page);
  pbSample = new TStyleSample([this] { return ReportStyle(); }, page);
  rgReportType->button(int(TWizardReportType::rtColumnar))->setChecked(true);
  connect(rgReportType, &QButtonGroup::idClicked, this, [this] { rgReportTypeClick(); });
  connect(rgReportStyle, &QButtonGroup::idClicked, this, [this] { rgReportTypeClick(); });

  auto* choices = new QVBoxLayout;
  choices->addWidget(typeBox);
  choices->addWidget(gbReportStyle);
  choices->addStretch();
  auto* layout = new QHBoxLayout(page);
  layout->addLayout(choices);
  layout->addWidget(pbSample, 1);
  return page;
}

QWidget* TfrmZdqWizard::fieldsPage() {
  auto* page = new QWidget;
  lvFields = new QTreeWidget(page);
  lvFields->setRootIsDecorated(false);
  QStringList columns;
  for (int i = 0; i < 5; ++i) columns << text(kColumnNames + i);
  lvFields->setHeaderLabels(columns);
  lvFields->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(lvFields, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    for (int mode = 0; mode < 3; ++mode)
      connect(menu.addAction(text(txt::SelectAll + mode)), &QAction::triggered, this, [this, mode] { setAllChecked(mode); });
    menu.exec(lvFields->viewport()->mapToGlobal(at));
  });
  chkAdjustWidth = new QCheckBox(text(kAdjustWidth), page);
  chkAdjustWidth->setChecked(true);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(lvFields, 1);
  layout->addWidget(chkAdjustWidth);
  return page;
}

QWidget* TfrmZdqWizard::groupsPage() {
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);
  for (int level = 0; level < 3; ++level) {
    cbGroup[size_t(level)] = new QCheckBox(text(txt::Group) + QString(" %1").arg(level + 1), page);
    cbGroup[size_t(level)]->setObjectName(QString("cbGroup%1").arg(level + 1));
    cbGroupBy[size_t(level)] = new QComboBox(page);
    cbGroupBy[size_t(level)]->setObjectName(QString("cbGroupBy%1").arg(level + 1));
    cbGroupBy[size_t(level)]->setEnabled(false);
    cbGroup[size_t(level)]->setEnabled(level == 0);
    connect(cbGroup[size_t(level)], &QCheckBox::toggled, this, [this, level] { groupLevelChanged(level); });
    connect(cbGroupBy[size_t(level)], &QComboBox::currentIndexChanged, this, [this, level] { groupLevelChanged(level); });
    layout->addWidget(cbGroup[size_t(level)], level, 0);
    layout->addWidget(cbGroupBy[size_t(level)], level, 1);
  }
  layout->setColumnStretch(1, 1);
  layout->setRowStretch(3, 1);
  return page;
}

// A level's list is usable while its box is checked; the next level opens,
// checked, once this one is checked and has an entry chosen.
void TfrmZdqWizard::groupLevelChanged(int level) {
  const bool checked = cbGroup[size_t(level)]->isChecked();
  cbGroupBy[size_t(level)]->setEnabled(checked);
  if (level == 2) return;
  const bool open = checked && cbGroupBy[size_t(level)]->currentIndex() >= 0;
  cbGroup[size_t(level) + 1]->setEnabled(open);
  cbGroup[size_t(level) + 1]->setChecked(open);
}

QWidget* TfrmZdqWizard::calculationsPage() {
  auto* page = new QWidget;
  sgCalculate = new QTableWidget(kCalculationRows, 3, page);
  sgCalculate->setHorizontalHeaderLabels({text(kGridCaptions), text(kGridCaptions + 1), text(kGridCaptions + 2)});
  sgCalculate->verticalHeader()->setFixedWidth(40);
  for (int column = 0; column < 3; ++column) sgCalculate->setColumnWidth(column, 110);
  sgCalculate->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int row = 0; row < kCalculationRows; ++row)
    for (int column = 0; column < 3; ++column) sgCalculate->setItem(row, column, new QTableWidgetItem);

  cbCalcExpression = new QComboBox(sgCalculate->viewport());
  cbCalcExpression->setEditable(true);
  cbCalcType = new QComboBox(sgCalculate->viewport());
  for (int i = 0; i < kCalcTypeCount; ++i) cbCalcType->addItem(text(kCalcNames + i));
  cbCalcReset = new QComboBox(sgCalculate->viewport());
  cbCalcReset->addItems({text(kEndOfReport), text(kEndOfPage)});
  // The separator and the "End Of Group:" heading are not choices: the
  // choice moves on to the first group.
  connect(cbCalcReset, &QComboBox::activated, this, [this](int index) {
    if ((index == 2 || index == 3) && cbCalcReset->count() > kFirstGroupEntry)
      cbCalcReset->setCurrentIndex(kFirstGroupEntry);
  });
  for (QComboBox* editor : {cbCalcExpression, cbCalcType, cbCalcReset}) editor->hide();
  connect(sgCalculate, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
    commitCellEditor();
    placeCellEditor(row, column);
  });
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(sgCalculate);
  return page;
}

QComboBox* TfrmZdqWizard::cellEditor(int column) const {
  return column == 0 ? cbCalcExpression : column == 1 ? cbCalcType : column == 2 ? cbCalcReset : nullptr;
}

void TfrmZdqWizard::placeCellEditor(int row, int column) {
  QComboBox* editor = cellEditor(column);
  if (row < 0 || !editor) return;
  const QString cell = sgCalculate->item(row, column)->text();
  if (editor->isEditable())
    editor->setCurrentText(cell);
  else
    editor->setCurrentIndex(editor->findText(cell));
  editor->setGeometry(sgCalculate->visualItemRect(sgCalculate->item(row, column)));
  editor->show();
  editor->setFocus();
  editedRow_ = row;
  editedColumn_ = column;
}

void TfrmZdqWizard::commitCellEditor() {
  QComboBox* editor = cellEditor(editedColumn_);
  if (!editor || editedRow_ < 0) return;
  sgCalculate->item(editedRow_, editedColumn_)->setText(editor->currentText());
  editor->hide();
  editedRow_ = editedColumn_ = -1;
}

void TfrmZdqWizard::fillResetList() {
  while (cbCalcReset->count() > 2) cbCalcReset->removeItem(2);
  if (!(cbGroup[0]->isChecked() && cbGroupBy[0]->currentIndex() >= 0)) return;
  cbCalcReset->addItem(QString(12, QChar(0x2014)));
  cbCalcReset->addItem(text(kEndOfGroup));
  for (size_t level = 0; level < 3; ++level)
    if (cbGroup[level]->isChecked() && cbGroupBy[level]->currentIndex() >= 0)
      cbCalcReset->addItem(cbGroupBy[level]->currentText());
}

QWidget* TfrmZdqWizard::finishPage() { return new QWidget; }

QWidget* TfrmZdqWizard::labelSetupPage() {
  auto* page = new QWidget;
  edNumberAcross = new QLineEdit("2", page);
  edNumberAcross->setMaximumWidth(60);
  cbLabelShape = new QComboBox(page);
  cbLabelShape->addItems({text(kShapeNone), text(kShapeRectangle), text(kShapeRoundRect)});
  cbLabelShape->setCurrentIndex(0);
  auto* layout = new QFormLayout(page);
  layout->addRow(text(kNumberAcross), edNumberAcross);
  layout->addRow(text(kLabelShape), cbLabelShape);
  return page;
}

void TfrmZdqWizard::FillFields(const TZdqDataManager* dataManager) {
  lvFields->clear();
  rows_.clear();
  QStringList expressions;
  const int count = dataManager ? dataManager->Datasets().Count() : 0;
  for (int i = 0; i < count; ++i) {
    const TZdqDataset& item = *dataManager->Datasets()[i];
    const TDataSet* dataset = item.Dataset();
    for (int f = 0; dataset && f < dataset->FieldCount(); ++f) {
      const TField& field = dataset->Fields(f);
      rows_.push_back(WizardFieldOf(item.Caption(), field));
      auto* row = new QTreeWidgetItem(lvFields, {QString::fromStdString(item.Caption()),
                                                 QString::fromStdString(field.DisplayName()),
                                                 QString::fromStdString(field.FieldName()),
                                                 QString::fromStdString("ft" + FieldTypeName(field.DataType())),
                                                 QString::number(field.DisplayWidth())});
      row->setCheckState(0, i == 0 && field.Visible() ? Qt::Checked : Qt::Unchecked);
      expressions << QString::fromStdString(SetDSExpression(item.Caption(), field.DisplayName()));
    }
  }
  for (QComboBox* list : cbGroupBy) {
    list->clear();
    list->addItems(expressions);
    list->setCurrentIndex(-1);
  }
  cbCalcExpression->clear();
  cbCalcExpression->addItems(expressions);
}

void TfrmZdqWizard::setAllChecked(int mode) {
  for (int i = 0; i < lvFields->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = lvFields->topLevelItem(i);
    const bool checked = mode == 0 || (mode == 2 && row->checkState(0) != Qt::Checked);
    row->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
  }
}

TWizardReportType TfrmZdqWizard::ReportType() const { return TWizardReportType(rgReportType->checkedId()); }
TWizardReportStyle TfrmZdqWizard::ReportStyle() const { return TWizardReportStyle(rgReportStyle->checkedId()); }

int TfrmZdqWizard::LastStep() const {
  switch (ReportType()) {
    case TWizardReportType::rtBlank:
      return 1;
    case TWizardReportType::rtMailLabels:
      return 4;
    default:
      return 5;
  }
}

TfrmZdqWizard::TPage TfrmZdqWizard::pageOfStep(int step) const {
  if (ReportType() == TWizardReportType::rtMailLabels && step >= 3) return step == 3 ? pgLabelSetup : pgFinish;
  return TPage(step - 1);
}

void TfrmZdqWizard::rgReportTypeClick() {
  const TWizardReportType type = ReportType();
  gbReportStyle->setVisible(type == TWizardReportType::rtColumnar || type == TWizardReportType::rtTabular);
  pbSample->update();
  UpdateButtons();
}

void TfrmZdqWizard::btnNextClick() {
  if (current_ >= LastStep()) return;
  commitCellEditor();
  ++current_;
  if (pageOfStep(current_) == pgCalculations && current_ != LastStep()) {
    fillResetList();
    sgCalculate->setCurrentCell(0, 0);
    placeCellEditor(0, 0);
  }
  UpdateButtons();
}

void TfrmZdqWizard::btnPrevClick() {
  if (current_ <= 1) return;
  commitCellEditor();
  --current_;
  UpdateButtons();
}

void TfrmZdqWizard::UpdateButtons() {
  setWindowTitle(text(kCaption));
  const int last = LastStep();
  btnPrev->setEnabled(current_ > 1);
  btnNext->setEnabled(current_ < last);
  btnFinish->setText(current_ >= last ? text(kCreate) : text(txt::Cancel));
  lblStep->setText(QString::asprintf(GetString(shift_, kStep).c_str(), current_, last));
  const TPage page = pageOfStep(current_);
  Pages->setCurrentIndex(page);
  if (page == pgLabelSetup) {
    lblHeading->setText(text(kLabelHeading));
    lblDescription->setText(text(kLabelDescription));
  } else {
    lblHeading->setText(text(kPageTexts + page * 2));
    lblDescription->setText(text(kPageTexts + page * 2 + 1));
  }
}

void TfrmZdqWizard::closeEvent(QCloseEvent* event) {
  if (current_ == LastStep()) {
    aborted_ = false;
    commitCellEditor();
    done(Accepted);
    return;
  }
  const auto answer = QMessageBox::question(this, text(txt::ConfirmationCaption), text(kAbortQuestion),
                                            QMessageBox::Yes | QMessageBox::No);
  if (answer != QMessageBox::Yes) return event->ignore();
  aborted_ = true;
  done(Rejected);
}

TWizardChoices TfrmZdqWizard::Choices() const {
  TWizardChoices choices;
  choices.Type = ReportType();
  choices.Style = ReportStyle();
  for (int i = 0; i < lvFields->topLevelItemCount(); ++i)
    if (lvFields->topLevelItem(i)->checkState(0) == Qt::Checked) choices.Fields.push_back(rows_[size_t(i)]);
  choices.FitFieldsToWidth = chkAdjustWidth->isChecked();
  for (size_t level = 0; level < 3; ++level)
    if (cbGroup[level]->isChecked() && cbGroupBy[level]->currentIndex() >= 0)
      choices.Groups.push_back(cbGroupBy[level]->currentText().toStdString());
  for (int row = 0; row < kCalculationRows; ++row) {
    auto cell = [&](int column) { return sgCalculate->item(row, column)->text(); };
    if ((cell(0) + cell(1) + cell(2)).trimmed().isEmpty()) continue;
    TWizardCalculation calc;
    calc.Expression = cell(0).toStdString();
    calc.CalcType = TCalcType(std::max(0, cbCalcType->findText(cell(1))));
    calc.ResetText = cell(2).toStdString();
    const int reset = cbCalcReset->findText(cell(2)) + 1;
    calc.ResetType = reset < 2 ? TResetType::rtEndReport : reset == 2 ? TResetType::rtEndPage : TResetType::rtEndGroup;
    choices.Calculations.push_back(calc);
  }
  choices.LabelsAcross = edNumberAcross->text().toStdString();
  choices.LabelShape = TWizardLabelShape(cbLabelShape->currentIndex());
  return choices;
}

}  // namespace zd
