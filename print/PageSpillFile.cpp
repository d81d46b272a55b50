#include "print/PageSpillFile.h"

#include <zlib.h>

#include <climits>
#include <string>
#include <vector>

namespace zd {

namespace {

// Pages are mostly repeated records: the fastest level already shrinks them
// several times over, and a slower one would hold up the preparation.
constexpr int kCompressionLevel = 1;

uint32_t Crc(const std::vector<uint8_t>& bytes) {
  return uint32_t(crc32(crc32(0, nullptr, 0), bytes.data(), uInt(bytes.size())));
}

std::string Where(const TPageSpillFile::TSlot& slot) {
  return "the page drawing at byte " + std::to_string(slot.Offset) + " of the page spill file";
}

}  // namespace

TPageSpillFile::TPageSpillFile() : file_(std::tmpfile()) {
  if (!file_) throw EPageSpillError("cannot create a temporary file for prepared pages");
}

TPageSpillFile::~TPageSpillFile() { std::fclose(file_); }

TPageSpillFile::TSlot TPageSpillFile::Write(const TMetafile& drawing) {
  const std::vector<uint8_t>& bytes = drawing.Bytes();
  if (bytes.size() > UINT32_MAX) throw EPageSpillError("a page drawing is too large to spill");
  uLongf stored = compressBound(uLong(bytes.size()));
  std::vector<uint8_t> packed(stored);
  const int rc = compress2(packed.data(), &stored, bytes.data(), uLong(bytes.size()), kCompressionLevel);
  if (rc != Z_OK) throw EPageSpillError("cannot compress a page drawing (zlib error " + std::to_string(rc) + ")");

  std::lock_guard lock(mutex_);
  const TSlot slot{end_, uint32_t(stored), uint32_t(bytes.size()), Crc(bytes), drawing.Width(), drawing.Height()};
  if (std::fseek(file_, 0, SEEK_END) != 0 || std::fwrite(packed.data(), 1, stored, file_) != stored)
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
    if (std::fseek(file_, long(slot.Offset), SEEK_SET) != 0 ||
        std::fread(packed.data(), 1, packed.size(), file_) != packed.size())
      throw EPageSpillError("cannot read back " + Where(slot) + ": the file is shorter than written");
  }
  std::vector<uint8_t> bytes(slot.Size);
  uLongf size = slot.Size;
  const int rc = uncompress(bytes.data(), &size, packed.data(), uLong(packed.size()));
  if (rc != Z_OK || size != slot.Size || Crc(bytes) != slot.Crc)
    throw EPageSpillError(Where(slot) + " is corrupt");
  TMetafile drawing;
  try {
    drawing.LoadFromBytes(bytes);
  } catch (const EMetafileError& e) {
    throw EPageSpillError(Where(slot) + " is corrupt: " + e.what());
  }
  drawing.SetWidth(slot.Width);
  drawing.SetHeight(slot.Height);
  return drawing;
}

}  // namespace zd
