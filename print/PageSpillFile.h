#pragma once
// Page drawings moved out of memory, so that a long report's pages need not
// all stay resident.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "host/core/Errors.h"
#include "host/core/WorkerThread.h"
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

  // A drawing handed to the file's writer thread, which compresses and
  // writes it while the report goes on; its slot once written.
  class TTicket {
   private:
    friend class TPageSpillFile;
    std::shared_ptr<const TMetafile> drawing;  // until written
    std::shared_future<TSlot> slot;            // or what the write threw
  };
  using TTickets = std::vector<std::shared_ptr<const TTicket>>;

  TPageSpillFile();
  TPageSpillFile(const TPageSpillFile&) = delete;
  TPageSpillFile& operator=(const TPageSpillFile&) = delete;

  TSlot Write(const TMetafile& drawing);
  // A short read or bytes that do not match the slot throw EPageSpillError.
  TMetafile Read(const TSlot& slot) const;

  // Queues the drawings for the writer as one batch, so that it wakes once
  // for them all; waits while an earlier batch waits, so that memory stays
  // bounded. A write that failed before throws here.
  TTickets WriteLater(std::vector<std::shared_ptr<const TMetafile>> drawings);
  // The drawing while it waits to be written; nullptr once written.
  std::shared_ptr<const TMetafile> Queued(const TTicket& ticket) const;
  // Reads the drawing back, waiting for its write; throws what the write threw.
  TMetafile Read(const TTicket& ticket) const;

 private:
  void writeQueued(const std::vector<std::weak_ptr<TTicket>>& tickets,
                   std::vector<std::promise<TSlot>>& slots);

  struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, TFileCloser> file_;
  uint64_t end_ = 0;
  mutable std::mutex mutex_;  // the file position, the tickets' drawings, failed_
  std::exception_ptr failed_;
  // Declared last, so that it finishes the queued writes before the file closes.
  TWorkerThread writer_;
};

}  // namespace zd
