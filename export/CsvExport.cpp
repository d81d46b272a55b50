#include "export/CsvExport.h"

#include "export/TextExportFile.h"

namespace zd {

TZdqExportToCSV::TZdqExportToCSV(TComponent* owner) : TZdqExportAttributes(owner) {}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

void TZdqExportToCSV::SaveToFile(const std::string& fileName) {
  TZdqExportAttributes::SaveToFile(fileName);
  // Lines follow the grid's rows, every ColCount cells a line; no line end after the last.
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
    text += CsvField(cell.Text);
    ++inRow;
  }
  // A last row the grid left short still gets all its fields.
  if (inRow > 0)
    for (; inRow < columns; ++inRow) text += ';';
  WriteExportFile(fileName, TZdqOutputCharset::Ansi().Encode(text));
  Records().clear();
}

}  // namespace zd
