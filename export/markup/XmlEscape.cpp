#include "export/markup/detail/XmlEscape.h"

#include "host/locale/TextCodec.h"

namespace zd {

namespace {

bool allowedInMarkup(char32_t c) {
  if (c == U'\t' || c == U'\n' || c == U'\r') return true;
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
  return c != 0xFFFE && c != 0xFFFF;
}

// The escaped piece and how much of the length limit it uses.
struct TPiece {
  std::string text;
  size_t length;
};

TPiece escaped(char32_t c, const TZdqOutputCharset& charset) {
  switch (c) {
    case U'&': return {"&amp;", 5};
    case U'<': return {"&lt;", 4};
    case U'>': return {"&gt;", 4};
    case U'"': return {"&quot;", 6};
    case U'\'': return {"&#39;", 5};
    default: break;
  }
  if (!allowedInMarkup(c)) c = 0xFFFD;
  // Tab and line ends are kept as references: attribute values would fold them into spaces.
  if (c >= 0x20 && c < 0x7F) return {std::string(1, char(c)), 1};
  if (c >= 0xA0 && charset.CanEncode(c)) {
    std::string literal;
    AppendUtf8(c, literal);
    return {literal, 1};
  }
  return {"&#" + std::to_string(uint32_t(c)) + ";", 1};
}

}  // namespace

std::string EscapeMarkup(std::string_view utf8, const TZdqOutputCharset& charset, size_t maxLength) {
  std::string out;
  size_t used = 0;
  for (char32_t c : DecodeUtf8(utf8)) {
    TPiece piece = escaped(c, charset);
    if (maxLength - used < piece.length) break;
    used += piece.length;
    out += piece.text;
  }
  return out;
}

}  // namespace zd
