#pragma once
// Conversions between UTF-8, the library's text, and code points, UTF-16 and
// the single-byte code pages. Bad input follows one rule everywhere: each
// byte that starts no well-formed UTF-8 sequence (overlong forms and encoded
// surrogates included), each lone surrogate and each byte a code page leaves
// undefined becomes U+FFFD.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zd {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Surrogates and values beyond U+10FFFF are appended as U+FFFD.
void AppendUtf8(char32_t cp, std::string& out);
std::string EncodeUtf8(std::u32string_view text);
std::u32string DecodeUtf8(std::string_view utf8);
// The length of the well-formed sequence starting at utf8[at]; 0 when the
// bytes there start none.
size_t Utf8SequenceLength(std::string_view utf8, size_t at);
bool IsValidUtf8(std::string_view utf8);

// A character beyond the basic plane becomes a surrogate pair.
void AppendUtf16(char32_t cp, std::u16string& out);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

std::string Latin1ToUtf8(std::string_view bytes);
// `upper` is a code page's Unicode of the bytes 128..255 (SingleByteCodePage);
// nullptr stands for a code page of which only ASCII is known.
char32_t DecodeSingleByte(uint8_t byte, const char16_t* upper);
// The code page's byte for a character; nullopt when the code page lacks it.
std::optional<uint8_t> EncodeSingleByte(char32_t cp, const char16_t* upper);
std::string SingleByteToUtf8(std::string_view bytes, const char16_t* upper);
// Characters the code page lacks become '?' and are counted in `replaced`
// when given.
std::string Utf8ToSingleByte(std::string_view utf8, const char16_t* upper, size_t* replaced = nullptr);

}  // namespace zd
