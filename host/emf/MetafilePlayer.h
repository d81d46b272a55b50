#pragma once
// Playback of enhanced metafiles onto any QPainter (image, PDF, printer).
#include <QPainter>
#include <QRectF>

#include "host/emf/Metafile.h"

namespace zd {

// Draws the metafile's frame scaled into target (painter coordinates).
void PlayMetafile(const TMetafile& meta, QPainter& painter, const QRectF& target);

}  // namespace zd
