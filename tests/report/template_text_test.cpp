// Text templates: every spelling reads as documented, generated trees with
// every value tag survive binary -> text -> binary byte for byte, and bad
// text is refused with its line and column.
#include <gtest/gtest.h>

#include <random>

#include "report/template/ComponentStream.h"
#include "report/template/TemplateText.h"

namespace zd {
namespace {

// ---- generated trees ----

class TTreeGenerator {
 public:
  explicit TTreeGenerator(uint32_t seed) : random_(seed) {}

  TStreamObject Object(int depth) {
    TStreamObject o;
    o.flags = uint8_t(Pick(4) == 0 ? Pick(16) : 0);
    if (o.flags & 2) o.childPos = Integer();
    o.className = Pick(3) ? "T" + Word() : Text(kAsciiPieces, 20);
    if (o.className.empty()) o.className = "TEmpty";
    o.name = Pick(3) ? Word() : Text(kAsciiPieces, 10);
    o.properties = Properties(depth);
    for (int n = depth < 3 ? Pick(3) : 0; n > 0; --n) o.children.push_back(Object(depth + 1));
    return o;
  }

 private:
  static constexpr const char* kAsciiPieces[] = {"a", "Z", " ", "\"", "\\", "\n", "\r", "\t", "\x01", "\x7F", ".", "#", "=", "0"};
  static constexpr const char* kAnsiPieces[] = {"a", "\"", "\\", "\n", "\x01", "\xC3\xA9", "\xE2\x82\xAC", "\xC2\x81", "\xC2\xA0"};
  static constexpr const char* kUnicodePieces[] = {"a", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\x00", "\\"};
  static constexpr const char* kRawPieces[] = {"a", "\xFF", "\xC3", "\xC3\xA9", "\xED\xA0\x80", "\x80"};
  static constexpr const char* kWords[] = {"Font.Size", "clRed", "True", "list", "flags", "item", "x1", "_a.b", "nil"};

  int Pick(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(random_)); }
  uint64_t Bits() { return (uint64_t(random_()) << 32) | random_(); }
  std::string Word() { return kWords[Pick(std::size(kWords))]; }

  template <size_t N>
  std::string Text(const char* const (&pieces)[N], int most) {
    std::string s;
    for (int n = Pick(most); n > 0; --n) {
      const std::string_view piece = pieces[Pick(N)];
      s += piece.empty() ? std::string(1, '\0') : std::string(piece);  // "\x00" is one zero byte
    }
    return s;
  }

  TStreamValue Integer() {
    static const TValueTag tags[] = {TValueTag::vaInt8, TValueTag::vaInt16, TValueTag::vaInt32, TValueTag::vaInt64};
    const TValueTag tag = tags[Pick(4)];
    const int bits = tag == TValueTag::vaInt8 ? 8 : tag == TValueTag::vaInt16 ? 16 : tag == TValueTag::vaInt32 ? 32 : 64;
    const int64_t v = bits == 64 ? int64_t(Bits()) : int64_t(Bits() % (uint64_t(1) << bits)) - (int64_t(1) << (bits - 1));
    return TStreamValue::Integer(Pick(3) ? v % 100 : v, tag);
  }

  TStreamValue Float() {
    static const TValueTag tags[] = {TValueTag::vaExtended, TValueTag::vaSingle, TValueTag::vaDouble, TValueTag::vaDate};
    const TValueTag tag = tags[Pick(4)];
    if (Pick(2)) return TStreamValue::Float(double(int(Bits() % 2000000) - 1000000) / 64, tag);
    TStreamValue v = TStreamValue::Of(tag);  // any bits: NaNs, infinities, denormals, unnormals
    v.floatBits.low = tag == TValueTag::vaSingle ? Bits() & 0xFFFFFFFF : Bits();
    if (tag == TValueTag::vaExtended) v.floatBits.high = uint16_t(Bits());
    if (Pick(3) == 0) {  // infinities and NaNs, which no decimal spells
      if (tag == TValueTag::vaExtended) v.floatBits.high |= 0x7FFF;
      else v.floatBits.low |= tag == TValueTag::vaSingle ? 0x7F800000u : 0x7FF0000000000000u;
    }
    return v;
  }

  TStreamValue String() {
    switch (Pick(5)) {
      case 0: return TStreamValue::String(Text(kAsciiPieces, 12));
      case 1: {
        TStreamValue v = TStreamValue::String(Text(kAnsiPieces, 12));
        v.tag = Pick(2) ? TValueTag::vaString : TValueTag::vaLString;
        return v;
      }
      case 2: {
        TStreamValue v = TStreamValue::String(Text(kUnicodePieces, 12));
        v.tag = TValueTag::vaWString;
        return v;
      }
      case 3: {
        TStreamValue v = TStreamValue::String(Text(kRawPieces, 12));
        v.tag = TValueTag::vaUTF8String;
        return v;
      }
      default: return TStreamValue::String(std::string(size_t(Pick(400)), 'x'));
    }
  }

  TStreamValue Value(int depth, bool inList) {
    switch (Pick(depth < 3 ? 12 : 9)) {
      case 0: return Integer();
      case 1: return Float();
      case 2: {
        TStreamValue v = TStreamValue::Of(TValueTag::vaCurrency);
        v.integer = Pick(2) ? int64_t(Bits()) : int64_t(Pick(100000)) - 50000;
        return v;
      }
      case 3: return String();
      case 4: return TStreamValue::Ident(Pick(2) ? Word() : Text(kAsciiPieces, 8));
      case 5: {
        static const TValueTag simple[] = {TValueTag::vaTrue, TValueTag::vaFalse, TValueTag::vaNil, TValueTag::vaNull};
        return TStreamValue::Of(simple[Pick(inList ? 3 : 4)]);
      }
      case 6: {
        TStreamValue v = TStreamValue::Of(TValueTag::vaBinary);
        for (int n = Pick(80); n > 0; --n) v.bytes.push_back(uint8_t(random_()));
        return v;
      }
      case 7: {
        TStreamValue v = TStreamValue::Of(TValueTag::vaSet);
        for (int n = Pick(4); n > 0; --n) v.members.push_back(Pick(2) ? Word() : "m " + Text(kAsciiPieces, 4));
        return v;
      }
      case 8: return TStreamValue::Boolean(Pick(2));
      case 9:
      case 10: {
        TStreamValue v = TStreamValue::Of(TValueTag::vaList);
        for (int n = Pick(4); n > 0; --n) v.list.push_back(Value(depth + 1, true));
        return v;
      }
      default: {
        TStreamValue v = TStreamValue::Of(TValueTag::vaCollection);
        for (int n = Pick(3); n > 0; --n) {
          TStreamItem item;
          if (Pick(2)) {
            item.index = Integer();
            if (item.index->tag == TValueTag::vaInt64) item.index = TStreamValue::Integer(-7, TValueTag::vaInt32);
          }
          item.properties = Properties(depth + 1);
          v.items.push_back(std::move(item));
        }
        return v;
      }
    }
  }

  std::vector<TStreamProperty> Properties(int depth) {
    std::vector<TStreamProperty> props;
    for (int n = Pick(6); n > 0; --n) {
      std::string name = Pick(4) ? Word() : "odd " + Text(kAsciiPieces, 6);
      props.push_back({std::move(name), Value(depth, false)});
    }
    return props;
  }

  std::mt19937 random_;
};

TEST(TemplateText, GeneratedTreesWithEveryTagRoundTripExactlyBothWays) {
  TTreeGenerator generate(20261207);
  for (int n = 0; n < 300; ++n) {
    const TBytes binary = WriteComponentStream(generate.Object(0));
    const std::string text = WriteTemplateText(ReadComponentStream(binary, 0, binary.size()));
    const TBytes again = WriteComponentStream(ReadTemplateText(text));
    ASSERT_EQ(again, binary) << text;
    ASSERT_EQ(WriteTemplateText(ReadComponentStream(again, 0, again.size())), text);
  }
}

// ---- the spellings ----

constexpr const char* kEverySpelling =
    "TThing Thing1\n"
    "  Small = -5\n"
    "  Wide = 300i32\n"
    "  Big = 5000000000\n"
    "  Extended = 1.5\n"
    "  Single = 2.5f32\n"
    "  Double = 1e-300f64\n"
    "  When = 45000.5date\n"
    "  Money = -12.3456cur\n"
    "  Odd = 0x3FFF8000000000000001\n"
    "  NaN = 0x7FF8000000000001f64\n"
    "  Text = \"say \\\"hi\\\"\\\\\\n\\x01 caf\xC3\xA9\"\n"
    "  Forced = \"abc\"wide\n"
    "  Colour = clRed\n"
    "  Keyword = \"True\"ident\n"
    "  Style = [fsBold, \"odd member\"]\n"
    "  Lines.Strings = list\n"
    "    \"one\"\n"
    "    list\n"
    "      2\n"
    "  Data = binary\n"
    "    00FF10\n"
    "  Items = collection\n"
    "    item\n"
    "      X = True\n"
    "    item 5i16\n"
    "  \"odd name\" = nil\n"
    "  Nothing = Null\n"
    "  TChild\n"
    "  TChild \"flags\" flags 3 position 7\n";

TEST(TemplateText, EverySpellingReadsAsDocumentedAndWritesBackTheSame) {
  const TStreamObject o = ReadTemplateText(kEverySpelling);
  EXPECT_EQ(WriteTemplateText(o), kEverySpelling);
  const auto value = [&](const std::string& name) -> const TStreamValue& {
    for (const TStreamProperty& p : o.properties)
      if (p.name == name) return p.value;
    throw std::runtime_error("no " + name);
  };
  EXPECT_EQ(value("Small").tag, TValueTag::vaInt8);
  EXPECT_EQ(value("Wide").tag, TValueTag::vaInt32);
  EXPECT_EQ(value("Big").tag, TValueTag::vaInt64);
  EXPECT_EQ(value("Extended").tag, TValueTag::vaExtended);
  EXPECT_EQ(value("Extended").AsFloat(), 1.5);
  EXPECT_EQ(value("Single").tag, TValueTag::vaSingle);
  EXPECT_EQ(value("Double").AsFloat(), 1e-300);
  EXPECT_EQ(value("When").tag, TValueTag::vaDate);
  EXPECT_EQ(value("Money").integer, -123456);
  EXPECT_EQ(value("Odd").floatBits, (TFloatBits{0x8000000000000001, 0x3FFF}));
  EXPECT_EQ(value("NaN").floatBits.low, 0x7FF8000000000001u);
  EXPECT_EQ(value("Text").text, "say \"hi\"\\\n\x01 caf\xC3\xA9");
  EXPECT_EQ(value("Text").tag, TValueTag::vaUTF8String);
  EXPECT_EQ(value("Forced").tag, TValueTag::vaWString);
  EXPECT_EQ(value("Colour").tag, TValueTag::vaIdent);
  EXPECT_EQ(value("Keyword").text, "True");
  EXPECT_EQ(value("Style").members, (std::vector<std::string>{"fsBold", "odd member"}));
  EXPECT_EQ(value("Lines.Strings").list.at(1).list.at(0).integer, 2);
  EXPECT_EQ(value("Data").bytes, (TBytes{0x00, 0xFF, 0x10}));
  EXPECT_FALSE(value("Items").items.at(0).index.has_value());
  EXPECT_EQ(value("Items").items.at(1).index->tag, TValueTag::vaInt16);
  EXPECT_EQ(value("odd name").tag, TValueTag::vaNil);
  ASSERT_EQ(o.children.size(), 2u);
  EXPECT_EQ(o.children[1].name, "flags");
  EXPECT_EQ(o.children[1].flags, 3);
  EXPECT_EQ(o.children[1].childPos.integer, 7);

  // Comments, blank lines, CR LF line ends and a byte order mark are skipped.
  const TStreamObject loose = ReadTemplateText("\xEF\xBB\xBF# a comment\r\nTThing\r\n\r\n  # indented comment\r\n  A = 1\r\n");
  EXPECT_EQ(WriteTemplateText(loose), "TThing\n  A = 1\n");
}

// ---- errors ----

TEST(TemplateText, BadTextIsRefusedWithLineColumnAndPropertyPath) {
  const struct {
    std::string text, place, message, path;
  } cases[] = {
      {"", "line 1, column 1", "no object", ""},
      {"  TThing\n", "line 1, column 3", "must not be indented", ""},
      {"TThing\n\tA = 1\n", "line 2, column 1", "tab", ""},
      {"TThing\n   A = 1\n", "line 2, column 4", "odd number", ""},
      {"TThing\n    A = 1\n", "line 2, column 5", "deeper", ""},
      {"TThing\n  A = \"open\n", "line 2, column 7", "does not end", "A"},
      {"TThing\n  A = \"\\q\"\n", "line 2, column 8", "unknown escape", "A"},
      {"TThing\n  A = 300i8\n", "line 2, column 7", "does not fit i8", "A"},
      {"TThing\n  A = 99999999999999999999\n", "line 2, column 7", "out of range", "A"},
      {"TThing\n  A = 1.5x\n", "line 2, column 7", "unknown suffix", "A"},
      {"TThing\n  A = 1.23456cur\n", "line 2, column 7", "four decimals", "A"},
      {"TThing\n  A = 0x12\n", "line 2, column 7", "20 hex digits", "A"},
      {"TThing\n  A = 1 2\n", "line 2, column 9", "end of the line", "A"},
      {"TThing\n  A = \"\xCE\xB1\"short\n", "line 2, column 7", "Windows-1252", "A"},
      {"TThing\n  A = \"\\xFF\"wide\n", "line 2, column 7", "valid UTF-8", "A"},
      {"TThing\n  A = [a, ]\n", "line 2, column 11", "expected a set member", "A"},
      {"TThing\n  A = list\n    Null\n", "line 3, column 5", "cannot hold Null", "A"},
      {"TThing\n  A = binary\n    0F1\n", "line 3, column 7", "pairs of hex digits", "A"},
      {"TThing\n  A = collection\n    thing\n", "line 3, column 5", "expected an item", "A"},
      {"TThing\n  A = collection\n    item\n      B = @\n", "line 4, column 11", "expected a value", "A[0].B"},
      {"TThing\n  TChild\n  A = 1\n", "line 3, column 3", "before the child objects", ""},
      {"TThing\nTOther\n", "line 2, column 1", "a second object", ""},
      {"TThing Name flags 2\n", "line 1, column 20", "flag 2", ""},
      {"TThing Name extra\n", "line 1, column 13", "expected flags", ""},
      {"TThing\n  \"\" = 1\n", "line 2, column 3", "expected a property name", ""},
  };
  for (const auto& c : cases) {
    try {
      ReadTemplateText(c.text);
      ADD_FAILURE() << "read: " << c.text;
    } catch (const ETemplateError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find(c.place + ":"), std::string::npos) << c.text << " -> " << what;
      EXPECT_NE(what.find(c.message), std::string::npos) << c.text << " -> " << what;
      EXPECT_EQ(e.PropertyPath(), c.path) << what;
    }
  }

  // Nesting as deep as the binary stream allows reads; deeper is refused
  // before the recursion grows.
  const auto nestedLists = [](int depth) {
    std::string text = "TThing\n  A = list\n";
    for (int level = 2; level < depth + 2; ++level) text += std::string(size_t(level) * 2, ' ') + "list\n";
    return text;
  };
  const std::string deepest = nestedLists(kMaxStreamDepth);
  EXPECT_EQ(WriteTemplateText(ReadTemplateText(deepest)), deepest);
  EXPECT_THROW(ReadTemplateText(nestedLists(kMaxStreamDepth + 1)), ETemplateError);
}

}  // namespace
}  // namespace zd
