#pragma once
// Text templates (".zdqt"): the component stream tree as UTF-8 text that a
// person can read, write by hand and review in a diff, and that reads back
// to the same tree, so that text -> binary -> text and binary -> text ->
// binary give the same bytes.
//
// One record per line; each level of nesting indents by two spaces (tabs
// do not indent). Blank lines and lines starting with # are skipped.
//
//   object     CLASS [NAME] [flags N [position INTEGER]]
//              then one level deeper its properties, then its child objects.
//              N is the prefix flags (1 to 15); position is given exactly
//              when flag 2 is set.
//   property   PATH = VALUE
//
// Names (class, object, property path, set member) are bare words of
// letters, digits, _ and . starting with a letter or _, or quoted strings.
//
// Values, with the tag each stands for:
//   12  -5               integer of the narrowest tag holding it;
//   300i32               the suffix i8, i16, i32 or i64 fixes the tag
//   1.5  2.0e-7          extended float (a . or an exponent is always there)
//   1.5f32  1.5f64       single, double
//   45000.5date          date (days since 30 December 1899)
//   12.3456cur           currency, at most four decimals
//   0x3FFF8000000000000000
//                        a float by its bits in upper-case hex: 20 digits (extended),
//                        or 16 with f64 or date, 8 with f32; written for
//                        values no decimal gives back bit for bit
//   "text"               string of the tag the writer picks (8-bit for ASCII
//                        up to 255 bytes, long 8-bit beyond, else UTF-8); the
//                        suffix short, long, wide or utf8 fixes the tag.
//                        Escapes: \\ \" \n \r \t and \xHH for any byte
//   clRed  "odd name"ident
//                        identifier: bare when it is a name and no keyword
//   True False nil Null
//   [fsBold, fsItalic]   set
//   list                 list: its elements one per line, one level deeper
//   binary               binary data: lines of hex digits one level deeper
//   collection           collection: lines "item [INTEGER]" one level
//                        deeper, each with its properties one level deeper
#include <string>
#include <string_view>

#include "report/template/ComponentStream.h"

namespace zd {

std::string WriteTemplateText(const TStreamObject& root);

// Offsets in the tree count bytes of text. Raises ETemplateError naming the
// line, the column and, inside a property, its path. Nesting is limited as
// in the binary stream (kMaxStreamDepth).
TStreamObject ReadTemplateText(std::string_view text);

// "line L, column C" (both from 1, columns in characters) of a byte offset.
std::string TextPlace(std::string_view text, size_t offset);

}  // namespace zd
