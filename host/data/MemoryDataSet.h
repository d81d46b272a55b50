#pragma once
// A dataset whose columns are defined in code and whose rows are appended;
// values can be changed through the fields of the current row.
#include <string>
#include <vector>

#include "host/data/DataSet.h"

namespace zd {

/// Rows held in memory: fields defined with AddField, rows appended with
/// AppendRecord.
class TMemoryDataSet : public TDataSet {
 public:
  explicit TMemoryDataSet(TComponent* owner = nullptr) : TDataSet(owner) {}
  ~TMemoryDataSet() override { Close(); }
  std::string ClassName() const override { return "TMemoryDataSet"; }

  /// Only while closed and before any row is appended.
  TField& AddField(const std::string& name, TFieldType type, int size = 0);
  /// One value per field, converted to the field's type; works open or closed.
  void AppendRecord(const std::vector<TVariant>& values);
  void ClearRows();

 protected:
  void DoOpen() override;
  void DoClose() override {}
  bool CanModify() const override { return true; }

 private:
  std::vector<TFieldDef> defs_;
};

}  // namespace zd
