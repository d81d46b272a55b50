#pragma once
// Locale settings read from the machine (or from a named locale such as
// "de_DE"). Not installed by default: the fixed default keeps output the same
// everywhere; an application opts in with setCurrentLocale(SystemLocale()).
// Texts are UTF-8.
#include <string>

#include "host/locale/Locale.h"

namespace zd {

TLocale SystemLocale();
TLocale LocaleForName(const std::string& name);

}  // namespace zd
