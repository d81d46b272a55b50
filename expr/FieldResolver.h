#pragma once
// How expressions reach dataset fields. The report implements these two
// small interfaces over its data manager; this library stays free of the
// dataset layer. Field, Dataset.Field and Report.Dataset.Field references
// are resolved by GetFieldByName below.
#include <string>

#include "host/core/Variant.h"
#include "host/data/FieldType.h"

namespace zd {

// A field as expressions see it: its type for the type rules when parsed,
// its current value at every evaluation.
class TExprField {
 public:
  virtual ~TExprField() = default;
  virtual TFieldType DataType() const = 0;
  virtual TFieldKind FieldKind() const { return TFieldKind::fkData; }
  virtual TVariant Value() const = 0;  // Null for a Null field
};

// One dataset item of the data manager.
class TExprDataSource {
 public:
  virtual ~TExprDataSource() = default;
  virtual std::string DataSetName() const = 0;  // the dataset component's name
  virtual std::string Caption() const = 0;
  // Case-insensitive find by field name; nullptr when missing. The field
  // stays valid while the data source is unchanged.
  virtual const TExprField* FindField(const std::string& fieldName) const = 0;
};

// The report's data manager: its dataset items in order.
class TExprDataManager {
 public:
  virtual ~TExprDataManager() = default;
  virtual int DataSourceCount() const = 0;
  virtual const TExprDataSource* DataSource(int index) const = 0;  // nullptr for an empty item
};

// "Amount" -> ("", "Amount"); "Orders.Amount" -> ("Orders", "Amount");
// "Report.Orders.Amount" -> ("Orders", "Amount"). The text after the first
// "." is cut to 255 characters before it is split again.
struct TFieldReference {
  std::string dataset, field;
};
TFieldReference SplitFieldReference(const std::string& reference);

// A name without "." is a field of the first dataset item; a dataset name
// matches an item's dataset name or caption, ignoring case. nullptr when
// there is no data manager, no item, no matching item or no such field.
const TExprField* GetFieldByName(const TExprDataManager* dataManager, const std::string& name);

}  // namespace zd
