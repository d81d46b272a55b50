#pragma once
// The spreadsheet driver: walks the collector's grid row by row and hands
// every cell to a set of virtual writer operations. The binary spreadsheet
// writers and the markup exporters implement those operations.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "export/ExportAttributes.h"

namespace zd {

// Creating or writing an export file failed.
class EZdqExportFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TSpreadsheetCellType { ctBlank, ctInteger, ctDouble, ctString, ctDateTime, ctCurrency };

class TZdqExportToSpreadsheet : public TZdqExportAttributes {
 public:
  explicit TZdqExportToSpreadsheet(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToSpreadsheet"; }

  // A page that follows a saved file starts a file of its own, so with one
  // file per page each file holds exactly its page.
  void NewPage(int page, int bar) override;
  // Builds the grid and writes it to the file (an existing file is
  // replaced). Grids of more than 65535 rows or columns are refused.
  void SaveToFile(const std::string& fileName) override;

  // Longest text handed to WriteData, in 8-bit characters.
  static constexpr size_t MaxCellText = 255;
  // A cell text as WriteData receives it: in the ANSI code page of the
  // current locale (characters it cannot hold, and zero characters, become
  // '?'), cut to MaxCellText characters.
  static std::string CellText(std::string_view utf8);

 protected:
  // Writes the 4-byte record header (code, length; little-endian).
  virtual void WriteRecordHeader(uint16_t code, uint16_t length);
  virtual void WriteFileBegin();
  virtual void WriteFileEnd();
  virtual void WriteDimensions(uint16_t rows, uint16_t columns);
  virtual void WriteRowStart();
  virtual void WriteRowEnd();
  // One cell: rec is the collected cell, or nullptr for the filler cells
  // that complete the last row; row and col are 0-based; text holds at most
  // MaxCellText 8-bit characters.
  virtual void WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                         const std::string& text, TAlignment alignment, TColor color);

  // 8-bit text, one byte per character.
  void WriteString(std::string_view s);
  void WriteByte(uint8_t value);
  void WriteWord(uint16_t value);  // little-endian
  void WriteDouble(double value);  // IEEE 754, little-endian

  // The output, open only during SaveToFile (tests may point it elsewhere).
  std::ostream* Stream = nullptr;

 private:
  void writeGrid();
  void writeBytes(const char* data, size_t size);

  bool savedSincePage_ = false;
};

// Number texts of the cells, in the current locale's decimal separator
// with surrounding blanks allowed; nullopt for anything else.
std::optional<int32_t> SpreadsheetInteger(std::string_view text);
std::optional<double> SpreadsheetFloat(std::string_view text);

// A value that must fit a 16-bit field of a record; raises
// std::out_of_range naming the field otherwise.
uint16_t SpreadsheetWord(int64_t value, const char* field);

}  // namespace zd
