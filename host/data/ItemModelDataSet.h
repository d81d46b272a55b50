#pragma once
// A read-only dataset over any Qt item model: the model's columns are the
// fields (named by their horizontal header), its top-level rows under the
// root index are the rows. Column types come from the values the model
// gives for the role read, as for SQL results. Rows are read as the cursor
// first reaches them, fetching more from lazy models; reopen to see later
// changes of the model.
#include <QAbstractItemModel>
#include <QPersistentModelIndex>
#include <QPointer>

#include "host/data/DataSet.h"

namespace zd {

/// The top-level rows of a Qt item model, read-only; columns are the fields.
class TItemModelDataSet : public TDataSet {
 public:
  explicit TItemModelDataSet(TComponent* owner = nullptr) : TDataSet(owner) {}
  ~TItemModelDataSet() override { Close(); }
  std::string ClassName() const override { return "TItemModelDataSet"; }

  /// Not owned; opening fails once the model is gone. Not const: lazy
  /// models are asked to fetch their rows.
  void SetModel(QAbstractItemModel* model, const QModelIndex& root = {});
  /// The data role read: edit values by default, which models keep unformatted.
  int Role() const { return role_; }
  void SetRole(int role);

 protected:
  void DoOpen() override;
  void DoClose() override {}
  bool FetchMoreRows() override;

 private:
  void ReadRow(int row);

  QPointer<QAbstractItemModel> model_;
  QPersistentModelIndex root_;
  int role_ = Qt::EditRole;
  int nextRow_ = 0;
  std::vector<TFieldType> types_;
};

}  // namespace zd
