#pragma once
// A read-only dataset over a CSV file whose first record names the fields
// (an unnamed one is called FieldN after its 1-based position). Field types
// are declared per field or inferred from all values: integer, then float,
// then ISO date (yyyy-mm-dd), else string. Empty cells are Null.
#include <map>
#include <string>

#include "host/data/DataSet.h"

namespace zd {

/// The records of a CSV file, read-only; the first record names the fields.
class TCsvDataSet : public TDataSet {
 public:
  explicit TCsvDataSet(TComponent* owner = nullptr) : TDataSet(owner) {}
  ~TCsvDataSet() override { Close(); }
  std::string ClassName() const override { return "TCsvDataSet"; }

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& fileName);
  /// Content to read instead of a file (used when FileName is empty).
  void SetCsvText(std::string text);
  /// The field delimiter; DetectDelimiter (the default) takes the one the
  /// text's header uses (see DetectCsvDelimiter).
  static constexpr char DetectDelimiter = 0;
  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char delimiter);

  /// Declares the type of a field by name (case-insensitive), overriding inference.
  void SetFieldType(const std::string& fieldName, TFieldType type);
  void ClearFieldTypes();

 protected:
  void DoOpen() override;
  void DoClose() override;

 private:
  std::string LoadText() const;
  TFieldType DeclaredType(const std::string& fieldName, bool& declared) const;

  std::string fileName_;
  std::string text_;
  char delimiter_ = DetectDelimiter;
  std::map<std::string, TFieldType> declaredTypes_;  ///< keys upper-cased
};

}  // namespace zd
