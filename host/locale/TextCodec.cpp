#include "host/locale/TextCodec.h"

namespace zd {

namespace {

bool isSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }
bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The code point of the well-formed sequence at utf8[at] and its length;
// length 0 when the bytes there start none. The second byte's range rules
// out overlong forms, surrogates and values beyond U+10FFFF.
char32_t sequenceAt(std::string_view utf8, size_t at, size_t& length) {
  length = 0;
  const auto lead = static_cast<unsigned char>(utf8[at]);
  if (lead < 0x80) {
    length = 1;
    return lead;
  }
  size_t extra = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  char32_t cp = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + extra >= utf8.size()) return 0;
  for (size_t k = 1; k <= extra; ++k) {
    const auto next = static_cast<unsigned char>(utf8[at + k]);
    if (k == 1 ? next < low || next > high : (next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3F);
  }
  length = extra + 1;
  return cp;
}

}  // namespace

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp > 0x10FFFF || isSurrogate(cp)) cp = kReplacementCharacter;
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t cp : text) AppendUtf8(cp, out);
  return out;
}

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    size_t length;
    const char32_t cp = sequenceAt(utf8, i, length);
    out += length ? cp : kReplacementCharacter;
    i += length ? length : 1;
  }
  return out;
}

size_t Utf8SequenceLength(std::string_view utf8, size_t at) {
  size_t length;
  sequenceAt(utf8, at, length);
  return length;
}

bool IsValidUtf8(std::string_view utf8) {
  for (size_t i = 0; i < utf8.size();) {
    const size_t length = Utf8SequenceLength(utf8, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

void AppendUtf16(char32_t cp, std::u16string& out) {
  if (cp > 0x10FFFF || isSurrogate(cp)) cp = kReplacementCharacter;
  if (cp < 0x10000) {
    out += char16_t(cp);
  } else {
    out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
    out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
  }
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (char32_t cp : DecodeUtf8(utf8)) AppendUtf16(cp, out);
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (isHighSurrogate(cp) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1]))
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    AppendUtf8(cp, out);  // a lone surrogate becomes U+FFFD
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) AppendUtf8(uint8_t(b), out);
  return out;
}

char32_t DecodeSingleByte(uint8_t byte, const char16_t* upper) {
  if (byte < 0x80) return byte;
  const char16_t u = upper ? upper[byte - 0x80] : 0;
  return u ? char32_t(u) : kReplacementCharacter;
}

std::optional<uint8_t> EncodeSingleByte(char32_t cp, const char16_t* upper) {
  if (cp < 0x80) return uint8_t(cp);
  for (int b = 0; upper && b < 128; ++b)
    if (upper[b] != 0 && upper[b] == cp) return uint8_t(0x80 + b);
  return std::nullopt;
}

std::string SingleByteToUtf8(std::string_view bytes, const char16_t* upper) {
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) AppendUtf8(DecodeSingleByte(uint8_t(b), upper), out);
  return out;
}

std::string Utf8ToSingleByte(std::string_view utf8, const char16_t* upper, size_t* replaced) {
  std::string out;
  out.reserve(utf8.size());
  for (char32_t cp : DecodeUtf8(utf8)) {
    const std::optional<uint8_t> byte = EncodeSingleByte(cp, upper);
    if (!byte && replaced) ++*replaced;
    out += byte ? char(*byte) : '?';
  }
  return out;
}

}  // namespace zd
