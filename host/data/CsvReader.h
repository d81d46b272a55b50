#pragma once
// Splits comma-separated text into records: quoted fields may hold
// delimiters, doubled quotes and line breaks; lines end in CR LF, LF or CR;
// a leading UTF-8 byte-order mark is skipped; empty lines are skipped.
#include <string>
#include <string_view>
#include <vector>

#include "host/core/Errors.h"

namespace zd {

class ECsvError : public EZdError {
 public:
  ECsvError(int line, const std::string& message);
  int Line() const { return line_; }

 private:
  int line_;
};

// The delimiter of a CSV text: whichever of comma, semicolon and tab occurs
// most often outside quotes in its first record; a comma when none does.
char DetectCsvDelimiter(std::string_view text);

class TCsvReader {
 public:
  // The text must outlive the reader.
  TCsvReader(std::string_view text, char delimiter = ',');

  // Reads the next record into fields (reusing their storage); false at the end.
  bool ReadRecord(std::vector<std::string>& fields);
  // 1-based line on which the record last read starts.
  int RecordLine() const { return recordLine_; }
  // Byte offset in the text at which that record starts.
  size_t RecordOffset() const { return recordOffset_; }

 private:
  bool AtLineBreak() const;
  void SkipLineBreak();
  void ReadQuoted(std::string& field);
  void ReadPlain(std::string& field);

  std::string_view text_;
  char delimiter_;
  size_t pos_ = 0;
  int line_ = 1;
  int recordLine_ = 0;
  size_t recordOffset_ = 0;
};

}  // namespace zd
