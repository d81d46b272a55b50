#pragma once
// Prints a text file line by line; lines wider than the page go on further
// bars (sheets side by side), or wrap.
#include <string>

#include "quickprint/ZdqAuto.h"

namespace zd {

// How the bytes of the file are read: UTF-8 (invalid sequences read as
// Windows-1252), the Windows ANSI code page 1252, or the DOS code page 437.
enum class TCodePage { cpUTF8, cpANSI, cpASCII };

class TZdPrintText : public TZdAutoPrint {
 public:
  using TZdAutoPrint::TZdAutoPrint;
  std::string ClassName() const override { return "TZdPrintText"; }

  std::string FileName;
  TCodePage CodePage = TCodePage::cpUTF8;

  /// Raises EZdError when no file is named or it cannot be read.
  void PrepareReport() override;

 protected:
  void PrintLine(const std::string& text);

 private:
  // Prints the file once; returns whether some line reaches past the bar.
  bool PrintBar(int bar);

  bool linesCut_ = false;  // a line was longer than is read
};

// The part of a line that the sheet showing [offset, offset + width) of it
// prints: the characters that begin there, so a character across the edge
// stays whole on the sheet where it begins; tabs must be expanded first.
struct TBarSlice {
  std::string Text;
  bool Continues = false;  // characters follow on further sheets
};
TBarSlice BarSlice(const TFont& font, const std::string& utf8, int offset, int width);
// The line's bytes as UTF-8 text, tabs expanded to every eighth column.
std::string DecodeTextLine(const std::string& bytes, TCodePage codePage);

}  // namespace zd
