#pragma once
// Playback of enhanced metafiles onto any QPainter (image, PDF, printer).
#include <QPainter>
#include <QRectF>

#include "host/emf/Metafile.h"
#include "host/graphics/Bitmap.h"

namespace zd {

// Draws the metafile's frame scaled into target (painter coordinates).
// Throws EMetafileError when the frame cannot be scaled to the target
// sensibly (a header out of all proportion); texts too large to draw are
// left out.
void PlayMetafile(const TMetafile& meta, QPainter& painter, const QRectF& target);

// The metafile played onto a white raster of the given size, each side cut
// to 4096 pixels; throws EMetafileError for a metafile it cannot play.
TBitmap RasterizeMetafile(const std::vector<uint8_t>& metafile, int width, int height);

}  // namespace zd
