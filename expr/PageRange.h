#pragma once
// Page-range texts as users type them ("1,3,5-12") turned into page lists.
#include <string>

#include "host/core/Strings.h"

namespace zd {

// Fills list with the 1-based page numbers that s selects, ascending, as
// decimal text. Runs of digits are numbers, any other character ends one; a
// "-" after a number opens a range closed by the next number. "7-5" selects 5
// and 7, "5-" and "-5" select 5, text without digits selects nothing.
//
// Only pages 1..maxPages can exist, so numbers outside are dropped and ranges
// are clipped to them: "1-999999999" costs no more than maxPages entries, and
// a number too long for any integer is simply beyond maxPages.
void GetValidPages(const std::string& s, TStrings& list, int maxPages);

}  // namespace zd
