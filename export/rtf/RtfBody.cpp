#include "export/rtf/detail/RtfBody.h"

#include <filesystem>
#include <iterator>

#include "export/Spreadsheet.h"  // EZdqExportFileError

namespace zd {

TRtfBody::TRtfBody(std::string fileName)
    : fileName_(std::move(fileName)), stream_(fileName_.empty() ? static_cast<std::iostream&>(memory_) : file_) {
  if (fileName_.empty()) return;
  file_.open(fileName_, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
  check(file_.is_open(), "creating");
}

TRtfBody::~TRtfBody() {
  if (fileName_.empty()) return;
  file_.close();
  std::error_code ignored;
  std::filesystem::remove(fileName_, ignored);
}

std::string TRtfBody::FileNameFor(const std::string& outputFileName) {
  const std::string name = std::filesystem::path(outputFileName).replace_extension(".$$$").string();
  // An output that already has this extension must not be the body's file too.
  return name == outputFileName ? outputFileName + ".$$$" : name;
}

void TRtfBody::Write(std::string_view s) {
  stream_.write(s.data(), std::streamsize(s.size()));
  check(bool(stream_), "writing");
}

std::string TRtfBody::Contents() {
  stream_.flush();
  stream_.seekg(0);
  std::string contents{std::istreambuf_iterator<char>(stream_), {}};
  check(!stream_.bad(), "reading");
  return contents;
}

void TRtfBody::check(bool ok, const char* doing) const {
  if (!ok)
    throw EZdqExportFileError(std::string(doing) + " the temporary file \"" +
                              (fileName_.empty() ? "(memory)" : fileName_) + "\" failed");
}

}  // namespace zd
