#pragma once
// Colour identifiers ("clRed", "clBtnFace") as templates and the object
// inspector name colours; values are 0x00BBGGRR, system colours 0x80000000 + index.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zd {

std::optional<uint32_t> IdentToColor(std::string_view ident);  // case-insensitive
std::optional<std::string> ColorToIdent(uint32_t color);

}  // namespace zd
