#include "report/template/ComponentStream.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "host/locale/CodePages.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};

// 8-bit stream strings are in Windows-1252; the five bytes it leaves
// undefined stand for the C1 controls of their number, so that every byte
// reads and writes back.
std::string AnsiToUtf8(const uint8_t* p, size_t n) {
  const char16_t* upper = SingleByteCodePage(1252);
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    const char32_t cp = p[i] < 0x80 || upper[p[i] - 0x80] ? DecodeSingleByte(p[i], upper) : char32_t(p[i]);
    AppendUtf8(cp, out);
  }
  return out;
}

std::optional<std::string> Utf8ToAnsi(const std::string& utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  const char16_t* upper = SingleByteCodePage(1252);
  std::string out;
  for (char32_t cp : DecodeUtf8(utf8)) {
    if (const std::optional<uint8_t> b = EncodeSingleByte(cp, upper)) out += char(*b);
    else if (cp >= 0x80 && cp < 0xA0 && upper[cp - 0x80] == 0) out += char(cp);
    else return std::nullopt;
  }
  return out;
}

// Wide stream strings are UTF-16, little-endian.
std::string Utf16LeToUtf8(const uint8_t* p, size_t units) {
  std::u16string text(units, u'\0');
  for (size_t i = 0; i < units; ++i) text[i] = char16_t(p[2 * i] | p[2 * i + 1] << 8);
  return Utf16ToUtf8(text);
}

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

bool FitsTag(int64_t v, TValueTag tag) {
  switch (tag) {
    case TValueTag::vaInt8: return v >= INT8_MIN && v <= INT8_MAX;
    case TValueTag::vaInt16: return v >= INT16_MIN && v <= INT16_MAX;
    case TValueTag::vaInt32: return v >= INT32_MIN && v <= INT32_MAX;
    default: return true;
  }
}

// 80-bit extended float: sign and 15-bit exponent over a 64-bit mantissa
// with an explicit integer bit.
TFloatBits DoubleToExtended(double v) {
  uint64_t mantissa = 0;
  uint16_t exponent = 0;
  if (std::isnan(v)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(v)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (v != 0) {
    int e = 0;
    const double m = std::frexp(std::fabs(v), &e);  // [0.5, 1)
    mantissa = uint64_t(std::ldexp(m, 64));
    exponent = uint16_t(e - 1 + 16383);
  }
  if (std::signbit(v)) exponent |= 0x8000;
  return {mantissa, exponent};
}

double ExtendedToDouble(TFloatBits bits) {
  const uint64_t mantissa = bits.low;
  const bool negative = bits.high & 0x8000;
  const int exponent = bits.high & 0x7FFF;
  double v;
  if (exponent == 0x7FFF)
    v = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
  else
    v = std::ldexp(double(mantissa), exponent - 16383 - 63);
  return negative ? -v : v;
}

// ---- writing ----

class TStreamWriter {
 public:
  TBytes bytes;

  void u8(uint8_t v) { bytes.push_back(v); }
  void le(uint64_t v, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
  }
  void raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
  }
  void shortString(const std::string& s, const char* what) {
    if (s.size() > 255) throw ETemplateError(std::string(what) + " \"" + s.substr(0, 40) + "...\" is longer than 255 bytes");
    u8(uint8_t(s.size()));
    raw(s.data(), s.size());
  }
  std::string ansi(const std::string& utf8) {
    std::optional<std::string> encoded = Utf8ToAnsi(utf8);
    if (!encoded) throw ETemplateError("The string \"" + utf8.substr(0, 40) + "\" has characters Windows-1252 lacks");
    return *encoded;
  }
  void integer(const TStreamValue& v, const char* what) {
    if (!v.IsInteger()) throw ETemplateError(std::string(what) + " is not an integer");
    value(v);
  }
  void tag(TValueTag t) { u8(uint8_t(t)); }
  void longText(const std::string& s) {
    if (s.size() > UINT32_MAX) throw ETemplateError("A string is too long");
    le(s.size(), 4);
    raw(s.data(), s.size());
  }

  void value(const TStreamValue& v) {
    tag(v.tag);
    switch (v.tag) {
      case TValueTag::vaNull:
      case TValueTag::vaFalse:
      case TValueTag::vaTrue:
      case TValueTag::vaNil: break;
      case TValueTag::vaList:
        for (const TStreamValue& e : v.list) {
          if (e.tag == TValueTag::vaNull) throw ETemplateError("A list cannot hold Null: its tag ends the list");
          value(e);
        }
        u8(0);
        break;
      case TValueTag::vaInt8:
      case TValueTag::vaInt16:
      case TValueTag::vaInt32:
        if (!FitsTag(v.integer, v.tag))
          throw ETemplateError("The integer " + std::to_string(v.integer) + " does not fit its tag");
        le(uint64_t(v.integer), v.tag == TValueTag::vaInt8 ? 1 : v.tag == TValueTag::vaInt16 ? 2 : 4);
        break;
      case TValueTag::vaInt64:
      case TValueTag::vaCurrency: le(uint64_t(v.integer), 8); break;
      case TValueTag::vaExtended:
        le(v.floatBits.low, 8);
        le(v.floatBits.high, 2);
        break;
      case TValueTag::vaSingle: le(v.floatBits.low, 4); break;
      case TValueTag::vaDouble:
      case TValueTag::vaDate: le(v.floatBits.low, 8); break;
      case TValueTag::vaString: shortString(ansi(v.text), "A string"); break;
      case TValueTag::vaIdent: shortString(v.text, "An identifier"); break;
      case TValueTag::vaLString: longText(ansi(v.text)); break;
      case TValueTag::vaUTF8String: longText(v.text); break;
      case TValueTag::vaWString: {
        if (!IsValidUtf8(v.text)) throw ETemplateError("A wide string is not valid UTF-8");
        const std::u16string units = Utf8ToUtf16(v.text);
        if (units.size() > UINT32_MAX) throw ETemplateError("A wide string is too long");
        le(units.size(), 4);
        for (char16_t unit : units) le(unit, 2);
        break;
      }
      case TValueTag::vaBinary:
        if (v.bytes.size() > UINT32_MAX) throw ETemplateError("Binary data is too long");
        le(v.bytes.size(), 4);
        raw(v.bytes.data(), v.bytes.size());
        break;
      case TValueTag::vaSet:
        for (const std::string& m : v.members) {
          if (m.empty()) throw ETemplateError("A set member cannot be empty: it ends the set");
          shortString(m, "A set member");
        }
        u8(0);
        break;
      case TValueTag::vaCollection:
        for (const TStreamItem& item : v.items) {
          if (item.index) {
            if (item.index->tag == TValueTag::vaInt64) throw ETemplateError("A collection item index must fit 32 bits");
            integer(*item.index, "A collection item index");
          }
          tag(TValueTag::vaList);
          properties(item.properties);
        }
        u8(0);
        break;
    }
  }

  void properties(const std::vector<TStreamProperty>& props) {
    for (const TStreamProperty& p : props) {
      if (p.name.empty()) throw ETemplateError("A property without a name cannot be written");
      shortString(p.name, "A property name");
      value(p.value);
    }
    u8(0);
  }

  void object(const TStreamObject& o) {
    if (o.flags > 0x0F) throw ETemplateError("Object flags take four bits");
    if (o.flags) {
      u8(uint8_t(0xF0 | o.flags));
      if (o.flags & 2) integer(o.childPos, "A child position");
    } else if (o.className.size() >= 0xF0) {
      throw ETemplateError("A class name of 240 bytes or more would read as object flags");
    }
    shortString(o.className, "A class name");
    shortString(o.name, "A component name");
    properties(o.properties);
    for (const TStreamObject& child : o.children) object(child);
    u8(0);
  }
};

// ---- reading ----

class TStreamReader {
 public:
  TStreamReader(const TBytes& data, size_t begin, size_t end) : d_(data), pos_(begin), end_(end) {}

  size_t pos() const { return pos_; }
  bool atEnd() const { return pos_ >= end_; }

  [[noreturn]] void fail(const std::string& what, size_t at) const {
    throw AtOffset(ETemplateError("Template stream error at byte " + std::to_string(at) + ": " + what), at);
  }
  void need(uint64_t n, const char* what) const {
    if (n > end_ - pos_)
      fail(std::string("truncated ") + what + " (" + std::to_string(n) + " bytes needed, " +
               std::to_string(end_ - pos_) + " left)",
           pos_);
  }
  uint8_t peek(const char* what) const {
    need(1, what);
    return d_[pos_];
  }
  uint64_t le(int size, const char* what) {
    need(uint64_t(size), what);
    uint64_t v = 0;
    for (int i = 0; i < size; ++i) v |= uint64_t(d_[pos_ + size_t(i)]) << (8 * i);
    pos_ += size_t(size);
    return v;
  }
  uint8_t u8(const char* what) { return uint8_t(le(1, what)); }
  std::string shortString(const char* what) {
    const size_t n = u8(what);
    need(n, what);
    std::string s(reinterpret_cast<const char*>(d_.data() + pos_), n);
    pos_ += n;
    return s;
  }

  void signature() {
    need(4, "signature");
    if (std::memcmp(d_.data() + pos_, kSignature, 4) != 0) fail("the component stream does not start with TPF0", pos_);
    pos_ += 4;
  }

  TStreamObject object(int depth) {
    checkDepth(depth);
    TStreamObject o;
    o.offset = pos_;
    const uint8_t first = peek("object");
    if ((first & 0xF0) == 0xF0) {
      ++pos_;
      o.flags = first & 0x0F;
      if (o.flags == 0) fail("an object prefix without flags", o.offset);
      if (o.flags & 2) {
        const size_t at = pos_;
        o.childPos = value(depth);
        if (!o.childPos.IsInteger()) fail("the child position is not an integer", at);
      }
    }
    const size_t classAt = pos_;
    o.className = shortString("class name");
    if (o.className.empty()) fail("an object without a class name", classAt);
    o.name = shortString("component name");
    o.properties = properties(depth);
    while (peek("end of children") != 0) o.children.push_back(object(depth + 1));
    ++pos_;
    return o;
  }

 private:
  void checkDepth(int depth) const {
    if (depth > kMaxStreamDepth)
      fail("nesting deeper than " + std::to_string(kMaxStreamDepth) + " levels", pos_);
  }

  std::vector<TStreamProperty> properties(int depth) {
    std::vector<TStreamProperty> props;
    while (peek("end of properties") != 0) {
      TStreamProperty p;
      p.offset = pos_;
      p.name = shortString("property name");
      p.value = value(depth);
      props.push_back(std::move(p));
    }
    ++pos_;
    return props;
  }

  std::string longText(int unitSize, const char* what) {
    const uint64_t count = le(4, what);
    need(count * uint64_t(unitSize), what);
    const uint8_t* p = d_.data() + pos_;
    pos_ += size_t(count) * size_t(unitSize);
    return unitSize == 2 ? Utf16LeToUtf8(p, size_t(count)) : std::string(reinterpret_cast<const char*>(p), size_t(count));
  }

  TStreamValue value(int depth) {
    checkDepth(depth);
    const size_t at = pos_;
    TStreamValue v;
    const uint8_t tag = u8("value tag");
    if (tag > uint8_t(TValueTag::vaDouble)) fail("unknown value tag " + std::to_string(tag), at);
    v.tag = TValueTag(tag);
    switch (v.tag) {
      case TValueTag::vaNull:
      case TValueTag::vaFalse:
      case TValueTag::vaTrue:
      case TValueTag::vaNil: break;
      case TValueTag::vaList:
        while (peek("end of list") != 0) v.list.push_back(value(depth + 1));
        ++pos_;
        break;
      case TValueTag::vaInt8: v.integer = int8_t(le(1, "integer")); break;
      case TValueTag::vaInt16: v.integer = int16_t(le(2, "integer")); break;
      case TValueTag::vaInt32: v.integer = int32_t(le(4, "integer")); break;
      case TValueTag::vaInt64: v.integer = int64_t(le(8, "integer")); break;
      case TValueTag::vaCurrency: v.integer = int64_t(le(8, "currency")); break;
      case TValueTag::vaExtended:
        need(10, "extended float");
        v.floatBits.low = le(8, "extended float");
        v.floatBits.high = uint16_t(le(2, "extended float"));
        break;
      case TValueTag::vaSingle:
      case TValueTag::vaDouble:
      case TValueTag::vaDate: v.floatBits.low = le(v.tag == TValueTag::vaSingle ? 4 : 8, "float"); break;
      case TValueTag::vaString: {
        const size_t n = u8("string");
        need(n, "string");
        v.text = AnsiToUtf8(d_.data() + pos_, n);
        pos_ += n;
        break;
      }
      case TValueTag::vaIdent: v.text = shortString("identifier"); break;
      case TValueTag::vaLString: {
        const std::string raw = longText(1, "long string");
        v.text = AnsiToUtf8(reinterpret_cast<const uint8_t*>(raw.data()), raw.size());
        break;
      }
      case TValueTag::vaWString: v.text = longText(2, "wide string"); break;
      case TValueTag::vaUTF8String: v.text = longText(1, "UTF-8 string"); break;
      case TValueTag::vaBinary: {
        const uint64_t n = le(4, "binary length");
        need(n, "binary data");
        v.bytes.assign(d_.begin() + long(pos_), d_.begin() + long(pos_ + n));
        pos_ += size_t(n);
        break;
      }
      case TValueTag::vaSet:
        for (;;) {
          std::string m = shortString("set member");
          if (m.empty()) break;
          v.members.push_back(std::move(m));
        }
        break;
      case TValueTag::vaCollection:
        while (peek("end of collection") != 0) {
          TStreamItem item;
          item.offset = pos_;
          const uint8_t next = d_[pos_];
          if (next == uint8_t(TValueTag::vaInt8) || next == uint8_t(TValueTag::vaInt16) ||
              next == uint8_t(TValueTag::vaInt32))
            item.index = value(depth + 1);
          const size_t listAt = pos_;
          if (u8("collection item") != uint8_t(TValueTag::vaList))
            fail("a collection item does not start with a list", listAt);
          item.properties = properties(depth + 1);
          v.items.push_back(std::move(item));
        }
        ++pos_;
        break;
    }
    return v;
  }

  const TBytes& d_;
  size_t pos_, end_;
};

}  // namespace

// ---- TStreamValue ----

TStreamValue TStreamValue::Of(TValueTag tag) {
  TStreamValue v;
  v.tag = tag;
  return v;
}

TStreamValue TStreamValue::Integer(int64_t i) {
  TStreamValue v;
  v.integer = i;
  if (i >= INT8_MIN && i <= INT8_MAX)
    v.tag = TValueTag::vaInt8;
  else if (i >= INT16_MIN && i <= INT16_MAX)
    v.tag = TValueTag::vaInt16;
  else if (i >= INT32_MIN && i <= INT32_MAX)
    v.tag = TValueTag::vaInt32;
  else
    v.tag = TValueTag::vaInt64;
  return v;
}

TStreamValue TStreamValue::Integer(int64_t i, TValueTag tag) {
  TStreamValue v = Of(tag);
  if (!v.IsInteger() || !FitsTag(i, tag))
    throw ETemplateError("The integer " + std::to_string(i) + " does not fit its tag");
  v.integer = i;
  return v;
}

TStreamValue TStreamValue::Float(double d, TValueTag tag) {
  TStreamValue v = Of(tag);
  if (tag == TValueTag::vaExtended) {
    v.floatBits = DoubleToExtended(d);
  } else if (tag == TValueTag::vaSingle) {
    const float f = float(d);
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    v.floatBits.low = bits;
  } else {
    std::memcpy(&v.floatBits.low, &d, 8);
  }
  return v;
}

TStreamValue TStreamValue::String(std::string utf8) {
  TStreamValue v;
  if (!IsAscii(utf8))
    v.tag = TValueTag::vaUTF8String;
  else
    v.tag = utf8.size() <= 255 ? TValueTag::vaString : TValueTag::vaLString;
  v.text = std::move(utf8);
  return v;
}

TStreamValue TStreamValue::Ident(std::string name) {
  TStreamValue v = Of(TValueTag::vaIdent);
  v.text = std::move(name);
  return v;
}

TStreamValue TStreamValue::Boolean(bool b) { return Of(b ? TValueTag::vaTrue : TValueTag::vaFalse); }

bool TStreamValue::IsInteger() const {
  return tag == TValueTag::vaInt8 || tag == TValueTag::vaInt16 || tag == TValueTag::vaInt32 ||
         tag == TValueTag::vaInt64;
}

bool TStreamValue::IsFloat() const {
  return tag == TValueTag::vaExtended || tag == TValueTag::vaSingle || tag == TValueTag::vaDouble ||
         tag == TValueTag::vaCurrency || tag == TValueTag::vaDate;
}

bool TStreamValue::IsString() const {
  return tag == TValueTag::vaString || tag == TValueTag::vaLString || tag == TValueTag::vaWString ||
         tag == TValueTag::vaUTF8String;
}

double TStreamValue::AsFloat() const {
  switch (tag) {
    case TValueTag::vaCurrency: return double(integer) / 10000.0;
    case TValueTag::vaExtended: return ExtendedToDouble(floatBits);
    case TValueTag::vaSingle: {
      const auto bits = uint32_t(floatBits.low);
      float f;
      std::memcpy(&f, &bits, 4);
      return f;
    }
    case TValueTag::vaDouble:
    case TValueTag::vaDate: {
      double d;
      std::memcpy(&d, &floatBits.low, 8);
      return d;
    }
    default: return double(integer);
  }
}

// ---- entry points ----

bool FitsStringTag(const std::string& utf8, TValueTag tag) {
  switch (tag) {
    case TValueTag::vaString: {
      const std::optional<std::string> ansi = Utf8ToAnsi(utf8);
      return ansi && ansi->size() <= 255;
    }
    case TValueTag::vaLString: return Utf8ToAnsi(utf8).has_value();
    case TValueTag::vaWString: return IsValidUtf8(utf8);
    default: return true;
  }
}

TBytes WriteComponentStream(const TStreamObject& root) {
  TStreamWriter w;
  w.bytes.assign(std::begin(kSignature), std::end(kSignature));
  w.object(root);
  return std::move(w.bytes);
}

TStreamObject ReadComponentStream(const TBytes& data, size_t begin, size_t end) {
  if (begin > end || end > data.size()) throw ETemplateError("Template stream bounds outside the data");
  TStreamReader r(data, begin, end);
  r.signature();
  TStreamObject root = r.object(0);
  if (!r.atEnd()) r.fail(std::to_string(end - r.pos()) + " bytes after the root object", r.pos());
  return root;
}

}  // namespace zd
