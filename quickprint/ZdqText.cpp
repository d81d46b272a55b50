#include "quickprint/ZdqText.h"

#include <fstream>
#include <string>
#include <vector>

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

namespace {
// The first UTF-16 unit from `from` whose preceding width reaches limit;
// never the second half of a surrogate pair.
size_t firstUnitAt(const std::u16string& units, const std::vector<int>& advances, size_t from, int& x, int limit) {
  while (from < units.size() && x < limit) x += advances[from++];
  if (from < units.size() && (units[from] & 0xFC00) == 0xDC00) ++from;
  return from;
}

// Sheets side by side are for tables a little wider than the paper; past
// this many, a line is cut rather than printed on ever more sheets. Longer
// lines than kMaxLineBytes could not show on them anyway, and are not read
// whole, so that a file without line breaks is not held in memory.
constexpr int kMaxBars = 100;
constexpr size_t kMaxLineBytes = 64 * 1024;

// The next line without its end, cut to kMaxLineBytes; false at the end.
bool readLine(std::istream& in, std::string& line, bool& cut) {
  line.clear();
  std::streambuf& buffer = *in.rdbuf();
  bool any = false;
  for (int c; (c = buffer.sbumpc()) != std::char_traits<char>::eof();) {
    any = true;
    if (c == '\n') return true;
    if (line.size() < kMaxLineBytes) line.push_back(char(c));
    else cut = true;
  }
  return any;
}
}  // namespace

TBarSlice BarSlice(const TFont& font, const std::string& utf8, int offset, int width) {
  if (offset <= 0 && MeasureText(font, utf8).Width <= width) return {utf8, false};
  const std::u16string units = Utf8ToUtf16(utf8);
  const std::vector<int> advances = CharAdvances(font, utf8);
  int x = 0;
  const size_t begin = firstUnitAt(units, advances, 0, x, offset);
  const size_t end = firstUnitAt(units, advances, begin, x, offset + width);
  return {Utf16ToUtf8(units.substr(begin, end - begin)), end < units.size()};
}

void TZdPrintText::PrepareReport() {
  if (FileName.empty()) throw EZdError("no text file named to print");
  TZdAutoPrint::PrepareReport();
  linesCut_ = false;
  BeginDoc();
  NewPage(false);
  for (int bar = 0;; ++bar) {
    PrintReportHeader();
    const bool moreBars = PrintBar(bar);
    PrintReportFooter();
    if (!moreBars || PrepareCancelled()) break;
    if (bar + 1 == kMaxBars) {
      AddWarning("lines wider than " + std::to_string(kMaxBars) + " sheets are cut; wrap them instead");
      break;
    }
    NewPage(true);
  }
  if (linesCut_) AddWarning("lines longer than " + std::to_string(kMaxLineBytes) + " bytes are cut");
  EndDoc();
}

bool TZdPrintText::PrintBar(int bar) {
  std::ifstream in(FileName, std::ios::binary);
  if (!in) throw EZdError("cannot open the text file " + FileName);
  bool moreBars = false;
  std::string bytes;
  while (readLine(in, bytes, linesCut_) && !PrepareCancelled()) {
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    std::string text = DecodeTextLine(bytes, CodePage);
    if (!WordWrap()) {
      TBarSlice slice = BarSlice(Font(), text, UsableWidth() * bar, UsableWidth());
      text = std::move(slice.Text);
      moreBars = moreBars || slice.Continues;
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
