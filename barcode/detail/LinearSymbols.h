#pragma once
// The classic four symbologies as element sequences. An element is a bar or
// a space, narrow or wide; POSTNET bars are full or half height. An empty
// sequence means the text cannot be encoded in that symbology.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zd {

struct TBarElement {
  bool Bar = true;
  bool Wide = false;
  bool Short = false;  ///< a POSTNET half bar
  bool operator==(const TBarElement&) const = default;
};
using TBarElements = std::vector<TBarElement>;

/// The code byte at ch's position in characters, and that position; 0 and
/// -1 when ch is not in the table.
uint8_t FindCode(char ch, std::string_view characters, int& index, const uint8_t* codes);

/// "*" + text + "*"; text is one of the 43 characters of Code 39 besides "*".
TBarElements EncodeCode39(std::string_view text);
/// Digits only; an odd count is led by a 0.
TBarElements EncodeInterleaved2of5(std::string_view text);
/// Digits with "-" and "/" as separators that draw nothing; a check digit
/// makes the sum a multiple of 10.
TBarElements EncodePostnet(std::string_view text);
int PostnetCheckDigit(std::string_view text);
/// Exactly 10 characters (anything but a digit counts as 0): number system
/// 0, the ten digits and the check digit, in modules of narrow width.
TBarElements EncodeUpcA(std::string_view text);
int UpcACheckDigit(std::string_view text);
/// The twelve digits a UPC-A symbol of text carries ("" when it has none).
std::string UpcADigits(std::string_view text);

}  // namespace zd
