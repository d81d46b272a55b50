#include "designer/ReportExplorer.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "designer/DatasetDialog.h"
#include "designer/VariableDialogs.h"
#include "designer/DesignerText.h"
#include "expr/StrUtils.h"
#include "host/data/DataSet.h"
#include "host/data/SqlDataSet.h"
#include "print/Language.h"
#include "print/SysData.h"
#include "print/TextIds.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"
#include "report/model/ZdqBase.h"
#include "report/model/ZdqDMan.h"

namespace zd {

namespace {

enum : int {
  kCaption = 1750, kReportStructure, kDataSources, kVariablesList, kSystemVariables, kCustomVariables,
  kParameters, kConfirmDelete,
};

// What a node stands for.
enum class TNode { Band, Control, DataSource, Field, Group, SysData, Variable, Parameter };
constexpr int kKindRole = Qt::UserRole;
constexpr int kObjectRole = Qt::UserRole + 1;   // the band, control, variable or parameter
constexpr int kPayloadRole = Qt::UserRole + 2;  // what a drag carries, empty when not draggable

// Dragged nodes travel as lines of text: a kind word, then its arguments.
constexpr const char* kMime = "application/x-zdreport-explorer-node";

// Sizes of the controls a drop makes.
constexpr int kLabelWidth = 80, kExpressionWidth = 120, kControlHeight = 20, kDropGap = 2;

TNode kindOf(const QTreeWidgetItem* item) { return TNode(item->data(0, kKindRole).toInt()); }

template <class T>
T* objectOf(const QTreeWidgetItem* item) {
  return item ? reinterpret_cast<T*>(item->data(0, kObjectRole).value<quintptr>()) : nullptr;
}

QTreeWidgetItem* node(TNode kind, const QString& caption, const void* object = nullptr) {
  auto* item = new QTreeWidgetItem({caption});
  item->setData(0, kKindRole, int(kind));
  item->setData(0, kObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(object)));
  return item;
}

void setPayload(QTreeWidgetItem* item, const QStringList& payload) { item->setData(0, kPayloadRole, payload); }

QStringList payloadOf(const QMimeData& data) {
  return QString::fromUtf8(data.data(kMime)).split('\n');
}

}  // namespace

bool IsExplorerNode(const QMimeData& data) { return data.hasFormat(kMime); }

TZdqControl* DropExplorerNode(const QMimeData& data, TZdqBand& band, QPoint at) {
  if (!IsExplorerNode(data)) return nullptr;
  const QStringList payload = payloadOf(data);
  const QString& kind = payload.value(0);
  if (kind == "field" && payload.size() == 3) {
    const std::string field = payload[2].toStdString();
    auto& label = band.Add<TZdqLabel>(at.x(), at.y(), kLabelWidth, kControlHeight);
    label.SetDisplayName(field);
    const std::string expression = SetDSExpression(payload[1].toStdString(), field);
    auto& value = band.Add<TZdqExpression>(at.x() + kLabelWidth + kDropGap, at.y(), kExpressionWidth, kControlHeight);
    value.SetExpression(expression);
    value.SetDisplayName(expression);
    return &value;
  }
  if (kind == "sysdata" && payload.size() == 2) {
    auto& sysData = band.Add<TZdqSysData>(at.x(), at.y(), kExpressionWidth, kControlHeight);
    sysData.SetSysData(TZdqSysDataType(payload[1].toInt()));
    return &sysData;
  }
  if (kind == "value" && payload.size() == 2) {
    auto& value = band.Add<TZdqExpression>(at.x(), at.y(), kExpressionWidth, kControlHeight);
    value.SetExpression(payload[1].toStdString());
    value.SetDisplayName(payload[1].toStdString());
    return &value;
  }
  return nullptr;
}

// ---- the trees ----------------------------------------------------------

QStringList TExplorerTree::mimeTypes() const { return {kMime}; }

QMimeData* TExplorerTree::mimeData(const QList<QTreeWidgetItem*>& items) const {
  if (items.isEmpty()) return nullptr;
  const QStringList payload = items.first()->data(0, kPayloadRole).toStringList();
  if (payload.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(kMime, payload.join('\n').toUtf8());
  return data;
}

TZdqControl* TExplorerTree::draggedControl(const QMimeData& data) const {
  if (!IsExplorerNode(data)) return nullptr;
  const QStringList payload = payloadOf(data);
  if (payload.value(0) != "control") return nullptr;
  // Only a control of this tree's own report moves.
  for (int b = 0; b < topLevelItemCount(); ++b)
    for (int c = 0; c < topLevelItem(b)->childCount(); ++c)
      if (QTreeWidgetItem* child = topLevelItem(b)->child(c); child->data(0, kPayloadRole).toStringList() == payload)
        return objectOf<TZdqControl>(child);
  return nullptr;
}

QTreeWidgetItem* TExplorerTree::dropTarget(const QMimeData& data, QPoint at) const {
  TZdqControl* dragged = draggedControl(data);
  QTreeWidgetItem* target = itemAt(at);
  if (!dragged || !target || objectOf<TZdqControl>(target) == dragged) return nullptr;
  return target;
}

void TExplorerTree::dragEnterEvent(QDragEnterEvent* event) {
  if (draggedControl(*event->mimeData()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TExplorerTree::dragMoveEvent(QDragMoveEvent* event) {
  if (dropTarget(*event->mimeData(), event->position().toPoint()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TExplorerTree::dropEvent(QDropEvent* event) {
  QTreeWidgetItem* target = dropTarget(*event->mimeData(), event->position().toPoint());
  if (!target) {
    event->ignore();
    return;
  }
  TZdqControl& control = *draggedControl(*event->mimeData());
  event->acceptProposedAction();
  if (!OnMoveControl) return;
  if (kindOf(target) == TNode::Band) {
    auto& band = *objectOf<TZdqBand>(target);
    OnMoveControl(control, band, int(band.Objects().size()));
  } else {
    auto& before = *objectOf<TZdqControl>(target);
    OnMoveControl(control, *before.GetParentBand(), before.GetParentBand()->GetElement(&before));
  }
}

// ---- the panel ----------------------------------------------------------

QString TfrmZdqExplorer::text(int id) const { return DesignerText(shift_, id); }

TfrmZdqExplorer::TfrmZdqExplorer(TZdReport& report, QWidget* parent)
    : QDockWidget(parent), report_(report), shift_(report.GetLanguageShift()) {
  setObjectName("dockExplorer");
  setWindowTitle(text(kCaption));
  Pages = new QTabWidget(this);
  tvReport = new TExplorerTree;
  tvData = new TExplorerTree;
  tvVariables = new TExplorerTree;
  for (TExplorerTree* tree : {tvReport, tvData, tvVariables}) {
    tree->setHeaderHidden(true);
    tree->setDragEnabled(true);
    tree->setDragDropMode(QAbstractItemView::DragOnly);
  }
  tvReport->setDragDropMode(QAbstractItemView::DragDrop);
  tvReport->setAcceptDrops(true);
  btnDSAdd = new QPushButton(text(txt::Add));
  btnDSEdit = new QPushButton(text(txt::Edit));
  btnDSDelete = new QPushButton(text(txt::Delete));
  btnVarAdd = new QPushButton(text(txt::Add));
  btnVarEdit = new QPushButton(text(txt::Edit));
  btnVarDelete = new QPushButton(text(txt::Delete));
  Pages->addTab(page(tvReport, {}), text(kReportStructure));
  Pages->addTab(page(tvData, {btnDSAdd, btnDSEdit, btnDSDelete}), text(kDataSources));
  Pages->addTab(page(tvVariables, {btnVarAdd, btnVarEdit, btnVarDelete}), text(kVariablesList));
  setWidget(Pages);

  connect(tvReport, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (selecting_ || !item || !OnSelect) return;
    if (TZdqControl* chosen = NodeControl(item)) OnSelect(*chosen);
  });
  connect(tvVariables, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    btnVarEdit->setEnabled(item && (kindOf(item) == TNode::Variable || kindOf(item) == TNode::Parameter));
    btnVarDelete->setEnabled(item && kindOf(item) == TNode::Variable);
  });
  // Only SQL datasets can be edited here. The report's own datasets (those its
  // template stores) can be removed; of the others only a report's own manager
  // can drop its entry, as the shared default one lists the owner's afresh.
  connect(tvData, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    const TZdqDataset* chosen = item && kindOf(item) == TNode::DataSource ? objectOf<TZdqDataset>(item) : nullptr;
    const bool editable = chosen && dynamic_cast<TSqlDataSet*>(chosen->Dataset());
    btnDSEdit->setEnabled(editable);
    btnDSDelete->setEnabled(editable && (chosen->Dataset()->Owner() == &report_ || report_.DataManager()));
  });
  connect(btnDSAdd, &QPushButton::clicked, this, [this] { editDataset(true); });
  connect(btnDSEdit, &QPushButton::clicked, this, [this] { editDataset(false); });
  connect(btnDSDelete, &QPushButton::clicked, this, [this] { deleteDataset(); });
  connect(btnVarAdd, &QPushButton::clicked, this, [this] { editName(true); });
  connect(btnVarEdit, &QPushButton::clicked, this, [this] { editName(false); });
  connect(btnVarDelete, &QPushButton::clicked, this, [this] { deleteVariable(); });
  Rebuild();
}

QWidget* TfrmZdqExplorer::page(QTreeWidget* tree, const std::vector<QPushButton*>& buttons) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(tree);
  if (!buttons.empty()) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons) row->addWidget(button);
    layout->addLayout(row);
  }
  return page;
}

void TfrmZdqExplorer::Rebuild() {
  fillReport();
  fillData();
  fillVariables();
}

void TfrmZdqExplorer::fillReport() {
  selecting_ = true;
  tvReport->clear();
  const auto& bands = report_.Bands();
  for (size_t b = 0; b < bands.size(); ++b) {
    const TZdqBand& band = *bands[b];
    QString caption = QString::fromStdString(band.DisplayName());
    if (band.IsGroup()) caption += ": " + QString::fromStdString(band.Expression());
    QTreeWidgetItem* bandNode = node(TNode::Band, caption, &band);
    const auto& objects = band.Objects();
    for (size_t c = 0; c < objects.size(); ++c) {
      QTreeWidgetItem* controlNode = node(TNode::Control, QString::fromStdString(objects[c]->DisplayName()), objects[c]);
      setPayload(controlNode, {"control", QString::number(b), QString::number(c)});
      bandNode->addChild(controlNode);
    }
    tvReport->addTopLevelItem(bandNode);
  }
  tvReport->expandAll();
  selecting_ = false;
}

void TfrmZdqExplorer::fillData() {
  tvData->clear();
  const TZdqDatasets& items = report_.GetDataManager().Datasets();
  for (int i = 0; i < items.Count(); ++i) {
    const TZdqDataset& item = *items[i];
    TDataSet* dataset = item.Dataset();
    if (!dataset && item.Caption().empty()) continue;  // its dataset is gone
    const std::string name = !item.Caption().empty() ? item.Caption() : dataset ? dataset->Name() : std::string();
    QTreeWidgetItem* source = node(TNode::DataSource, QString::fromStdString(name), &item);
    if (dataset)
      for (int f = 0; f < GetFieldCount(*dataset); ++f) {
        QTreeWidgetItem* field = node(TNode::Field, QString::fromStdString(GetFieldDescription(*dataset, f)));
        setPayload(field, {"field", QString::fromStdString(name), QString::fromStdString(dataset->Fields(f).FieldName())});
        source->addChild(field);
      }
    tvData->addTopLevelItem(source);
  }
  btnDSEdit->setEnabled(false);
  btnDSDelete->setEnabled(false);
}

void TfrmZdqExplorer::fillVariables() {
  tvVariables->clear();
  QTreeWidgetItem* system = node(TNode::Group, text(kSystemVariables));
  for (int kind = 0; kind <= int(TZdqSysDataType::sdBandLineNo); ++kind) {
    QTreeWidgetItem* value = node(TNode::SysData, QString::fromStdString(GetSysDataName(shift_, TZdqSysDataType(kind))));
    setPayload(value, {"sysdata", QString::number(kind)});
    system->addChild(value);
  }
  QTreeWidgetItem* custom = node(TNode::Group, text(kCustomVariables));
  TZdqVariables& variables = report_.Variables();
  for (int i = 0; i < variables.Count(); ++i) {
    const QString name = QString::fromStdString(variables[i]->Name());
    QTreeWidgetItem* variable = node(TNode::Variable, name, variables[i]);
    setPayload(variable, {"value", name});
    custom->addChild(variable);
  }
  QTreeWidgetItem* parameters = node(TNode::Group, text(kParameters));
  TZdqParameters& params = report_.Parameters();
  for (int i = 0; i < params.Count(); ++i) {
    const QString name = QString::fromStdString(params[i]->Name());
    QTreeWidgetItem* parameter = node(TNode::Parameter, name, params[i]);
    setPayload(parameter, {"value", name});
    parameters->addChild(parameter);
  }
  tvVariables->addTopLevelItems({system, custom, parameters});
  custom->setExpanded(true);
  parameters->setExpanded(true);
  btnVarEdit->setEnabled(false);
  btnVarDelete->setEnabled(false);
}

TZdqControl* TfrmZdqExplorer::NodeControl(const QTreeWidgetItem* item) const {
  if (!item || (kindOf(item) != TNode::Band && kindOf(item) != TNode::Control)) return nullptr;
  return objectOf<TZdqControl>(item);
}

void TfrmZdqExplorer::SelectComponent(const TZdqControl* component) {
  if (!component) return;
  const TZdqBand* band = dynamic_cast<const TZdqBand*>(component);
  if (!band) band = component->GetParentBand();
  for (int b = 0; b < tvReport->topLevelItemCount(); ++b) {
    QTreeWidgetItem* bandNode = tvReport->topLevelItem(b);
    if (objectOf<TZdqBand>(bandNode) != band) continue;
    QTreeWidgetItem* chosen = bandNode;
    if (component != band) {
      const int index = band->GetElement(component);
      if (index < 0 || index >= bandNode->childCount()) return;
      chosen = bandNode->child(index);
    }
    selecting_ = true;
    tvReport->setCurrentItem(chosen);
    selecting_ = false;
    return;
  }
}

bool TfrmZdqExplorer::confirmDelete() {
  return QMessageBox::question(this, text(txt::ConfirmationCaption), text(kConfirmDelete),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TfrmZdqExplorer::editDataset(bool adding) {
  TZdqDataManager& manager = report_.GetDataManager();
  TZdqDataset* item = adding ? nullptr : objectOf<TZdqDataset>(tvData->currentItem());
  if (!adding && !item) return;
  // Owned by the report, whose template stores it.
  TfrmEditDS dialog(shift_, &report_, this);
  const std::string oldName = item && item->Dataset() ? item->Dataset()->Name() : std::string();
  if (item) dialog.SetDS(item->Dataset());
  if (manager.OnQueryBuilder)
    dialog.SetQueryBuilder([&manager](std::string& sql) { manager.OnQueryBuilder(&manager, sql); });
  if (dialog.exec() != QDialog::Accepted) return;
  if (adding && !report_.DataSet()) report_.SetDataSet(dialog.DS());  // a report's first rows are its own
  if (adding && !manager.Datasets().ItemByDataset(dialog.DS()))
    manager.AddDataset(dialog.DS());
  else if (item->Caption() == oldName)  // the caption followed the name; keep it following
    item->SetCaption(dialog.DS()->Name());
  fillData();
  if (OnEdited) OnEdited();
}

void TfrmZdqExplorer::deleteDataset() {
  QTreeWidgetItem* node = tvData->currentItem();
  if (!node || kindOf(node) != TNode::DataSource || !confirmDelete()) return;
  // The report's own dataset goes with its entry; another may be used
  // elsewhere by its name, so only the entry goes.
  TZdqDataset* item = objectOf<TZdqDataset>(node);
  TDataSet* own = item->Dataset() && item->Dataset()->Owner() == &report_ ? item->Dataset() : nullptr;
  report_.GetDataManager().Datasets().Delete(item->Index());
  delete own;
  fillData();
  if (OnEdited) OnEdited();
}

void TfrmZdqExplorer::deleteVariable() {
  QTreeWidgetItem* item = tvVariables->currentItem();
  if (!item || kindOf(item) != TNode::Variable || !confirmDelete()) return;
  report_.Variables().Delete(objectOf<TZdqVariable>(item)->Index());
  fillVariables();
  if (OnEdited) OnEdited();
}

void TfrmZdqExplorer::editName(bool adding) {
  QTreeWidgetItem* item = tvVariables->currentItem();
  const bool parametersRoot = item && tvVariables->indexOfTopLevelItem(item) == 2;
  if (item && kindOf(item) == TNode::Parameter)
    editParameter(adding ? nullptr : objectOf<TZdqParameter>(item));
  else if (adding && parametersRoot)
    editParameter(nullptr);
  else if (adding)
    editVariable(nullptr);
  else if (item && kindOf(item) == TNode::Variable)
    editVariable(objectOf<TZdqVariable>(item));
}

void TfrmZdqExplorer::editParameter(TZdqParameter* edited) {
  TZdqParameter fresh;
  TfrmParameter dialog(shift_, edited ? *edited : fresh, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.WriteBack(edited ? *edited : *report_.Parameters().Add());
  fillVariables();
  if (OnEdited) OnEdited();
}

void TfrmZdqExplorer::editVariable(TZdqVariable* edited) {
  TZdqVariable fresh;
  TfrmVariable dialog(report_, edited ? *edited : fresh, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.WriteBack(edited ? *edited : *report_.Variables().Add());
  fillVariables();
  if (OnEdited) OnEdited();
}

}  // namespace zd
