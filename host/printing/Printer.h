#pragma once
// The system printer: list and selection, page geometry in device pixels,
// device-mode settings and the document/page cycle. Qt stays in Printer.cpp;
// host code that paints on the page includes PrinterPainter.h.
#include <memory>
#include <string>
#include <vector>

#include "host/core/Errors.h"

namespace zd {

class EPrinterError : public EZdError {
 public:
  using EZdError::EZdError;
};

// Device-mode record with the classic driver codes: paper DMPAPER_* numbers,
// sizes in tenths of a millimetre, DMBIN_* sources, orientation 1 = portrait,
// 2 = landscape, duplex 1 = simplex, 2 = long edge, 3 = short edge.
struct TDeviceMode {
  int PaperSize = 9;
  bool PaperSizeValid = true;
  int PaperWidth = 2100, PaperLength = 2970;
  bool PaperDimsValid = false;  // set when PaperWidth/PaperLength rule
  int DefaultSource = 7;
  bool DefaultSourceValid = true;
  int Orientation = 1;
  bool OrientationValid = true;
  int Duplex = 1;
  bool DuplexValid = true;
};

class TSystemPrinter {
 public:
  static constexpr const char* VirtualPrinterName = "Virtual PDF Printer";

  static TSystemPrinter& Instance();
  TSystemPrinter();
  ~TSystemPrinter();
  TSystemPrinter(const TSystemPrinter&) = delete;
  TSystemPrinter& operator=(const TSystemPrinter&) = delete;

  // The installed printer system's printers (PrinterSystem.h), followed by
  // the virtual PDF printer (when enabled).
  std::vector<std::string> Printers() const;
  int PrinterCount() const { return int(Printers().size()); }
  // Index into Printers(); setting -1 selects the system default (or the
  // virtual printer when the system has none). Out of range throws.
  int PrinterIndex() const;
  void SetPrinterIndex(int index);
  int IndexOf(const std::string& name) const;  // -1 when absent
  bool SelectByName(const std::string& name);
  std::string PrinterName() const;
  bool IsVirtual() const;

  // Test hooks: with both off the system appears to have no printer.
  void SetVirtualPrinterEnabled(bool on);
  bool VirtualPrinterEnabled() const;
  void SetSystemPrintersHidden(bool hidden);

  // Geometry in device pixels of the selected printer and its paper.
  int PixelsPerInchX() const;
  int PixelsPerInchY() const;
  int PhysicalWidth() const;
  int PhysicalHeight() const;
  int PhysicalOffsetX() const;
  int PhysicalOffsetY() const;
  int PrintableWidth() const;
  int PrintableHeight() const;

  // Paper sizes the selected printer offers, by name.
  std::vector<std::string> PaperNames() const;
  TDeviceMode DeviceMode() const;
  void SetDeviceMode(const TDeviceMode& dm);
  int Copies() const;
  void SetCopies(int copies);
  bool Collate() const;
  void SetCollate(bool on);
  std::string Title() const;
  void SetTitle(const std::string& title);

  // outputFile is where the virtual printer writes its PDF (required for it;
  // a real printer prints to a file when one is given).
  void BeginDoc(const std::string& outputFile = {});
  void NewPage();
  void EndDoc();
  void Abort();
  bool Printing() const;
  int PageNumber() const;  // 1-based page being drawn, 0 outside a document

  struct Impl;
  Impl* impl() const { return d_.get(); }

 private:
  std::unique_ptr<Impl> d_;
};

// Screen resolution that page units are based on: fixed at 96.
constexpr int ScreenPixelsPerInch() { return 96; }

}  // namespace zd
