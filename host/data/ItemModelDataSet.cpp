#include "host/data/ItemModelDataSet.h"

#include <algorithm>

#include "host/data/detail/QtValues.h"

namespace zd {
namespace {

// Rows read ahead at opening to learn the column types.
constexpr int kTypeSampleRows = 64;
// Rows copied per fetch.
constexpr int kFetchBatch = 256;

}  // namespace

void TItemModelDataSet::SetModel(QAbstractItemModel* model, const QModelIndex& root) {
  CheckInactive("change the model");
  model_ = model;
  root_ = root;
}

void TItemModelDataSet::SetRole(int role) {
  CheckInactive("change the role");
  role_ = role;
}

void TItemModelDataSet::DoOpen() {
  if (!model_) Fail("No item model is set, or it no longer exists");
  QAbstractItemModel& model = *model_;
  const QModelIndex root = root_;
  const int columns = model.columnCount(root);
  if (columns <= 0) Fail("The item model has no columns");

  std::vector<TFieldDef> defs;
  std::vector<std::vector<QVariant>> sample;
  while (model.canFetchMore(root) && model.rowCount(root) < kTypeSampleRows)
    model.fetchMore(root);
  const int sampleRows = std::min(model.rowCount(root), kTypeSampleRows);
  for (int r = 0; r < sampleRows; ++r) {
    auto& row = sample.emplace_back(size_t(columns));
    for (int c = 0; c < columns; ++c) row[size_t(c)] = model.index(r, c, root).data(role_);
  }
  types_.clear();
  for (int c = 0; c < columns; ++c) {
    std::string name = model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
    if (name.empty()) name = "Column" + std::to_string(c + 1);
    types_.push_back(InferFieldType(sample, c));
    defs.push_back({name, types_.back(), 0});
  }
  SetFieldDefs(defs);
  nextRow_ = 0;
}

void TItemModelDataSet::ReadRow(int row) {
  const QModelIndex root = root_;
  std::vector<TVariant> values(types_.size());
  for (int c = 0; c < int(types_.size()); ++c)
    values[size_t(c)] = FitToType(VariantFromQt(model_->index(row, c, root).data(role_)), types_[size_t(c)]);
  Rows().AppendRow(values);
}

bool TItemModelDataSet::FetchMoreRows() {
  if (!model_) Fail("The item model was deleted while the dataset was open");
  const QModelIndex root = root_;
  if (nextRow_ >= model_->rowCount(root) && model_->canFetchMore(root))
    model_->fetchMore(root);
  const int end = std::min(model_->rowCount(root), nextRow_ + kFetchBatch);
  const int first = nextRow_;
  for (; nextRow_ < end; ++nextRow_) ReadRow(nextRow_);
  return nextRow_ > first;
}

}  // namespace zd
