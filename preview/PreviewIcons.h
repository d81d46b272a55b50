#pragma once
// The pictures of the preview's buttons, cursors and outline entries, drawn
// rather than loaded, so that they scale with the screen.
#include <QCursor>
#include <QIcon>

namespace zd {

enum class TToolIcon {
  Print, Find, OnePage, ZoomTo100, ZoomToWidth, ManyPages, Thumbnails, Outlines,
  ZoomIn, ZoomOut, Margins, Grid, Lens
};

QIcon ToolIcon(TToolIcon kind);
QCursor ZoomCursor(bool zoomIn);
QIcon OutlineIcon();  // 16 x 16

}  // namespace zd
