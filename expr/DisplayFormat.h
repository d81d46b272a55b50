#pragma once
// Display formats: strings of "@" codes, each ended by a space, that turn the
// raw text of a value into the text that is printed. Codes are found by
// substring search, so their order does not matter and the first occurrence
// of a code counts. The family is chosen by "@C " (text), else "@N "
// (number), else "@D " and/or "@T " (date and time).
#include <string>

#include "host/core/Variant.h"
#include "host/locale/Locale.h"

namespace zd {

// Decimals of numbers whose format does not give "@ND".
int GetIDigits(const TLocale& loc = currentLocale());

// Width is the number of digit cells of the output area, used by "@NL ".
// Never raises: whatever the format cannot handle (a date that is not a
// serial number, a rounding step of 0, a broken edit mask) comes back as
// value, unformatted. Locale settings that codes change last for this call.
std::string GetTextByFormat(const std::string& value, const std::string& format, int width,
                            const TLocale& loc = currentLocale());

// The raw text the engine reads back: with a non-empty format, numbers and
// date-times become their general number text (a date-time its serial
// number); anything else, and every value with an empty format, its plain
// text. Null gives the empty string.
std::string GetValueStr(const TVariant& value, const std::string& format,
                        const TLocale& loc = currentLocale());

}  // namespace zd
