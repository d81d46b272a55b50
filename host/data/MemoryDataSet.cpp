#include "host/data/MemoryDataSet.h"

#include "host/data/detail/ValueConv.h"

namespace zd {

TField& TMemoryDataSet::AddField(const std::string& name, TFieldType type, int size) {
  CheckInactive("add a field");
  if (Rows().RowCount() > 0) Fail("Cannot add field '" + name + "' after rows were appended");
  if (name.empty()) Fail("A field needs a name");
  if (FindField(name)) Fail("Duplicate field name '" + name + "'");
  defs_.push_back({name, type, size});
  SetFieldDefs(defs_);
  return Fields(FieldCount() - 1);
}

void TMemoryDataSet::AppendRecord(const std::vector<TVariant>& values) {
  if (values.size() != defs_.size())
    Fail("A record needs " + std::to_string(defs_.size()) + " values, got " +
         std::to_string(values.size()));
  std::vector<TVariant> coerced(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    try {
      coerced[i] = CoerceToFieldType(values[i], defs_[i].type);
    } catch (const EConvertError& e) {
      Fail("field '" + defs_[i].name + "': " + e.what());
    }
  }
  Rows().AppendRow(coerced);
  RowsAppended();
}

void TMemoryDataSet::ClearRows() {
  Rows().Reset(int(defs_.size()));
  RowsReplaced();
}

void TMemoryDataSet::DoOpen() {
  if (defs_.empty()) Fail("Cannot open a dataset without fields");
}

}  // namespace zd
