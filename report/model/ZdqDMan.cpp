#include "report/model/ZdqDMan.h"

#include "expr/ExprParser.h"
#include "host/core/TextUtil.h"

namespace zd {

// ---- TZdqDataset ----

TZdqDataManager* TZdqDataset::manager() const {
  return Collection() ? dynamic_cast<TZdqDataManager*>(Collection()->Owner()) : nullptr;
}

void TZdqDataset::SetDataset(TDataSet* dataset) {
  dataset_ = dataset;
  if (!dataset) {
    caption_.clear();
    return;
  }
  if (caption_.empty()) caption_ = dataset->Name();
  // The manager hears of the dataset's removal and drops it from its items.
  if (TZdqDataManager* m = manager()) m->FreeNotification(dataset);
}

void TZdqDataset::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqDataset*>(&source);
  if (!other) return TPersistent::Assign(source);
  caption_ = other->caption_;
  SetDataset(other->dataset_);
}

const TClassProperties& TZdqDataset::ClassProperties() {
  using D = TZdqDataset;
  static const TClassProperties props =
      TPropertiesOf<D>("TZdqDataset", nullptr)
          .Reference("Dataset", [](const D& d) { return d.Dataset(); }, [](D& d, TDataSet* v) { d.SetDataset(v); })
          .String("Caption", [](const D& d) { return d.Caption(); },
                  [](D& d, const std::string& v) { d.SetCaption(v); })
          .Build();
  return props;
}

TZdqDataset* TZdqDatasets::ItemByDataset(const TDataSet* dataset) const {
  for (int i = 0; i < Count(); ++i)
    if ((*this)[i]->Dataset() == dataset) return (*this)[i];
  return nullptr;
}

// ---- TZdqDataManager ----

TZdqDataManager::TZdqDataManager(TComponent* owner) : TComponent(owner) { ListenToSiblings(); }

const TClassProperties& TZdqDataManager::ClassProperties() {
  using M = TZdqDataManager;
  static const TClassProperties props =
      TPropertiesOf<M>("TZdqDataManager", nullptr)
          .String("Name", [](const M& m) { return m.Name(); }, [](M& m, const std::string& v) { m.SetName(v); })
          .Collection("Datasets", [](M& m) -> TZdqDatasets& { return m.Datasets(); })
          .Build();
  return props;
}

TZdqDataset* TZdqDataManager::AddDataset(TDataSet* dataset) {
  TZdqDataset* item = datasets_.Add();
  item->SetDataset(dataset);
  return item;
}

void TZdqDataManager::FillDatasetList(const TComponent* root, TDataSet* mainDataset) {
  datasets_.Clear();
  if (mainDataset) AddDataset(mainDataset);
  if (root) scanOwned(*root, mainDataset);
}

void TZdqDataManager::scanOwned(const TComponent& owner, TDataSet* mainDataset) {
  for (TComponent* c : owner.Components()) {
    if (c == mainDataset) {
      scanOwned(*c, mainDataset);
    } else if (auto* ds = dynamic_cast<TDataSet*>(c)) {
      AddDataset(ds);
    }
  }
}

TDataSet* TZdqDataManager::DatasetByComponentName(const std::string& name) const {
  for (int i = 0; i < datasets_.Count(); ++i) {
    TDataSet* ds = datasets_[i]->Dataset();
    if (ds && SameText(ds->Name(), name)) return ds;
  }
  return nullptr;
}

TDataSet* TZdqDataManager::DatasetByNameOrCaption(const std::string& name) const {
  for (int i = 0; i < datasets_.Count(); ++i) {
    const TZdqDataset& item = *datasets_[i];
    if (item.Dataset() && (SameText(item.Dataset()->Name(), name) || SameText(item.Caption(), name)))
      return item.Dataset();
  }
  return nullptr;
}

void TZdqDataManager::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  for (int i = 0; i < datasets_.Count(); ++i) {
    TZdqDataset& item = *datasets_[i];
    if (item.dataset_ && static_cast<TComponent*>(item.dataset_) == component) {
      item.dataset_ = nullptr;
      item.caption_.clear();
    }
  }
}

TZdqDataManager& defDataManager() {
  static TZdqDataManager manager;
  return manager;
}

TField* GetFieldByName(const TZdqDataManager* manager, const std::string& reference) {
  if (!manager || manager->Datasets().Count() == 0) return nullptr;
  const TFieldReference ref = SplitFieldReference(reference);
  TDataSet* dataset = ref.dataset.empty() && reference.find('.') == std::string::npos
                          ? manager->Datasets()[0]->Dataset()
                          : manager->DatasetByNameOrCaption(ref.dataset);
  if (!dataset || ref.field.empty()) return nullptr;
  return dataset->FindField(ref.field);
}

}  // namespace zd
