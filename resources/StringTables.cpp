#include "resources/StringTables.h"

#include <algorithm>

#include "resources/LanguageTables.h"

namespace zd {

std::span<const ResourceString> LanguageStrings(int languageShift) {
  switch (languageShift) {
    case 0: return strings::English();
    case 1: return strings::Russian();
    case 2: return strings::Ukrainian();
    case 3: return strings::German();
    case 4: return strings::French();
    case 5: return strings::Spanish();
    case 6: return strings::Swedish();
    case 7: return strings::Czech();
    case 8: return strings::Dutch();
    default: return {};
  }
}

const char* FindResourceString(int resourceId) {
  const int offset = resourceId - ResourceIdBase - FirstTextNumber;
  if (offset < 0) return nullptr;
  const int shift = offset / TextNumbersPerLanguage;
  const int number = resourceId - ResourceIdBase - TextNumbersPerLanguage * shift;
  const std::span<const ResourceString> table = LanguageStrings(shift);
  const auto it = std::lower_bound(
      table.begin(), table.end(), number,
      [](const ResourceString& entry, int wanted) { return entry.number < wanted; });
  if (it == table.end() || it->number != number) return nullptr;
  return it->text;
}

}  // namespace zd
