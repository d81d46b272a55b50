#pragma once
// Cells as semicolon-separated values: one line per grid row.
#include <string>

#include "export/ExportAttributes.h"

namespace zd {

class TZdqExportToCSV : public TZdqExportAttributes {
 public:
  explicit TZdqExportToCSV(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToCSV"; }

  // Writes the cells collected since the last save, so that with one file
  // per page each file holds its own page.
  void SaveToFile(const std::string& fileName) override;
};

// A field quoted when it holds the separator, a double quote or a line
// break, with its quotes doubled; any other field unchanged.
std::string CsvField(const std::string& text);

}  // namespace zd
