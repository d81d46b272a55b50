#pragma once
// The glyphs of simple fonts at the codes where a Windows single-byte code
// page leaves WinAnsiEncoding.
#include <cstdint>
#include <span>

namespace zd {

struct TPdfGlyphDifference {
  uint8_t Code;
  const char* Name;  // glyph list name
};
// Codes 128..255, ascending, at which the code page of the charset differs
// from WinAnsiEncoding; empty for charsets that need no differences.
std::span<const TPdfGlyphDifference> GlyphDifferences(int charset);

}  // namespace zd
