#pragma once
// The table of each language, one source file per language.
#include <span>

#include "resources/StringTables.h"

namespace zd::strings {

std::span<const ResourceString> English();
std::span<const ResourceString> Russian();
std::span<const ResourceString> Ukrainian();
std::span<const ResourceString> German();
std::span<const ResourceString> French();
std::span<const ResourceString> Spanish();
std::span<const ResourceString> Swedish();
std::span<const ResourceString> Czech();
std::span<const ResourceString> Dutch();

}  // namespace zd::strings
