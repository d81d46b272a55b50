#pragma once
// ASCII case and blank handling for names (components, fields, variables).
#include <string>
#include <string_view>

namespace zd {

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive
std::string Trim(std::string_view s);                   // drops chars <= ' ' at both ends
// Only 7-bit characters: UTF-8 and Latin-1 alike, and Unicode case mapping
// of it is the ASCII one.
bool IsAscii(std::string_view s);

}  // namespace zd
