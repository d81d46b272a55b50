#pragma once
// The TIFF writer of the picture exporters: one uncompressed strip,
// little-endian, palette or RGB.
#include <ostream>

#include "export/picture/Dib.h"

namespace zd {

// Writes nothing for an empty or 1-bit bitmap. Bitmaps of 2, 4 and 8 bits
// keep their palette; all others become 8-bit RGB (16-bit pixels by their
// masks, 32-bit ones without their fourth byte). Rows go top row first
// whichever way the bitmap stores them.
void BMP2TIFFStream(std::ostream& out, const TDib& dib);

}  // namespace zd
