#pragma once
// The operating system's printers, as TSystemPrinter lists and opens them.
// The core has none of its own beyond the built-in PDF printer: programs
// that print on real printers install the Qt Print Support backend
// (host/printsupport) once at start-up, before any printer is listed.
#include <memory>
#include <string>
#include <vector>

#include "host/printing/PrintTarget.h"

namespace zd::printing {

class PrinterSystem {
 public:
  virtual ~PrinterSystem() = default;
  virtual std::vector<std::string> PrinterNames() const = 0;
  // Empty when the system names no default.
  virtual std::string DefaultPrinterName() const = 0;
  // Throws EPrinterError when the printer is not available.
  virtual std::unique_ptr<PrintTarget> Open(const std::string& name) const = 0;
};

// Not owned; it must stay alive while installed. nullptr restores the
// default, a system without printers.
void SetPrinterSystem(const PrinterSystem* system);
const PrinterSystem& InstalledPrinterSystem();

}  // namespace zd::printing
