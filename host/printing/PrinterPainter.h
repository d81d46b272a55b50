#pragma once
// Qt access to the page being printed, for host code that paints (metafile
// playback onto printer pages).
#include <QPainter>

#include "host/printing/Printer.h"

namespace zd {

// Painter of the current page in device pixels, origin at the paper's corner;
// nullptr outside BeginDoc..EndDoc.
QPainter* PrinterPainter(TSystemPrinter& printer);

}  // namespace zd
