// The system printer layer on its built-in PDF printer: geometry in device
// pixels, device-mode changes, the document cycle and the no-printer state.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinterInfo>
#include <filesystem>

#include "tests/Fixtures.h"
#include "host/printing/PaperCodes.h"
#include "host/printing/Printer.h"
#include "host/printing/PrinterPainter.h"
#include "host/printing/PrinterSystem.h"
#include "host/printsupport/SystemPrinters.h"
#include "tests/TempPath.h"

using namespace zd;

namespace {

// Only the virtual printer, whatever CUPS has installed.
struct VirtualOnly : ::testing::Test {
  VirtualOnly() { printer.SetSystemPrintersHidden(true); }
  TSystemPrinter printer;
};

std::string TempPdf(const char* name) { return zd::test::UniqueTempPath(name).string(); }

}  // namespace

TEST_F(VirtualOnly, IsListedAndSelectedByDefault) {
  ASSERT_EQ(printer.Printers(), std::vector<std::string>{"Virtual PDF Printer"});
  EXPECT_EQ(printer.PrinterIndex(), 0);
  EXPECT_TRUE(printer.IsVirtual());
  EXPECT_EQ(printer.PrinterName(), "Virtual PDF Printer");
  EXPECT_EQ(printer.IndexOf("Virtual PDF Printer"), 0);
  EXPECT_EQ(printer.IndexOf("No such printer"), -1);
  EXPECT_FALSE(printer.SelectByName("No such printer"));
  EXPECT_THROW(printer.SetPrinterIndex(1), EPrinterError);
  EXPECT_THROW(printer.SetPrinterIndex(-2), EPrinterError);
}

TEST_F(VirtualOnly, A4At600DpiWithQuarterInchStrips) {
  EXPECT_EQ(printer.PixelsPerInchX(), 600);
  EXPECT_EQ(printer.PixelsPerInchY(), 600);
  // The PDF sheet is 595 x 842 pt; a quarter inch is 150 pixels.
  EXPECT_EQ(printer.PhysicalWidth(), 595 * 600 / 72);
  EXPECT_EQ(printer.PhysicalHeight(), 7017);  // 842 pt = 7016.7 px
  EXPECT_EQ(printer.PhysicalOffsetX(), 150);
  EXPECT_EQ(printer.PhysicalOffsetY(), 150);
  EXPECT_EQ(printer.PrintableWidth(), printer.PhysicalWidth() - 300);
  EXPECT_EQ(printer.PrintableHeight(), printer.PhysicalHeight() - 300);
  const TDeviceMode dm = printer.DeviceMode();
  EXPECT_EQ(dm.PaperSize, 9);
  EXPECT_EQ(dm.PaperWidth, 2100);
  EXPECT_EQ(dm.PaperLength, 2970);
  EXPECT_EQ(dm.Orientation, 1);
}

TEST_F(VirtualOnly, DeviceModeChangesPaperAndOrientation) {
  TDeviceMode dm = printer.DeviceMode();
  dm.PaperSize = 1;  // Letter, 8.5 x 11 in
  printer.SetDeviceMode(dm);
  EXPECT_EQ(printer.PhysicalWidth(), 5100);
  EXPECT_EQ(printer.PhysicalHeight(), 6600);

  dm.Orientation = 2;
  printer.SetDeviceMode(dm);
  EXPECT_EQ(printer.PhysicalWidth(), 6600);
  EXPECT_EQ(printer.PhysicalHeight(), 5100);
  EXPECT_EQ(printer.PrintableWidth(), 6600 - 300);
  EXPECT_EQ(printer.DeviceMode().Orientation, 2);
  EXPECT_EQ(printer.DeviceMode().PaperSize, 1);

  // Fields not marked valid are left alone.
  TDeviceMode partial;
  partial.PaperSizeValid = partial.OrientationValid = partial.DuplexValid = false;
  partial.DefaultSourceValid = false;
  partial.PaperSize = 8;
  printer.SetDeviceMode(partial);
  EXPECT_EQ(printer.DeviceMode().PaperSize, 1);
  EXPECT_EQ(printer.PhysicalWidth(), 6600);
}

TEST_F(VirtualOnly, CustomAndTransversePapers) {
  TDeviceMode dm = printer.DeviceMode();
  dm.PaperDimsValid = true;
  dm.PaperWidth = 1000;  // 100 mm
  dm.PaperLength = 1500;
  printer.SetDeviceMode(dm);
  // 100 x 150 mm is 2362 x 3543 pixels, give or take the sheet's whole points.
  EXPECT_NEAR(printer.PhysicalWidth(), 2362, 600 / 72);
  EXPECT_NEAR(printer.PhysicalHeight(), 3543, 600 / 72);
  TDeviceMode back = printer.DeviceMode();
  EXPECT_EQ(back.PaperSize, 256);
  EXPECT_TRUE(back.PaperDimsValid);
  EXPECT_EQ(back.PaperWidth, 1000);
  EXPECT_EQ(back.PaperLength, 1500);

  TDeviceMode transverse;
  transverse.PaperSize = 55;  // A4 on its side
  printer.SetDeviceMode(transverse);
  EXPECT_EQ(printer.PhysicalWidth(), 7017);
  EXPECT_EQ(printer.PhysicalHeight(), 4958);
  EXPECT_EQ(printer.DeviceMode().PaperSize, 55);
}

TEST_F(VirtualOnly, DuplexBinAndCopiesAreKept) {
  TDeviceMode dm = printer.DeviceMode();
  dm.Duplex = 3;
  dm.DefaultSource = 4;
  printer.SetDeviceMode(dm);
  printer.SetPrinterIndex(0);  // selecting the current printer keeps its device mode
  EXPECT_EQ(printer.DeviceMode().Duplex, 3);
  EXPECT_EQ(printer.DeviceMode().DefaultSource, 4);
  printer.SetVirtualPrinterEnabled(false);  // a fresh device starts from its defaults
  printer.SetVirtualPrinterEnabled(true);
  EXPECT_EQ(printer.DeviceMode().Duplex, 1);

  for (int bad : {0, -3}) {
    printer.SetCopies(bad);
    EXPECT_EQ(printer.Copies(), 1) << bad;
  }
}

TEST_F(VirtualOnly, BadDeviceModesAreRefusedWithoutChange) {
  const auto with = [&](auto change) {
    TDeviceMode dm = printer.DeviceMode();
    change(dm);
    return dm;
  };
  EXPECT_THROW(printer.SetDeviceMode(with([](TDeviceMode& d) { d.Orientation = 3; })), EPrinterError);
  EXPECT_THROW(printer.SetDeviceMode(with([](TDeviceMode& d) { d.Duplex = 0; })), EPrinterError);
  EXPECT_THROW(printer.SetDeviceMode(with([](TDeviceMode& d) { d.PaperSize = 999; })), EPrinterError);
  EXPECT_THROW(printer.SetDeviceMode(with([](TDeviceMode& d) {
                 d.PaperDimsValid = true;
                 d.PaperWidth = 0;
               })),
               EPrinterError);
  EXPECT_EQ(printer.DeviceMode().PaperSize, 9);
  EXPECT_EQ(printer.DeviceMode().Orientation, 1);
  EXPECT_EQ(printer.DeviceMode().Duplex, 1);
}

TEST_F(VirtualOnly, DocumentCycleWritesPdfAndAbortDiscardsIt) {
  test::ensureGuiApp();
  const std::string file = TempPdf("zd_printer_cycle.pdf");
  std::filesystem::remove(file);
  EXPECT_EQ(PrinterPainter(printer), nullptr);
  EXPECT_THROW(printer.NewPage(), EPrinterError);
  EXPECT_THROW(printer.EndDoc(), EPrinterError);
  EXPECT_THROW(printer.BeginDoc(), EPrinterError);  // the PDF needs a file name
  EXPECT_THROW(printer.BeginDoc("/nonexistent-dir/x.pdf"), EPrinterError);
  EXPECT_FALSE(printer.Printing());

  printer.BeginDoc(file);
  EXPECT_TRUE(printer.Printing());
  EXPECT_EQ(printer.PageNumber(), 1);
  QPainter* painter = PrinterPainter(printer);
  ASSERT_NE(painter, nullptr);
  // Device pixels with the origin at the paper corner.
  EXPECT_EQ(painter->device()->width(), printer.PhysicalWidth());
  EXPECT_EQ(painter->device()->height(), printer.PhysicalHeight());
  painter->drawRect(150, 150, 1000, 1000);
  EXPECT_THROW(printer.BeginDoc(file), EPrinterError);
  EXPECT_THROW(printer.SetDeviceMode(printer.DeviceMode()), EPrinterError);
  EXPECT_THROW(printer.SetPrinterIndex(0), EPrinterError);
  printer.NewPage();
  EXPECT_EQ(printer.PageNumber(), 2);
  printer.EndDoc();
  EXPECT_FALSE(printer.Printing());
  EXPECT_EQ(printer.PageNumber(), 0);
  EXPECT_EQ(PrinterPainter(printer), nullptr);

  QFile pdf(QString::fromStdString(file));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.readAll().startsWith("%PDF-"));

  const std::string aborted = TempPdf("zd_printer_abort.pdf");
  printer.BeginDoc(aborted);
  printer.Abort();
  EXPECT_FALSE(printer.Printing());
  EXPECT_FALSE(std::filesystem::exists(aborted));
  printer.Abort();  // nothing to abort: no effect
}

// Two system printers, the second the default; opening one gives a PDF device.
class TwoSystemPrinters : public ::testing::Test, public printing::PrinterSystem {
 protected:
  TwoSystemPrinters() { printing::SetPrinterSystem(this); }
  ~TwoSystemPrinters() override { printing::SetPrinterSystem(nullptr); }
  std::vector<std::string> PrinterNames() const override { return {"Office", "Lab"}; }
  std::string DefaultPrinterName() const override { return "Lab"; }
  std::unique_ptr<printing::PrintTarget> Open(const std::string& name) const override {
    opened.push_back(name);
    return printing::MakeVirtualPdfTarget();
  }
  mutable std::vector<std::string> opened;
};

TEST_F(TwoSystemPrinters, ComeFirstWithTheDefaultSelectedAndTheVirtualOneLast) {
  TSystemPrinter printer;
  EXPECT_EQ(printer.Printers(), (std::vector<std::string>{"Office", "Lab", TSystemPrinter::VirtualPrinterName}));
  EXPECT_EQ(printer.PrinterName(), "Lab");
  EXPECT_FALSE(printer.IsVirtual());
  printer.SetPrinterIndex(0);
  printer.SetPrinterIndex(2);
  EXPECT_TRUE(printer.IsVirtual());
  EXPECT_EQ(opened, (std::vector<std::string>{"Lab", "Office"}));

  printing::SetPrinterSystem(nullptr);  // the core alone knows no system printer
  EXPECT_EQ(TSystemPrinter().Printers(), std::vector<std::string>{TSystemPrinter::VirtualPrinterName});
}

TEST(SystemPrinters, AreThoseOfQtPrintSupportOnceInstalled) {
  InstallSystemPrinters();
  TSystemPrinter printer;
  const std::vector<std::string> names = printer.Printers();
  printing::SetPrinterSystem(nullptr);
  const QStringList system = QPrinterInfo::availablePrinterNames();
  ASSERT_EQ(names.size(), size_t(system.size()) + 1);
  for (int i = 0; i < system.size(); ++i) EXPECT_EQ(names[i], system[i].toStdString());
  EXPECT_EQ(names.back(), TSystemPrinter::VirtualPrinterName);
}

TEST(NoPrinter, EmptyListAndGeometryThrows) {
  TSystemPrinter printer;
  printer.SetSystemPrintersHidden(true);
  printer.SetVirtualPrinterEnabled(false);
  EXPECT_TRUE(printer.Printers().empty());
  EXPECT_EQ(printer.PrinterIndex(), -1);
  EXPECT_EQ(printer.PrinterName(), "");
  EXPECT_FALSE(printer.IsVirtual());
  EXPECT_THROW(printer.PhysicalWidth(), EPrinterError);
  EXPECT_THROW(printer.PixelsPerInchY(), EPrinterError);
  EXPECT_THROW(printer.PrintableHeight(), EPrinterError);
  EXPECT_THROW(printer.DeviceMode(), EPrinterError);
  EXPECT_THROW(printer.BeginDoc("x.pdf"), EPrinterError);
  EXPECT_THROW(printer.SetPrinterIndex(0), EPrinterError);

  printer.SetVirtualPrinterEnabled(true);
  EXPECT_EQ(printer.PrinterCount(), 1);
  EXPECT_EQ(printer.PhysicalWidth(), 4958);
}

TEST(PaperCodes, DriverNumbersMatchTheirSheets) {
  using namespace zd::printing;
  struct Sheet {
    int code, width, length;  // tenths of a millimetre
  };
  // Sizes of the driver paper numbers, rounded to whole millimetres where the
  // sheet is defined in inches.
  const Sheet sheets[] = {{1, 2159, 2794},  {3, 2794, 4318},  {4, 4318, 2794}, {5, 2159, 3556},
                          {6, 1397, 2159},  {7, 1905, 2540},  {8, 2970, 4200}, {9, 2100, 2970},
                          {11, 1480, 2100}, {13, 1820, 2570}, {14, 2159, 3302}, {15, 2150, 2750},
                          {16, 2540, 3556}, {20, 1048, 2413}, {55, 2970, 2100}, {66, 4200, 5940},
                          {67, 4200, 2970}};
  for (const Sheet& s : sheets) {
    const auto page = PageSizeForCode(s.code);
    ASSERT_TRUE(page) << s.code;
    EXPECT_NEAR(WidthTenths(*page), s.width, 10) << s.code;
    EXPECT_NEAR(LengthTenths(*page), s.length, 10) << s.code;
    EXPECT_EQ(CodeForPageSize(*page), s.code) << s.code;
  }
  EXPECT_FALSE(PageSizeForCode(256));
  EXPECT_FALSE(PageSizeForCode(0));
  EXPECT_EQ(CodeForPageSize(CustomPageSize(1234, 2345)), CustomPaperCode);
  EXPECT_EQ(CodeForPageSize(*PageSizeForCode(17)), 3);  // 11 x 17 is the tabloid sheet
}
