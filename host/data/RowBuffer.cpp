#include "host/data/RowBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace zd {
namespace {

// Each cell is its kind as one byte, then 8 bytes for a number or date,
// 1 for a boolean, or a length (7 bits a byte, low bits first) and the bytes
// of a string; null and empty cells are the kind alone.
constexpr size_t kBlockSize = size_t(1) << 20;

template <typename T>
void Put(std::string& out, T value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
T Take(const char*& p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  p += sizeof value;
  return value;
}

void PutLength(std::string& out, size_t length) {
  for (; length >= 0x80; length >>= 7) out.push_back(char(0x80 | (length & 0x7F)));
  out.push_back(char(length));
}

size_t TakeLength(const char*& p) {
  size_t length = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*p++);
    length |= size_t(byte & 0x7F) << shift;
    if (byte < 0x80) return length;
  }
}

void Encode(const TVariant& cell, std::string& out) {
  out.push_back(char(cell.kind()));
  switch (cell.kind()) {
    case TVarKind::Null:
    case TVarKind::Empty: break;
    case TVarKind::Integer: Put(out, cell.asInteger()); break;
    case TVarKind::Float: Put(out, cell.asFloat()); break;
    case TVarKind::Boolean: out.push_back(char(cell.asBoolean())); break;
    case TVarKind::DateTime: Put(out, cell.asDateTime().days); break;
    case TVarKind::String:
      PutLength(out, cell.asString().size());
      out += cell.asString();
      break;
  }
}

TVariant Decode(const char*& p) {
  switch (TVarKind(*p++)) {
    case TVarKind::Null: return TVariant();
    case TVarKind::Empty: return TVariant::empty();
    case TVarKind::Integer: return Take<int64_t>(p);
    case TVarKind::Float: return Take<double>(p);
    case TVarKind::Boolean: return *p++ != 0;
    case TVarKind::DateTime: return TDateTime{Take<double>(p)};
    case TVarKind::String: {
      const size_t length = TakeLength(p);
      p += length;
      return std::string(p - length, length);
    }
  }
  throw std::logic_error("Damaged row buffer");
}

}  // namespace

void TRowBuffer::Reset(int columnCount) {
  columns_ = columnCount;
  blocks_.clear();
  blockUsed_ = blockSize_ = 0;
  firstRow_ = 0;
  rows_.clear();
  decoded_.assign(size_t(columnCount), TVariant());
  decodedRow_ = -1;
}

void TRowBuffer::AppendRow(std::span<const TVariant> cells) { rows_.push_back(Store(cells, RowCount())); }

void TRowBuffer::ReplaceRow(int row, std::span<const TVariant> cells) {
  rows_[size_t(row - firstRow_)] = Store(cells, row);
  decodedRow_ = -1;
}

void TRowBuffer::DropRowsBefore(int row) {
  // The last block takes the rows still to come, so it stays.
  int first = firstRow_;
  while (blocks_.size() > 1 && blocks_.front().endRow <= row) {
    first = std::max(first, blocks_.front().endRow);
    blocks_.pop_front();
  }
  rows_.erase(rows_.begin(), rows_.begin() + (first - firstRow_));
  firstRow_ = first;
  if (decodedRow_ < first) decodedRow_ = -1;
}

const char* TRowBuffer::Store(std::span<const TVariant> cells, int row) {
  if (columns_ == 0) throw std::logic_error("A row needs at least one column");
  if (cells.size() != size_t(columns_)) throw std::logic_error("A row needs a cell for each column");
  encoded_.clear();
  for (const TVariant& cell : cells) Encode(cell, encoded_);
  if (blockSize_ - blockUsed_ < encoded_.size()) {
    blockSize_ = std::max(kBlockSize, encoded_.size());
    blocks_.push_back({std::make_unique_for_overwrite<char[]>(blockSize_), 0});
    blockUsed_ = 0;
  }
  TBlock& block = blocks_.back();
  block.endRow = std::max(block.endRow, row + 1);
  char* at = block.bytes.get() + blockUsed_;
  std::memcpy(at, encoded_.data(), encoded_.size());
  blockUsed_ += encoded_.size();
  return at;
}

const std::vector<TVariant>& TRowBuffer::Row(int row) const {
  if (row != decodedRow_) {
    const char* p = rows_[size_t(row - firstRow_)];
    for (TVariant& cell : decoded_) cell = Decode(p);
    decodedRow_ = row;
  }
  return decoded_;
}

}  // namespace zd
