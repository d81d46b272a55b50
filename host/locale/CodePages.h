#pragma once
// The Windows single-byte code pages: what the bytes 128..255 mean, for
// readers of 8-bit text (rich text) and writers of it (PDF simple fonts).
namespace zd {

// Unicode of the bytes 128..255 (0 where the code page leaves a byte
// undefined); nullptr for code pages that are not single-byte ones known here.
const char16_t* SingleByteCodePage(int codePage);

}  // namespace zd
