#pragma once
// Display of a text through an edit mask "mask[;save[;blank]]".
//
// Mask characters: L letter, A letter or digit, C any character, 0 digit,
// # digit or sign (upper case required, l a c 9 optional — for display both
// take the next fitting character of the text); > upper case and < lower
// case for what follows, <> neither; \ makes the next character literal;
// : and / are the locale's time and date separators; _ is a space; ! is an
// entry hint and shows nothing. Other characters are literals.
//
// Characters of the text that do not fit a position are skipped; a literal
// met in the text at its own position is taken as that literal, so texts with
// and without saved literals both come out right (the save field is read but
// changes nothing). Positions left without a character show the blank
// character (third field, a space by default).
#include <string>

#include "host/locale/Locale.h"

namespace zd {

// EConvertError for a mask that ends with an unfinished "\".
std::string FormatMaskText(const std::string& editMask, const std::string& text,
                           const TLocale& loc = currentLocale());

}  // namespace zd
