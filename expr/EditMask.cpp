#include "expr/EditMask.h"

#include <QChar>

#include "expr/ExprValue.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

using TCodes = std::u32string;

enum class TCaseMode { None, Upper, Lower };

char32_t applyCase(char32_t c, TCaseMode mode) {
  if (mode == TCaseMode::Upper) return QChar::toUpper(c);
  if (mode == TCaseMode::Lower) return QChar::toLower(c);
  return c;
}

// The character class of an input position, or 0 for a non-input character.
char32_t inputClass(char32_t m) {
  switch (m) {
    case 'L': case 'l': return 'L';
    case 'A': case 'a': return 'A';
    case 'C': case 'c': return 'C';
    case '0': case '9': return '0';
    case '#': return '#';
    default: return 0;
  }
}

bool fits(char32_t c, char32_t cls) {
  switch (cls) {
    case 'L': return QChar::isLetter(c);
    case 'A': return QChar::isLetterOrNumber(c);
    case '0': return c >= '0' && c <= '9';
    case '#': return (c >= '0' && c <= '9') || c == '+' || c == '-';
    default: return true;
  }
}

struct TMaskParts {
  TCodes mask;
  char32_t blank = ' ';
};

TMaskParts splitMask(const TCodes& editMask) {
  TMaskParts parts;
  size_t i = 0;
  for (; i < editMask.size() && editMask[i] != ';'; ++i) {
    if (editMask[i] == '\\') {
      if (i + 1 >= editMask.size()) throw EConvertError("Edit mask ends with an unfinished escape");
      parts.mask += editMask[i++];
    }
    parts.mask += editMask[i];
  }
  if (i < editMask.size()) {  // ";save[;blank]"
    size_t blankAt = editMask.find(';', i + 1);
    if (blankAt != TCodes::npos && blankAt + 1 < editMask.size()) parts.blank = editMask[blankAt + 1];
  }
  return parts;
}

}  // namespace

std::string FormatMaskText(const std::string& editMask, const std::string& text, const TLocale& loc) {
  const TMaskParts parts = splitMask(DecodeUtf8(editMask));
  const TCodes value = DecodeUtf8(text);
  const TCodes& mask = parts.mask;
  TCodes out;
  size_t pos = 0;
  TCaseMode mode = TCaseMode::None;

  auto putLiteral = [&](char32_t lit) {
    out += lit;
    if (pos < value.size() && value[pos] == lit) ++pos;
  };

  for (size_t i = 0; i < mask.size(); ++i) {
    char32_t m = mask[i];
    if (m == '>') {
      mode = TCaseMode::Upper;
    } else if (m == '<') {
      if (i + 1 < mask.size() && mask[i + 1] == '>') {
        mode = TCaseMode::None;
        ++i;
      } else {
        mode = TCaseMode::Lower;
      }
    } else if (m == '!') {
      // entry hint only
    } else if (m == '\\') {
      putLiteral(mask[++i]);  // splitMask guarantees a following character
    } else if (m == ':') {
      putLiteral(char32_t(static_cast<unsigned char>(loc.timeSeparator)));
    } else if (m == '/') {
      putLiteral(char32_t(static_cast<unsigned char>(loc.dateSeparator)));
    } else if (m == '_') {
      putLiteral(' ');
    } else if (char32_t cls = inputClass(m)) {
      while (pos < value.size() && !fits(value[pos], cls)) ++pos;
      out += pos < value.size() ? applyCase(value[pos++], mode) : parts.blank;
    } else {
      putLiteral(m);
    }
  }
  return EncodeUtf8(out);
}

}  // namespace zd
