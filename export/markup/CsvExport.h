#pragma once
// Cells as semicolon-separated values: one line per grid row.
#include <memory>
#include <string>
#include <vector>

#include "export/ExportAttributes.h"
#include "export/OutputCharset.h"

namespace zd {

class TExportOutput;

class TZdqExportToCSV : public TZdqExportAttributes {
 public:
  explicit TZdqExportToCSV(TComponent* owner = nullptr);
  ~TZdqExportToCSV() override;
  std::string ClassName() const override { return "TZdqExportToCSV"; }
  const TClassProperties* PublishedProperties() const override;

  // Writes the cells collected since the last save, so that with one file
  // per page each file holds its own page.
  void SaveToFile(const std::string& fileName) override;
  bool NeedsLayoutPass() const override { return true; }

  // The file's encoding: TZdqOutputCharset::Utf8 (the default) or a
  // single-byte code page; an unknown one raises std::invalid_argument.
  int CodePage() const { return charset_.CodePage(); }
  void SetCodePage(int codePage) { charset_ = TZdqOutputCharset(codePage); }
  // A UTF-8 file starts with a byte order mark, by which spreadsheet
  // programs tell UTF-8 from their legacy code page.
  bool ByteOrderMark = true;
  // Texts a spreadsheet program would take for a formula get a leading
  // apostrophe (see CsvField).
  bool FormulaGuard = true;

 protected:
  void BeginGridRows() override;
  void WriteGridRow(std::vector<TZdqMFERecord>& row) override;

 private:
  std::string rowText(const std::vector<TZdqMFERecord>& row) const;
  void write(const std::string& utf8);

  TZdqOutputCharset charset_{TZdqOutputCharset::Utf8};
  std::unique_ptr<TExportOutput> output_;  // open while rows are streamed
  bool firstRow_ = true;
};

// One field: with `guardFormulas`, a text that starts with =, +, -, @, tab
// or carriage return and is no number gets a leading apostrophe, so that
// spreadsheet programs show it rather than evaluate it. A field holding the
// separator, a double quote or a line break is quoted with its quotes doubled.
std::string CsvField(const std::string& text, bool guardFormulas = true);

}  // namespace zd
