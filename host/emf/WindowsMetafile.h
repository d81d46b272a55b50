#pragma once
// The older Windows metafile form (placeable WMF) of an enhanced metafile.
#include <cstdint>
#include <vector>

#include "host/emf/Metafile.h"

namespace zd {

// Converts the records a recording writes: objects, modes, saved states,
// clipping, lines and shapes, texts (in code page 1252, with their
// advances) and bitmaps; other records are left out. Coordinates are 16-bit
// in the older form: a picture larger than 32767 units is scaled down as a
// whole (the header's units per inch say by how much), and coordinates
// outside the range are clipped to it rather than wrapped.
std::vector<uint8_t> WindowsMetafileOf(const TMetafile& emf);

}  // namespace zd
