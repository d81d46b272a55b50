#pragma once
// Text and attribute escaping shared by the HTML and XML writers.
#include <cstddef>
#include <string>
#include <string_view>

namespace zd {

// UTF-8 text as ASCII markup: & < > " ' become entities, every other
// character outside printable ASCII a numeric character reference, so the
// result reads the same in any ASCII-compatible encoding a document declares.
// Characters that neither XML nor HTML allow (C0 and C1 controls other than
// tab, line feed and carriage return, U+FFFE, U+FFFF) become U+FFFD.
//
// maxLength limits the escaped text; an entity counts its own length, a
// character reference one character (it stands for one byte of an 8-bit
// file). The text is cut before the first piece that would not fit, never
// inside an entity.
std::string EscapeMarkup(std::string_view utf8, size_t maxLength = std::string::npos);

}  // namespace zd
