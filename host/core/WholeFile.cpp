#include "host/core/WholeFile.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>

namespace zd {

namespace {

// Beside the target, so that the rename stays on one file system; unique
// per process and file, so that parallel writers never share one.
std::string PartialName(const std::string& fileName) {
  static std::atomic<unsigned> counter{0};
  return fileName + ".partial-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

TWholeFile::TWholeFile(std::string fileName) : fileName_(std::move(fileName)), partial_(PartialName(fileName_)) {
  out_.open(partial_, std::ios::binary | std::ios::trunc);
  if (!out_) throw EFileWriteError("cannot create the file \"" + fileName_ + "\"");
}

TWholeFile::~TWholeFile() {
  if (committed_) return;
  out_.close();
  std::remove(partial_.c_str());
}

void TWholeFile::Commit() {
  out_.close();
  if (!out_) throw EFileWriteError("cannot write the file \"" + fileName_ + "\"");
  std::error_code error;
  std::filesystem::rename(partial_, fileName_, error);
  if (error) throw EFileWriteError("cannot write the file \"" + fileName_ + "\": " + error.message());
  committed_ = true;
}

void WriteWholeFile(const std::string& fileName, std::string_view bytes) {
  TWholeFile file(fileName);
  file.Stream().write(bytes.data(), std::streamsize(bytes.size()));
  file.Commit();
}

}  // namespace zd
