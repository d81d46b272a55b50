#include "report/template/TemplateText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "host/locale/TextCodec.h"

namespace zd {

namespace {

constexpr size_t kHexBytesPerLine = 32;
constexpr const char* kHexDigits = "0123456789ABCDEF";

// Bare words that are values; an identifier spelled so is quoted.
constexpr const char* kValueKeywords[] = {"True", "False", "nil", "Null", "list", "binary", "collection"};
// Follows an object's name; an object named so is quoted.
constexpr std::string_view kFlagsKeyword = "flags";

bool IsWordStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsWordChar(char c) { return IsWordStart(c) || (c >= '0' && c <= '9') || c == '.'; }

bool IsBareWord(std::string_view s) {
  return !s.empty() && IsWordStart(s[0]) && std::all_of(s.begin(), s.end(), IsWordChar);
}

template <size_t N>
bool IsOneOf(std::string_view s, const char* const (&words)[N]) {
  return std::any_of(std::begin(words), std::end(words), [s](const char* w) { return s == w; });
}

const char* IntegerSuffix(TValueTag tag) {
  switch (tag) {
    case TValueTag::vaInt8: return "i8";
    case TValueTag::vaInt16: return "i16";
    case TValueTag::vaInt32: return "i32";
    default: return "i64";
  }
}

// The suffix of a float tag and the hex digits of its bits.
struct TFloatSpelling {
  const char* suffix;
  size_t hexDigits;
};

TFloatSpelling FloatSpelling(TValueTag tag) {
  switch (tag) {
    case TValueTag::vaSingle: return {"f32", 8};
    case TValueTag::vaDouble: return {"f64", 16};
    case TValueTag::vaDate: return {"date", 16};
    default: return {"", 20};
  }
}

const char* StringSuffix(TValueTag tag) {
  switch (tag) {
    case TValueTag::vaString: return "short";
    case TValueTag::vaLString: return "long";
    case TValueTag::vaWString: return "wide";
    default: return "utf8";
  }
}

// A decimal float of tag's format; nullopt when it is out of range or not a
// decimal at all.
std::optional<TStreamValue> DecimalFloat(std::string_view digits, TValueTag tag) {
  const char* end = digits.data() + digits.size();
  if (tag == TValueTag::vaSingle) {
    float f = 0;
    const auto r = std::from_chars(digits.data(), end, f);
    if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
    return TStreamValue::Float(f, tag);
  }
  double d = 0;
  const auto r = std::from_chars(digits.data(), end, d);
  if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
  return TStreamValue::Float(d, tag);
}

// ---- writing ----

std::string Quoted(std::string_view s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size();) {
    const auto c = uint8_t(s[i]);
    const size_t sequence = c >= 0x80 ? Utf8SequenceLength(s, i) : 1;
    if (c >= 0x80 && sequence > 0) {
      out.append(s.substr(i, sequence));
      i += sequence;
      continue;
    }
    ++i;
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          out += "\\x";
          out += kHexDigits[c >> 4];
          out += kHexDigits[c & 15];
        } else {
          out += char(c);
        }
    }
  }
  return out + "\"";
}

std::string NameText(const std::string& name) {
  return IsBareWord(name) && name != kFlagsKeyword ? name : Quoted(name);
}

std::string IntegerText(const TStreamValue& v) {
  const std::string digits = std::to_string(v.integer);
  return TStreamValue::Integer(v.integer).tag == v.tag ? digits : digits + IntegerSuffix(v.tag);
}

std::string FloatText(const TStreamValue& v) {
  const TFloatSpelling spelling = FloatSpelling(v.tag);
  const double d = v.AsFloat();
  if (std::isfinite(d)) {
    char buf[64];
    const auto r = v.tag == TValueTag::vaSingle ? std::to_chars(buf, buf + sizeof buf, float(d))
                                                 : std::to_chars(buf, buf + sizeof buf, d);
    std::string digits(buf, r.ptr);
    if (digits.find_first_of(".e") == std::string::npos) digits += ".0";
    const std::optional<TStreamValue> back = DecimalFloat(digits, v.tag);
    if (back && back->floatBits == v.floatBits) return digits + spelling.suffix;
  }
  std::string hex = "0x";
  for (size_t i = spelling.hexDigits; i-- > 0;) {
    const uint64_t word = i >= 16 ? v.floatBits.high : v.floatBits.low;
    hex += kHexDigits[(word >> (4 * (i % 16))) & 15];
  }
  return hex + spelling.suffix;
}

std::string CurrencyText(int64_t tenThousandths) {
  const bool negative = tenThousandths < 0;
  const uint64_t magnitude = negative ? 0 - uint64_t(tenThousandths) : uint64_t(tenThousandths);
  std::string out = (negative ? "-" : "") + std::to_string(magnitude / 10000);
  if (const uint64_t fraction = magnitude % 10000) {
    std::string decimals = std::to_string(10000 + fraction).substr(1);
    decimals.erase(decimals.find_last_not_of('0') + 1);
    out += "." + decimals;
  }
  return out + "cur";
}

std::string InlineText(const TStreamValue& v) {
  if (v.IsInteger()) return IntegerText(v);
  if (v.IsString()) return Quoted(v.text) + (TStreamValue::String(v.text).tag == v.tag ? "" : StringSuffix(v.tag));
  switch (v.tag) {
    case TValueTag::vaNull: return "Null";
    case TValueTag::vaNil: return "nil";
    case TValueTag::vaFalse: return "False";
    case TValueTag::vaTrue: return "True";
    case TValueTag::vaIdent:
      return IsBareWord(v.text) && !IsOneOf(v.text, kValueKeywords) ? v.text : Quoted(v.text) + "ident";
    case TValueTag::vaCurrency: return CurrencyText(v.integer);
    case TValueTag::vaSet: {
      std::string out = "[";
      for (size_t i = 0; i < v.members.size(); ++i) out += (i ? ", " : "") + NameText(v.members[i]);
      return out + "]";
    }
    default: return FloatText(v);
  }
}

class TTextWriter {
 public:
  std::string out;

  void object(const TStreamObject& o, int level) {
    std::string header = NameText(o.className);
    if (!o.name.empty()) header += " " + NameText(o.name);
    if (o.flags) {
      header += " flags " + std::to_string(o.flags);
      if (o.flags & 2) header += " position " + IntegerText(o.childPos);
    }
    line(level, header);
    properties(o.properties, level + 1);
    for (const TStreamObject& child : o.children) object(child, level + 1);
  }

 private:
  void line(int level, const std::string& text) {
    out.append(size_t(level) * 2, ' ');
    out += text;
    out += '\n';
  }

  void properties(const std::vector<TStreamProperty>& props, int level) {
    for (const TStreamProperty& p : props) value(level, NameText(p.name) + " = ", p.value);
  }

  // `lead` and the value on one line; block values go on below, one level deeper.
  void value(int level, const std::string& lead, const TStreamValue& v) {
    switch (v.tag) {
      case TValueTag::vaList:
        line(level, lead + "list");
        for (const TStreamValue& e : v.list) value(level + 1, "", e);
        return;
      case TValueTag::vaBinary:
        line(level, lead + "binary");
        for (size_t i = 0; i < v.bytes.size(); i += kHexBytesPerLine) {
          std::string hex;
          for (size_t k = i; k < std::min(v.bytes.size(), i + kHexBytesPerLine); ++k) {
            hex += kHexDigits[v.bytes[k] >> 4];
            hex += kHexDigits[v.bytes[k] & 15];
          }
          line(level + 1, hex);
        }
        return;
      case TValueTag::vaCollection:
        line(level, lead + "collection");
        for (const TStreamItem& item : v.items) {
          line(level + 1, item.index ? "item " + IntegerText(*item.index) : "item");
          properties(item.properties, level + 2);
        }
        return;
      default: line(level, lead + InlineText(v));
    }
  }
};

// ---- reading ----

struct TLine {
  int level;
  size_t begin, end;  // of the text after the indentation
};

class TTextReader {
 public:
  explicit TTextReader(std::string_view text) : text_(text) {}

  TStreamObject Read() {
    splitLines();
    if (lines_.empty()) fail(text_.size(), "the text holds no object");
    if (lines_[0].level != 0) fail(lines_[0].begin, "the report's object must not be indented");
    size_t i = 0;
    TStreamObject root = object(i, 0);
    if (i < lines_.size()) fail(lines_[i].begin, "a second object at the top level; a template holds one");
    return root;
  }

 private:
  [[noreturn]] void fail(size_t at, const std::string& what) const {
    ETemplateError error("Template text error at " + TextPlace(text_, at) + ": " +
                         (path_.empty() ? "" : "property " + path_ + ": ") + what);
    error.SetOffset(at);
    error.SetPropertyPath(path_);
    throw error;
  }

  void splitLines() {
    size_t pos = text_.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (pos < text_.size()) {
      size_t end = std::min(text_.find('\n', pos), text_.size());
      const size_t next = end + 1;
      if (end > pos && text_[end - 1] == '\r') --end;
      size_t content = pos;
      while (content < end && text_[content] == ' ') ++content;
      if (content < end && text_[content] == '\t') fail(content, "a tab in the indentation; indent by two spaces");
      if (content < end && text_[content] != '#') {
        if ((content - pos) % 2) fail(content, "an indentation of an odd number of spaces; indent by two");
        lines_.push_back({int(std::min<size_t>((content - pos) / 2, INT32_MAX)), content, end});
      }
      pos = next;
    }
  }

  void checkDepth(int depth, size_t at) const {
    if (depth > kMaxStreamDepth) fail(at, "nesting deeper than " + std::to_string(kMaxStreamDepth) + " levels");
  }

  // Lines deeper than `level` that follow line i belong to it; they must be
  // exactly one level deeper.
  bool childLineFollows(size_t i, int level) const {
    if (i >= lines_.size() || lines_[i].level <= level) return false;
    if (lines_[i].level != level + 1) fail(lines_[i].begin, "indented deeper than the line above allows");
    return true;
  }

  // ---- tokens of one line, from pos_ to end_ ----

  void startLine(size_t i) {
    pos_ = lines_[i].begin;
    end_ = lines_[i].end;
  }
  bool atEnd() const { return pos_ >= end_; }
  char peek() const { return atEnd() ? '\0' : text_[pos_]; }
  void skipSpaces() {
    while (!atEnd() && text_[pos_] == ' ') ++pos_;
  }
  void expectLineEnd() {
    skipSpaces();
    if (!atEnd()) fail(pos_, "unexpected text at the end of the line");
  }

  std::string_view word() {
    const size_t start = pos_;
    while (!atEnd() && IsWordChar(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // Letters and digits right after a number or a closing quote.
  std::string_view suffix() {
    const size_t start = pos_;
    while (!atEnd() && std::isalnum(uint8_t(text_[pos_]))) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  int hexDigit(size_t at) const {
    const char c = at < end_ ? text_[at] : '\0';
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  }

  std::string quoted() {
    const size_t start = pos_++;
    std::string out;
    for (;;) {
      if (atEnd()) fail(start, "the string does not end on its line");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      const size_t at = pos_ - 1;
      switch (atEnd() ? '\0' : text_[pos_++]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
          const int high = hexDigit(pos_), low = hexDigit(pos_ + 1);
          if (high < 0 || low < 0) fail(at, "\\x needs two hex digits");
          out += char(high * 16 + low);
          pos_ += 2;
          break;
        }
        default: fail(at, "unknown escape; the escapes are \\\\ \\\" \\n \\r \\t \\xHH");
      }
    }
  }

  // A class, object, property or set member name.
  std::string name(const char* what) {
    const size_t at = pos_;
    std::string n = peek() == '"' ? quoted() : std::string(word());
    if (n.empty()) fail(at, std::string("expected ") + what);
    if (n.size() > 255) fail(at, std::string(what) + " is longer than 255 bytes");
    return n;
  }

  // ---- numbers ----

  TStreamValue number() {
    const size_t start = pos_;
    if (text_.substr(pos_, 2) == "0x") {
      pos_ += 2;
      const size_t digitsAt = pos_;
      // Upper case only, so that the suffixes f32, f64 and date stay apart.
      while (!atEnd() && std::isxdigit(uint8_t(text_[pos_])) && !std::islower(uint8_t(text_[pos_]))) ++pos_;
      const std::string_view hex = text_.substr(digitsAt, pos_ - digitsAt);
      return rawFloat(start, hex, suffix());
    }
    if (peek() == '-') ++pos_;
    const auto digitRun = [this] {
      const size_t from = pos_;
      while (!atEnd() && std::isdigit(uint8_t(text_[pos_]))) ++pos_;
      return pos_ > from;
    };
    if (!digitRun()) fail(start, "expected a value");
    bool fraction = false, exponent = false;
    if (peek() == '.') {
      ++pos_;
      fraction = true;
      if (!digitRun()) fail(start, "expected digits after the decimal point");
    }
    if (peek() == 'e' || peek() == 'E') {
      ++pos_;
      exponent = true;
      if (peek() == '+' || peek() == '-') ++pos_;
      if (!digitRun()) fail(start, "expected digits in the exponent");
    }
    const std::string_view digits = text_.substr(start, pos_ - start);
    const std::string_view tail = suffix();
    if (tail == "cur") {
      if (exponent) fail(start, "a currency takes no exponent");
      return currency(start, digits);
    }
    const TValueTag floatTag = tail == "f32" ? TValueTag::vaSingle
                               : tail == "f64" ? TValueTag::vaDouble
                               : tail == "date" ? TValueTag::vaDate
                                                : TValueTag::vaExtended;
    if (floatTag != TValueTag::vaExtended || (tail.empty() && (fraction || exponent))) {
      const std::optional<TStreamValue> v = DecimalFloat(digits, floatTag);
      if (!v) fail(start, "the number " + std::string(digits) + " is out of range");
      return *v;
    }
    if (fraction || exponent) fail(start, "unknown suffix '" + std::string(tail) + "' after a number");
    return integer(start, digits, tail);
  }

  TStreamValue integer(size_t start, std::string_view digits, std::string_view tail) {
    int64_t v = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (r.ec != std::errc()) fail(start, "the integer " + std::string(digits) + " is out of range");
    if (tail.empty()) return TStreamValue::Integer(v);
    const TValueTag tag = tail == "i8"    ? TValueTag::vaInt8
                          : tail == "i16" ? TValueTag::vaInt16
                          : tail == "i32" ? TValueTag::vaInt32
                          : tail == "i64" ? TValueTag::vaInt64
                                          : TValueTag::vaNull;
    if (tag == TValueTag::vaNull) fail(start, "unknown suffix '" + std::string(tail) + "' after an integer");
    try {
      return TStreamValue::Integer(v, tag);
    } catch (const ETemplateError&) {
      fail(start, "the integer " + std::string(digits) + " does not fit " + std::string(tail));
    }
  }

  TStreamValue currency(size_t start, std::string_view digits) {
    const bool negative = digits[0] == '-';
    uint64_t magnitude = 0;
    int decimals = -1;
    for (char c : digits.substr(negative ? 1 : 0)) {
      if (c == '.') {
        decimals = 0;
        continue;
      }
      if (decimals >= 0 && ++decimals > 4) fail(start, "a currency has at most four decimals");
      if (__builtin_mul_overflow(magnitude, 10u, &magnitude) || __builtin_add_overflow(magnitude, uint64_t(c - '0'), &magnitude))
        fail(start, "the currency " + std::string(digits) + " is out of range");
    }
    for (int d = std::max(decimals, 0); d < 4; ++d)
      if (__builtin_mul_overflow(magnitude, 10u, &magnitude)) fail(start, "the currency is out of range");
    if (magnitude > uint64_t(INT64_MAX) + (negative ? 1 : 0)) fail(start, "the currency is out of range");
    TStreamValue v = TStreamValue::Of(TValueTag::vaCurrency);
    v.integer = int64_t(negative ? 0 - magnitude : magnitude);
    return v;
  }

  TStreamValue rawFloat(size_t start, std::string_view hex, std::string_view tail) {
    const TValueTag tag = tail == "f32" ? TValueTag::vaSingle
                          : tail == "f64" ? TValueTag::vaDouble
                          : tail == "date" ? TValueTag::vaDate
                          : tail.empty()   ? TValueTag::vaExtended
                                           : TValueTag::vaNull;
    if (tag == TValueTag::vaNull) fail(start, "unknown suffix '" + std::string(tail) + "' after float bits");
    const size_t wanted = FloatSpelling(tag).hexDigits;
    if (hex.size() != wanted)
      fail(start, "float bits take " + std::to_string(wanted) + " hex digits" + (tail.empty() ? "" : " with ") +
                      std::string(tail));
    TStreamValue v = TStreamValue::Of(tag);
    for (size_t i = 0; i < hex.size(); ++i) {
      const uint64_t digit = uint64_t(hexDigit(size_t(hex.data() - text_.data()) + i));
      const size_t shift = 4 * ((hex.size() - 1 - i) % 16);
      if (hex.size() - 1 - i >= 16) v.floatBits.high = uint16_t(v.floatBits.high | digit << shift);
      else v.floatBits.low |= digit << shift;
    }
    return v;
  }

  // ---- values ----

  TStreamValue text(size_t start) {
    std::string content = quoted();
    const std::string_view tail = suffix();
    if (tail.empty()) return TStreamValue::String(std::move(content));
    TStreamValue v;
    v.tag = tail == "short"  ? TValueTag::vaString
            : tail == "long" ? TValueTag::vaLString
            : tail == "wide" ? TValueTag::vaWString
            : tail == "utf8" ? TValueTag::vaUTF8String
            : tail == "ident" ? TValueTag::vaIdent
                              : TValueTag::vaNull;
    if (v.tag == TValueTag::vaNull) fail(start, "unknown suffix '" + std::string(tail) + "' after a string");
    if (v.tag == TValueTag::vaIdent && content.size() > 255) fail(start, "an identifier is longer than 255 bytes");
    if (!FitsStringTag(content, v.tag))
      fail(start, v.tag == TValueTag::vaWString ? std::string("a wide string must be valid UTF-8")
                                                : "a " + std::string(tail) +
                                                      " string takes Windows-1252 characters" +
                                                      (v.tag == TValueTag::vaString ? ", at most 255" : ""));
    v.text = std::move(content);
    return v;
  }

  TStreamValue set() {
    TStreamValue v = TStreamValue::Of(TValueTag::vaSet);
    ++pos_;
    skipSpaces();
    if (peek() == ']') {
      ++pos_;
      return v;
    }
    for (;;) {
      skipSpaces();
      const size_t at = pos_;
      v.members.push_back(name("a set member"));
      if (v.members.back().empty()) fail(at, "a set member cannot be empty");
      skipSpaces();
      if (peek() == ']') {
        ++pos_;
        return v;
      }
      if (peek() != ',') fail(pos_, "expected , or ] in the set");
      ++pos_;
    }
  }

  // The value from pos_ on line i; block values take the deeper lines that
  // follow. Leaves i after the last line the value used.
  TStreamValue value(size_t& i, int level, int depth) {
    skipSpaces();
    const size_t start = pos_;
    checkDepth(depth, start);
    const char c = peek();
    TStreamValue v;
    if (c == '"') v = text(start);
    else if (c == '[') v = set();
    else if (c == '-' || std::isdigit(uint8_t(c))) v = number();
    else {
      const std::string_view w = word();
      if (w.empty()) fail(start, "expected a value");
      if (w == "list" || w == "binary" || w == "collection") {
        expectLineEnd();
        ++i;
        if (w == "list") return list(i, level, depth);
        if (w == "binary") return binary(i, level);
        return collection(i, level, depth);
      }
      if (w == "True") v = TStreamValue::Boolean(true);
      else if (w == "False") v = TStreamValue::Boolean(false);
      else if (w == "nil") v = TStreamValue::Of(TValueTag::vaNil);
      else if (w == "Null") v = TStreamValue::Of(TValueTag::vaNull);
      else if (!IsWordStart(w[0])) fail(start, "expected a value");
      else if (w.size() > 255) fail(start, "an identifier is longer than 255 bytes");
      else v = TStreamValue::Ident(std::string(w));
    }
    expectLineEnd();
    ++i;
    return v;
  }

  TStreamValue list(size_t& i, int level, int depth) {
    TStreamValue v = TStreamValue::Of(TValueTag::vaList);
    while (childLineFollows(i, level)) {
      startLine(i);
      const size_t at = pos_;
      v.list.push_back(value(i, level + 1, depth + 1));
      if (v.list.back().tag == TValueTag::vaNull) fail(at, "a list cannot hold Null");
    }
    return v;
  }

  TStreamValue binary(size_t& i, int level) {
    TStreamValue v = TStreamValue::Of(TValueTag::vaBinary);
    for (; childLineFollows(i, level); ++i) {
      startLine(i);
      for (; !atEnd() && peek() != ' '; pos_ += 2) {
        const int high = hexDigit(pos_), low = hexDigit(pos_ + 1);
        if (high < 0 || low < 0) fail(pos_, "binary data takes pairs of hex digits");
        v.bytes.push_back(uint8_t(high * 16 + low));
      }
      expectLineEnd();
    }
    return v;
  }

  TStreamValue collection(size_t& i, int level, int depth) {
    TStreamValue v = TStreamValue::Of(TValueTag::vaCollection);
    const std::string outer = path_;
    while (childLineFollows(i, level)) {
      startLine(i);
      TStreamItem item;
      item.offset = pos_;
      if (word() != "item") fail(item.offset, "expected an item of the collection");
      skipSpaces();
      if (!atEnd()) {
        const size_t at = pos_;
        item.index = number();
        if (!item.index->IsInteger() || item.index->tag == TValueTag::vaInt64)
          fail(at, "an item index is an integer of at most 32 bits");
      }
      expectLineEnd();
      ++i;
      path_ = outer + "[" + std::to_string(v.items.size()) + "]";
      while (childLineFollows(i, level + 1)) item.properties.push_back(property(i, level + 2, depth + 1));
      path_ = outer;
      v.items.push_back(std::move(item));
    }
    return v;
  }

  bool isProperty(size_t i) {
    startLine(i);
    if (peek() == '"') quoted();
    else word();
    skipSpaces();
    return peek() == '=';
  }

  TStreamProperty property(size_t& i, int level, int depth) {
    if (!isProperty(i)) fail(lines_[i].begin, "expected PATH = VALUE");
    startLine(i);
    TStreamProperty p;
    p.offset = pos_;
    p.name = name("a property name");
    skipSpaces();
    ++pos_;  // the '=' isProperty found
    const std::string outer = path_;
    path_ = outer.empty() ? p.name : outer + "." + p.name;
    p.value = value(i, level, depth);
    path_ = outer;
    return p;
  }

  TStreamObject object(size_t& i, int depth) {
    const int level = lines_[i].level;
    startLine(i);
    TStreamObject o;
    o.offset = pos_;
    checkDepth(depth, pos_);
    o.className = name("a class name");
    skipSpaces();
    if (!atEnd() && !nextIsWord(kFlagsKeyword)) {
      o.name = name("an object name");
      skipSpaces();
    }
    if (!atEnd()) flags(o);
    expectLineEnd();
    ++i;
    while (childLineFollows(i, level)) {
      if (isProperty(i)) {
        if (!o.children.empty()) fail(lines_[i].begin, "properties come before the child objects");
        o.properties.push_back(property(i, level + 1, depth));
      } else {
        o.children.push_back(object(i, depth + 1));
      }
    }
    return o;
  }

  bool nextIsWord(std::string_view w) {
    const size_t at = pos_;
    const bool is = word() == w;
    pos_ = at;
    return is;
  }

  // "flags N [position INTEGER]" after an object's name.
  void flags(TStreamObject& o) {
    if (const size_t at = pos_; word() != kFlagsKeyword)
      fail(at, "expected flags or the end of the line after the object's name");
    skipSpaces();
    const size_t numberAt = pos_;
    const TStreamValue n = number();
    if (!n.IsInteger() || n.integer < 1 || n.integer > 15) fail(numberAt, "flags take a number from 1 to 15");
    o.flags = uint8_t(n.integer);
    skipSpaces();
    const size_t positionAt = pos_;
    const bool hasPosition = !atEnd() && word() == "position";
    if (hasPosition != bool(o.flags & 2)) fail(positionAt, "a position is given exactly when flag 2 is set");
    if (!hasPosition) return;
    skipSpaces();
    const size_t at = pos_;
    o.childPos = number();
    if (!o.childPos.IsInteger()) fail(at, "the position is an integer");
  }

  std::string_view text_;
  std::vector<TLine> lines_;
  size_t pos_ = 0, end_ = 0;
  std::string path_;  // of the property being read, for messages
};

}  // namespace

std::string WriteTemplateText(const TStreamObject& root) {
  TTextWriter w;
  w.object(root, 0);
  return std::move(w.out);
}

TStreamObject ReadTemplateText(std::string_view text) { return TTextReader(text).Read(); }

std::string TextPlace(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  size_t line = 1, column = 1;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else if ((uint8_t(text[i]) & 0xC0) != 0x80) {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace zd
