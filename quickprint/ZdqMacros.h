#pragma once
// Header and footer lines of the quick-print components: the macros a
// line holds (alignment, date and time, page and bar numbers, a frame line,
// a picture) expanded into the text to print and how to print it.
#include <string>

#include "host/data/FieldType.h"

namespace zd {

enum class TBevel { bvNone, bvTopLine, bvBottomLine, bvLeftLine, bvRightLine, bvHCenterLine, bvVCenterLine, bvFrame };
enum class TImageAlign { iaTopPage, iaBottomPage, iaWholePage };

// What the macros stand for on the page being printed.
struct TMacroValues {
  std::string date, time;  // as the locale writes them
  int pageNo = 1, pageCount = 1, barNo = 1, barCount = 1;
};

struct TExpandedLine {
  std::string text;
  TAlignment alignment = TAlignment::taLeftJustify;
  TBevel bevel = TBevel::bvNone;
  std::string imageFile;  // empty: no picture
  TImageAlign imageAlign = TImageAlign::iaWholePage;
  bool pageStart = false;  // printed at every page start, not once per report
};

// Expands the macros of one line: macroChar followed by A (page-start
// line), O (report line), L C R (alignment), D DT T (date, date and time,
// time), PN PC BN BC (page and bar number and count), FT FB FL FR FS FC FF
// (frame line), IT IB IP FILE (picture at the top, bottom, over the page),
// or macroChar itself; before any other character the macro character is dropped.
TExpandedLine ExpandMacros(const std::string& line, char macroChar, const TMacroValues& values);

// Whether a line asks for the page or bar count, known only after a first pass.
bool NeedsPageCounts(const std::string& line, char macroChar);

}  // namespace zd
