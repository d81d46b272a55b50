#pragma once
// Small string routines shared by the format engine, exporters, controls and
// the designer. Texts are UTF-8; case mapping is Unicode's full mapping, the
// same on every machine.
#include <string>
#include <string_view>

#include "host/locale/Locale.h"

namespace zd {

// Text of s from position index (1-based) up to the next space or the end;
// a single space when that text is empty. Format codes read their argument
// this way. An index outside s gives the single space.
std::string GetNextSpace(std::string_view s, int index);

std::string Replicate(char ch, int count);  // empty for count <= 0
// s preceded by "0" characters up to count; s itself when already that long.
std::string AddLeadingZeros(const std::string& s, int count);
std::string PadLSpace(const std::string& s, int count);  // right-aligned, never cut
std::string PadRSpace(const std::string& s, int count);  // left-aligned, never cut
std::string ReplaceChr(std::string s, char oldCh, char newCh);

std::string UnicodeUpper(const std::string& s);
std::string UnicodeLower(const std::string& s);
// First character and every character after a space upper case, all others
// lower case. Only the space (code 32) starts a word.
std::string Proper(const std::string& s);

// Escapes for the HTML and XML writers. Four of the entities lack their
// closing semicolon because the files written so far carry them that way.
std::string ReplaceSystemChars(const std::string& s);

// "Dataset.Field" -> "Field"; empty when there is no ".".
std::string GetFieldName(const std::string& s);
// "Dataset.Field" when both are given, otherwise the two simply joined.
std::string SetDSExpression(const std::string& datasetName, const std::string& fieldName);

// Default for blank text (codes 0-32 only) and for text that is not a number
// with the locale's decimal separator.
double StrToFloatDef(const std::string& s, double def, const TLocale& loc = currentLocale());
// Default for text that is not a 32-bit integer.
int StrToIntDef(const std::string& s, int def);

// The first character of s (one UTF-8 sequence, an incomplete one is taken
// as it stands); empty for an empty s.
std::string FirstCharacter(std::string_view s);

}  // namespace zd
