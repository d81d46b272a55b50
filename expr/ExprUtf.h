#pragma once
// Expression texts are UTF-8 outside and code points inside the scanner and
// the character functions, so that a character is never split.
#include <string>

namespace zd {

// Malformed sequences become U+FFFD, one per offending byte.
std::u32string DecodeUtf8(const std::string& s);
// Surrogate code points, which cannot be encoded, become U+FFFD.
std::string EncodeUtf8(const std::u32string& s);

// ASCII-only case handling, as the language's keywords and names use it.
bool SameTextAscii(const std::string& a, const std::string& b);
std::string UpperAscii(std::string s);
std::string LowerAscii(std::string s);

}  // namespace zd
