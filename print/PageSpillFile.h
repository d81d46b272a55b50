#pragma once
// Page drawings moved out of memory, so that a long report's pages need not
// all stay resident.
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "host/core/Errors.h"
#include "host/emf/Metafile.h"

namespace zd {

// A drawing that cannot be written to or read back from the spill file.
class EPageSpillError : public EZdError {
 public:
  using EZdError::EZdError;
};

// Drawings compressed one after another into an unnamed temporary file: the
// system removes it when it is closed, even when the process dies. Reads and
// writes share the file position, so they take turns.
// Compressed with zstd, whose frames carry a checksum of their content:
// zlib took several times longer, enough to make long reports slower per
// page than short ones.
class TPageSpillFile {
 public:
  // Where one drawing lies and what must come back from there.
  struct TSlot {
    uint64_t Offset = 0;
    uint32_t StoredSize = 0;  // compressed bytes in the file
    uint32_t Size = 0;        // metafile bytes
    int Width = 0, Height = 0;
  };

  TPageSpillFile();
  ~TPageSpillFile();
  TPageSpillFile(const TPageSpillFile&) = delete;
  TPageSpillFile& operator=(const TPageSpillFile&) = delete;

  TSlot Write(const TMetafile& drawing);
  // A short read or bytes that do not match the slot throw EPageSpillError.
  TMetafile Read(const TSlot& slot) const;

 private:
  std::FILE* file_;
  uint64_t end_ = 0;
  mutable std::mutex mutex_;
};

}  // namespace zd
