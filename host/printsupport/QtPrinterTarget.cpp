// A system (CUPS) printer through QPrinter. Paper sizes and sources the
// driver does not offer are left alone, as a driver would.
#include "host/printsupport/QtPrinterTarget.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "host/printing/PaperCodes.h"

namespace zd::printing {
namespace {

struct BinEntry {
  int code;
  QPrinter::PaperSource source;
};
constexpr BinEntry kBins[] = {
    {1, QPrinter::Upper},          {2, QPrinter::Lower},         {3, QPrinter::Middle},
    {4, QPrinter::Manual},         {5, QPrinter::Envelope},      {6, QPrinter::EnvelopeManual},
    {7, QPrinter::Auto},           {8, QPrinter::Tractor},       {9, QPrinter::SmallFormat},
    {10, QPrinter::LargeFormat},   {11, QPrinter::LargeCapacity}, {14, QPrinter::Cassette},
    {15, QPrinter::FormSource},
};

class QtPrinterTarget final : public PrintTarget {
 public:
  explicit QtPrinterTarget(const QString& name)
      : printer_(QPrinterInfo::printerInfo(name), QPrinter::HighResolution) {
    if (!printer_.isValid()) throw EPrinterError("Printer " + name.toStdString() + " is not available");
    printer_.setFullPage(true);
  }

  SheetGeometry Geometry() const override {
    QPageLayout layout = printer_.pageLayout();
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(layout.minimumMargins());
    return {layout, printer_.resolution()};
  }

  TDeviceMode DeviceMode() const override {
    const QPageLayout layout = printer_.pageLayout();
    TDeviceMode dm;
    dm.PaperSize = CodeForPageSize(layout.pageSize());
    dm.PaperWidth = WidthTenths(layout.pageSize());
    dm.PaperLength = LengthTenths(layout.pageSize());
    dm.PaperDimsValid = dm.PaperSize == CustomPaperCode;
    dm.Orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    switch (printer_.duplex()) {
      case QPrinter::DuplexNone: dm.Duplex = 1; break;
      case QPrinter::DuplexShortSide: dm.Duplex = 3; break;
      default: dm.Duplex = 2; break;
    }
    const auto bin = std::find_if(std::begin(kBins), std::end(kBins), [&](const BinEntry& b) {
      return b.source == printer_.paperSource();
    });
    dm.DefaultSourceValid = bin != std::end(kBins);
    if (dm.DefaultSourceValid) dm.DefaultSource = bin->code;
    return dm;
  }

  void SetDeviceMode(const TDeviceMode& dm) override {
    CheckPaper(dm);
    CheckOrientation(dm);
    CheckDuplex(dm);
    if (dm.PaperDimsValid)
      printer_.setPageSize(CustomPageSize(dm.PaperWidth, dm.PaperLength));
    else if (dm.PaperSizeValid && dm.PaperSize != CustomPaperCode)
      printer_.setPageSize(*PageSizeForCode(dm.PaperSize));
    if (dm.OrientationValid)
      printer_.setPageOrientation(dm.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (dm.DuplexValid) {
      static constexpr QPrinter::DuplexMode modes[] = {QPrinter::DuplexNone, QPrinter::DuplexLongSide,
                                                       QPrinter::DuplexShortSide};
      printer_.setDuplex(modes[dm.Duplex - 1]);
    }
    if (dm.DefaultSourceValid) {
      const auto bin = std::find_if(std::begin(kBins), std::end(kBins),
                                    [&](const BinEntry& b) { return b.code == dm.DefaultSource; });
      if (bin != std::end(kBins))
        printer_.setPaperSource(bin->source);
    }
  }

  QPainter& Begin(const JobOptions& job) override {
    printer_.setCopyCount(job.copies);
    printer_.setCollateCopies(job.collate);
    printer_.setDocName(job.title);
    printer_.setOutputFileName(job.outputFile);
    if (!painter_.begin(&printer_))
      throw EPrinterError("Cannot start printing on " + printer_.printerName().toStdString());
    return painter_;
  }

  void NewPage() override { printer_.newPage(); }
  void End() override { painter_.end(); }
  void Abort() override {
    printer_.abort();
    painter_.end();
  }

 private:
  QPrinter printer_;
  QPainter painter_;
};

}  // namespace

std::unique_ptr<PrintTarget> MakeQtPrinterTarget(const std::string& printerName) {
  return std::make_unique<QtPrinterTarget>(QString::fromStdString(printerName));
}

}  // namespace zd::printing
