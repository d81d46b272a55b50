// The built-in printer: a 600 dpi device that writes a PDF file. It keeps a
// quarter-inch unprintable strip on every side, like a real laser printer, so
// that code relying on printer offsets meets non-zero ones everywhere.
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>

#include "host/printing/PaperCodes.h"
#include "host/printing/PrintTarget.h"

namespace zd::printing {
namespace {

constexpr int kDpi = 600;
constexpr double kStrip = 0.25;  // inch

class VirtualPdfTarget final : public PrintTarget {
 public:
  SheetGeometry Geometry() const override {
    return {QPageLayout(page_, layoutOrientation(), QMarginsF(kStrip, kStrip, kStrip, kStrip),
                        QPageLayout::Inch),
            kDpi};
  }

  // A PDF takes any paper: the sizes with a driver paper number.
  std::vector<std::string> PaperNames() const override { return KnownPaperNames(); }

  TDeviceMode DeviceMode() const override {
    TDeviceMode dm;
    dm.PaperSize = paperCode_;
    dm.PaperWidth = WidthTenths(page_);
    dm.PaperLength = LengthTenths(page_);
    dm.PaperDimsValid = paperCode_ == CustomPaperCode;
    dm.DefaultSource = bin_;
    dm.Orientation = orientation_;
    dm.Duplex = duplex_;
    return dm;
  }

  void SetDeviceMode(const TDeviceMode& dm) override {
    CheckPaper(dm);
    CheckOrientation(dm);
    CheckDuplex(dm);
    if (dm.PaperDimsValid) {
      page_ = CustomPageSize(dm.PaperWidth, dm.PaperLength);
      paperCode_ = CustomPaperCode;
    } else if (dm.PaperSizeValid && dm.PaperSize != CustomPaperCode) {
      page_ = *PageSizeForCode(dm.PaperSize);
      paperCode_ = dm.PaperSize;
    }
    if (dm.OrientationValid) orientation_ = dm.Orientation;
    if (dm.DuplexValid) duplex_ = dm.Duplex;
    if (dm.DefaultSourceValid) bin_ = dm.DefaultSource;
  }

  QPainter& Begin(const JobOptions& job) override {
    if (job.outputFile.isEmpty())
      throw EPrinterError(std::string(TSystemPrinter::VirtualPrinterName) +
                          " needs an output file name");
    writer_ = std::make_unique<QPdfWriter>(job.outputFile);
    writer_->setResolution(kDpi);
    writer_->setTitle(job.title);
    writer_->setCreator(QStringLiteral("ZdReport"));
    writer_->setPageLayout(QPageLayout(page_, layoutOrientation(), QMarginsF()));
    if (!painter_.begin(writer_.get())) {
      writer_.reset();
      throw EPrinterError("Cannot write the PDF file " + job.outputFile.toStdString());
    }
    file_ = job.outputFile;
    return painter_;
  }

  void NewPage() override { writer_->newPage(); }

  void End() override {
    painter_.end();
    writer_.reset();
  }

  void Abort() override {
    End();
    QFile::remove(file_);
  }

 private:
  QPageLayout::Orientation layoutOrientation() const {
    return orientation_ == 2 ? QPageLayout::Landscape : QPageLayout::Portrait;
  }

  QPageSize page_{QPageSize::A4};
  int paperCode_ = 9;
  int orientation_ = 1;
  int duplex_ = 1;
  int bin_ = 7;
  std::unique_ptr<QPdfWriter> writer_;
  QPainter painter_;
  QString file_;
};

}  // namespace

std::unique_ptr<PrintTarget> MakeVirtualPdfTarget() { return std::make_unique<VirtualPdfTarget>(); }

}  // namespace zd::printing
