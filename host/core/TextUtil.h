#pragma once
// ASCII case and blank handling for names (components, fields, variables).
#include <string>
#include <string_view>

namespace zd {

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive
std::string Trim(std::string_view s);                   // drops chars <= ' ' at both ends

}  // namespace zd
