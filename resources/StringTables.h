#pragma once
// The compiled-in string tables: one table of numbered texts (UTF-8) per
// language, addressed like a flat resource section where text number n of
// the language with shift k has resource id n + 10000 + 2000 * k.
#include <cstddef>
#include <span>

namespace zd {

constexpr int LanguageCount = 9;
constexpr int FirstTextNumber = 1001;
constexpr int TextNumbersPerLanguage = 2000;
constexpr int ResourceIdBase = 10000;

struct ResourceString {
  int number;        // text number, from FirstTextNumber
  const char* text;  // never null or empty
};

// The text with the given resource id, or nullptr when no table holds it.
const char* FindResourceString(int resourceId);

// Every text of one language, sorted by number; empty for an unknown shift.
std::span<const ResourceString> LanguageStrings(int languageShift);

// Compile-time check of a table: numbers strictly ascending and in range,
// texts present.
template <std::size_t N>
constexpr bool IsWellFormedTable(const ResourceString (&table)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    const ResourceString& entry = table[i];
    if (entry.number < FirstTextNumber ||
        entry.number >= FirstTextNumber + TextNumbersPerLanguage)
      return false;
    if (entry.text == nullptr || entry.text[0] == '\0') return false;
    if (i > 0 && table[i - 1].number >= entry.number) return false;
  }
  return true;
}

}  // namespace zd
