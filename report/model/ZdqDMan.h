#pragma once
// The datasets a report's expressions may name, and the resolution of field
// references ("Field", "Dataset.Field", "Report.Dataset.Field") against them.
#include <cstddef>
#include <functional>
#include <string>

#include "host/core/Collection.h"
#include "host/core/Component.h"
#include "host/core/Properties.h"
#include "host/data/DataSet.h"

namespace zd {

class TZdqDataManager;

class TZdqDataset : public TCollectionItem {
 public:
  std::string ClassName() const override { return "TZdqDataset"; }
  void Assign(const TPersistent& source) override;
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TDataSet* Dataset() const { return dataset_; }
  // A dataset fills an empty caption with its component name; none clears it.
  void SetDataset(TDataSet* dataset);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }

 private:
  friend class TZdqDataManager;
  TZdqDataManager* manager() const;

  TDataSet* dataset_ = nullptr;
  std::string caption_;
};

class TZdqDatasets : public TOwnedCollection<TZdqDataset> {
 public:
  using TOwnedCollection::TOwnedCollection;
  std::string ClassName() const override { return "TZdqDatasets"; }
  TZdqDataset* ItemByDataset(const TDataSet* dataset) const;  // first item, else nullptr
};

using TZdqDQueryBuilder = std::function<void(TComponent* sender, std::string& sql)>;

class TZdqDataManager : public TComponent {
 public:
  explicit TZdqDataManager(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqDataManager"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TZdqDatasets& Datasets() { return datasets_; }
  const TZdqDatasets& Datasets() const { return datasets_; }
  void SetDatasets(const TZdqDatasets& datasets) { datasets_.Assign(datasets); }
  TZdqDataset* AddDataset(TDataSet* dataset);

  // Lists the main dataset first, then every other dataset owned by root;
  // the components owned by the main dataset are scanned as well.
  void FillDatasetList(const TComponent* root, TDataSet* mainDataset);

  // First listed dataset whose component name matches, ignoring case.
  TDataSet* DatasetByComponentName(const std::string& name) const;
  // First listed dataset whose component name or caption matches, ignoring case.
  TDataSet* DatasetByNameOrCaption(const std::string& name) const;

  TZdqDQueryBuilder OnQueryBuilder;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void scanOwned(const TComponent& owner, TDataSet* mainDataset);

  TZdqDatasets datasets_{this};
};

// The manager reports use when they name none.
TZdqDataManager& defDataManager();

// The field a reference names, or nullptr when the manager lists no datasets,
// the dataset is not listed or the field does not exist.
TField* GetFieldByName(const TZdqDataManager* manager, const std::string& reference);
// No manager names no field; this also keeps a literal nullptr from being
// ambiguous where the expression engine's overload is visible as well.
inline TField* GetFieldByName(std::nullptr_t, const std::string&) { return nullptr; }

}  // namespace zd
