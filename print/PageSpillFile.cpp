#include "print/PageSpillFile.h"

#include <zstd.h>

#include <climits>
#include <string>
#include <vector>

namespace zd {

namespace {

// Pages are mostly repeated records: the fastest level already shrinks them
// several times over, and a slower one would hold up the preparation.
constexpr int kCompressionLevel = 1;
// Batches waiting for the writer thread at most: the report waits beyond.
constexpr size_t kMaxQueued = 1;

// One context per thread, reused: making one per page costs more than a
// small page's compression.
struct TCompressor {
  TCompressor() : context(ZSTD_createCCtx()) {
    if (!context) throw EPageSpillError("cannot start compressing page drawings (out of memory)");
    ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, kCompressionLevel);
    ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1);
  }
  ~TCompressor() { ZSTD_freeCCtx(context); }
  ZSTD_CCtx* context;
};

struct TDecompressor {
  TDecompressor() : context(ZSTD_createDCtx()) {
    if (!context) throw EPageSpillError("cannot start reading page drawings back (out of memory)");
  }
  ~TDecompressor() { ZSTD_freeDCtx(context); }
  ZSTD_DCtx* context;
};

std::string Where(const TPageSpillFile::TSlot& slot) {
  return "the page drawing at byte " + std::to_string(slot.Offset) + " of the page spill file";
}

}  // namespace

TPageSpillFile::TPageSpillFile() : file_(std::tmpfile()), writer_(kMaxQueued) {
  if (!file_) throw EPageSpillError("cannot create a temporary file for prepared pages");
}

TPageSpillFile::TTickets TPageSpillFile::WriteLater(std::vector<std::shared_ptr<const TMetafile>> drawings) {
  {
    std::lock_guard lock(mutex_);
    if (failed_) std::rethrow_exception(failed_);
  }
  TTickets tickets;
  // Held weakly by the task: a page dropped before its turn needs no write.
  std::vector<std::weak_ptr<TTicket>> queued;
  std::vector<std::promise<TSlot>> slots(drawings.size());
  for (size_t i = 0; i < drawings.size(); ++i) {
    auto ticket = std::make_shared<TTicket>();
    ticket->drawing = std::move(drawings[i]);
    ticket->slot = slots[i].get_future().share();
    queued.push_back(ticket);
    tickets.push_back(std::move(ticket));
  }
  writer_.Run([this, queued = std::move(queued), slots = std::move(slots)]() mutable {
    writeQueued(queued, slots);
  });
  return tickets;
}

// Writes queued drawings, then lets each go (its page gave up its own
// reference when it queued it). After a failed write the rest fail alike.
void TPageSpillFile::writeQueued(const std::vector<std::weak_ptr<TTicket>>& tickets,
                                 std::vector<std::promise<TSlot>>& slots) {
  for (size_t i = 0; i < tickets.size(); ++i) {
    const std::shared_ptr<TTicket> ticket = tickets[i].lock();
    if (!ticket) {
      slots[i].set_value(TSlot{});
      continue;
    }
    try {
      {
        std::lock_guard lock(mutex_);
        if (failed_) std::rethrow_exception(failed_);
      }
      slots[i].set_value(Write(*Queued(*ticket)));
    } catch (...) {
      std::lock_guard lock(mutex_);
      if (!failed_) failed_ = std::current_exception();
      slots[i].set_exception(std::current_exception());
    }
    std::lock_guard lock(mutex_);
    ticket->drawing.reset();
  }
}

std::shared_ptr<const TMetafile> TPageSpillFile::Queued(const TTicket& ticket) const {
  std::lock_guard lock(mutex_);
  return ticket.drawing;
}

TMetafile TPageSpillFile::Read(const TTicket& ticket) const { return Read(ticket.slot.get()); }

TPageSpillFile::TSlot TPageSpillFile::Write(const TMetafile& drawing) {
  const std::vector<uint8_t>& bytes = drawing.Bytes();
  if (bytes.size() > UINT32_MAX) throw EPageSpillError("a page drawing is too large to spill");
  thread_local TCompressor compressor;
  std::vector<uint8_t> packed(ZSTD_compressBound(bytes.size()));
  const size_t stored =
      ZSTD_compress2(compressor.context, packed.data(), packed.size(), bytes.data(), bytes.size());
  if (ZSTD_isError(stored) || stored > UINT32_MAX)
    throw EPageSpillError(std::string("cannot compress a page drawing: ") + ZSTD_getErrorName(stored));

  std::lock_guard lock(mutex_);
  const TSlot slot{end_, uint32_t(stored), uint32_t(bytes.size()), drawing.Width(), drawing.Height()};
  if (std::fseek(file_.get(), 0, SEEK_END) != 0 || std::fwrite(packed.data(), 1, stored, file_.get()) != stored)
    throw EPageSpillError("cannot write a page drawing to the temporary file (disk full?)");
  end_ += stored;
  return slot;
}

TMetafile TPageSpillFile::Read(const TSlot& slot) const {
  std::vector<uint8_t> packed;
  {
    std::lock_guard lock(mutex_);
    if (slot.Offset > uint64_t(LONG_MAX) || slot.Offset + slot.StoredSize > end_)
      throw EPageSpillError(Where(slot) + " lies outside the file");
    packed.resize(slot.StoredSize);
    if (std::fseek(file_.get(), long(slot.Offset), SEEK_SET) != 0 ||
        std::fread(packed.data(), 1, packed.size(), file_.get()) != packed.size())
      throw EPageSpillError("cannot read back " + Where(slot) + ": the file is shorter than written");
  }
  thread_local TDecompressor decompressor;
  std::vector<uint8_t> bytes(slot.Size);
  const size_t size =
      ZSTD_decompressDCtx(decompressor.context, bytes.data(), bytes.size(), packed.data(), packed.size());
  if (ZSTD_isError(size) || size != slot.Size) throw EPageSpillError(Where(slot) + " is corrupt");
  TMetafile drawing;
  try {
    drawing.LoadFromBytes(std::move(bytes));
  } catch (const EMetafileError& e) {
    throw EPageSpillError(Where(slot) + " is corrupt: " + e.what());
  }
  drawing.SetWidth(slot.Width);
  drawing.SetHeight(slot.Height);
  return drawing;
}

}  // namespace zd
