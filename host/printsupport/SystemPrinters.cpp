#include "host/printsupport/SystemPrinters.h"

#include <QPrinterInfo>

#include "host/printing/PrinterSystem.h"
#include "host/printsupport/QtPrinterTarget.h"

namespace zd {
namespace {

class QtPrinterSystem final : public printing::PrinterSystem {
 public:
  std::vector<std::string> PrinterNames() const override {
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(name.toStdString());
    return names;
  }
  std::string DefaultPrinterName() const override { return QPrinterInfo::defaultPrinterName().toStdString(); }
  std::unique_ptr<printing::PrintTarget> Open(const std::string& name) const override {
    return printing::MakeQtPrinterTarget(name);
  }
};

}  // namespace

void InstallSystemPrinters() {
  static const QtPrinterSystem system;
  printing::SetPrinterSystem(&system);
}

}  // namespace zd
