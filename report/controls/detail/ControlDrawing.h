#pragma once
// Drawing steps shared by the printable controls: text in a rectangle
// (wrapped or rotated), placement of rotated text in a control's box, the
// character width formats pad to, and pictures of any kind stretched into
// a rectangle, and the field a control's "Dataset.Field" names.
#include <cstdint>
#include <string>

#include "host/data/FieldType.h"
#include "host/graphics/Bitmap.h"
#include "host/graphics/Canvas.h"

namespace zd {

class TField;
class TZdqControl;

// Writes (or, with DT_CALCRECT in flags, only measures) text in rect and
// returns its height. An empty text still takes one blank line unless
// removeBlankLine. A rotated text is one line written at rect's top-left;
// otherwise the canvas lays it out with the flags.
int DrawWrapText(TCanvas& canvas, const std::string& text, const TRect& rect, uint32_t flags, int angle,
                 bool removeBlankLine);

// Where text of the given extent starts inside a box of the given inner
// size, so that once turned by angle degrees (0..359, counter-clockwise)
// it sits as the alignment asks. Left and right offsets never leave the
// box; a centred one may start left of it.
TPoint RotatedTextOffset(TAlignment alignment, int angle, TSize text, TSize box);

// How many characters of the canvas font's "0" fit in width (rounded).
int GetCharWidth(const TCanvas& canvas, int width);

// The field "Dataset.Field" names (a plain name is a field of the report's
// dataset); nullptr when the dataset is unknown. A missing field raises the
// dataset's error.
const TField* NamedField(const TZdqControl& control, const std::string& expression);

// Draws the picture stretched into rect; an empty picture draws nothing.
void StretchDrawPicture(TCanvas& canvas, const TRect& rect, const TPicture& picture);

}  // namespace zd
