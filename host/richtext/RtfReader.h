#pragma once
// Reads rich text (RTF) into a TRichDocument: character and paragraph
// formatting, font and colour tables, code-page and Unicode text. Pictures,
// objects, headers, footers and other destinations that do not render as
// body text are skipped.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/richtext/RichDocument.h"

namespace zd {

// True when the bytes start like rich text ("{\rtf", leading blanks allowed).
bool LooksLikeRtf(std::string_view bytes);

class TRtfReader {
 public:
  static constexpr int kMaxGroupDepth = 512;
  // Throws ERtfError when the bytes are not rich text or groups nest deeper
  // than kMaxGroupDepth. Truncated input closes its open groups.
  static TRichDocument Read(std::string_view bytes);
};

// One paragraph per line (CR LF, LF or CR), everything in the default format.
TRichDocument ReadPlainText(std::string_view utf8);

}  // namespace zd
