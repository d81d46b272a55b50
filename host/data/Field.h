#pragma once
// One column of a dataset as seen through its current row.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/core/Variant.h"
#include "host/data/FieldType.h"

namespace zd {

class TDataSet;

class TField {
 public:
  TField(TDataSet& dataSet, std::string fieldName, TFieldType type, int size, int index);
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  TDataSet& DataSet() const { return *dataSet_; }
  const std::string& FieldName() const { return fieldName_; }
  int Index() const { return index_; }
  TFieldType DataType() const { return type_; }
  TFieldKind FieldKind() const { return TFieldKind::fkData; }
  int Size() const { return size_; }  // characters of a string field, 0 when unbounded

  // Caption for users; the field name until one is set.
  const std::string& DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
  const std::string& DisplayName() const { return DisplayLabel(); }
  void SetDisplayLabel(std::string label) { displayLabel_ = std::move(label); }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  // Numbers are right-justified unless told otherwise.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
  // Characters wide when shown; derived from type and size until set.
  int DisplayWidth() const;
  void SetDisplayWidth(int width) { displayWidth_ = width; }

  // The current row's value: Null when the dataset is closed or empty.
  const TVariant& Value() const;
  void SetValue(const TVariant& value);  // only on editable datasets
  bool IsNull() const { return Value().isNull(); }
  std::string AsString() const;
  int64_t AsInteger() const;  // Null gives 0; floats round; text must be a whole number
  double AsFloat() const;     // Null gives 0; dates give their day number
  bool AsBoolean() const;
  TDateTime AsDateTime() const;

  bool IsBlob() const { return IsBlobFieldType(type_); }
  std::vector<uint8_t> AsBytes() const;  // the raw bytes of a blob, or the text of any value

 private:
  friend class TDataSet;
  void Redefine(TFieldType type, int size, int index);
  [[noreturn]] void ConversionFailed(const char* target) const;

  TDataSet* dataSet_;
  std::string fieldName_;
  TFieldType type_;
  int size_;
  int index_;
  std::string displayLabel_;
  bool visible_ = true;
  std::optional<TAlignment> alignment_;
  std::optional<int> displayWidth_;
};

}  // namespace zd
