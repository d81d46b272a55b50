// The component stream on its own: value tags, float and string encodings,
// and the reader's defences against truncated and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "report/template/ComponentStream.h"

namespace zd {
namespace {

TStreamObject Root(std::vector<TStreamProperty> props) {
  TStreamObject o;
  o.className = "TThing";
  o.name = "Thing1";
  o.properties = std::move(props);
  return o;
}

TStreamValue ReadBack(const TStreamValue& v) {
  const TBytes bytes = WriteComponentStream(Root({{"P", v}}));
  const TStreamObject o = ReadComponentStream(bytes, 0, bytes.size());
  EXPECT_EQ(o.properties.size(), 1u);
  return o.properties.at(0).value;
}

// Raw stream: "TPF0", class "T", name "", then the given property value bytes
// under the name "P", then the two end markers.
TBytes RawStream(const TBytes& valueBytes) {
  TBytes b = {'T', 'P', 'F', '0', 1, 'T', 0, 1, 'P'};
  b.insert(b.end(), valueBytes.begin(), valueBytes.end());
  b.push_back(0);
  b.push_back(0);
  return b;
}

TStreamValue ReadRaw(const TBytes& valueBytes) {
  const TBytes b = RawStream(valueBytes);
  return ReadComponentStream(b, 0, b.size()).properties.at(0).value;
}

std::string ErrorOf(const TBytes& b) {
  try {
    ReadComponentStream(b, 0, b.size());
  } catch (const ETemplateError& e) {
    return e.what();
  }
  return "";
}

TEST(ComponentStreamValues, IntegersTakeTheNarrowestTagAndKeepTheirValue) {
  const struct {
    int64_t value;
    TValueTag tag;
  } cases[] = {{0, TValueTag::vaInt8},          {-128, TValueTag::vaInt8},
               {127, TValueTag::vaInt8},        {128, TValueTag::vaInt16},
               {-129, TValueTag::vaInt16},      {32767, TValueTag::vaInt16},
               {32768, TValueTag::vaInt32},     {-2147483648ll, TValueTag::vaInt32},
               {2147483648ll, TValueTag::vaInt64}, {INT64_MIN, TValueTag::vaInt64}};
  for (const auto& c : cases) {
    const TStreamValue v = ReadBack(TStreamValue::Integer(c.value));
    EXPECT_EQ(v.tag, c.tag) << c.value;
    EXPECT_EQ(v.integer, c.value);
  }
}

TEST(ComponentStreamValues, ExtendedFloatsUseTheTenByteLayoutAndOtherNumberTagsRead) {
  // 1.0 is exponent 16383 (3FFF) over a mantissa with only the integer bit set.
  TBytes one = {5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(ReadRaw(one).AsFloat(), 1.0);
  // Bits a double lacks (the lowest mantissa bit, an unnormal without the
  // integer bit) are kept: what was read writes back byte for byte.
  for (const TBytes& odd : {TBytes{5, 1, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, TBytes{5, 0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F},
                            TBytes{15, 1, 0, 0x80, 0x7F}, TBytes{21, 1, 0, 0, 0, 0, 0, 0xF0, 0x7F}}) {
    const TBytes raw = RawStream(odd);
    EXPECT_EQ(WriteComponentStream(ReadComponentStream(raw, 0, raw.size())), raw);
  }
  const TBytes written = WriteComponentStream(Root({{"P", TStreamValue::Float(-2.0)}}));
  // -2.0: sign bit and exponent 16384 (C000).
  const TBytes expected = {5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0};
  EXPECT_TRUE(std::search(written.begin(), written.end(), expected.begin(), expected.end()) != written.end());

  for (double d : {0.1, -123456.789, 1e-300, 4.9e-324, 1.7976931348623157e308, 3.0, -0.0})
    EXPECT_EQ(ReadBack(TStreamValue::Float(d)).AsFloat(), d) << d;
  EXPECT_TRUE(std::signbit(ReadBack(TStreamValue::Float(-0.0)).AsFloat()));
  EXPECT_TRUE(std::isinf(ReadBack(TStreamValue::Float(INFINITY)).AsFloat()));
  float f = 2.5f;
  uint8_t fb[4];
  std::memcpy(fb, &f, 4);
  EXPECT_EQ(ReadRaw({15, fb[0], fb[1], fb[2], fb[3]}).AsFloat(), 2.5);
  double d = 0.25;
  uint8_t db[8];
  std::memcpy(db, &d, 8);
  EXPECT_EQ(ReadRaw({21, db[0], db[1], db[2], db[3], db[4], db[5], db[6], db[7]}).AsFloat(), 0.25);
  const TStreamValue date = ReadRaw({17, db[0], db[1], db[2], db[3], db[4], db[5], db[6], db[7]});
  EXPECT_EQ(date.tag, TValueTag::vaDate);
  EXPECT_EQ(date.AsFloat(), 0.25);
  // Currency is a 64-bit count of ten-thousandths: 15000 is 1.5.
  EXPECT_EQ(ReadRaw({16, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}).AsFloat(), 1.5);
}

TEST(ComponentStreamValues, StringsPickTheirTagByContentAndDecodeEachForm) {
  EXPECT_EQ(TStreamValue::String("plain").tag, TValueTag::vaString);
  EXPECT_EQ(TStreamValue::String(std::string(300, 'x')).tag, TValueTag::vaLString);
  EXPECT_EQ(TStreamValue::String("Gr\xC3\xBC\xC3\x9F" "e").tag, TValueTag::vaUTF8String);
  for (const std::string s : {std::string("plain"), std::string(300, 'x'), std::string("Gr\xC3\xBC\xC3\x9F" "e")})
    EXPECT_EQ(ReadBack(TStreamValue::String(s)).text, s);

  // 8-bit strings are Windows-1252: E9 is e acute, 80 the euro sign.
  EXPECT_EQ(ReadRaw({6, 3, 'c', 0xE9, 0x80}).text, "c\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(ReadRaw({12, 2, 0, 0, 0, 0xE9, 'x'}).text, "\xC3\xA9x");
  // Wide strings count UTF-16 units; a surrogate pair is one character.
  EXPECT_EQ(ReadRaw({18, 3, 0, 0, 0, 'A', 0, 0x3D, 0xD8, 0x00, 0xDE}).text, "A\xF0\x9F\x98\x80");
  EXPECT_EQ(ReadRaw({18, 1, 0, 0, 0, 0x00, 0xD8}).text, "\xEF\xBF\xBD");  // lone surrogate
  // Every 8-bit form writes back as read, the bytes Windows-1252 leaves
  // undefined (81) included; wide strings are written too.
  for (const TBytes& form : {TBytes{6, 3, 'c', 0xE9, 0x81}, TBytes{12, 2, 0, 0, 0, 0x80, 0x9D},
                             TBytes{18, 3, 0, 0, 0, 'A', 0, 0x3D, 0xD8, 0x00, 0xDE}}) {
    const TBytes raw = RawStream(form);
    EXPECT_EQ(WriteComponentStream(ReadComponentStream(raw, 0, raw.size())), raw);
  }
  TStreamValue greek = TStreamValue::String("\xCE\xB1");  // alpha: not in Windows-1252
  greek.tag = TValueTag::vaString;
  EXPECT_THROW(WriteComponentStream(Root({{"P", greek}})), ETemplateError);
}

TEST(ComponentStreamTree, ObjectsWithEveryValueKindRoundTripAndWhatTheFormatCannotHoldIsRefused) {
  TStreamValue set = TStreamValue::Of(TValueTag::vaSet);
  set.members = {"fsBold", "fsItalic"};
  TStreamValue list = TStreamValue::Of(TValueTag::vaList);
  list.list = {TStreamValue::String("a"), TStreamValue::Integer(1000), TStreamValue::Of(TValueTag::vaNil)};
  TStreamValue binary = TStreamValue::Of(TValueTag::vaBinary);
  binary.bytes = {0, 1, 2, 255};
  TStreamValue collection = TStreamValue::Of(TValueTag::vaCollection);
  TStreamItem first, second;
  first.properties = {{"Name", TStreamValue::String("x")}};
  second.index = TStreamValue::Integer(7, TValueTag::vaInt16);
  second.properties = {{"Font.Size", TStreamValue::Integer(12)}, {"On", TStreamValue::Boolean(true)}};
  collection.items = {first, second};

  TStreamObject root = Root({{"Style", set}, {"Items.Strings", list}, {"Data", binary}, {"Coll", collection},
                             {"Kind", TStreamValue::Ident("ikPicture")}, {"Off", TStreamValue::Boolean(false)}});
  TStreamObject child = Root({});
  child.className = "TChild";
  child.name = "";
  child.flags = 2;
  child.childPos = TStreamValue::Integer(3);
  TStreamObject grandChild = Root({{"X", TStreamValue::Integer(-5)}});
  child.children.push_back(grandChild);
  root.children = {child, Root({})};

  const TBytes bytes = WriteComponentStream(root);
  ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "TPF0");
  const TStreamObject read = ReadComponentStream(bytes, 0, bytes.size());
  EXPECT_EQ(read.className, "TThing");
  EXPECT_EQ(read.name, "Thing1");
  ASSERT_EQ(read.properties.size(), 6u);
  EXPECT_EQ(read.properties[0].value.members, set.members);
  ASSERT_EQ(read.properties[1].value.list.size(), 3u);
  EXPECT_EQ(read.properties[1].value.list[1].integer, 1000);
  EXPECT_EQ(read.properties[1].value.list[2].tag, TValueTag::vaNil);
  EXPECT_EQ(read.properties[2].value.bytes, binary.bytes);
  const auto& items = read.properties[3].value.items;
  ASSERT_EQ(items.size(), 2u);
  EXPECT_FALSE(items[0].index.has_value());
  EXPECT_EQ(items[1].index->integer, 7);
  EXPECT_EQ(items[1].index->tag, TValueTag::vaInt16);
  EXPECT_EQ(items[1].properties[0].name, "Font.Size");
  EXPECT_EQ(read.properties[4].value.text, "ikPicture");
  EXPECT_EQ(read.properties[5].value.tag, TValueTag::vaFalse);
  ASSERT_EQ(read.children.size(), 2u);
  EXPECT_EQ(read.children[0].className, "TChild");
  EXPECT_EQ(read.children[0].flags, 2);
  EXPECT_EQ(read.children[0].childPos.integer, 3);
  ASSERT_EQ(read.children[0].children.size(), 1u);
  EXPECT_EQ(read.children[0].children[0].properties[0].value.integer, -5);
  // Offsets point at what they describe.
  EXPECT_EQ(bytes[read.properties[0].offset], 5);  // length of "Style"
  EXPECT_EQ(WriteComponentStream(read), bytes);
  EXPECT_THROW(WriteComponentStream(Root({{std::string(256, 'P'), TStreamValue::Integer(1)}})), ETemplateError);
  EXPECT_THROW(WriteComponentStream(Root({{"", TStreamValue::Integer(1)}})), ETemplateError);
  // What would read back as something else: Null ends a list, an empty
  // member a set, a value outside its tag would be cut.
  TStreamValue withNull = TStreamValue::Of(TValueTag::vaList);
  withNull.list = {TStreamValue::Of(TValueTag::vaNull)};
  TStreamValue emptyMember = TStreamValue::Of(TValueTag::vaSet);
  emptyMember.members = {""};
  TStreamValue cut = TStreamValue::Integer(1000);
  cut.tag = TValueTag::vaInt8;
  for (const TStreamValue& v : {withNull, emptyMember, cut})
    EXPECT_THROW(WriteComponentStream(Root({{"P", v}})), ETemplateError) << int(v.tag);
}

TEST(ComponentStreamReader, EveryTruncationIsAClearError) {
  TStreamValue binary = TStreamValue::Of(TValueTag::vaBinary);
  binary.bytes = {1, 2, 3};
  TStreamObject root = Root({{"A", TStreamValue::String("text")}, {"B", binary}, {"C", TStreamValue::Float(2)}});
  root.children.push_back(Root({{"D", TStreamValue::Integer(100000)}}));
  const TBytes full = WriteComponentStream(root);
  for (size_t n = 0; n < full.size(); ++n) {
    const TBytes cut(full.begin(), full.begin() + long(n));
    const std::string error = ErrorOf(cut);
    EXPECT_NE(error.find("at byte"), std::string::npos) << "cut at " << n << ": " << error;
  }
}

TEST(ComponentStreamReader, MalformedInputIsRejectedWithItsOffset) {
  EXPECT_NE(ErrorOf({'T', 'P', 'F', '1', 1, 'T', 0, 0, 0}).find("TPF0"), std::string::npos);
  EXPECT_NE(ErrorOf(RawStream({22})).find("unknown value tag 22"), std::string::npos);
  EXPECT_NE(ErrorOf(RawStream({22})).find("at byte 9"), std::string::npos);
  EXPECT_NE(ErrorOf({'T', 'P', 'F', '0', 0, 0, 0, 0}).find("without a class name"), std::string::npos);
  // A collection item must open with a list tag.
  EXPECT_NE(ErrorOf(RawStream({14, 6, 0})).find("does not start with a list"), std::string::npos);
  // Trailing bytes after the root object.
  TBytes trailing = RawStream({8});
  trailing.push_back(0);
  EXPECT_NE(ErrorOf(trailing).find("after the root object"), std::string::npos);
}

TEST(ComponentStreamReader, ClaimedLengthsAreCheckedBeforeAllocatingAndNestingIsLimited) {
  // Four gigabytes claimed by binary data, long, wide and UTF-8 strings in a
  // stream of a few bytes: refused, not allocated.
  for (uint8_t tag : {10, 12, 18, 20}) {
    const std::string error = ErrorOf(RawStream({tag, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2}));
    EXPECT_NE(error.find("truncated"), std::string::npos) << int(tag) << ": " << error;
  }
  // The wide-string byte count is twice the claimed characters.
  EXPECT_NE(ErrorOf(RawStream({18, 3, 0, 0, 0, 'a', 0, 'b'})).find("truncated wide string"), std::string::npos);
  TBytes deepLists(100, 1);
  EXPECT_NE(ErrorOf(RawStream(deepLists)).find("nesting deeper"), std::string::npos);

  TBytes deepObjects = {'T', 'P', 'F', '0'};
  for (int i = 0; i < 100; ++i) deepObjects.insert(deepObjects.end(), {1, 'T', 0, 0});
  EXPECT_NE(ErrorOf(deepObjects).find("nesting deeper"), std::string::npos);

  // Within the limit the same shapes read.
  TBytes shallow(10, 1);
  shallow.insert(shallow.end(), 10, 0);
  EXPECT_EQ(ReadRaw(shallow).list.size(), 1u);
}

TEST(ComponentStreamReader, BoundsAreThoseGiven) {
  const TBytes stream = WriteComponentStream(Root({{"A", TStreamValue::Integer(1)}}));
  TBytes padded = {9, 9, 9};
  padded.insert(padded.end(), stream.begin(), stream.end());
  padded.push_back(0x77);
  const TStreamObject o = ReadComponentStream(padded, 3, padded.size() - 1);
  EXPECT_EQ(o.properties.at(0).offset, 3 + stream.size() - 6);  // the name "A", before value and two ends
  EXPECT_THROW(ReadComponentStream(padded, 3, padded.size() + 1), ETemplateError);
  EXPECT_THROW(ReadComponentStream(padded, 5, 4), ETemplateError);
}

}  // namespace
}  // namespace zd
