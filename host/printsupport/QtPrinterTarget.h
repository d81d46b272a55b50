#pragma once
// A system (CUPS) printer as a print target.
#include <memory>
#include <string>

#include "host/printing/PrintTarget.h"

namespace zd::printing {

// Throws EPrinterError when the printer is not available.
std::unique_ptr<PrintTarget> MakeQtPrinterTarget(const std::string& printerName);

}  // namespace zd::printing
