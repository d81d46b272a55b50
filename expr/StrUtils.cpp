#include "expr/StrUtils.h"

#include <algorithm>

#include <QList>
#include <QString>

#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"

namespace zd {

namespace {

QString toQ(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string fromQ(const QString& s) { return s.toStdString(); }

}  // namespace

std::string GetNextSpace(std::string_view s, int index) {
  if (index < 1 || size_t(index) > s.size()) return " ";
  std::string_view rest = s.substr(size_t(index - 1));
  std::string_view word = rest.substr(0, rest.find(' '));
  return word.empty() ? std::string(" ") : std::string(word);
}

std::string Replicate(char ch, int count) { return count > 0 ? std::string(size_t(count), ch) : ""; }

std::string AddLeadingZeros(const std::string& s, int count) {
  if (count <= 0 || s.size() >= size_t(count)) return s;
  return std::string(size_t(count) - s.size(), '0') + s;
}

std::string PadLSpace(const std::string& s, int count) {
  if (count <= 0 || s.size() >= size_t(count)) return s;
  return std::string(size_t(count) - s.size(), ' ') + s;
}

std::string PadRSpace(const std::string& s, int count) {
  if (count <= 0 || s.size() >= size_t(count)) return s;
  return s + std::string(size_t(count) - s.size(), ' ');
}

std::string ReplaceChr(std::string s, char oldCh, char newCh) {
  for (char& c : s)
    if (c == oldCh) c = newCh;
  return s;
}

// Plain ASCII, the common case, maps without a trip through UTF-16.
std::string UnicodeUpper(const std::string& s) { return IsAscii(s) ? UpperCase(s) : fromQ(toQ(s).toUpper()); }
std::string UnicodeLower(const std::string& s) { return IsAscii(s) ? LowerCase(s) : fromQ(toQ(s).toLower()); }

std::string Proper(const std::string& s) {
  // By code point, so that a character outside the basic plane maps as one.
  const QList<uint> codes = toQ(s).toUcs4();
  QString out;
  bool wordStart = true;
  for (uint code : codes) {
    auto ch = char32_t(code);
    QString one = QString::fromUcs4(&ch, 1);
    out += wordStart ? one.toUpper() : one.toLower();
    wordStart = code == ' ';
  }
  return fromQ(out);
}

std::string ReplaceSystemChars(const std::string& s) {
  struct TEntity {
    std::string_view text, entity;
  };
  static constexpr TEntity kMultiByte[] = {
      {"\u00A9", "&copy;"}, {"\u00B0", "&deg"},    {"\u00B1", "&plusmn"},
      {"\u00B6", "&para"},  {"\u2122", "&trade;"},
  };
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    switch (s[i]) {
      case '&': out += "&amp;"; ++i; continue;
      case '<': out += "&lt;"; ++i; continue;
      case '>': out += "&gt;"; ++i; continue;
      case '"': out += "&quot;"; ++i; continue;
      case '\'': out += "&apos;"; ++i; continue;
      case '|': out += "&brvbar"; ++i; continue;
      default: break;
    }
    bool replaced = false;
    for (const TEntity& e : kMultiByte) {
      if (s.compare(i, e.text.size(), e.text) == 0) {
        out += e.entity;
        i += e.text.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += s[i++];
  }
  return out;
}

std::string GetFieldName(const std::string& s) {
  size_t dot = s.find('.');
  return dot == std::string::npos ? std::string() : s.substr(dot + 1);
}

std::string SetDSExpression(const std::string& datasetName, const std::string& fieldName) {
  if (!datasetName.empty() && !fieldName.empty()) return datasetName + "." + fieldName;
  return datasetName + fieldName;
}

double StrToFloatDef(const std::string& s, double def, const TLocale& loc) {
  double v;
  if (!TryStrToFloat(s, v, loc.decimalSeparator)) return def;  // blank text fails too
  return v;
}

int StrToIntDef(const std::string& s, int def) {
  try {
    return int(StrToInt(s));
  } catch (const EConvertError&) {
    return def;
  }
}

std::string FirstCharacter(std::string_view s) {
  if (s.empty()) return "";
  auto lead = static_cast<unsigned char>(s[0]);
  size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  len = std::min(len, s.size());
  for (size_t i = 1; i < len; ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return std::string(s.substr(0, i));
  return std::string(s.substr(0, len));
}

}  // namespace zd
