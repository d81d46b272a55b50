#include "quickprint/ZdqText.h"

#include <fstream>

#include "host/core/Errors.h"
#include "host/locale/CodePages.h"
#include "host/locale/TextCodec.h"

namespace zd {

std::string DecodeTextLine(const std::string& bytes, TCodePage codePage) {
  std::string text;
  if (codePage == TCodePage::cpUTF8 && IsValidUtf8(bytes)) {
    text = bytes;
  } else {
    const char16_t* upper = SingleByteCodePage(codePage == TCodePage::cpASCII ? 437 : 1252);
    for (const char byte : bytes) AppendUtf8(DecodeSingleByte(uint8_t(byte), upper), text);
  }
  if (text.find('\t') == std::string::npos) return text;
  std::string expanded;
  size_t column = 0;
  for (const char32_t c : DecodeUtf8(text)) {
    if (c == U'\t') {
      const size_t spaces = 8 - column % 8;
      expanded.append(spaces, ' ');
      column += spaces;
    } else {
      AppendUtf8(c, expanded);
      ++column;
    }
  }
  return expanded;
}

std::string TextFromOffset(const TFont& font, const std::string& utf8, int offset) {
  if (offset <= 0) return utf8;
  const std::u16string units = Utf8ToUtf16(utf8);
  const std::vector<int> advances = CharAdvances(font, utf8);
  int width = 0;
  size_t i = 0;
  while (i < units.size() && width < offset) width += advances[i++];
  if (i < units.size() && (units[i] & 0xFC00) == 0xDC00) ++i;  // never split a surrogate pair
  return Utf16ToUtf8(units.substr(i));
}

void TZdPrintText::PrepareReport() {
  if (FileName.empty()) throw EZdError("no text file named to print");
  TZdAutoPrint::PrepareReport();
  BeginDoc();
  NewPage(false);
  for (int bar = 0;; ++bar) {
    PrintReportHeader();
    const bool moreBars = PrintBar(bar);
    PrintReportFooter();
    if (!moreBars || PrepareCancelled()) break;
    NewPage(true);
  }
  EndDoc();
}

bool TZdPrintText::PrintBar(int bar) {
  std::ifstream in(FileName, std::ios::binary);
  if (!in) throw EZdError("cannot open the text file " + FileName);
  bool moreBars = false;
  std::string bytes;
  while (std::getline(in, bytes) && !PrepareCancelled()) {
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    std::string text = DecodeTextLine(bytes, CodePage);
    if (!WordWrap()) {
      text = TextFromOffset(Font(), text, UsableWidth() * bar);
      if (MeasureText(Font(), text).Width > UsableWidth()) moreBars = true;
    }
    PrintLine(text);
  }
  if (in.bad()) throw EZdError("cannot read the text file " + FileName);
  return moreBars;
}

void TZdPrintText::PrintLine(const std::string& text) {
  const std::string shown = text.empty() ? " " : text;
  const uint32_t flags = WordWrap() ? DT_WORDBREAK : DT_SINGLELINE;
  Canvas().Font = Font();
  TRect rect{LeftOffset(), Producer().intCurHeight(), RightEdge(), Producer().intMaxPageHeight()};
  const int height = ZdqDrawText(shown, rect, flags | DT_CALCRECT, true);
  if (!Producer().Fits(height) && !Producer().AtPageTop()) {
    NewPage(false);
    Canvas().Font = Font();
    rect = {LeftOffset(), Producer().intCurHeight(), RightEdge(), Producer().intMaxPageHeight()};
  }
  rect.Bottom = rect.Top + height;
  ZdqDrawText(shown, rect, flags, true);
  Producer().Advance(height);
}

}  // namespace zd
