#include "host/printing/Printer.h"

#include <algorithm>

#include "host/printing/detail/PrinterImpl.h"
#include "host/printing/PrinterSystem.h"

namespace zd {

using printing::SheetGeometry;

const std::vector<std::string>& TSystemPrinter::Impl::SystemNames() {
  if (!systemNames) systemNames = printing::InstalledPrinterSystem().PrinterNames();
  return *systemNames;
}

std::vector<std::string> TSystemPrinter::Impl::Names() {
  std::vector<std::string> names;
  if (!systemHidden) names = SystemNames();
  if (virtualEnabled) names.emplace_back(VirtualPrinterName);
  return names;
}

int TSystemPrinter::Impl::DefaultIndex() {
  const std::vector<std::string> names = Names();
  if (names.empty()) return -1;
  if (systemHidden || SystemNames().empty()) return 0;  // only the virtual one
  const std::string def = printing::InstalledPrinterSystem().DefaultPrinterName();
  const auto it = std::find(names.begin(), names.end(), def);
  return it == names.end() ? 0 : int(it - names.begin());
}

void TSystemPrinter::Impl::Select(int i) {
  RequireIdle("select a printer");
  const std::vector<std::string> names = Names();
  if (i == -1) i = DefaultIndex();
  if (i < -1 || i >= int(names.size()))
    throw EPrinterError("Printer index " + std::to_string(i) + " out of range (" +
                        std::to_string(names.size()) + " printers)");
  if (target && i == index) return;  // keep the device mode of the current printer
  if (i == -1) {
    target.reset();
  } else {
    const bool isVirtual = virtualEnabled && i == int(names.size()) - 1;
    target = isVirtual ? printing::MakeVirtualPdfTarget() : printing::InstalledPrinterSystem().Open(names[i]);
  }
  index = i;
}

printing::PrintTarget& TSystemPrinter::Impl::Target() {
  if (!target) Select(-1);
  if (!target) throw EPrinterError("No printer is available");
  return *target;
}

void TSystemPrinter::Impl::RequireIdle(const char* what) const {
  if (painter) throw EPrinterError(std::string("Cannot ") + what + " while a document is printing");
}

void TSystemPrinter::Impl::RequirePrinting(const char* what) const {
  if (!painter) throw EPrinterError(std::string("Cannot ") + what + " outside a document");
}

TSystemPrinter& TSystemPrinter::Instance() {
  static TSystemPrinter printer;
  return printer;
}

TSystemPrinter::TSystemPrinter() : d_(std::make_unique<Impl>()) {}
TSystemPrinter::~TSystemPrinter() {
  if (d_->painter) d_->target->Abort();
}

std::vector<std::string> TSystemPrinter::Printers() const { return d_->Names(); }

int TSystemPrinter::PrinterIndex() const {
  if (!d_->target) d_->Select(-1);
  return d_->index;
}

void TSystemPrinter::SetPrinterIndex(int index) { d_->Select(index); }

int TSystemPrinter::IndexOf(const std::string& name) const {
  const std::vector<std::string> names = Printers();
  const auto it = std::find(names.begin(), names.end(), name);
  return it == names.end() ? -1 : int(it - names.begin());
}

bool TSystemPrinter::SelectByName(const std::string& name) {
  const int i = IndexOf(name);
  if (i < 0) return false;
  SetPrinterIndex(i);
  return true;
}

std::string TSystemPrinter::PrinterName() const {
  const int i = PrinterIndex();
  return i < 0 ? std::string() : Printers()[i];
}

bool TSystemPrinter::IsVirtual() const {
  const int i = PrinterIndex();
  return i >= 0 && d_->virtualEnabled && i == PrinterCount() - 1;
}

void TSystemPrinter::SetVirtualPrinterEnabled(bool on) {
  if (on == d_->virtualEnabled) return;
  d_->RequireIdle("change the printer list");
  d_->virtualEnabled = on;
  d_->target.reset();  // indices moved; fall back to the default
  d_->index = -1;
}

bool TSystemPrinter::VirtualPrinterEnabled() const { return d_->virtualEnabled; }

void TSystemPrinter::SetSystemPrintersHidden(bool hidden) {
  if (hidden == d_->systemHidden) return;
  d_->RequireIdle("change the printer list");
  d_->systemHidden = hidden;
  d_->target.reset();
  d_->index = -1;
}

int TSystemPrinter::PixelsPerInchX() const { return d_->Target().Geometry().dpi; }
int TSystemPrinter::PixelsPerInchY() const { return d_->Target().Geometry().dpi; }

int TSystemPrinter::PhysicalWidth() const {
  const SheetGeometry g = d_->Target().Geometry();
  return g.sheet.fullRectPixels(g.dpi).width();
}
int TSystemPrinter::PhysicalHeight() const {
  const SheetGeometry g = d_->Target().Geometry();
  return g.sheet.fullRectPixels(g.dpi).height();
}
int TSystemPrinter::PhysicalOffsetX() const {
  const SheetGeometry g = d_->Target().Geometry();
  return g.sheet.marginsPixels(g.dpi).left();
}
int TSystemPrinter::PhysicalOffsetY() const {
  const SheetGeometry g = d_->Target().Geometry();
  return g.sheet.marginsPixels(g.dpi).top();
}
int TSystemPrinter::PrintableWidth() const {
  const SheetGeometry g = d_->Target().Geometry();
  const QMargins m = g.sheet.marginsPixels(g.dpi);
  return g.sheet.fullRectPixels(g.dpi).width() - m.left() - m.right();
}
int TSystemPrinter::PrintableHeight() const {
  const SheetGeometry g = d_->Target().Geometry();
  const QMargins m = g.sheet.marginsPixels(g.dpi);
  return g.sheet.fullRectPixels(g.dpi).height() - m.top() - m.bottom();
}

std::vector<std::string> TSystemPrinter::PaperNames() const { return d_->Target().PaperNames(); }

TDeviceMode TSystemPrinter::DeviceMode() const { return d_->Target().DeviceMode(); }

void TSystemPrinter::SetDeviceMode(const TDeviceMode& dm) {
  d_->RequireIdle("change the device mode");
  d_->Target().SetDeviceMode(dm);
}

int TSystemPrinter::Copies() const { return d_->job.copies; }
void TSystemPrinter::SetCopies(int copies) { d_->job.copies = std::max(1, copies); }
bool TSystemPrinter::Collate() const { return d_->job.collate; }
void TSystemPrinter::SetCollate(bool on) { d_->job.collate = on; }
std::string TSystemPrinter::Title() const { return d_->job.title.toStdString(); }
void TSystemPrinter::SetTitle(const std::string& title) { d_->job.title = QString::fromStdString(title); }

void TSystemPrinter::BeginDoc(const std::string& outputFile) {
  d_->RequireIdle("begin a document");
  printing::PrintTarget& target = d_->Target();
  d_->job.outputFile = QString::fromStdString(outputFile);
  d_->painter = &target.Begin(d_->job);
  d_->page = 1;
}

void TSystemPrinter::NewPage() {
  d_->RequirePrinting("start a new page");
  d_->target->NewPage();
  ++d_->page;
}

void TSystemPrinter::EndDoc() {
  d_->RequirePrinting("end a document");
  d_->painter = nullptr;
  d_->page = 0;
  d_->target->End();
}

void TSystemPrinter::Abort() {
  if (!d_->painter) return;
  d_->painter = nullptr;
  d_->page = 0;
  d_->target->Abort();
}

bool TSystemPrinter::Printing() const { return d_->painter != nullptr; }
int TSystemPrinter::PageNumber() const { return d_->page; }

}  // namespace zd
