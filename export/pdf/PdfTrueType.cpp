#include "export/pdf/detail/PdfTrueType.h"

#include <vector>

#include "export/pdf/detail/PdfWriter.h"

namespace zd {

void TFontTableReader::check(size_t at, size_t count) const {
  if (at > data_.size() || count > data_.size() - at)
    throw EPdfError(std::string("font table '") + tag_ + "' is too short (" + std::to_string(at + count) +
                    " bytes needed, " + std::to_string(data_.size()) + " present)");
}

uint8_t TFontTableReader::U8(size_t at) const {
  check(at, 1);
  return uint8_t(data_[at]);
}

uint16_t TFontTableReader::U16(size_t at) const {
  check(at, 2);
  return uint16_t((uint8_t(data_[at]) << 8) | uint8_t(data_[at + 1]));
}

uint32_t TFontTableReader::U32(size_t at) const { return (uint32_t(U16(at)) << 16) | U16(at + 2); }

std::string_view TFontTableReader::Bytes(size_t at, size_t count) const {
  check(at, count);
  return data_.substr(at, count);
}

namespace {

void put16(std::string& s, uint32_t v) {
  s += char((v >> 8) & 0xFF);
  s += char(v & 0xFF);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v >> 16);
  put16(s, v & 0xFFFF);
}
void set16(std::string& s, size_t at, uint32_t v) {
  s[at] = char((v >> 8) & 0xFF);
  s[at + 1] = char(v & 0xFF);
}
void set32(std::string& s, size_t at, uint32_t v) {
  set16(s, at, v >> 16);
  set16(s, at + 2, v & 0xFFFF);
}

uint32_t checksum(std::string_view data) {
  uint32_t sum = 0;
  for (size_t i = 0; i < data.size(); i += 4) {
    uint32_t word = 0;
    for (size_t k = 0; k < 4; ++k) word = (word << 8) | (i + k < data.size() ? uint8_t(data[i + k]) : 0);
    sum += word;
  }
  return sum;
}

constexpr size_t kHeadChecksumAdjustment = 8;

// Flags of a composite glyph's component records.
constexpr uint16_t kArgsAreWords = 0x0001, kHaveScale = 0x0008, kMoreComponents = 0x0020,
                   kHaveXYScale = 0x0040, kHaveTwoByTwo = 0x0080;

class TGlyphTable {
 public:
  TGlyphTable(const std::string& glyf, const std::string& loca, bool longOffsets, int glyphCount)
      : glyf_(glyf), loca_(loca, "loca"), longOffsets_(longOffsets), glyphCount_(glyphCount) {
    const size_t needed = size_t(glyphCount + 1) * (longOffsets ? 4 : 2);
    if (loca.size() < needed) throw EPdfError("font table 'loca' is too short for the glyph count");
  }

  std::string_view Outline(uint16_t glyph) const {
    if (glyph >= glyphCount_) return {};
    const size_t start = offset(glyph), end = offset(glyph + 1);
    if (end < start || end > glyf_.size()) throw EPdfError("font table 'loca' points outside 'glyf'");
    return std::string_view(glyf_).substr(start, end - start);
  }

  // The glyphs a composite outline is built from.
  std::vector<uint16_t> Components(uint16_t glyph) const {
    std::vector<uint16_t> parts;
    const std::string_view outline = Outline(glyph);
    if (outline.size() < 10) return parts;
    TFontTableReader r(outline, "glyf");
    if (r.I16(0) >= 0) return parts;  // simple outline
    size_t at = 10;
    uint16_t flags;
    do {
      flags = r.U16(at);
      parts.push_back(r.U16(at + 2));
      at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
      if (flags & kHaveScale) at += 2;
      else if (flags & kHaveXYScale) at += 4;
      else if (flags & kHaveTwoByTwo) at += 8;
    } while (flags & kMoreComponents);
    return parts;
  }

  int Count() const { return glyphCount_; }

 private:
  size_t offset(int glyph) const {
    return longOffsets_ ? loca_.U32(size_t(glyph) * 4) : size_t(loca_.U16(size_t(glyph) * 2)) * 2;
  }
  const std::string& glyf_;
  TFontTableReader loca_;
  bool longOffsets_;
  int glyphCount_;
};

std::set<uint16_t> withComponents(const TGlyphTable& table, const std::set<uint16_t>& glyphs) {
  std::set<uint16_t> all{0};  // .notdef is always kept
  std::vector<uint16_t> pending(glyphs.begin(), glyphs.end());
  while (!pending.empty()) {
    const uint16_t g = pending.back();
    pending.pop_back();
    if (g >= table.Count() || !all.insert(g).second) continue;
    for (uint16_t part : table.Components(g)) pending.push_back(part);
  }
  return all;
}

}  // namespace

std::string AssembleSfnt(const std::map<std::string, std::string>& tables) {
  const uint16_t count = uint16_t(tables.size());
  uint16_t power = 1, log2 = 0;
  while (power * 2 <= count) {
    power *= 2;
    ++log2;
  }
  std::string out;
  put32(out, 0x00010000);
  put16(out, count);
  put16(out, power * 16);
  put16(out, log2);
  put16(out, count * 16 - power * 16);
  size_t offset = 12 + size_t(count) * 16;
  size_t headAt = std::string::npos;
  std::string body;
  for (const auto& [tag, data] : tables) {  // std::map keeps the tags sorted, as the directory must be
    if (tag.size() != 4) throw EPdfError("font table tag '" + tag + "' is not four characters");
    out += tag;
    put32(out, checksum(data));
    put32(out, uint32_t(offset + body.size()));
    put32(out, uint32_t(data.size()));
    if (tag == "head") headAt = offset + body.size();
    body += data;
    body.append((4 - data.size() % 4) % 4, '\0');
  }
  out += body;
  if (headAt != std::string::npos && tables.at("head").size() >= kHeadChecksumAdjustment + 4) {
    set32(out, headAt + kHeadChecksumAdjustment, 0);
    set32(out, headAt + kHeadChecksumAdjustment, 0xB1B0AFBA - checksum(out));
  }
  return out;
}

std::string BuildTrueTypeSubset(const TFontTableSource& tables, const std::set<uint16_t>& glyphs) {
  std::map<std::string, std::string> out;
  for (const char* tag : {"head", "hhea", "hmtx", "maxp", "loca", "glyf"}) {
    out[tag] = tables(tag);
    if (out[tag].empty()) throw EPdfError(std::string("the font has no '") + tag + "' table to embed");
  }
  for (const char* tag : {"cvt ", "fpgm", "prep"})
    if (std::string data = tables(tag); !data.empty()) out[tag] = std::move(data);

  std::string& head = out["head"];
  const TFontTableReader headReader(head, "head");
  const bool longOffsets = headReader.I16(50) != 0;
  const int glyphCount = TFontTableReader(out["maxp"], "maxp").U16(4);
  const std::string glyf = out["glyf"];
  const std::string loca = out["loca"];
  const TGlyphTable source(glyf, loca, longOffsets, glyphCount);
  const std::set<uint16_t> kept = withComponents(source, glyphs);

  std::string newGlyf, newLoca;
  for (int g = 0; g < glyphCount; ++g) {
    put32(newLoca, uint32_t(newGlyf.size()));
    if (kept.count(uint16_t(g))) {
      newGlyf += source.Outline(uint16_t(g));
      newGlyf.append(newGlyf.size() % 4 ? 4 - newGlyf.size() % 4 : 0, '\0');
    }
  }
  put32(newLoca, uint32_t(newGlyf.size()));
  out["glyf"] = std::move(newGlyf);
  out["loca"] = std::move(newLoca);
  set16(head, 50, 1);  // long loca offsets
  return AssembleSfnt(out);
}

}  // namespace zd
