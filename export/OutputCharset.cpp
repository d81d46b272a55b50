#include "export/OutputCharset.h"

#include <cctype>
#include <stdexcept>

#include "export/PdfCodePages.h"
#include "host/locale/CodePages.h"
#include "host/locale/Locale.h"
#include "host/richtext/CodePage.h"

namespace zd {

namespace {

constexpr int kUtf8CodePage = 65001;
constexpr int kSingleByteCodePages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

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
  if (codePage_ != Utf8 && !SingleByteCodePage(codePage_))
    throw std::invalid_argument("code page " + std::to_string(codePage) + " cannot be written (encodings: " +
                                knownNames() + ")");
}

std::string TZdqOutputCharset::Name() const {
  return IsUtf8() ? std::string("UTF-8") : "windows-" + std::to_string(codePage_);
}

bool TZdqOutputCharset::CanEncode(char32_t c) const {
  if (IsUtf8() || c < 0x80) return true;
  const char16_t* upper = SingleByteCodePage(codePage_);
  for (int b = 0; b < 128; ++b)
    if (upper[b] != 0 && upper[b] == c) return true;
  return false;
}

std::string TZdqOutputCharset::Encode(std::string_view utf8, size_t* replaced) const {
  std::string out;
  out.reserve(utf8.size());
  if (IsUtf8()) {
    for (char32_t cp : DecodeUtf8(utf8)) AppendUtf8(cp, out);
    return out;
  }
  const char16_t* upper = SingleByteCodePage(codePage_);
  for (char32_t cp : DecodeUtf8(utf8)) {
    if (cp < 0x80) {
      out += char(cp);
      continue;
    }
    char byte = '?';
    for (int b = 0; b < 128; ++b)
      if (upper[b] != 0 && upper[b] == cp) {
        byte = char(0x80 + b);
        break;
      }
    if (byte == '?' && replaced) ++*replaced;
    out += byte;
  }
  return out;
}

int AnsiSingleByteCodePage() {
  const int ansi = currentLocale().ansiCodePage;
  return SingleByteCodePage(ansi) ? ansi : 1252;
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

}  // namespace zd
