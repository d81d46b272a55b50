#include "print/PreparedReportFile.h"

#include <algorithm>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "host/locale/TextCodec.h"

namespace zd {

namespace {

// The banner must start with this; what follows identifies the writer.
constexpr char kMagic[] = "ZDQP";
constexpr char kBanner[] = "ZDQP ZdReport prepared report 0.1";
constexpr int kPaddingBytes = 200;

constexpr size_t kEmfHeaderMin = 88;      // fixed part of EMR_HEADER
constexpr size_t kEmfTotalSizeAt = 48;    // nBytes within EMR_HEADER
constexpr size_t kPageFieldBytes = 8 * 4;
// The smallest page record there can be: its integers and an EMF header.
constexpr uint64_t kMinPageRecord = kPageFieldBytes + kEmfHeaderMin;
// Claimed lengths are read in slices of this size when the stream's end is
// unknown, so memory grows only with bytes actually present.
constexpr size_t kReadSlice = 1 << 16;

EPreparedReportError Error(const std::string& what) { return EPreparedReportError("prepared report: " + what); }
[[noreturn]] void Fail(const std::string& what) { throw Error(what); }

uint32_t LoadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// ---- writing ----

void PutBytes(std::ostream& out, const void* data, size_t size) {
  out.write(static_cast<const char*>(data), std::streamsize(size));
  if (!out) Fail("writing failed");
}

void PutInt(std::ostream& out, int32_t v) {
  const auto u = uint32_t(v);
  const uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
  PutBytes(out, b, 4);
}

void PutText(std::ostream& out, const std::string& utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  if (units.size() > size_t(INT32_MAX / 2)) Fail("text of " + std::to_string(units.size()) + " characters is too long");
  std::vector<uint8_t> bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t u : units) {
    bytes.push_back(uint8_t(u));
    bytes.push_back(uint8_t(u >> 8));
  }
  PutInt(out, int32_t(bytes.size()));
  PutBytes(out, bytes.data(), bytes.size());
}

// ---- reading ----

// Bounded reads from a stream. When the stream can seek, every claimed
// length is compared with the bytes left before anything is read.
class TZqpSource {
 public:
  explicit TZqpSource(std::istream& in) : in_(in) { remaining_ = Measure(); }

  std::optional<uint64_t> Remaining() const { return remaining_; }
  // Bytes read so far, and where the field read last (or being read) starts.
  uint64_t Offset() const { return offset_; }
  uint64_t FieldStart() const { return fieldStart_; }

  std::vector<uint8_t> Bytes(uint64_t count, const std::string& what) {
    fieldStart_ = offset_;
    if (remaining_ && count > *remaining_)
      Fail(what + ": needs " + std::to_string(count) + " bytes but only " + std::to_string(*remaining_) +
           " are left");
    std::vector<uint8_t> out;
    while (out.size() < count) {
      const size_t slice = size_t(std::min<uint64_t>(count - out.size(), kReadSlice));
      const size_t at = out.size();
      out.resize(at + slice);
      in_.read(reinterpret_cast<char*>(out.data() + at), std::streamsize(slice));
      const auto got = size_t(in_.gcount());
      if (got < slice)
        Fail(what + ": the data ends after " + std::to_string(at + got) + " of " + std::to_string(count) +
             " bytes");
    }
    if (remaining_) *remaining_ -= count;
    offset_ += count;
    return out;
  }

  int32_t Int(const std::string& what) { return int32_t(LoadU32(Bytes(4, what).data())); }

 private:
  std::optional<uint64_t> Measure() {
    const std::streampos start = in_.tellg();
    if (start == std::streampos(-1)) {
      in_.clear();
      return std::nullopt;
    }
    in_.seekg(0, std::ios::end);
    const std::streampos end = in_.tellg();
    in_.clear();
    in_.seekg(start);
    if (end == std::streampos(-1) || end < start || !in_) {
      in_.clear();
      return std::nullopt;
    }
    return uint64_t(end - start);
  }

  std::istream& in_;
  std::optional<uint64_t> remaining_;
  uint64_t offset_ = 0, fieldStart_ = 0;
};

// A text field: a byte count, then UTF-16LE. An odd count (written by the
// original layout for odd-length texts) leaves one byte that is dropped.
std::string ReadText(TZqpSource& src, const std::string& what) {
  const int32_t n = src.Int(what + " length");
  if (n < 0) Fail(what + ": negative length " + std::to_string(n));
  const std::vector<uint8_t> bytes = src.Bytes(uint64_t(n), what);
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return Utf16ToUtf8(units);
}

void ReadCounts(TZqpSource& src, TZqpHeader& header) {
  header.PageCount = src.Int("page count");
  header.BarCount = src.Int("bar count");
  const int P = header.PageCount, B = header.BarCount;
  if (P < 0) Fail("negative page count " + std::to_string(P));
  if (B < 0) Fail("negative bar count " + std::to_string(B));
  if ((P == 0) != (B == 0))
    Fail("page count " + std::to_string(P) + " and bar count " + std::to_string(B) +
         " must both be zero or both be positive");
  const uint64_t records = uint64_t(P) * uint64_t(B);
  if (records > uint64_t(INT32_MAX)) Fail(std::to_string(P) + " pages of " + std::to_string(B) + " bars is absurd");
  if (src.Remaining() && records * kMinPageRecord > *src.Remaining())
    Fail(std::to_string(P) + " pages of " + std::to_string(B) + " bars cannot fit in the " +
         std::to_string(*src.Remaining()) + " bytes left");
}

class TZqpPageReader {
 public:
  TZqpPageReader(TZqpSource& src, const TZqpHeader& header) : src_(src), header_(header) {}

  std::unique_ptr<TPageInfo> Read(int64_t recordNumber) {
    where_ = "page record " + std::to_string(recordNumber + 1);
    auto page = std::make_unique<TPageInfo>();
    page->intNumPage = Index("page index", header_.PageCount);
    page->intNumBar = Index("bar index", header_.BarCount);
    if (!seen_.insert({page->intNumPage, page->intNumBar}).second)
      Fail(where_ + ": page " + std::to_string(page->intNumPage) + " of bar " + std::to_string(page->intNumBar) +
           " occurs twice");
    // The page's own size is taken as stored; the metafile's comes from
    // its header when it loads below.
    page->SetPageWidth(NonNegative("page width"));
    page->SetPageHeight(NonNegative("page height"));
    page->OffsetLeft = NonNegative("left offset");
    page->OffsetRight = NonNegative("right offset");
    page->OffsetTop = NonNegative("top offset");
    page->OffsetBottom = NonNegative("bottom offset");
    page->SetDrawing(ReadMetafile());
    return page;
  }

 private:
  int Index(const char* what, int count) {
    const int32_t v = src_.Int(where_ + " " + what);
    if (v < 0 || v >= count)
      Fail(where_ + ": " + what + " " + std::to_string(v) + " is outside 0.." + std::to_string(count - 1));
    return v;
  }

  int NonNegative(const char* what) {
    const int32_t v = src_.Int(where_ + " " + what);
    if (v < 0) Fail(where_ + ": negative " + what + " " + std::to_string(v));
    return v;
  }

  // The EMF header's total size says where the metafile ends.
  TMetafile ReadMetafile() {
    const std::string what = where_ + " metafile";
    const uint64_t metafileAt = src_.Offset();
    std::vector<uint8_t> bytes = src_.Bytes(kEmfHeaderMin, what + " header");
    if (LoadU32(bytes.data()) != EMR_HEADER) Fail(what + ": does not start with an EMF header record");
    const uint32_t total = LoadU32(bytes.data() + kEmfTotalSizeAt);
    if (total < kEmfHeaderMin)
      Fail(what + ": total size " + std::to_string(total) + " is smaller than its header");
    const std::vector<uint8_t> rest = src_.Bytes(total - kEmfHeaderMin, what);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    TMetafile meta;
    try {
      meta.LoadFromBytes(bytes);
    } catch (const EMetafileError& e) {
      EPreparedReportError error = Error(what + " is corrupt: " + e.what());
      error.SetOffset(metafileAt + e.Offset().value_or(0));
      throw error;
    }
    return meta;
  }

  TZqpSource& src_;
  const TZqpHeader& header_;
  std::string where_;
  std::set<std::pair<int, int>> seen_;
};

}  // namespace

void WriteZqpHeader(std::ostream& out, const TZqpHeader& header) {
  PutText(out, kBanner);
  PutInt(out, kPaddingBytes);
  const std::vector<uint8_t> padding = [] {
    std::vector<uint8_t> p;
    for (int i = 0; i < kPaddingBytes / 2; ++i) p.insert(p.end(), {0x20, 0x00});
    return p;
  }();
  PutBytes(out, padding.data(), padding.size());
  PutText(out, header.Author);
  PutText(out, header.Keywords);
  PutText(out, header.Subject);
  PutText(out, header.Title);
  PutInt(out, header.PageCount);
  PutInt(out, header.BarCount);
}

void WriteZqpPage(std::ostream& out, const TPageInfo& page, int pageIndex, int barIndex) {
  const std::shared_ptr<const TMetafile> drawing = page.Drawing();
  const std::vector<uint8_t>& emf = drawing->Bytes();
  // A page without a drawing would leave a record no reader can delimit.
  if (emf.size() < kEmfHeaderMin)
    Fail("page " + std::to_string(pageIndex) + " of bar " + std::to_string(barIndex) + " has no metafile to save");
  for (int v : {pageIndex, barIndex, page.PageWidth(), page.PageHeight(), page.OffsetLeft, page.OffsetRight,
                page.OffsetTop, page.OffsetBottom})
    PutInt(out, v);
  PutBytes(out, emf.data(), emf.size());
}

std::ifstream OpenZqpFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    EPreparedReportError error = Error("cannot open the file \"" + fileName + "\"");
    error.SetFileName(fileName);
    throw error;
  }
  return in;
}

TZqpContent ReadZqp(std::istream& in) {
  TZqpSource src(in);
  try {
    TZqpContent content;
    TZqpHeader& h = content.Header;
    const std::string banner = ReadText(src, "banner");
    if (banner.rfind(kMagic, 0) != 0) Fail("not a prepared report file (the banner does not start with \"ZDQP\")");
    ReadText(src, "padding");
    h.Author = ReadText(src, "author");
    h.Keywords = ReadText(src, "keywords");
    h.Subject = ReadText(src, "subject");
    h.Title = ReadText(src, "title");
    ReadCounts(src, h);
    TZqpPageReader pages(src, h);
    const int64_t records = int64_t(h.PageCount) * h.BarCount;
    for (int64_t i = 0; i < records; ++i) content.Pages.Add(pages.Read(i));
    return content;
  } catch (EPreparedReportError& e) {
    if (!e.Offset()) e.SetOffset(src.FieldStart());
    throw;
  }
}

}  // namespace zd
