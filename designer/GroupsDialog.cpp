#include "designer/GroupsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "designer/ExpressionBuilder.h"
#include "designer/controls/ZdNumberEdit.h"
#include "designer/DesignerText.h"
#include "expr/ExprValue.h"
#include "host/core/Strings.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "report/model/ZdReport.h"
#include "report/model/ZdqBase.h"

namespace zd {

namespace {

enum : int {
  kCaption = 1480, kData, kNewPage, kReprintHeader, kLessThan, kNewPageIfNotFit = 1486, kDragHint,
  kConfirmDelete,
};

TGroup* groupOf(const QListWidgetItem* item) {
  return item ? reinterpret_cast<TGroup*>(item->data(Qt::UserRole).value<quintptr>()) : nullptr;
}

}  // namespace

bool TGroup::SameRules(const TZdqBand& band) const {
  return strExpression == band.Expression() && boolNewPage == band.NewPage() &&
         boolReprintHeader == band.ReprintHeader() && flLessThan == band.LessThan() &&
         boolNewPageIfNotFit == band.NewPageIfNotFit();
}

// ---- dragging rows ------------------------------------------------------

void TGroupList::mousePressEvent(QMouseEvent* event) {
  QListWidget::mousePressEvent(event);
  dragRow_ = event->button() == Qt::LeftButton ? row(itemAt(event->position().toPoint())) : -1;
  pressedAt_ = event->position().toPoint();
  dragging_ = false;
}

void TGroupList::mouseMoveEvent(QMouseEvent* event) {
  if (dragRow_ < 0 || !(event->buttons() & Qt::LeftButton)) return;
  if (!dragging_ &&
      (event->position().toPoint() - pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
    dragging_ = true;
    viewport()->setCursor(Qt::DragMoveCursor);
  }
}

void TGroupList::mouseReleaseEvent(QMouseEvent* event) {
  QListWidget::mouseReleaseEvent(event);
  const int from = dragRow_;
  const bool dropped = dragging_;
  dragRow_ = -1;
  dragging_ = false;
  viewport()->unsetCursor();
  const int to = row(itemAt(event->position().toPoint()));
  if (!dropped || from < 0 || to < 0 || to == from) return;
  insertItem(to, takeItem(from));
  setCurrentRow(to);
  if (OnMoved) OnMoved(from, to);
}

// ---- the dialog ---------------------------------------------------------

QString TfrmGroups::text(int id) const { return DesignerText(shift_, id); }

TfrmGroups::TfrmGroups(TZdReport& report, QWidget* parent)
    : QDialog(parent), report_(report), shift_(report.GetLanguageShift()) {
  setWindowTitle(text(kCaption));
  lbGroups = new TGroupList(this);
  lbGroups->setToolTip(text(kDragHint));
  lbGroups->OnMoved = [this](int, int) { modified_ = true; };

  pnlProperties = new QWidget(this);
  cbData = new QComboBox(pnlProperties);
  cbData->setEditable(true);  // an expression other than a field is typed in
  cbData->setInsertPolicy(QComboBox::NoInsert);
  cbData->addItem(QString());  // the scratch entry for such an expression
  TStringList fields;
  report.AssignDataSets(fields);
  for (int i = 0; i < fields.Count(); ++i) cbData->addItem(QString::fromStdString(fields[i]));
  cbNewPage = new QCheckBox(text(kNewPage), pnlProperties);
  cbReprintHeader = new QCheckBox(text(kReprintHeader), pnlProperties);
  cbLessThan = new QCheckBox(text(kLessThan), pnlProperties);
  edLessThan = new TZdNumberEdit(pnlProperties);
  edLessThan->setMaximumWidth(80);
  cbNewPageIfNotFit = new QCheckBox(text(kNewPageIfNotFit), pnlProperties);
  auto* lessThan = new QHBoxLayout;
  lessThan->addWidget(cbLessThan);
  lessThan->addWidget(edLessThan);
  lessThan->addStretch();
  auto* properties = new QFormLayout(pnlProperties);
  btnExpression = new QToolButton(pnlProperties);
  btnExpression->setText("...");
  auto* data = new QHBoxLayout;
  data->addWidget(cbData, 1);
  data->addWidget(btnExpression);
  properties->addRow(text(kData), data);
  properties->addRow(cbNewPage);
  properties->addRow(cbReprintHeader);
  properties->addRow(lessThan);
  properties->addRow(cbNewPageIfNotFit);

  btnAdd = new QPushButton(text(txt::Add), this);
  btnDelete = new QPushButton(text(txt::Delete), this);
  btnClose = new QPushButton(text(txt::Close), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnAdd);
  buttons->addWidget(btnDelete);
  buttons->addStretch();
  buttons->addWidget(btnClose);
  auto* columns = new QHBoxLayout;
  columns->addWidget(lbGroups, 1);
  columns->addWidget(pnlProperties, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(buttons);

  connect(lbGroups, &QListWidget::currentRowChanged, this, [this] { showSelected(); });
  auto flag = [this](QCheckBox* box, bool TGroup::*field) {
    connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
      if (showing_ || !selected()) return;
      selected()->*field = on;
      edited();
    });
  };
  flag(cbNewPage, &TGroup::boolNewPage);
  flag(cbReprintHeader, &TGroup::boolReprintHeader);
  flag(cbNewPageIfNotFit, &TGroup::boolNewPageIfNotFit);
  connect(cbLessThan, &QCheckBox::toggled, this, [this](bool on) {
    edLessThan->setEnabled(on);
    storeLessThan();
  });
  connect(edLessThan, &QLineEdit::editingFinished, this, [this] { storeLessThan(); });
  connect(cbData, &QComboBox::currentTextChanged, this, [this](const QString& s) { storeExpression(s); });
  connect(btnExpression, &QToolButton::clicked, this, [this] { buildExpression(); });
  connect(btnAdd, &QPushButton::clicked, this, [this] {
    addRow(std::make_unique<TGroup>());
    lbGroups->setCurrentRow(lbGroups->count() - 1);
    modified_ = true;
  });
  connect(btnDelete, &QPushButton::clicked, this, [this] { deleteSelected(); });
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

  readGroups(report);
  lbGroups->setCurrentRow(lbGroups->count() > 0 ? 0 : -1);
  showSelected();
  resize(560, 300);
}

TfrmGroups::~TfrmGroups() = default;

void TfrmGroups::readGroups(TZdReport& report) {
  for (TZdqBand* band : report.Bands()) {
    if (!band->IsGroup()) continue;
    originalBands_.push_back(band);
    auto same = std::find_if(groups_.begin(), groups_.end(), [&](const auto& g) { return g->SameRules(*band); });
    if (same != groups_.end()) {
      (*same)->lstBands.push_back(band);
      continue;
    }
    auto group = std::make_unique<TGroup>();
    group->lstBands = {band};
    group->boolNewPage = band->NewPage();
    group->boolReprintHeader = band->ReprintHeader();
    group->flLessThan = band->LessThan();
    group->strExpression = band->Expression();
    group->boolNewPageIfNotFit = band->NewPageIfNotFit();
    addRow(std::move(group));
  }
}

void TfrmGroups::addRow(std::unique_ptr<TGroup> group) {
  auto* item = new QListWidgetItem(caption(*group), lbGroups);
  item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(group.get())));
  groups_.push_back(std::move(group));
}

QString TfrmGroups::caption(const TGroup& group) const {
  const QString base = text(txt::Group);
  return group.strExpression.empty() ? base : base + "/" + QString::fromStdString(group.strExpression);
}

const std::vector<TGroup*> TfrmGroups::Groups() const {
  std::vector<TGroup*> list;
  for (int i = 0; i < lbGroups->count(); ++i) list.push_back(groupOf(lbGroups->item(i)));
  return list;
}

TGroup* TfrmGroups::selected() const { return groupOf(lbGroups->currentItem()); }

void TfrmGroups::showSelected() {
  const TGroup* group = selected();
  pnlProperties->setEnabled(group != nullptr);
  btnDelete->setEnabled(group != nullptr);
  if (!group) return;
  showing_ = true;
  cbNewPage->setChecked(group->boolNewPage);
  cbReprintHeader->setChecked(group->boolReprintHeader);
  cbNewPageIfNotFit->setChecked(group->boolNewPageIfNotFit);
  edLessThan->setText(QString::fromStdString(FloatToStr(group->flLessThan)));
  cbLessThan->setChecked(group->flLessThan > 0);
  edLessThan->setEnabled(group->flLessThan > 0);
  const QString expression = QString::fromStdString(group->strExpression);
  const int field = expression.isEmpty() ? -1 : cbData->findText(expression, Qt::MatchExactly);
  cbData->setItemText(0, field > 0 ? QString() : expression);
  cbData->setCurrentIndex(field > 0 ? field : 0);
  cbData->setEditText(expression);
  showing_ = false;
}

void TfrmGroups::edited() { modified_ = true; }

void TfrmGroups::storeLessThan() {
  TGroup* group = selected();
  if (showing_ || !group) return;
  // Text that is not a number stores 0.
  group->flLessThan = cbLessThan->isChecked() ? edLessThan->Value() : 0;
  edited();
}

void TfrmGroups::storeExpression(const QString& expression) {
  TGroup* group = selected();
  if (showing_ || !group) return;
  group->strExpression = expression.toStdString();
  lbGroups->currentItem()->setText(caption(*group));
  edited();
}

void TfrmGroups::buildExpression() {
  std::string expression = cbData->currentText().toStdString();
  if (!ExpressionBuilder(expression, report_, this)) return;
  const QString built = QString::fromStdString(expression);
  const int field = cbData->findText(built, Qt::MatchExactly);
  cbData->setItemText(0, field > 0 ? QString() : built);
  cbData->setCurrentIndex(field > 0 ? field : 0);
  cbData->setEditText(built);
  storeExpression(built);
}

void TfrmGroups::deleteSelected() {
  const int row = lbGroups->currentRow();
  if (row < 0) return;
  if (QMessageBox::question(this, text(txt::ConfirmationCaption), text(kConfirmDelete),
                            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  delete lbGroups->takeItem(row);  // the row's TGroup stays owned until the dialog goes
  lbGroups->setCurrentRow(row - 1);
  showSelected();
  edited();
}

void TfrmGroups::ApplyTo(TZdReport& report) const {
  if (!modified_) return;
  const std::vector<TGroup*> rows = Groups();
  for (TZdqBand* band : originalBands_) {
    const bool kept = std::any_of(rows.begin(), rows.end(), [&](const TGroup* g) {
      return std::find(g->lstBands.begin(), g->lstBands.end(), band) != g->lstBands.end();
    });
    if (!kept) report.DeleteBand(band->GetBandIndex());
  }
  // Placing a header puts it after every group header, a footer before every
  // group footer: rows placed in list order nest the first outermost.
  for (const TGroup* group : rows) {
    std::vector<TZdqBand*> bands = group->lstBands;
    if (bands.empty()) {
      bands = {&report.NewBand(TBandType::btGroupHeader, true), &report.NewBand(TBandType::btGroupFooter, false)};
    } else {
      for (TZdqBand* band : bands) report.AppendBand(*band, band->BandType() == TBandType::btGroupHeader);
    }
    for (TZdqBand* band : bands) {
      band->SetNewPage(group->boolNewPage);
      band->SetReprintHeader(group->boolReprintHeader);
      band->SetLessThan(group->flLessThan);
      band->SetExpression(group->strExpression);
      band->SetNewPageIfNotFit(group->boolNewPageIfNotFit);
    }
  }
}

bool EditGroups(QWidget* parent, TZdReport& report) {
  TfrmGroups dialog(report, parent);
  dialog.exec();
  dialog.ApplyTo(report);
  return dialog.Modified();
}

}  // namespace zd
