#include "quickprint/ZdqMacros.h"

#include <cctype>

#include "host/core/TextUtil.h"

namespace zd {
namespace {

// Whether the character at `at` is the code letter, in either case.
bool Next(const std::string& line, size_t at, char code) {
  return at < line.size() && std::toupper(uint8_t(line[at])) == code;
}

TBevel BevelOf(char code) {
  switch (code) {
    case 'T': return TBevel::bvTopLine;
    case 'B': return TBevel::bvBottomLine;
    case 'L': return TBevel::bvLeftLine;
    case 'R': return TBevel::bvRightLine;
    case 'S': return TBevel::bvHCenterLine;
    case 'C': return TBevel::bvVCenterLine;
    case 'F': return TBevel::bvFrame;
    default: return TBevel::bvNone;
  }
}

}  // namespace

TExpandedLine ExpandMacros(const std::string& line, char macroChar, const TMacroValues& values) {
  TExpandedLine out;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] != macroChar) {
      out.text += line[i++];
      continue;
    }
    const size_t c = i + 1;  // the code's first character
    if (c >= line.size()) break;
    const char code = char(std::toupper(uint8_t(line[c])));
    i = c + 1;
    switch (code) {
      case 'A': out.pageStart = true; break;
      case 'O': out.pageStart = false; break;
      case 'L': out.alignment = TAlignment::taLeftJustify; break;
      case 'C': out.alignment = TAlignment::taCenter; break;
      case 'R': out.alignment = TAlignment::taRightJustify; break;
      case 'T': out.text += values.time; break;
      case 'D':
        if (Next(line, i, 'T')) {
          out.text += values.date + " " + values.time;
          ++i;
        } else {
          out.text += values.date;
        }
        break;
      case 'P':
      case 'B':
        if (Next(line, i, 'N') || Next(line, i, 'C')) {
          const bool count = Next(line, i, 'C');
          const int n = code == 'P' ? (count ? values.pageCount : values.pageNo)
                                    : (count ? values.barCount : values.barNo);
          out.text += std::to_string(n);
          ++i;
        } else {
          out.text += line[c];
        }
        break;
      case 'F':
        if (i < line.size() && BevelOf(char(std::toupper(uint8_t(line[i])))) != TBevel::bvNone) {
          out.bevel = BevelOf(char(std::toupper(uint8_t(line[i]))));
          ++i;
        } else {
          out.text += line[c];
        }
        break;
      case 'I':
        if (Next(line, i, 'T') || Next(line, i, 'B') || Next(line, i, 'P')) {
          const char where = char(std::toupper(uint8_t(line[i])));
          out.imageAlign = where == 'T' ? TImageAlign::iaTopPage
                           : where == 'B' ? TImageAlign::iaBottomPage
                                          : TImageAlign::iaWholePage;
          out.imageFile = Trim(line.substr(i + 1));
          i = line.size();
        } else {
          out.text += line[c];
        }
        break;
      default:
        out.text += line[c];  // the macro character itself, or a character it cannot start
    }
  }
  return out;
}

bool NeedsPageCounts(const std::string& line, char macroChar) {
  for (size_t i = 0; i + 2 < line.size(); ++i) {
    if (line[i] != macroChar) continue;
    const char code = char(std::toupper(uint8_t(line[i + 1])));
    if ((code == 'P' || code == 'B') && std::toupper(uint8_t(line[i + 2])) == 'C') return true;
    if (line[i + 1] == macroChar) ++i;  // a literal macro character starts no macro
  }
  return false;
}

}  // namespace zd
