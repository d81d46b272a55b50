#pragma once
// The character encodings the text and spreadsheet exporters write.
#include <cstddef>
#include <string>
#include <string_view>

namespace zd {

// The character encoding of an output file: UTF-8, or a single-byte
// Windows code page for readers that need one.
class TZdqOutputCharset {
 public:
  static constexpr int Utf8 = 0;  // the code page value that stands for UTF-8

  // Utf8 (or 65001) or a single-byte code page known to this library;
  // raises std::invalid_argument for any other.
  explicit TZdqOutputCharset(int codePage);

  bool IsUtf8() const { return codePage_ == Utf8; }
  int CodePage() const { return codePage_; }
  // The name a document declares: "UTF-8" or "windows-1252".
  std::string Name() const;
  bool CanEncode(char32_t c) const;
  // UTF-8 text as the file's bytes; characters the code page lacks become
  // '?' and are counted in `replaced` when given; malformed UTF-8 becomes
  // U+FFFD (or '?').
  std::string Encode(std::string_view utf8, size_t* replaced = nullptr) const;

 private:
  int codePage_;
};

// The locale's ANSI code page when it is a single-byte one this library
// writes, else 1252: for formats whose texts must be 8-bit.
int AnsiSingleByteCodePage();

// The code page of an encoding name as users write it: "utf-8", "cp1252",
// "windows-1250", "1251"...; raises std::invalid_argument naming the ones on
// offer otherwise.
int CodePageByName(const std::string& name);

}  // namespace zd
