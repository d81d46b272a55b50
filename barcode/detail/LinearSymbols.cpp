#include "barcode/detail/LinearSymbols.h"

#include <algorithm>

namespace zd {

namespace {

constexpr std::string_view kDigits = "0123456789";

// Code 39: each byte holds the first 8 of a character's 9 elements, most
// significant bit first, 1 = wide.
constexpr std::string_view kCode39Characters = " $%*+-./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr uint8_t kCode39Codes[] = {0x62, 0x54, 0x15, 0x4A, 0x45, 0x42, 0xC2, 0x51, 0x1A, 0x90, 0x30,
                                    0xB0, 0x18, 0x98, 0x38, 0x12, 0x92, 0x32, 0x84, 0x24, 0xA4, 0x0C,
                                    0x8C, 0x2C, 0x06, 0x86, 0x26, 0x0E, 0x81, 0x21, 0xA1, 0x09, 0x89,
                                    0x29, 0x03, 0x83, 0x23, 0x0B, 0xC0, 0x60, 0xE0, 0x48, 0xC8, 0x68};
// Interleaved 2 of 5: a digit's 5 elements in the top 5 bits, 1 = wide.
constexpr uint8_t kInterleavedCodes[] = {0x30, 0x88, 0x48, 0xC0, 0x28, 0xA0, 0x60, 0x18, 0x90, 0x50};
// POSTNET: a digit's 5 bars, 1 = full height.
constexpr uint8_t kPostnetCodes[] = {0x18, 0x03, 0x05, 0x06, 0x09, 0x0A, 0x0C, 0x11, 0x12, 0x14};
// UPC-A left-hand (odd parity) codes; the right-hand ones are their complements.
constexpr uint8_t kUpcLeftCodes[] = {0x0D, 0x19, 0x13, 0x3D, 0x23, 0x31, 0x2F, 0x3B, 0x37, 0x0B};

bool AllDigits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "0" narrow bar, "1" narrow space, "2" wide bar, "3" wide space.
void AppendBarString(TBarElements& out, std::string_view s) {
  for (char c : s) out.push_back({c == '0' || c == '2', c == '2' || c == '3', false});
}

// "0" half bar, "1" full bar, "2" space.
void AppendPostnetString(TBarElements& out, std::string_view s) {
  for (char c : s) out.push_back({c != '2', false, c == '0'});
}

void AppendPostnetDigit(TBarElements& out, int digit) {
  for (int bit = 4; bit >= 0; --bit) AppendPostnetString(out, (kPostnetCodes[digit] >> bit) & 1 ? "12" : "02");
}

// Seven modules of a UPC-A digit; the right half draws the complement.
void AppendUpcDigit(TBarElements& out, int digit, bool rightHalf) {
  for (int j = 0; j < 7; ++j) {
    const bool one = (kUpcLeftCodes[digit] >> (6 - j)) & 1;
    AppendBarString(out, one != rightHalf ? "0" : "1");
  }
}

}  // namespace

uint8_t FindCode(char ch, std::string_view characters, int& index, const uint8_t* codes) {
  const size_t at = characters.find(ch);
  if (at == std::string_view::npos) {
    index = -1;
    return 0;
  }
  index = int(at);
  return codes[at];
}

TBarElements EncodeCode39(std::string_view text) {
  TBarElements out;
  // A left-out character or an inner "*" (the stop character) would scan as another text.
  const bool valid = std::all_of(text.begin(), text.end(), [](char c) {
    return c != '*' && kCode39Characters.find(c) != std::string_view::npos;
  });
  if (text.empty() || !valid) return out;
  const std::string framed = "*" + std::string(text) + "*";
  for (char c : framed) {
    int index;
    const uint8_t code = FindCode(c, kCode39Characters, index, kCode39Codes);
    int wideCount = 0;
    for (int i = 0; i < 9; ++i) {
      // The ninth element is wide when the first eight hold fewer than 3 wide ones.
      const bool wide = i < 8 ? (code >> (7 - i)) & 1 : wideCount < 3;
      wideCount += wide;
      out.push_back({i % 2 == 0, wide, false});
    }
    AppendBarString(out, "1");
  }
  return out;
}

TBarElements EncodeInterleaved2of5(std::string_view text) {
  TBarElements out;
  if (text.empty() || !AllDigits(text)) return out;
  const std::string digits = text.size() % 2 ? "0" + std::string(text) : std::string(text);
  AppendBarString(out, "0101");
  for (size_t i = 0; i < digits.size(); i += 2) {
    const uint8_t bars = kInterleavedCodes[digits[i] - '0'], spaces = kInterleavedCodes[digits[i + 1] - '0'];
    for (int bit = 7; bit >= 3; --bit) {
      out.push_back({true, bool((bars >> bit) & 1), false});
      out.push_back({false, bool((spaces >> bit) & 1), false});
    }
  }
  AppendBarString(out, "210");
  return out;
}

int PostnetCheckDigit(std::string_view text) {
  int sum = 0;
  for (char c : text)
    if (c >= '0' && c <= '9') sum += c - '0';
  return (10 - sum % 10) % 10;
}

TBarElements EncodePostnet(std::string_view text) {
  TBarElements out;
  const bool valid =
      std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '-' || c == '/'; });
  if (text.empty() || !valid) return out;
  AppendPostnetString(out, "12");
  for (char c : text)
    if (c >= '0' && c <= '9') AppendPostnetDigit(out, c - '0');
  AppendPostnetDigit(out, PostnetCheckDigit(text));
  AppendPostnetString(out, "1");
  return out;
}

std::string UpcADigits(std::string_view text) {
  if (text.size() != 10 || !AllDigits(text)) return {};
  std::string digits = "0" + std::string(text);
  // Weight 3 on the odd positions of the eleven, counted from the number system digit.
  int sum = 0;
  for (size_t i = 0; i < digits.size(); ++i) sum += (digits[i] - '0') * (i % 2 == 0 ? 3 : 1);
  digits += char('0' + (10 - sum % 10) % 10);
  return digits;
}

int UpcACheckDigit(std::string_view text) {
  const std::string digits = UpcADigits(text);
  return digits.empty() ? -1 : digits.back() - '0';
}

TBarElements EncodeUpcA(std::string_view text) {
  TBarElements out;
  const std::string digits = UpcADigits(text);
  if (digits.empty()) return out;
  AppendBarString(out, "010");
  for (int i = 0; i < 6; ++i) AppendUpcDigit(out, digits[size_t(i)] - '0', false);
  AppendBarString(out, "10101");
  for (int i = 6; i < 12; ++i) AppendUpcDigit(out, digits[size_t(i)] - '0', true);
  AppendBarString(out, "010");
  return out;
}

}  // namespace zd
