#include "export/markup/CsvExport.h"

#include "export/CellNumber.h"
#include "export/detail/ExportOutput.h"
#include "host/core/Properties.h"

namespace zd {

namespace {

constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool looksLikeFormula(const std::string& text) {
  if (text.empty()) return false;
  switch (text[0]) {
    case '=': case '+': case '-': case '@': case '\t': case '\r': return !ReadCellNumber(text);
    default: return false;
  }
}

}  // namespace

TZdqExportToCSV::TZdqExportToCSV(TComponent* owner) : TZdqExportAttributes(owner) {}

const TClassProperties* TZdqExportToCSV::PublishedProperties() const {
  static const TClassProperties props =
      TPropertiesOf<TZdqExportToCSV>("TZdqExportToCSV", TZdqExportAttributes::PublishedProperties())
          .Integer("CodePage", &TZdqExportToCSV::CodePage, &TZdqExportToCSV::SetCodePage, TZdqOutputCharset::Utf8)
          .Boolean("ByteOrderMark", &TZdqExportToCSV::ByteOrderMark,
                   [](TZdqExportToCSV& e, bool v) { e.ByteOrderMark = v; }, true)
          .Boolean("FormulaGuard", &TZdqExportToCSV::FormulaGuard,
                   [](TZdqExportToCSV& e, bool v) { e.FormulaGuard = v; }, true)
          .Build();
  return &props;
}

std::string CsvField(const std::string& text, bool guardFormulas) {
  const std::string field = guardFormulas && looksLikeFormula(text) ? "'" + text : text;
  if (field.find_first_of(";\"\r\n") == std::string::npos) return field;
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

// Lines follow the grid's rows; no line end after the last.
std::string TZdqExportToCSV::rowText(const std::vector<TZdqMFERecord>& row) const {
  std::string text;
  for (const TZdqMFERecord& cell : row) {
    if (&cell != &row.front()) text += ';';
    text += CsvField(cell.Text, FormulaGuard);
  }
  return text;
}

void TZdqExportToCSV::write(const std::string& utf8) {
  std::ostream& out = output_->Stream();
  const std::string bytes = charset_.Encode(utf8, &ReplacedCharacters);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) throw EZdqExportFileError("writing the file \"" + DestinationFileName() + "\" failed");
}

void TZdqExportToCSV::BeginGridRows() {
  output_ = std::make_unique<TExportOutput>(DestinationFileName(), DestinationStream());
  if (charset_.IsUtf8() && ByteOrderMark) output_->Stream() << kUtf8ByteOrderMark;
  firstRow_ = true;
}

void TZdqExportToCSV::WriteGridRow(std::vector<TZdqMFERecord>& row) {
  write((firstRow_ ? "" : "\r\n") + rowText(row));
  firstRow_ = false;
}

void TZdqExportToCSV::SaveToFile(const std::string& fileName) {
  if (output_) {
    try {
      TZdqExportAttributes::SaveToFile(fileName);
      output_->Commit();
    } catch (...) {
      output_.reset();
      throw;
    }
    output_.reset();
    return;
  }
  TZdqExportAttributes::SaveToFile(fileName);
  // Every ColCount cells a line (all cells on one when no text gave columns).
  const size_t columns = size_t(ColCount());
  std::string text;
  size_t inRow = 0;
  for (const TZdqMFERecord& cell : Records()) {
    if (columns > 0 && inRow == columns) {
      text += "\r\n";
      inRow = 0;
    } else if (inRow > 0) {
      text += ';';
    }
    text += CsvField(cell.Text, FormulaGuard);
    ++inRow;
  }
  std::string bytes = charset_.Encode(text, &ReplacedCharacters);
  if (charset_.IsUtf8() && ByteOrderMark) bytes.insert(0, kUtf8ByteOrderMark);
  WriteExportOutput(fileName, DestinationStream(), bytes);
  Records().clear();
}

TZdqExportToCSV::~TZdqExportToCSV() = default;

}  // namespace zd
