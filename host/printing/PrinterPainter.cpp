#include "host/printing/PrinterPainter.h"

#include "host/printing/PrinterImpl.h"

namespace zd {

QPainter* PrinterPainter(TSystemPrinter& printer) { return printer.impl()->painter; }

}  // namespace zd
