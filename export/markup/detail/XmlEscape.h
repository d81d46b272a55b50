#pragma once
// Text and attribute escaping shared by the HTML and XML writers.
#include <cstddef>
#include <string>
#include <string_view>

#include "export/OutputCharset.h"

namespace zd {

// UTF-8 text as markup for a document in `charset`: & < > " ' become
// entities, characters the charset cannot hold (and C0, C1 controls) numeric
// character references, everything else stays as it is (UTF-8). Characters
// that neither XML nor HTML allow (C0 and C1 controls other than tab, line
// feed and carriage return, U+FFFE, U+FFFF) become U+FFFD; tab and line ends
// become references, as attribute values would fold them into spaces.
//
// maxLength limits the escaped text; an entity counts its own length, a
// character (or its reference) one. The text is cut before the first piece
// that would not fit, never inside an entity.
std::string EscapeMarkup(std::string_view utf8, const TZdqOutputCharset& charset,
                         size_t maxLength = std::string::npos);

}  // namespace zd
