#pragma once
// Hand-made metafiles for records a canvas never writes and for broken ones.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/emf/Metafile.h"

namespace zd::test {

class EmfRecordBytes {
 public:
  explicit EmfRecordBytes(uint32_t type) { u32(type).u32(0); }
  EmfRecordBytes& u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(uint8_t(v >> (8 * i)));
    return *this;
  }
  EmfRecordBytes& i32(int32_t v) { return u32(uint32_t(v)); }
  EmfRecordBytes& f32(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return u32(v);
  }
  EmfRecordBytes& rect(int l, int t, int r, int b) { return i32(l).i32(t).i32(r).i32(b); }
  EmfRecordBytes& raw(const std::vector<uint8_t>& data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  // Padded to whole words with the size field filled in; `declaredSize`
  // overrides it to make a record lie about its length.
  std::vector<uint8_t> Bytes(uint32_t declaredSize = 0) const {
    std::vector<uint8_t> b = bytes_;
    while (b.size() % 4) b.push_back(0);
    const uint32_t size = declaredSize ? declaredSize : uint32_t(b.size());
    for (int i = 0; i < 4; ++i) b[4 + i] = uint8_t(size >> (8 * i));
    return b;
  }
  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

// A metafile of the given records (header and end record added).
inline TMetafile MetafileOf(const std::vector<std::vector<uint8_t>>& records, uint16_t handles = 4) {
  std::vector<uint8_t> body;
  for (const auto& r : records) body.insert(body.end(), r.begin(), r.end());
  const std::vector<uint8_t> eof = EmfRecordBytes(EMR_EOF).u32(0).u32(16).u32(20).Bytes();
  body.insert(body.end(), eof.begin(), eof.end());
  EmfRecordBytes header(EMR_HEADER);
  header.rect(0, 0, 199, 199).rect(0, 0, 5291, 5291).u32(0x464D4520).u32(0x10000);
  header.u32(uint32_t(108 + body.size())).u32(uint32_t(records.size() + 2));
  header.u32(handles).u32(0).u32(0).u32(0);
  header.i32(960).i32(960).i32(254).i32(254).u32(0).u32(0).u32(0).i32(254000).i32(254000);
  std::vector<uint8_t> all = header.Bytes();
  all.insert(all.end(), body.begin(), body.end());
  TMetafile meta;
  meta.LoadFromBytes(all);
  meta.SetWidth(200);
  meta.SetHeight(200);
  return meta;
}

}  // namespace zd::test
