#include "host/data/CsvDataSet.h"

#include <fstream>
#include <sstream>

#include "host/core/TextUtil.h"
#include "host/data/CsvReader.h"
#include "host/data/detail/ValueConv.h"

namespace zd {
namespace {

// The narrowest type that reads every non-empty cell of a column seen so far.
class TColumnGuess {
 public:
  void See(const std::string& text) {
    any_ = true;
    if (!canFloat_ && !canDate_) return;  // text already, whatever follows
    if (canInteger_ && !ParseInteger(text)) canInteger_ = false;
    if (canFloat_ && !canInteger_ && !ParseFloat(text)) canFloat_ = false;
    if (canDate_ && !ParseIsoDate(text)) canDate_ = false;
  }
  TFieldType Type() const {
    if (!any_) return TFieldType::ftString;
    if (canInteger_) return TFieldType::ftLargeint;
    if (canFloat_) return TFieldType::ftFloat;
    if (canDate_) return TFieldType::ftDate;
    return TFieldType::ftString;
  }

 private:
  bool canInteger_ = true, canFloat_ = true, canDate_ = true, any_ = false;
};

int Utf8Length(const std::string& text) {
  int n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

bool IsSupportedDeclaredType(TFieldType type) {
  return IsNumericFieldType(type) || IsTemporalFieldType(type) || IsTextFieldType(type) ||
         type == TFieldType::ftBoolean;
}

}  // namespace

void TCsvDataSet::SetFileName(const std::string& fileName) {
  CheckInactive("change the file name");
  fileName_ = fileName;
}

void TCsvDataSet::SetCsvText(std::string text) {
  CheckInactive("change the CSV text");
  text_ = std::move(text);
}

void TCsvDataSet::SetDelimiter(char delimiter) {
  CheckInactive("change the delimiter");
  if (delimiter == '"' || delimiter == '\r' || delimiter == '\n')
    Fail("A CSV delimiter cannot be a quote or a line break");
  delimiter_ = delimiter;
}

void TCsvDataSet::SetFieldType(const std::string& fieldName, TFieldType type) {
  CheckInactive("declare a field type");
  if (!IsSupportedDeclaredType(type))
    Fail("CSV fields cannot have the type " + FieldTypeName(type));
  declaredTypes_[UpperCase(fieldName)] = type;
}

void TCsvDataSet::ClearFieldTypes() {
  CheckInactive("clear the field types");
  declaredTypes_.clear();
}

TFieldType TCsvDataSet::DeclaredType(const std::string& fieldName, bool& declared) const {
  auto it = declaredTypes_.find(UpperCase(fieldName));
  declared = it != declaredTypes_.end();
  return declared ? it->second : TFieldType::ftUnknown;
}

std::string TCsvDataSet::LoadText() const {
  if (fileName_.empty()) return text_;
  auto fileError = [this](const std::string& message) {
    EDatabaseError error = Error(message);
    error.SetFileName(fileName_);
    return error;
  };
  std::ifstream in(fileName_, std::ios::binary);
  if (!in) throw fileError("Cannot open CSV file '" + fileName_ + "'");
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) throw fileError("Cannot read CSV file '" + fileName_ + "'");
  return content.str();
}

void TCsvDataSet::DoOpen() {
  const std::string text = LoadText();
  const std::string source = fileName_.empty() ? std::string("CSV text") : "'" + fileName_ + "'";
  try {
    TCsvReader reader(text, delimiter_ == DetectDelimiter ? DetectCsvDelimiter(text) : delimiter_);
    std::vector<std::string> record;
    if (!reader.ReadRecord(record)) Fail(source + " has no header row");
    std::vector<TFieldDef> defs;
    for (size_t i = 0; i < record.size(); ++i) {
      std::string name = Trim(record[i]);
      if (name.empty()) name = "Field" + std::to_string(i + 1);
      defs.push_back({std::move(name), TFieldType::ftString, 0});
    }
    SetFieldDefs(defs);

    // Rows first as text, then typed once every column's type is known.
    std::vector<int> lines;
    const size_t columns = defs.size();
    std::vector<TColumnGuess> guesses(columns);
    std::vector<TVariant> row(columns);
    while (reader.ReadRecord(record)) {
      if (record.size() != columns)
        throw AtOffset(ECsvError(reader.RecordLine(), "expected " + std::to_string(columns) + " fields but found " +
                                                          std::to_string(record.size())),
                       reader.RecordOffset());
      for (size_t c = 0; c < columns; ++c) {
        row[c] = TVariant();
        if (record[c].empty()) continue;
        guesses[c].See(record[c]);
        row[c] = TVariant(std::move(record[c]));
      }
      Rows().AppendRow(row);
      lines.push_back(reader.RecordLine());
    }

    for (size_t c = 0; c < columns; ++c) {
      bool declared = false;
      defs[c].type = DeclaredType(defs[c].name, declared);
      if (!declared) defs[c].type = guesses[c].Type();
    }
    TRowBuffer typed;
    typed.Reset(int(columns));
    for (int r = 0; r < Rows().RowCount(); ++r) {
      row = Rows().Row(r);
      for (size_t c = 0; c < columns; ++c) {
        TFieldDef& def = defs[c];
        TVariant& cell = row[c];
        if (cell.isNull()) continue;
        if (IsTextFieldType(def.type)) {
          def.size = std::max(def.size, Utf8Length(cell.asString()));
          continue;
        }
        try {
          cell = CoerceToFieldType(cell, def.type);
        } catch (const EConvertError& e) {
          throw ECsvError(lines[size_t(r)], "field '" + def.name + "': " + e.what());
        }
      }
      typed.AppendRow(row);
    }
    // Same names, so only types and sizes change.
    SetFieldDefs(defs);
    Rows() = std::move(typed);
  } catch (const ECsvError& e) {
    EDatabaseError error = Error(source + ": " + e.what());
    error.SetFileName(fileName_);
    if (e.Offset()) error.SetOffset(*e.Offset());
    throw error;
  }
}

void TCsvDataSet::DoClose() { Rows().Reset(FieldCount()); }

}  // namespace zd
