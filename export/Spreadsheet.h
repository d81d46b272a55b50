#pragma once
// The spreadsheet driver: walks the collector's grid row by row and hands
// every cell to a set of virtual writer operations. The binary spreadsheet
// writers and the markup exporters implement those operations.
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "export/CellNumber.h"
#include "export/ExportAttributes.h"
#include "export/OutputCharset.h"
#include "host/core/Errors.h"

namespace zd {

class TExportOutput;

// Creating or writing an export file failed.
class EZdqExportFileError : public EZdError {
 public:
  using EZdError::EZdError;
};

enum class TSpreadsheetCellType { ctBlank, ctInteger, ctDouble, ctString, ctDateTime, ctCurrency };

class TZdqExportToSpreadsheet : public TZdqExportAttributes {
 public:
  explicit TZdqExportToSpreadsheet(TComponent* owner = nullptr);
  ~TZdqExportToSpreadsheet() override;
  std::string ClassName() const override { return "TZdqExportToSpreadsheet"; }
  const TClassProperties* PublishedProperties() const override;

  // A page that follows a saved file starts a file of its own, so with one
  // file per page each file holds exactly its page.
  void NewPage(int page, int bar) override;
  // Builds the grid and writes it to the file (an existing file is
  // replaced; after a failure there is no file). Formats with 16-bit row
  // numbers refuse more than 65535 rows or columns. After a layout pass the rows were written
  // as their pages came, and this ends the file.
  void SaveToFile(const std::string& fileName) override;
  bool NeedsLayoutPass() const override { return true; }

  // Longest text handed to WriteData, in characters.
  static constexpr size_t MaxCellText = 255;
  // A cell text as WriteData receives it: in the output's encoding
  // (characters its code page cannot hold, and zero characters, become '?'
  // and are counted in ReplacedCharacters), cut to MaxCellText characters.
  std::string CellText(std::string_view utf8);

  // The encoding of the cell texts: TZdqOutputCharset::Utf8 or a single-byte
  // code page; an unknown one, or one the format cannot carry, raises
  // std::invalid_argument.
  int CodePage() const { return charset_.CodePage(); }
  virtual void SetCodePage(int codePage) { charset_ = TZdqOutputCharset(codePage); }
  const TZdqOutputCharset& Charset() const { return charset_; }

 protected:
  // Writes the 4-byte record header (code, length; little-endian).
  virtual void WriteRecordHeader(uint16_t code, uint16_t length);
  virtual void WriteFileBegin();
  virtual void WriteFileEnd();
  // The grid's size, before any row. Formats with 16-bit row and column
  // numbers refuse a larger grid here (see SpreadsheetWord).
  virtual void WriteDimensions(int rows, int columns);
  virtual void WriteRowStart();
  virtual void WriteRowEnd();
  // One cell: rec is the collected cell, or nullptr for the filler cells
  // that complete the last row; row and col are 0-based; text holds at most
  // MaxCellText 8-bit characters.
  virtual void WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                         const std::string& text, TAlignment alignment, TColor color);
  // A text cell that shows a number (see ReadCellNumber). Formats with
  // number cells store the value displayed as the text was; by default the
  // cell is written as the text it is.
  virtual void WriteNumber(const TZdqMFERecord& rec, int row, int col, const TCellNumber& number);

  // 8-bit text, one byte per character.
  void WriteString(std::string_view s);
  // Escaped markup (UTF-8 holding only characters the charset can hold) in
  // the output's encoding.
  void WriteMarkup(std::string_view utf8);
  void WriteByte(uint8_t value);
  void WriteWord(uint16_t value);  // little-endian
  void WriteDouble(double value);  // IEEE 754, little-endian

  // For formats whose readers need a charset no code page number names.
  void SetCharset(const TZdqOutputCharset& charset) { charset_ = charset; }

  // Where the writer operations write, set only during SaveToFile (tests
  // may point it elsewhere).
  std::ostream* Stream = nullptr;

  void BeginGridRows() override;
  void WriteGridRow(std::vector<TZdqMFERecord>& row) override;

 private:
  void writeHead();
  void writeGrid();
  void writeCell(const TZdqMFERecord& cell, int row, int col);
  void writeBytes(const char* data, size_t size);
  void closeOutput();

  std::unique_ptr<TExportOutput> output_;  // open while rows are streamed
  int nextRow_ = 0;

  bool savedSincePage_ = false;
  TZdqOutputCharset charset_{TZdqOutputCharset::Utf8};
};

// Number texts of the cells, in the current locale's decimal separator
// with surrounding blanks allowed; nullopt for anything else.
std::optional<int32_t> SpreadsheetInteger(std::string_view text);
std::optional<double> SpreadsheetFloat(std::string_view text);

// A value that must fit a 16-bit field of a record; raises
// std::out_of_range naming the field otherwise.
uint16_t SpreadsheetWord(int64_t value, const char* field);

}  // namespace zd
