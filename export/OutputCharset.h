#pragma once
// The character encodings the text and spreadsheet exporters write.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zd {

// The character encoding of an output file: UTF-8, or a single-byte
// Windows code page for readers that need one.
class TZdqOutputCharset {
 public:
  static constexpr int Utf8 = 0;  // the code page value that stands for UTF-8

  // Utf8 (or 65001), a single-byte Windows code page or DOS code page 437
  // or 850; raises std::invalid_argument for any other.
  explicit TZdqOutputCharset(int codePage);
  // The characters that `codePage` holds at the same byte as `other` does,
  // written as `codePage` writes them: for files that readers decode in
  // either. Characters outside them count as ones the code page lacks.
  static TZdqOutputCharset CommonTo(int codePage, int other);

  bool IsUtf8() const { return codePage_ == Utf8; }
  int CodePage() const { return codePage_; }
  // The name a document declares: "UTF-8", "windows-1252" or "IBM850".
  std::string Name() const;
  bool CanEncode(char32_t c) const;
  // UTF-8 text as the file's bytes; characters the code page lacks become
  // '?' and are counted in `replaced` when given; malformed UTF-8 becomes
  // U+FFFD (or '?').
  std::string Encode(std::string_view utf8, size_t* replaced = nullptr) const;

 private:
  int codePage_;
  std::array<char16_t, 128> upper_{};  // Unicode of the bytes 128..255, 0 where none
};

// The code page of an encoding name as users write it: "utf-8", "cp1252",
// "windows-1250", "1251"...; raises std::invalid_argument naming the ones on
// offer otherwise.
int CodePageByName(const std::string& name);

// The locale's ANSI code page when it is a single-byte one, else 1252: the
// code page of formats whose texts are 8-bit.
int AnsiSingleByteCodePage();

}  // namespace zd
