#pragma once
// How the text and markup exporters put their characters into bytes and
// their bytes into files.
#include <string>
#include <string_view>

#include "export/Spreadsheet.h"  // EZdqExportFileError

namespace zd {

// The 8-bit character set of an output file: a single-byte Windows code page,
// or UTF-8 for a code page this library cannot write byte for byte.
class TZdqOutputCharset {
 public:
  // The locale's ANSI code page, when it is a known single-byte one.
  static TZdqOutputCharset Ansi();
  explicit TZdqOutputCharset(int codePage);

  bool IsUtf8() const { return codePage_ == 0; }
  // The name a document declares: "windows-1252" or "UTF-8".
  std::string Name() const;
  // UTF-8 text as the file's bytes; characters the code page lacks become
  // '?', malformed UTF-8 becomes U+FFFD.
  std::string Encode(std::string_view utf8) const;

 private:
  int codePage_;  // 0 for UTF-8
};

// Replaces the file with the bytes; raises EZdqExportFileError when it cannot.
void WriteExportFile(const std::string& fileName, std::string_view bytes);

}  // namespace zd
