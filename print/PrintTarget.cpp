#include "print/PrintTarget.h"

#include <stdexcept>

#include "host/emf/detail/MetafilePlayer.h"
#include "host/printing/PrinterPainter.h"

namespace zd {

TSystemPrintTarget::TSystemPrintTarget(TSystemPrinter& printer, std::string pdfOutputFile)
    : printer_(printer), pdfOutputFile_(std::move(pdfOutputFile)) {}

void TSystemPrintTarget::BeginDoc(const std::string& title) {
  if (printer_.IsVirtual() && pdfOutputFile_.empty())
    throw EPrinterError("No output file given for the virtual PDF printer");
  printer_.SetTitle(title);
  printer_.BeginDoc(pdfOutputFile_);
}

void TSystemPrintTarget::DrawPage(const TMetafile& page) {
  QPainter* painter = PrinterPainter(printer_);
  if (!painter) throw EPrinterError("Drawing a page outside a printer document");
  // Pages are paper-sized, and the painter's origin is the paper's corner.
  PlayMetafile(page, *painter, QRectF(0, 0, printer_.PhysicalWidth(), printer_.PhysicalHeight()));
}

void TSystemPrintTarget::NewPage() { printer_.NewPage(); }
void TSystemPrintTarget::EndDoc() { printer_.EndDoc(); }
void TSystemPrintTarget::Abort() { printer_.Abort(); }
int TSystemPrintTarget::Copies() const { return printer_.Copies(); }
void TSystemPrintTarget::SetCopies(int copies) { printer_.SetCopies(copies); }

}  // namespace zd
