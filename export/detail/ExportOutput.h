#pragma once
// Where an exporter puts its finished bytes: a named file, replaced whole so
// that a failure leaves no half-written file, or the caller's stream (a
// socket, a buffer) when the report is not meant to touch the disk.
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "export/Spreadsheet.h"  // EZdqExportFileError

namespace zd {

class TWholeFile;

class TExportOutput {
 public:
  // To stream when given, else to fileName; raises EZdqExportFileError.
  TExportOutput(const std::string& fileName, std::ostream* stream);
  ~TExportOutput();
  TExportOutput(const TExportOutput&) = delete;
  TExportOutput& operator=(const TExportOutput&) = delete;

  std::ostream& Stream();
  // The file takes its place, or the stream is flushed; raises EZdqExportFileError.
  void Commit();

 private:
  std::unique_ptr<TWholeFile> file_;
  std::ostream* stream_ = nullptr;
  std::string fileName_;
};

// Opens an output, writes the bytes and commits.
void WriteExportOutput(const std::string& fileName, std::ostream* stream, std::string_view bytes);

}  // namespace zd
