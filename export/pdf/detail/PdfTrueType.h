#pragma once
// TrueType font files for embedding: big-endian table reads that check
// every offset, assembling a font file from its tables, and subsets that
// keep only the outlines of the glyphs a document shows.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace zd {

// Bounds-checked big-endian reads; out of range throws EPdfError naming the table.
class TFontTableReader {
 public:
  TFontTableReader(std::string_view data, const char* tag) : data_(data), tag_(tag) {}
  uint8_t U8(size_t at) const;
  uint16_t U16(size_t at) const;
  int16_t I16(size_t at) const { return int16_t(U16(at)); }
  uint32_t U32(size_t at) const;
  std::string_view Bytes(size_t at, size_t count) const;
  size_t Size() const { return data_.size(); }

 private:
  void check(size_t at, size_t count) const;
  std::string_view data_;
  const char* tag_;
};

// A font file holding the given tables (tag -> data), with the directory,
// padding and checksums a font file needs.
std::string AssembleSfnt(const std::map<std::string, std::string>& tables);

// A table of the font by tag; empty when the font has none.
using TFontTableSource = std::function<std::string(const char* tag)>;

// A TrueType font with the outlines of the given glyphs (and of the
// glyphs they are composed of) and empty ones for all others. Glyph
// numbers stay as they are, so text can keep addressing glyphs by number.
// Throws EPdfError when the font lacks the tables or they are malformed.
std::string BuildTrueTypeSubset(const TFontTableSource& tables, const std::set<uint16_t>& glyphs);

}  // namespace zd
