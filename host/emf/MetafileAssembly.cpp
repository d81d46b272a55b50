#include "host/emf/MetafileAssembly.h"

#include <algorithm>

namespace zd {

namespace {

uint32_t get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
void set32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
void movePoint(uint8_t* p, TPoint by) {
  set32(p, get32(p) + uint32_t(by.X));
  set32(p + 4, get32(p + 4) + uint32_t(by.Y));
}
// An empty rectangle ({0, 0, -1, -1}: nothing drawn) stays empty.
void moveRect(uint8_t* r, TPoint by) {
  if (int32_t(get32(r + 8)) < int32_t(get32(r))) return;
  movePoint(r, by);
  movePoint(r + 8, by);
}

void moveRecord(uint8_t* record, uint32_t size, TPoint by) {
  switch (get32(record)) {
    case EMR_MOVETOEX:
    case EMR_LINETO: movePoint(record + 8, by); break;
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_ROUNDRECT:
    case EMR_INTERSECTCLIPRECT: moveRect(record + 8, by); break;
    case EMR_STRETCHDIBITS:
      if (size >= 32) {
        moveRect(record + 8, by);
        movePoint(record + 24, by);
      }
      break;
    case EMR_EXTTEXTOUTW:
    case EMR_EXTTEXTOUTA:
      if (size >= 72) {
        moveRect(record + 8, by);
        movePoint(record + 36, by);
        moveRect(record + 56, by);
      }
      break;
    default: break;
  }
}

}  // namespace

void TMetafileAssembly::Add(const TMetafile& page, TPoint offset) {
  if (page.Empty()) return;
  EnumerateMetafile(page, [&](const TEmfRecord& record, const TEmfState&) {
    if (record.Type == EMR_HEADER) {
      if (header_.empty()) header_.assign(record.Data, record.Data + record.Size);
    } else if (record.Type == EMR_EOF) {
      if (eof_.empty()) eof_.assign(record.Data, record.Data + record.Size);
    } else {
      const size_t at = body_.size();
      body_.insert(body_.end(), record.Data, record.Data + record.Size);
      moveRecord(body_.data() + at, record.Size, offset);
      ++records_;
    }
    return true;
  });
  handles_ = std::max(handles_, page.HandleCount());
  const TRect b = page.Bounds();
  if (b.Right >= b.Left) {
    const TRect moved{b.Left + offset.X, b.Top + offset.Y, b.Right + offset.X, b.Bottom + offset.Y};
    bounds_ = haveBounds_ ? TRect{std::min(bounds_.Left, moved.Left), std::min(bounds_.Top, moved.Top),
                                  std::max(bounds_.Right, moved.Right), std::max(bounds_.Bottom, moved.Bottom)}
                          : moved;
    haveBounds_ = true;
  }
  ++pages_;
}

TMetafile TMetafileAssembly::Finish() const {
  TMetafile result;
  if (Empty()) return result;
  std::vector<uint8_t> bytes = header_;
  const TRect bounds = haveBounds_ ? bounds_ : TRect{0, 0, -1, -1};
  const int32_t header[] = {bounds.Left, bounds.Top, bounds.Right, bounds.Bottom,
                            // frame: inclusive, hundredths of a millimetre
                            0, 0, int32_t(int64_t(width_) * 2540 / 96) - 1, int32_t(int64_t(height_) * 2540 / 96) - 1};
  for (size_t i = 0; i < std::size(header); ++i) set32(bytes.data() + 8 + 4 * i, uint32_t(header[i]));
  set32(bytes.data() + 48, uint32_t(header_.size() + body_.size() + eof_.size()));
  set32(bytes.data() + 52, records_ + 2);
  bytes[56] = uint8_t(handles_);
  bytes[57] = uint8_t(handles_ >> 8);
  bytes.insert(bytes.end(), body_.begin(), body_.end());
  bytes.insert(bytes.end(), eof_.begin(), eof_.end());
  result.LoadFromBytes(bytes);
  return result;
}

}  // namespace zd
