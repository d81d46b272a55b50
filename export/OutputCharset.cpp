#include "export/OutputCharset.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "host/locale/CodePages.h"
#include "host/locale/Locale.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

constexpr int kUtf8CodePage = 65001;
constexpr int kSingleByteCodePages[] = {437, 850, 874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

std::string lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string knownNames() {
  std::string names = "utf-8";
  for (int cp : kSingleByteCodePages) names += ", cp" + std::to_string(cp);
  return names;
}

}  // namespace

TZdqOutputCharset::TZdqOutputCharset(int codePage) : codePage_(codePage == kUtf8CodePage ? Utf8 : codePage) {
  if (codePage_ == Utf8) return;
  const char16_t* table = SingleByteCodePage(codePage_);
  if (!table)
    throw std::invalid_argument("code page " + std::to_string(codePage) + " cannot be written (encodings: " +
                                knownNames() + ")");
  std::copy(table, table + 128, upper_.begin());
}

TZdqOutputCharset TZdqOutputCharset::CommonTo(int codePage, int other) {
  TZdqOutputCharset charset(codePage);
  const TZdqOutputCharset second(other);
  for (size_t b = 0; b < charset.upper_.size(); ++b)
    if (charset.upper_[b] != second.upper_[b]) charset.upper_[b] = 0;
  return charset;
}

std::string TZdqOutputCharset::Name() const {
  if (IsUtf8()) return "UTF-8";
  return (IsDosCodePage(codePage_) ? "IBM" : "windows-") + std::to_string(codePage_);
}

bool TZdqOutputCharset::CanEncode(char32_t c) const {
  return IsUtf8() || EncodeSingleByte(c, upper_.data());
}

std::string TZdqOutputCharset::Encode(std::string_view utf8, size_t* replaced) const {
  if (!IsUtf8()) return Utf8ToSingleByte(utf8, upper_.data(), replaced);
  // ASCII, most text, is its own UTF-8; anything else is decoded so that
  // malformed bytes become U+FFFD.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) return std::string(utf8);
  return EncodeUtf8(DecodeUtf8(utf8));
}

int CodePageByName(const std::string& name) {
  std::string n = lower(name);
  if (n == "utf-8" || n == "utf8" || n == std::to_string(kUtf8CodePage)) return TZdqOutputCharset::Utf8;
  for (const char* prefix : {"windows-", "cp"})
    if (n.rfind(prefix, 0) == 0) n.erase(0, std::char_traits<char>::length(prefix));
  for (int cp : kSingleByteCodePages)
    if (n == std::to_string(cp)) return cp;
  throw std::invalid_argument("unknown encoding '" + name + "' (encodings: " + knownNames() + ")");
}

int AnsiSingleByteCodePage() {
  const int ansi = currentLocale().ansiCodePage;
  return SingleByteCodePage(ansi) ? ansi : 1252;
}

}  // namespace zd
