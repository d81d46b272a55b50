#pragma once
// Files that appear under their names only when written whole.
#include <fstream>
#include <string>
#include <string_view>

#include "host/core/Errors.h"

namespace zd {

class EFileWriteError : public EZdError {
 public:
  using EZdError::EZdError;
};

// The bytes go to a temporary file beside the target and replace the
// target only at Commit; a file never committed (an error, a cancel) is
// removed, and whatever the target held stays as it was.
class TWholeFile {
 public:
  explicit TWholeFile(std::string fileName);  // raises EFileWriteError
  ~TWholeFile();
  TWholeFile(const TWholeFile&) = delete;
  TWholeFile& operator=(const TWholeFile&) = delete;

  std::ostream& Stream() { return out_; }
  void Commit();  // raises EFileWriteError

 private:
  std::string fileName_, partial_;
  std::ofstream out_;
  bool committed_ = false;
};

// Writes the bytes through a TWholeFile.
void WriteWholeFile(const std::string& fileName, std::string_view bytes);

}  // namespace zd
