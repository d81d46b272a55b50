// Any (format, value) pair must format without raising, crashing or hanging;
// the same bytes also go through the page-range reader.
// Input: one byte of width, then the format, a newline, and the value text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "expr/DisplayFormat.h"
#include "expr/PageRange.h"
#include "host/core/Strings.h"

namespace {

zd::TLocale commaLocale() {
  zd::TLocale loc;
  loc.decimalSeparator = ',';
  loc.thousandSeparator = '.';
  loc.dateSeparator = '.';
  loc.negCurrencyFormat = 15;
  return loc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const zd::TLocale comma = commaLocale();
  if (size == 0) return 0;
  const int width = data[0];
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t cut = rest.find('\n');
  std::string format = rest.substr(0, cut);
  std::string value = cut == std::string::npos ? std::string() : rest.substr(cut + 1);

  (void)zd::GetTextByFormat(value, format, width);
  (void)zd::GetTextByFormat(value, format, width, comma);
  (void)zd::GetTextByFormat(format, value, width);

  zd::TStringList pages;
  zd::GetValidPages(rest, pages, 10000);
  if (pages.Count() > 10000) __builtin_trap();
  return 0;
}
