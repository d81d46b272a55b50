#pragma once
// One selectable output device behind TSystemPrinter: a printer of the
// installed printer system (PrinterSystem.h) or the built-in PDF writer.
// Qt-side; TSystemPrinter turns what a target reports into device pixels and
// device-mode records.
#include <QPageLayout>
#include <QPainter>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "host/printing/Printer.h"

namespace zd::printing {

// The sheet as the device sees it, oriented as it will come out; the
// layout's margins are the strips the device cannot print on. Pixel sizes
// come from the layout, so they are exactly what the device's painter gets.
struct SheetGeometry {
  QPageLayout sheet;
  int dpi = 0;
};

// Options a document is started with.
struct JobOptions {
  int copies = 1;
  bool collate = false;
  QString title;
  QString outputFile;
};

class PrintTarget {
 public:
  virtual ~PrintTarget() = default;
  virtual SheetGeometry Geometry() const = 0;
  // Names of the paper sizes the device offers, such as "A4".
  virtual std::vector<std::string> PaperNames() const = 0;
  virtual TDeviceMode DeviceMode() const = 0;
  // Throws EPrinterError for values no device mode can hold.
  virtual void SetDeviceMode(const TDeviceMode& dm) = 0;

  // The painter of the first page, origin at the paper's corner, in device
  // pixels. Throws EPrinterError when the document cannot be started.
  virtual QPainter& Begin(const JobOptions& job) = 0;
  virtual void NewPage() = 0;
  virtual void End() = 0;
  virtual void Abort() = 0;
};

std::unique_ptr<PrintTarget> MakeVirtualPdfTarget();

// Checks shared by every target; each throws EPrinterError with the reason.
void CheckOrientation(const TDeviceMode& dm);
void CheckDuplex(const TDeviceMode& dm);
void CheckPaper(const TDeviceMode& dm);

}  // namespace zd::printing
