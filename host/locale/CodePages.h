#pragma once
// The Windows single-byte code pages and the DOS ones Lotus readers use:
// what the bytes 128..255 mean, for readers of 8-bit text (rich text) and
// writers of it (PDF simple fonts, exports).
namespace zd {

// Unicode of the bytes 128..255 (0 where the code page leaves a byte
// undefined); nullptr for code pages that are not single-byte ones known here.
const char16_t* SingleByteCodePage(int codePage);
// 437 and 850, the DOS code pages known here.
inline bool IsDosCodePage(int codePage) { return codePage == 437 || codePage == 850; }

}  // namespace zd
