#include "report/model/ExprAdapter.h"

#include <map>

namespace zd {

namespace {

class TFieldAdapter : public TExprField {
 public:
  explicit TFieldAdapter(const TField& field) : field_(field) {}
  TFieldType DataType() const override { return field_.DataType(); }
  TFieldKind FieldKind() const override { return field_.FieldKind(); }
  TVariant Value() const override { return field_.Value(); }

 private:
  const TField& field_;
};

}  // namespace

class TZdqExprDataManager::TSource : public TExprDataSource {
 public:
  TSource(const TDataSet& dataset, std::string caption) : dataset_(dataset), caption_(std::move(caption)) {}
  std::string DataSetName() const override { return dataset_.Name(); }
  std::string Caption() const override { return caption_; }
  const TExprField* FindField(const std::string& fieldName) const override {
    const TField* field = dataset_.FindField(fieldName);
    if (!field) return nullptr;
    // One adapter per field, so that a field found once stays valid.
    auto& adapter = fields_[field];
    if (!adapter) adapter = std::make_unique<TFieldAdapter>(*field);
    return adapter.get();
  }

 private:
  const TDataSet& dataset_;
  std::string caption_;
  mutable std::map<const TField*, std::unique_ptr<TFieldAdapter>> fields_;
};

TZdqExprDataManager::TZdqExprDataManager() = default;
TZdqExprDataManager::~TZdqExprDataManager() = default;

bool TZdqExprDataManager::Bind(const TZdqDataManager* manager) {
  std::vector<TItem> items;
  if (manager)
    for (int i = 0; i < manager->Datasets().Count(); ++i) {
      const TZdqDataset& item = *manager->Datasets()[i];
      items.push_back({item.Dataset(), item.Caption()});
    }
  if (items == items_ && sources_.size() == items_.size()) return false;
  items_ = std::move(items);
  sources_.clear();
  for (const TItem& item : items_)
    sources_.push_back(item.dataset ? std::make_unique<TSource>(*item.dataset, item.caption) : nullptr);
  return true;
}

const TExprDataSource* TZdqExprDataManager::DataSource(int index) const {
  return index >= 0 && size_t(index) < sources_.size() ? sources_[size_t(index)].get() : nullptr;
}

}  // namespace zd
