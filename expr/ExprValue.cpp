#include "expr/ExprValue.h"

#include "host/locale/DateTime.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>
#include <string_view>

namespace zd {

namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool ieq(const std::string& a, const char* b) {
  size_t n = std::char_traits<char>::length(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

[[noreturn]] void cannotConvert(const TVariant& v, const char* to) {
  throw EConvertError("Could not convert variant of type (" + VarKindName(v) + ") into type (" + to + ")");
}

int64_t intOf(const TVariant& v) {
  switch (v.kind()) {
    case TVarKind::Integer: return v.asInteger();
    case TVarKind::Boolean: return v.asBoolean() ? 1 : 0;
    default: return 0;
  }
}

double checkedFloat(double r) {
  if (std::isnan(r)) throw EMathError("Invalid floating point operation");
  if (std::isinf(r)) throw EMathError("Floating point overflow");
  return r;
}

int64_t roundToInt64(double d) {
  double r = std::nearbyint(d);
  if (!(r >= -9.2e18 && r <= 9.2e18)) throw EMathError("Invalid floating point operation");
  return static_cast<int64_t>(r);
}

int64_t varToInt64(const TVariant& v) {
  if (v.kind() == TVarKind::Integer || v.kind() == TVarKind::Boolean || v.kind() == TVarKind::Empty)
    return intOf(v);
  return roundToInt64(VarToFloat(v));
}

enum class TOp { Add, Sub, Mul };

// Which kind a String operand is converted to when met with the other operand.
TVariant coerceStringTo(const TVariant& s, const TVariant& other) {
  if (other.kind() == TVarKind::DateTime) return TVariant(TDateTime{StrToDateTime(s.asString())});
  if (other.kind() == TVarKind::Boolean) {
    bool b;
    if (!TryStrToBool(s.asString(), b)) cannotConvert(s, "Boolean");
    return TVariant(b);
  }
  return TVariant(StrToFloat(s.asString()));
}

TVariant arith(TOp op, TVariant a, TVariant b) {
  if (a.isNull() || b.isNull()) return TVariant();
  if (a.kind() == TVarKind::String && b.kind() == TVarKind::String) {
    if (op == TOp::Add) return TVariant(a.asString() + b.asString());
    a = TVariant(StrToFloat(a.asString()));
    b = TVariant(StrToFloat(b.asString()));
  }
  if (a.kind() == TVarKind::Empty && b.kind() == TVarKind::String) a = TVariant(std::string());
  if (b.kind() == TVarKind::Empty && a.kind() == TVarKind::String) b = TVariant(std::string());
  if (a.kind() == TVarKind::String && b.kind() == TVarKind::String) return arith(op, a, b);
  if (a.kind() == TVarKind::String) a = coerceStringTo(a, b);
  if (b.kind() == TVarKind::String) b = coerceStringTo(b, a);
  bool aDate = a.kind() == TVarKind::DateTime, bDate = b.kind() == TVarKind::DateTime;
  if (aDate || bDate) {
    double x = VarToFloat(a), y = VarToFloat(b);
    double r = checkedFloat(op == TOp::Add ? x + y : op == TOp::Sub ? x - y : x * y);
    // A date shifted by a number stays a date; the distance of two dates is a number.
    if (op == TOp::Mul || (aDate && bDate && op == TOp::Sub)) return TVariant(r);
    return TVariant(TDateTime{r});
  }
  if (a.kind() != TVarKind::Float && b.kind() != TVarKind::Float) {
    int64_t x = intOf(a), y = intOf(b), r;
    bool ovf = op == TOp::Add ? __builtin_add_overflow(x, y, &r)
               : op == TOp::Sub ? __builtin_sub_overflow(x, y, &r)
                                : __builtin_mul_overflow(x, y, &r);
    if (!ovf) return TVariant(r);
  }
  double x = VarToFloat(a), y = VarToFloat(b);
  return TVariant(checkedFloat(op == TOp::Add ? x + y : op == TOp::Sub ? x - y : x * y));
}

bool readInt(const std::string& s, size_t& i, int& out, int maxDigits = 4) {
  size_t start = i;
  int v = 0;
  while (i < s.size() && i - start < size_t(maxDigits) && std::isdigit(static_cast<unsigned char>(s[i])))
    v = v * 10 + (s[i++] - '0');
  out = v;
  return i > start;
}

void skipSpaces(const std::string& s, size_t& i) {
  while (i < s.size() && s[i] == ' ') ++i;
}

// Parses a date at s[i..] in the order of the short date format.
bool parseDatePart(const std::string& s, size_t& i, const TLocale& loc, double& serial) {
  char order[3];
  int n = 0;
  char last = 0;
  for (char c : loc.shortDateFormat) {
    char l = char(std::tolower(static_cast<unsigned char>(c)));
    if ((l == 'm' || l == 'd' || l == 'y') && l != last && n < 3) order[n++] = l;
    if (l == 'm' || l == 'd' || l == 'y') last = l;
  }
  if (n != 3) { order[0] = 'm'; order[1] = 'd'; order[2] = 'y'; }
  int vals[3], digits[3];
  for (int k = 0; k < 3; ++k) {
    if (k > 0) {
      if (i >= s.size() || s[i] != loc.dateSeparator) return false;
      ++i;
    }
    size_t st = i;
    if (!readInt(s, i, vals[k])) return false;
    digits[k] = int(i - st);
  }
  int y = 0, m = 0, d = 0;
  for (int k = 0; k < 3; ++k) {
    if (order[k] == 'y') {
      y = vals[k];
      if (digits[k] <= 2) y += y < 50 ? 2000 : 1900;
    } else if (order[k] == 'm') {
      m = vals[k];
    } else {
      d = vals[k];
    }
  }
  return TryEncodeDate(y, m, d, serial);
}

bool parseTimePart(const std::string& s, size_t& i, const TLocale& loc, double& frac) {
  int h, mi = 0, se = 0, ms = 0;
  if (!readInt(s, i, h, 2)) return false;
  if (i < s.size() && s[i] == loc.timeSeparator) {
    ++i;
    if (!readInt(s, i, mi, 2)) return false;
    if (i < s.size() && s[i] == loc.timeSeparator) {
      ++i;
      if (!readInt(s, i, se, 2)) return false;
      if (i < s.size() && s[i] == '.') {
        ++i;
        if (!readInt(s, i, ms, 3)) return false;
      }
    }
  } else {
    return false;
  }
  skipSpaces(s, i);
  auto matchWord = [&](const std::string& w) {
    if (w.empty() || s.size() - i < w.size()) return false;
    if (!ieq(s.substr(i, w.size()), w.c_str())) return false;
    i += w.size();
    return true;
  };
  if (matchWord(loc.timePMString) || matchWord("PM")) {
    if (h < 1 || h > 12) return false;
    if (h < 12) h += 12;
  } else if (matchWord(loc.timeAMString) || matchWord("AM")) {
    if (h < 1 || h > 12) return false;
    if (h == 12) h = 0;
  }
  if (h > 23 || mi > 59 || se > 59) return false;
  frac = (h * 3600000.0 + mi * 60000.0 + se * 1000.0 + ms) / 86400000.0;
  return true;
}

// A magnitude's significant digits, exactly rounded to fifteen, without
// trailing zeros, and the power of ten of the first.
struct TFifteenDigits {
  std::array<char, 15> digits;
  size_t count = 0;
  int exponent = 0;

  explicit TFifteenDigits(double magnitude) {
    // For a normal number the shortest text that reads back as it is that
    // rounding already when it has no more than fifteen digits: it lies
    // within half a binary unit of the number, far less than half a unit of
    // the fifteenth digit. It is also much cheaper to find than an exact
    // rounding.
    char buf[32];  // d.dddddddddddddde[+-]xxx
    char* end = buf;
    if (magnitude >= std::numeric_limits<double>::min())
      end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific).ptr;
    if (end == buf || std::find(buf, end, 'e') - buf > 16)  // "d." and more than fourteen digits
      end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14).ptr;
    const char* e = std::find(buf, end, 'e');
    const char* exponentText = e + 1;
    if (*exponentText == '+') ++exponentText;
    std::from_chars(exponentText, end, exponent);
    digits[count++] = buf[0];
    for (const char* p = buf + 2; p < e; ++p) digits[count++] = *p;
    while (count > 1 && digits[count - 1] == '0') --count;
  }

  std::string_view View() const { return {digits.data(), count}; }
};

}  // namespace

std::string FloatToStr(double v, const TLocale& loc) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  if (v == 0) return "0";
  const TFifteenDigits fifteen(std::fabs(v));
  const std::string_view digits = fifteen.View();
  const int exp = fifteen.exponent;
  std::string out = v < 0 ? "-" : "";
  if (exp >= 15 || exp < -4) {
    out += digits[0];
    if (digits.size() > 1) {
      out += loc.decimalSeparator;
      out += digits.substr(1);
    }
    out += 'E';
    out += std::to_string(exp);
  } else if (exp < 0) {
    out += '0';
    out += loc.decimalSeparator;
    out.append(size_t(-exp - 1), '0');
    out += digits;
  } else {
    size_t intLen = size_t(exp) + 1;
    if (digits.size() <= intLen) {
      out += digits;
      out.append(intLen - digits.size(), '0');
    } else {
      out += digits.substr(0, intLen);
      out += loc.decimalSeparator;
      out += digits.substr(intLen);
    }
  }
  return out;
}

bool TryStrToFloat(const std::string& text, double& out, char decimalSeparator) {
  std::string s = trimmed(text);
  std::string norm;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm += s[i++];
  size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { norm += s[i++]; ++digits; }
  if (i < s.size() && s[i] == decimalSeparator) {
    norm += '.';
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { norm += s[i++]; ++digits; }
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    norm += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm += s[i++];
    size_t ed = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { norm += s[i++]; ++ed; }
    if (ed == 0) return false;
  }
  if (i != s.size()) return false;
  const char* b = norm.c_str();
  if (*b == '+') ++b;
  auto res = std::from_chars(b, norm.c_str() + norm.size(), out);
  if (res.ec == std::errc::result_out_of_range) return false;
  return res.ec == std::errc() && std::isfinite(out);
}

double StrToFloat(const std::string& s, const TLocale& loc) {
  double v;
  if (!TryStrToFloat(s, v, loc.decimalSeparator))
    throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}

int64_t StrToInt(const std::string& text) {
  const std::string& s = text;
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  int64_t v = 0;
  size_t start = i;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
    v = v * 10 + (s[i++] - '0');
    if (v > 2147483648LL) break;
  }
  if (i == start || i != s.size() || (neg ? v > 2147483648LL : v > 2147483647LL))
    throw EConvertError("'" + text + "' is not a valid integer value");
  return neg ? -v : v;
}

bool TryStrToBool(const std::string& text, bool& out) {
  std::string s = trimmed(text);
  if (ieq(s, "true")) { out = true; return true; }
  if (ieq(s, "false")) { out = false; return true; }
  double d;
  if (TryStrToFloat(s, d, currentLocale().decimalSeparator)) { out = d != 0; return true; }
  return false;
}

TDateTimeParts DecodeDateTime(double serial) {
  const TDateParts d = DecodeDate(TDateTime{serial});
  const TTimeParts t = DecodeTime(TDateTime{serial});
  return {d.year, d.month, d.day, t.hour, t.minute, t.second, t.msec};
}

bool TryEncodeDate(int y, int m, int d, double& serial) {
  if (!IsValidDate(y, m, d)) return false;
  serial = EncodeDate(y, m, d).days;
  return true;
}

std::string FormatDateTimeText(const std::string& f, double serial, const TLocale& loc) {
  TDateTimeParts p = DecodeDateTime(serial);
  bool twelve = f.find("AMPM") != std::string::npos || f.find("AM/PM") != std::string::npos;
  int64_t dayNum = int64_t(std::trunc(serial)) - 1;  // serial 1 (1899-12-31) is a Sunday
  int dow = int(((dayNum % 7) + 7) % 7);
  auto pad = [](int v, int w) {
    std::string s = std::to_string(v);
    return s.size() < size_t(w) ? std::string(size_t(w) - s.size(), '0') + s : s;
  };
  std::string out;
  size_t i = 0;
  char prev = 0;  // last letter family, to tell minutes from months after h
  while (i < f.size()) {
    char c = f[i];
    size_t run = 1;
    while (i + run < f.size() && f[i + run] == c) ++run;
    if (f.compare(i, 5, "AM/PM") == 0) { out += p.hour < 12 ? "AM" : "PM"; i += 5; continue; }
    if (f.compare(i, 4, "AMPM") == 0) { out += p.hour < 12 ? loc.timeAMString : loc.timePMString; i += 4; continue; }
    switch (c) {
      case 'd':
        if (run == 1) out += std::to_string(p.day);
        else if (run == 2) out += pad(p.day, 2);
        else if (run == 3) out += loc.shortDayNames[size_t(dow)];
        else out += loc.longDayNames[size_t(dow)];
        break;
      case 'M':
        if (prev == 'h' && run <= 2) { out += pad(p.minute, int(run)); break; }
        if (run == 1) out += std::to_string(p.month);
        else if (run == 2) out += pad(p.month, 2);
        else if (run == 3) out += loc.shortMonthNames[size_t(p.month - 1)];
        else out += loc.longMonthNames[size_t(p.month - 1)];
        break;
      case 'm': case 'n': out += pad(p.minute, int(std::min<size_t>(run, 2))); break;
      case 'y': out += run <= 2 ? pad(p.year % 100, 2) : pad(p.year, 4); break;
      case 'h': case 'H': {
        int h = p.hour;
        if (twelve && c == 'h') { h %= 12; if (h == 0) h = 12; }
        out += pad(h, int(std::min<size_t>(run, 2)));
        break;
      }
      case 's': out += pad(p.second, int(std::min<size_t>(run, 2))); break;
      case 'z': out += pad(p.msec, 3); break;
      case '/': out += std::string(run, loc.dateSeparator); break;
      case ':': out += std::string(run, loc.timeSeparator); break;
      case '\'': case '"': {
        size_t e = f.find(c, i + 1);
        if (e == std::string::npos) e = f.size();
        out += f.substr(i + 1, e - i - 1);
        i = e + 1;
        continue;
      }
      default: out += f.substr(i, run); break;
    }
    if (c == 'h' || c == 'H') prev = 'h';
    else if (std::isalpha(static_cast<unsigned char>(c))) prev = c;
    i += run;
  }
  return out;
}

double StrToDate(const std::string& text, const TLocale& loc) {
  std::string s = trimmed(text);
  size_t i = 0;
  double serial;
  if (!parseDatePart(s, i, loc, serial) || i != s.size())
    throw EConvertError("'" + text + "' is not a valid date");
  return serial;
}

double StrToTime(const std::string& text, const TLocale& loc) {
  std::string s = trimmed(text);
  size_t i = 0;
  double frac;
  if (!parseTimePart(s, i, loc, frac) || i != s.size())
    throw EConvertError("'" + text + "' is not a valid time");
  return frac;
}

double StrToDateTime(const std::string& text, const TLocale& loc) {
  std::string s = trimmed(text);
  size_t i = 0;
  double serial = 0, frac = 0;
  bool ok;
  if (parseDatePart(s, i, loc, serial)) {
    skipSpaces(s, i);
    ok = i == s.size() || parseTimePart(s, i, loc, frac);
  } else {
    i = 0;
    serial = 0;
    ok = parseTimePart(s, i, loc, frac);
  }
  if (!ok || i != s.size()) throw EConvertError("'" + text + "' is not a valid date and time");
  return serial + frac;
}

std::string VarKindName(const TVariant& v) {
  switch (v.kind()) {
    case TVarKind::Null: return "Null";
    case TVarKind::Empty: return "Empty";
    case TVarKind::Integer: return "Integer";
    case TVarKind::Float: return "Double";
    case TVarKind::Boolean: return "Boolean";
    case TVarKind::String: return "String";
    case TVarKind::DateTime: return "Date";
  }
  return "Unknown";
}

std::string VarToStr(const TVariant& v, const TLocale& loc) {
  switch (v.kind()) {
    case TVarKind::Null:
    case TVarKind::Empty: return "";
    case TVarKind::Integer: return std::to_string(v.asInteger());
    case TVarKind::Float: return FloatToStr(v.asFloat(), loc);
    case TVarKind::Boolean: return v.asBoolean() ? "True" : "False";
    case TVarKind::String: return v.asString();
    case TVarKind::DateTime: {
      double d = v.asDateTime().days;
      std::string s = FormatDateTimeText(loc.shortDateFormat, d, loc);
      TDateTimeParts p = DecodeDateTime(d);
      if (p.hour || p.minute || p.second || p.msec) s += " " + FormatDateTimeText(loc.longTimeFormat, d, loc);
      return s;
    }
  }
  return "";
}

double VarToFloat(const TVariant& v, const TLocale& loc) {
  switch (v.kind()) {
    case TVarKind::Integer: return double(v.asInteger());
    case TVarKind::Float: return v.asFloat();
    case TVarKind::Boolean: return v.asBoolean() ? 1 : 0;
    case TVarKind::DateTime: return v.asDateTime().days;
    case TVarKind::Empty: return 0;
    case TVarKind::String: {
      double d;
      if (!TryStrToFloat(v.asString(), d, loc.decimalSeparator)) cannotConvert(v, "Double");
      return d;
    }
    case TVarKind::Null: break;
  }
  cannotConvert(v, "Double");
}

bool VarToBool(const TVariant& v) {
  switch (v.kind()) {
    case TVarKind::Boolean: return v.asBoolean();
    case TVarKind::Integer: return v.asInteger() != 0;
    case TVarKind::Float: return v.asFloat() != 0;
    case TVarKind::DateTime: return v.asDateTime().days != 0;
    case TVarKind::Empty: return false;
    case TVarKind::String: {
      bool b;
      if (TryStrToBool(v.asString(), b)) return b;
      break;
    }
    case TVarKind::Null: break;
  }
  cannotConvert(v, "Boolean");
}

int32_t VarToNum(const TVariant& v, bool asInteger, const TLocale& loc) {
  if (v.isNull()) return 0;
  double d;
  if (v.kind() == TVarKind::String) {
    if (asInteger) {
      try { return int32_t(StrToInt(v.asString())); } catch (const EConvertError&) {}
    }
    if (!TryStrToFloat(v.asString(), d, loc.decimalSeparator)) return 0;
  } else {
    try { d = VarToFloat(v, loc); } catch (const std::exception&) { return 0; }
  }
  double r = std::nearbyint(d);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return 0;
  return int32_t(r);
}

TVariant VarAdd(const TVariant& a, const TVariant& b) { return arith(TOp::Add, a, b); }
TVariant VarSub(const TVariant& a, const TVariant& b) { return arith(TOp::Sub, a, b); }
TVariant VarMul(const TVariant& a, const TVariant& b) { return arith(TOp::Mul, a, b); }

TVariant VarDiv(const TVariant& a, const TVariant& b) {
  if (a.isNull() || b.isNull()) return TVariant();
  double x = VarToFloat(a), y = VarToFloat(b);
  if (y == 0) throw EMathError("Division by zero");
  return TVariant(checkedFloat(x / y));
}

TVariant VarIntDiv(const TVariant& a, const TVariant& b) {
  if (a.isNull() || b.isNull()) return TVariant();
  int64_t x = varToInt64(a), y = varToInt64(b);
  if (y == 0) throw EMathError("Division by zero");
  if (y == -1) return TVariant(x == std::numeric_limits<int64_t>::min() ? x : -x);
  return TVariant(x / y);
}

TVariant VarMod(const TVariant& a, const TVariant& b) {
  if (a.isNull() || b.isNull()) return TVariant();
  int64_t x = varToInt64(a), y = varToInt64(b);
  if (y == 0) throw EMathError("Division by zero");
  if (y == -1) return TVariant(int64_t(0));
  return TVariant(x % y);
}

TVariant VarNeg(const TVariant& a) {
  switch (a.kind()) {
    case TVarKind::Null: return a;
    case TVarKind::Integer:
      if (a.asInteger() != std::numeric_limits<int64_t>::min()) return TVariant(-a.asInteger());
      return TVariant(-double(a.asInteger()));
    case TVarKind::DateTime: return TVariant(TDateTime{-a.asDateTime().days});
    default: return TVariant(-VarToFloat(a));
  }
}

namespace {
// Both non-Null; brings them to one comparable kind.
int compareValues(TVariant a, TVariant b) {
  if (a.kind() == TVarKind::Empty) a = b.kind() == TVarKind::String ? TVariant(std::string()) : TVariant(0);
  if (b.kind() == TVarKind::Empty) b = a.kind() == TVarKind::String ? TVariant(std::string()) : TVariant(0);
  if (a.kind() == TVarKind::String && b.kind() == TVarKind::String) {
    int c = a.asString().compare(b.asString());
    return c < 0 ? -1 : c > 0;
  }
  if (a.kind() == TVarKind::String) a = coerceStringTo(a, b);
  if (b.kind() == TVarKind::String) b = coerceStringTo(b, a);
  if (a.kind() == TVarKind::Integer && b.kind() == TVarKind::Integer)
    return a.asInteger() < b.asInteger() ? -1 : a.asInteger() > b.asInteger();
  double x = VarToFloat(a), y = VarToFloat(b);
  return x < y ? -1 : x > y;
}
}  // namespace

bool VarEqual(const TVariant& a, const TVariant& b) {
  if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
  return compareValues(a, b) == 0;
}

int VarCompare(const TVariant& a, const TVariant& b) {
  if (a.isNull() || b.isNull()) return (a.isNull() ? 0 : 1) - (b.isNull() ? 0 : 1);
  return compareValues(a, b);
}

}  // namespace zd
