#pragma once
// Several recorded pages joined into one enhanced metafile, each moved to
// its place, as the picture exporters' single result needs.
#include <cstdint>
#include <vector>

#include "host/emf/Metafile.h"

namespace zd {

class TMetafileAssembly {
 public:
  // The result's size in page units.
  TMetafileAssembly(int width, int height) : width_(width), height_(height) {}

  // The page's records, moved by the offset. Pages must release their
  // objects and restore their state at their end, as recorded pages do, so
  // that the next page starts from a clean device context. Coordinates are
  // moved in the records a recording writes; others are copied unchanged.
  void Add(const TMetafile& page, TPoint offset);
  bool Empty() const { return pages_ == 0; }
  // The joined metafile; its header follows the first page's.
  TMetafile Finish() const;

 private:
  int width_, height_;
  int pages_ = 0;
  std::vector<uint8_t> header_, body_, eof_;
  uint32_t records_ = 0;
  uint16_t handles_ = 1;
  bool haveBounds_ = false;
  TRect bounds_{};  // inclusive, as in the header
};

}  // namespace zd
