// The codec against glibc's iconv, which serves as the reference for every
// code page and for UTF-8 and UTF-16.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>

#include "host/locale/CodePages.h"
#include "host/locale/TextCodec.h"

using namespace zd;

namespace {

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  bool ok() const { return cd_ != iconv_t(-1); }

  // The converted bytes, or nullopt when iconv rejects any of the input.
  std::optional<std::string> Convert(std::string_view in) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    char* dst = out.data();
    size_t srcLeft = in.size(), dstLeft = out.size();
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || srcLeft != 0) return std::nullopt;
    // The Vietnamese and Hebrew converters hold a character back in case a
    // combining mark follows.
    if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == size_t(-1)) return std::nullopt;
    out.resize(out.size() - dstLeft);
    return out;
  }

  // The first character of `in` and its length in bytes: the shortest
  // prefix iconv converts whole. nullopt when `in` starts malformed.
  std::optional<std::pair<char32_t, size_t>> First(std::string_view in) {
    for (size_t length = 1; length <= 4 && length <= in.size(); ++length)
      if (const std::optional<std::string> out = Convert(in.substr(0, length)))
        return std::pair{*reinterpret_cast<const char32_t*>(out->data()), length};
    return std::nullopt;
  }

 private:
  iconv_t cd_;
};

std::string bytesOf(const std::u32string& s) {
  return std::string(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(char32_t));
}

std::u32string allScalarValues() {
  std::u32string all;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp)
    if (cp < 0xD800 || cp > 0xDFFF) all += cp;
  return all;
}

}  // namespace

TEST(TextCodec, EveryByteOfEverySingleByteCodePageDecodesAsIconvDoesAndRoundTrips) {
  for (int codePage : {437, 850, 874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    const char16_t* upper = SingleByteCodePage(codePage);
    ASSERT_NE(upper, nullptr) << codePage;
    Iconv reference("UTF-32LE", ("CP" + std::to_string(codePage)).c_str());
    ASSERT_TRUE(reference.ok()) << codePage;
    for (int byte = 0; byte < 256; ++byte) {
      const std::string in(1, char(byte));
      const std::optional<std::string> expected = reference.Convert(in);
      const char32_t decoded = DecodeSingleByte(uint8_t(byte), upper);
      if (!expected) {
        EXPECT_EQ(decoded, kReplacementCharacter) << "cp" << codePage << " byte " << byte;
        continue;
      }
      ASSERT_EQ(expected->size(), 4u);
      EXPECT_EQ(decoded, *reinterpret_cast<const char32_t*>(expected->data())) << "cp" << codePage << " byte " << byte;
      EXPECT_EQ(Utf8ToSingleByte(SingleByteToUtf8(in, upper), upper), in) << "cp" << codePage << " byte " << byte;
    }
  }
  Iconv latin1("UTF-8", "ISO-8859-1");
  std::string everyByte;
  for (int byte = 0; byte < 256; ++byte) everyByte += char(byte);
  EXPECT_EQ(Latin1ToUtf8(everyByte), latin1.Convert(everyByte));
}

TEST(TextCodec, CharactersACodePageLacksBecomeQuestionMarksAndAreCounted) {
  size_t replaced = 0;
  EXPECT_EQ(Utf8ToSingleByte("Привет", SingleByteCodePage(1251), &replaced), "\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_EQ(Utf8ToSingleByte("Příliš €", SingleByteCodePage(1252), &replaced), "P?\xEDli\x9A \x80");
  EXPECT_EQ(replaced, 1u);
  EXPECT_EQ(Utf8ToSingleByte("日本 ok", nullptr, &replaced), "?? ok");  // a code page of which only ASCII is known
  EXPECT_EQ(replaced, 3u);
}

TEST(TextCodec, EveryScalarValueEncodesAsIconvDoesInUtf8AndUtf16AndDecodesBack) {
  const std::u32string all = allScalarValues();
  const std::string utf8 = EncodeUtf8(all);
  EXPECT_EQ(Iconv("UTF-8", "UTF-32LE").Convert(bytesOf(all)), utf8);
  EXPECT_TRUE(DecodeUtf8(utf8) == all);

  const std::u16string utf16 = Utf8ToUtf16(utf8);
  const std::string utf16Bytes(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
  EXPECT_EQ(Iconv("UTF-16LE", "UTF-32LE").Convert(bytesOf(all)), utf16Bytes);
  EXPECT_EQ(Utf16ToUtf8(utf16), utf8);

  // What no encoding can hold: surrogates and values beyond U+10FFFF.
  EXPECT_EQ(EncodeUtf8(U"a\xD800z\xDFFF\x110000"), "a\uFFFDz\uFFFD\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(u"\xDC00x\xD83D\xDE00\xD83D"), "\uFFFDx\U0001F600\uFFFD");
}

TEST(TextCodec, Utf8SequencesAreAcceptedAndRejectedAsIconvDoesOneReplacementPerBadByte) {
  // Every lead and second byte, followed by tails that do and do not continue
  // a sequence: the second byte decides overlong forms, surrogates and the
  // upper limit, the tail truncated and broken sequences.
  Iconv reference("UTF-32LE", "UTF-8");
  for (const std::string tail : {"\x80\x80", "\x80" "A", "A\x80", "\xBF\xBF", "\xC0\x80", ""}) {
    for (int lead = 0x80; lead < 0x100; ++lead) {
      for (int second = 0; second < 0x100; ++second) {
        const std::string in = std::string{char(lead), char(second)} + tail;
        const auto expected = reference.First(in);
        const std::u32string decoded = DecodeUtf8(in);
        if (expected) {
          EXPECT_EQ(decoded[0], expected->first) << std::hex << lead << ' ' << second;
          EXPECT_EQ(EncodeUtf8(decoded.substr(0, 1)), in.substr(0, expected->second)) << std::hex << lead << ' ' << second;
        } else {
          EXPECT_EQ(decoded[0], kReplacementCharacter) << std::hex << lead << ' ' << second;
          EXPECT_EQ(decoded.substr(1), DecodeUtf8(in.substr(1))) << "the next byte starts afresh";
        }
      }
    }
  }
  EXPECT_EQ(DecodeUtf8("a\xFF" "b\xE2\x82"), (std::u32string{U'a', 0xFFFD, U'b', 0xFFFD, 0xFFFD}));
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), std::u32string(3, 0xFFFD));  // an encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");                 // an overlong '/'
}
