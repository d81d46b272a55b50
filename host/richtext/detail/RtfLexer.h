#pragma once
// Splits rich-text bytes into groups, control words, control symbols and
// text bytes. Every read is bounds-checked; parameters saturate at the
// 32-bit range however many digits follow.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zd {

struct TRtfToken {
  enum Kind { Eof, GroupOpen, GroupClose, ControlWord, ControlSymbol, Byte } kind = Eof;
  std::string Word;        // control word name
  bool HasParam = false;
  int Param = 0;
  unsigned char Value = 0;  // control symbol character or byte (text or \'hh)
  bool Escaped = false;     // Byte came from \'hh
};

class TRtfLexer {
 public:
  explicit TRtfLexer(std::string_view data) : data_(data) {}
  TRtfToken Next();
  // Skips the raw bytes of \binN; negative or too large counts stop at the end.
  void SkipBytes(long long count);
  size_t Position() const { return pos_; }

 private:
  std::string_view data_;
  size_t pos_ = 0;
  bool atEnd() const { return pos_ >= data_.size(); }
  unsigned char peek() const { return static_cast<unsigned char>(data_[pos_]); }
  TRtfToken readControl();
};

}  // namespace zd
