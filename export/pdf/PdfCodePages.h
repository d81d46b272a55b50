#pragma once
// Windows single-byte code pages as the PDF writer needs them: to turn
// text into the 8-bit codes of a simple font, and to name the glyphs at the
// codes where a code page leaves WinAnsiEncoding.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "host/locale/CodePages.h"

namespace zd {


struct TPdfGlyphDifference {
  uint8_t Code;
  const char* Name;  // glyph list name
};
// Codes 128..255, ascending, at which the code page of the charset differs
// from WinAnsiEncoding; empty for charsets that need no differences.
std::span<const TPdfGlyphDifference> GlyphDifferences(int charset);

// UTF-8 text as bytes of the code page; characters it cannot hold (and any
// non-ASCII character of an unknown code page) become '?'.
std::string EncodeToCodePage(std::string_view utf8, int codePage);

// Decodes UTF-8 into code points; malformed bytes become U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);

}  // namespace zd
