#include "host/richtext/detail/RtfLexer.h"

#include <climits>

namespace zd {

namespace {
constexpr size_t kMaxWordLength = 32;  // longer names are truncated, still consumed
bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int hexValue(unsigned char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

TRtfToken TRtfLexer::Next() {
  TRtfToken t;
  while (!atEnd()) {
    const unsigned char c = peek();
    ++pos_;
    switch (c) {
      case '{': t.kind = TRtfToken::GroupOpen; return t;
      case '}': t.kind = TRtfToken::GroupClose; return t;
      case '\\': return readControl();
      case '\r': case '\n': continue;  // line ends in the file carry no meaning
      default:
        t.kind = TRtfToken::Byte;
        t.Value = c;
        return t;
    }
  }
  return t;
}

TRtfToken TRtfLexer::readControl() {
  TRtfToken t;
  if (atEnd()) return t;
  const unsigned char c = peek();
  if (!isLetter(c)) {
    ++pos_;
    if (c == '\'') {
      const int hi = pos_ < data_.size() ? hexValue(static_cast<unsigned char>(data_[pos_])) : -1;
      const int lo = pos_ + 1 < data_.size() ? hexValue(static_cast<unsigned char>(data_[pos_ + 1])) : -1;
      if (hi >= 0 && lo >= 0) {
        pos_ += 2;
        t.kind = TRtfToken::Byte;
        t.Value = static_cast<unsigned char>(hi * 16 + lo);
        t.Escaped = true;
        return t;
      }
      if (hi >= 0) ++pos_;  // a half escape is dropped: the reader ignores the symbol
    }
    // Line ends after a backslash mean \par.
    if (c == '\r' || c == '\n') {
      t.kind = TRtfToken::ControlWord;
      t.Word = "par";
      return t;
    }
    t.kind = TRtfToken::ControlSymbol;
    t.Value = c;
    return t;
  }
  t.kind = TRtfToken::ControlWord;
  while (!atEnd() && isLetter(peek())) {
    if (t.Word.size() < kMaxWordLength) t.Word += char(peek());
    ++pos_;
  }
  bool negative = false;
  if (!atEnd() && peek() == '-' && pos_ + 1 < data_.size() &&
      isDigit(static_cast<unsigned char>(data_[pos_ + 1]))) {
    negative = true;
    ++pos_;
  }
  if (!atEnd() && isDigit(peek())) {
    long long v = 0;
    while (!atEnd() && isDigit(peek())) {
      if (v <= INT_MAX) v = v * 10 + (peek() - '0');
      ++pos_;
    }
    if (negative) v = -v;
    t.HasParam = true;
    t.Param = v > INT_MAX ? INT_MAX : v < -INT_MAX ? -INT_MAX : int(v);
  }
  if (!atEnd() && peek() == ' ') ++pos_;  // the delimiting space belongs to the word
  return t;
}

void TRtfLexer::SkipBytes(long long count) {
  if (count <= 0) return;
  const size_t left = data_.size() - pos_;
  pos_ += static_cast<unsigned long long>(count) >= left ? left : size_t(count);
}

}  // namespace zd
