#pragma once
// The DOS code pages the Lotus readers decode worksheet labels in.
namespace zd {

// Unicode of the bytes 128..255 of DOS code page 437 or 850; nullptr for others.
const char16_t* DosCodePage(int codePage);

}  // namespace zd
