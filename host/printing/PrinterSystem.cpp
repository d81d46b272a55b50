#include "host/printing/PrinterSystem.h"

namespace zd::printing {
namespace {

class NoSystemPrinters final : public PrinterSystem {
 public:
  std::vector<std::string> PrinterNames() const override { return {}; }
  std::string DefaultPrinterName() const override { return {}; }
  std::unique_ptr<PrintTarget> Open(const std::string& name) const override {
    throw EPrinterError("Printer " + name + " is not available");
  }
};

const PrinterSystem*& installed() {
  static const PrinterSystem* system = nullptr;
  return system;
}

}  // namespace

void SetPrinterSystem(const PrinterSystem* system) { installed() = system; }

const PrinterSystem& InstalledPrinterSystem() {
  static const NoSystemPrinters none;
  return installed() ? *installed() : none;
}

}  // namespace zd::printing
