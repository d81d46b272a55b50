#pragma once
// The body of an RTF document while the font and colour tables that must
// precede it are gathered.
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace zd {

// Kept in a file, removed again however the export ends, or in memory when
// the document goes to a stream and must not touch the disk.
class TRtfBody {
 public:
  // An empty name keeps the body in memory; raises EZdqExportFileError.
  explicit TRtfBody(std::string fileName);
  ~TRtfBody();
  TRtfBody(const TRtfBody&) = delete;
  TRtfBody& operator=(const TRtfBody&) = delete;

  void Write(std::string_view s);  // raises EZdqExportFileError
  std::string Contents();          // everything written; raises EZdqExportFileError

  // The temporary file of an output: its name with the extension ".$$$".
  static std::string FileNameFor(const std::string& outputFileName);

 private:
  void check(bool ok, const char* doing) const;

  std::string fileName_;
  std::fstream file_;
  std::stringstream memory_;
  std::iostream& stream_;
};

}  // namespace zd
