#pragma once
// Decoding of bytes in a Windows code page, as rich text carries them in
// \'hh escapes. Multi-byte code pages need the bytes of a character together,
// so bytes are collected and converted in one go.
#include <cstdint>
#include <string>

#include "host/locale/CodePages.h"

namespace zd {

class TCodePageDecoder {
 public:
  explicit TCodePageDecoder(int codePage = 1252) : codePage_(codePage) {}
  int CodePage() const { return codePage_; }
  // Appends bytes (any value) decoded as UTF-8 to out; unknown code pages
  // decode as 1252 and undecodable bytes become U+FFFD.
  void Decode(const std::string& bytes, std::string& out) const;

 private:
  int codePage_;
};

}  // namespace zd
