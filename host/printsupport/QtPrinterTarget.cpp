// A system (CUPS) printer through QPrinter. Paper sizes and sources the
// driver does not offer are left alone, as a driver would.
// Qt hands paper size, orientation, duplex and copies to CUPS itself; the
// paper source it does not, so it goes as the standard InputSlot option.
// Qt also does not say when CUPS refuses a job: libcups, which Qt submits
// through, still holds the answer afterwards.
#include "host/printsupport/QtPrinterTarget.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPrintEngine>
#include <algorithm>
#ifdef ZD_HAVE_CUPS
#include <cups/cups.h>
#endif

#include "host/printing/PaperCodes.h"

namespace zd::printing {
namespace {

struct BinEntry {
  int code;
  QPrinter::PaperSource source;
  const char* inputSlot;  // the standard printer-description keyword
};
constexpr BinEntry kBins[] = {
    {1, QPrinter::Upper, "Upper"},
    {2, QPrinter::Lower, "Lower"},
    {3, QPrinter::Middle, "Middle"},
    {4, QPrinter::Manual, "Manual"},
    {5, QPrinter::Envelope, "Envelope"},
    {6, QPrinter::EnvelopeManual, "EnvManual"},
    {7, QPrinter::Auto, "Auto"},
    {8, QPrinter::Tractor, "Tractor"},
    {9, QPrinter::SmallFormat, "SmallFormat"},
    {10, QPrinter::LargeFormat, "LargeFormat"},
    {11, QPrinter::LargeCapacity, "LargeCapacity"},
    {14, QPrinter::Cassette, "Cassette"},
    {15, QPrinter::FormSource, "FormSource"},
};

// The print-engine key under which Qt's CUPS backend takes extra job
// options, as name, value, name, value, ...
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

class QtPrinterTarget final : public PrintTarget {
 public:
  explicit QtPrinterTarget(const QString& name)
      : info_(QPrinterInfo::printerInfo(name)), printer_(info_, QPrinter::HighResolution) {
    if (!printer_.isValid()) throw EPrinterError("Printer " + name.toStdString() + " is not available");
    printer_.setFullPage(true);
  }

  SheetGeometry Geometry() const override {
    QPageLayout layout = printer_.pageLayout();
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(layout.minimumMargins());
    return {layout, printer_.resolution()};
  }

  std::vector<std::string> PaperNames() const override {
    std::vector<std::string> names;
    for (const QPageSize& size : info_.supportedPageSizes()) names.push_back(size.name().toStdString());
    return names;
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
      if (bin != std::end(kBins) && bin->source != printer_.paperSource()) {
        printer_.setPaperSource(bin->source);
        inputSlot_ = QString::fromLatin1(bin->inputSlot);
      }
    }
  }

  QPainter& Begin(const JobOptions& job) override {
    printer_.setCopyCount(job.copies);
    printer_.setCollateCopies(job.collate);
    printer_.setDocName(job.title);
    printer_.setOutputFileName(job.outputFile);
    if (!inputSlot_.isEmpty())
      printer_.printEngine()->setProperty(kCupsOptions, QStringList{QStringLiteral("InputSlot"), inputSlot_});
    if (!painter_.begin(&printer_))
      throw EPrinterError("Cannot start printing on " + printer_.printerName().toStdString());
    return painter_;
  }

  void NewPage() override { printer_.newPage(); }
  void End() override {
    painter_.end();
    if (printer_.outputFileName().isEmpty()) requireAccepted();
  }
  void Abort() override {
    printer_.abort();
    painter_.end();
  }

 private:
  void requireAccepted() const {
#ifdef ZD_HAVE_CUPS
    if (cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
      throw EPrinterError("The print system did not take the job for " + printer_.printerName().toStdString() +
                          ": " + cupsLastErrorString());
#endif
  }

  QPrinterInfo info_;
  QPrinter printer_;
  QPainter painter_;
  QString inputSlot_;  // the paper source chosen, for CUPS
};

}  // namespace

std::unique_ptr<PrintTarget> MakeQtPrinterTarget(const std::string& printerName) {
  return std::make_unique<QtPrinterTarget>(QString::fromStdString(printerName));
}

}  // namespace zd::printing
