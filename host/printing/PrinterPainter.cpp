#include "host/printing/PrinterPainter.h"

#include "host/printing/detail/PrinterImpl.h"

namespace zd {

QPainter* PrinterPainter(TSystemPrinter& printer) { return printer.impl()->painter; }

}  // namespace zd
