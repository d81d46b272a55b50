#pragma once
// The Windows single-byte code pages and the DOS ones Lotus readers use:
// what the bytes 128..255 mean, for readers of 8-bit text (rich text) and
// writers of it (PDF simple fonts, exports); and the font character sets
// that name Windows code pages, single- and double-byte.
#include <optional>
#include <string>

namespace zd {

// Unicode of the bytes 128..255 (0 where the code page leaves a byte
// undefined); nullptr for code pages that are not single-byte ones known here.
const char16_t* SingleByteCodePage(int codePage);
// 437 and 850, the DOS code pages known here.
inline bool IsDosCodePage(int codePage) { return codePage == 437 || codePage == 850; }

// The code page a font character set implies; fallback for ANSI and default.
int CodePageOfCharset(int charset, int fallback);
// The font character set of a Windows code page; 0 (ANSI) for 1252 and for
// code pages no character set names.
int CharsetOfCodePage(int codePage);
// The name Qt's converters know a code page by that has no table here (the
// double-byte ones and Mac Roman), or nullptr.
const char* ConverterNameOfCodePage(int codePage);
// The bytes of c in a Windows code page (two for most characters of the
// double-byte ones), or nothing when the code page lacks the character.
std::optional<std::string> EncodeInCodePage(char32_t c, int codePage);

}  // namespace zd
