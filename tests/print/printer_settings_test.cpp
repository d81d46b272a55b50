// Component printer settings against the built-in 600 dpi PDF printer
// (quarter-inch unprintable strips): paper table, orientation, page units,
// margins and the transfer of settings to and from the printer.
#include <gtest/gtest.h>

#include <functional>

#include "host/printing/Printer.h"
#include "print/ZdPrntr.h"

using namespace zd;
using PS = TZdqPaperSize;
using Orient = TZdqPrinterOrientation;

namespace {

struct OnVirtualPrinter : ::testing::Test {
  OnVirtualPrinter() { printer.SetSystemPrintersHidden(true); }
  TSystemPrinter printer;
  TZdqPrinter settings{&printer};
};

}  // namespace

TEST(PaperTable, SizesCodesAndBins) {
  struct Row {
    PS ps;
    int w, h, code;
  };
  const Row rows[] = {{PS::psDefault, 0, 0, 0},         {PS::psLetter, 2159, 2794, 1},
                      {PS::psLedger, 4318, 2794, 4},    {PS::psExecutive, 1905, 2540, 7},
                      {PS::psA2, 4200, 5940, 66},       {PS::psA3Transverse, 4200, 2970, 67},
                      {PS::psA4, 2100, 2970, 9},        {PS::psA4Transverse, 2970, 2100, 55},
                      {PS::psB5, 1820, 2570, 13},       {PS::psNote, 2159, 2790, 18},
                      {PS::psEnv9, 984, 2254, 19},      {PS::psEnv14, 1270, 2921, 23},
                      {PS::psESheet, 1000, 1000, 26},   {PS::psCustom, 0, 1, 256}};
  for (const Row& r : rows) {
    const TZdqPaperInfo& info = PaperInfo(r.ps);
    EXPECT_EQ(info.width, r.w) << int(r.ps);
    EXPECT_EQ(info.height, r.h) << int(r.ps);
    EXPECT_EQ(info.code, r.code) << int(r.ps);
  }
  EXPECT_THROW(PaperInfo(TZdqPaperSize(99)), std::invalid_argument);

  EXPECT_EQ(BinCode(TZdqBin::sbDefault), 256);
  EXPECT_EQ(BinCode(TZdqBin::sbFirst), 1);
  EXPECT_EQ(BinCode(TZdqBin::sbUpper), 1);
  EXPECT_EQ(BinCode(TZdqBin::sbLargeCapacity), 11);
  EXPECT_EQ(BinCode(TZdqBin::sbCassette), 14);
  EXPECT_EQ(BinCode(TZdqBin::sbLast), 15);
}

TEST(PaperUnits, TenthsOfMillimetreAndPageUnits) {
  EXPECT_EQ(TenthsMmToPageUnits(254), 96);  // one inch
  EXPECT_EQ(TenthsMmToPageUnits(2100), 794);
  EXPECT_EQ(TenthsMmToPageUnits(2970), 1123);
  EXPECT_EQ(PageUnitsToTenthsMm(96), 254);
  EXPECT_EQ(PageUnitsToTenthsMm(24), 64);  // 63.5 rounds up

  TZdqPrinter p;  // no printer needed for table sizes
  p.SetPaperSize(PS::psA4);
  EXPECT_EQ(p.PaperWidthPixels(), 794);
  EXPECT_EQ(p.PaperHeightPixels(), 1123);
}

TEST(Orientation, SwapsOnlyBetweenPortraitAndLandscape) {
  TZdqPrinter p;
  p.SetPaperSize(PS::psA4);
  // From the default no swap; landscape twice swaps once.
  const std::pair<Orient, int> steps[] = {{Orient::spoLandscape, 2100}, {Orient::spoDefault, 2100},
                                          {Orient::spoPortrait, 2100},  {Orient::spoLandscape, 2970},
                                          {Orient::spoLandscape, 2970}, {Orient::spoPortrait, 2100}};
  for (const auto& [orientation, width] : steps) {
    p.SetOrientation(orientation);
    EXPECT_EQ(p.PaperSizeWidth(), width) << int(orientation);
    EXPECT_EQ(p.PaperSizeHeight(), 5070 - width) << int(orientation);
  }
  EXPECT_EQ(p.Orientation(), Orient::spoPortrait);
}

TEST_F(OnVirtualPrinter, A4PageUnitsAndQuarterInchOffsets) {
  EXPECT_EQ(settings.GetPixelsPerInchX(), 600);
  EXPECT_EQ(settings.GetPixelsPerInchY(), 600);
  EXPECT_EQ(TZdqPrinter::GetScreenPPI(), 96);
  // 4958 x 7017 device pixels, truncated to page units.
  EXPECT_EQ(settings.GetPageWidth(), 793);
  EXPECT_EQ(settings.GetPageHeight(), 1122);
  EXPECT_EQ(settings.GetPageOffsetLeft(), 24);
  EXPECT_EQ(settings.GetPageOffsetTop(), 24);
  EXPECT_EQ(settings.GetPageOffsetRight(), 24);
  EXPECT_EQ(settings.GetPageOffsetBottom(), 24);

  // The default paper is the printer's: A4 exactly, not rounded pixels.
  EXPECT_EQ(settings.PaperSizeWidth(), 2100);
  EXPECT_EQ(settings.PaperSizeHeight(), 2970);
  EXPECT_EQ(settings.PaperWidthPixels(), 794);
  EXPECT_EQ(settings.PaperHeightPixels(), 1123);
}

TEST_F(OnVirtualPrinter, UserMarginsOnlyWidenThePrinterStrip) {
  TZdqPageMargins m;
  m.SetByDefault(false);
  m.SetLeft(10);     // 1 mm: inside the strip
  m.SetTop(500);     // 50 mm
  m.SetRight(30);    // 3 mm: inside the strip
  m.SetBottom(200);  // 20 mm
  settings.SetMargins(m);
  EXPECT_EQ(settings.GetPageOffsetLeft(), 24);
  EXPECT_EQ(settings.GetPageOffsetTop(), 189);
  EXPECT_EQ(settings.GetPageOffsetRight(), 24);
  EXPECT_EQ(settings.GetPageOffsetBottom(), 76);

  settings.Margins().SetRight(200);
  settings.Margins().SetLeft(100);
  EXPECT_EQ(settings.GetPageOffsetRight(), 76);
  EXPECT_EQ(settings.GetPageOffsetLeft(), 38);

  settings.Margins().SetByDefault(true);  // the user's numbers are then ignored
  EXPECT_EQ(settings.GetPageOffsetTop(), 24);
  EXPECT_EQ(settings.GetPageOffsetBottom(), 24);
}

TEST_F(OnVirtualPrinter, LetterThroughTheDeviceMode) {
  settings.SetPaperSize(PS::psLetter);
  settings.SetPrinterSettings();
  EXPECT_EQ(printer.DeviceMode().PaperSize, 1);
  EXPECT_EQ(printer.PhysicalWidth(), 5100);  // 8.5 x 11 in at 600 dpi
  EXPECT_EQ(printer.PhysicalHeight(), 6600);
  EXPECT_EQ(settings.GetPageWidth(), 816);
  EXPECT_EQ(settings.GetPageHeight(), 1056);

  TZdqPrinter read(&printer);
  read.GetPrinterSettings();
  EXPECT_EQ(read.PaperSize(), PS::psLetter);
  EXPECT_EQ(read.PaperSizeWidth(), 2159);
  EXPECT_EQ(read.PaperSizeHeight(), 2794);
}

TEST_F(OnVirtualPrinter, SettingsRoundTrip) {
  settings.SetPaperSize(PS::psA5);
  settings.SetOrientation(Orient::spoPortrait);
  settings.SetOrientation(Orient::spoLandscape);
  settings.SetDuplex(TZdqDuplex::sdVertical);
  settings.SetOutputBin(TZdqBin::sbManual);
  settings.SetPrinterSettings();

  TZdqPrinter read(&printer);
  read.GetPrinterSettings();
  EXPECT_EQ(read.PaperSize(), PS::psA5);
  EXPECT_EQ(read.Orientation(), Orient::spoLandscape);
  EXPECT_EQ(read.PaperSizeWidth(), 2100);
  EXPECT_EQ(read.PaperSizeHeight(), 1480);
  EXPECT_EQ(read.Duplex(), TZdqDuplex::sdVertical);
  EXPECT_EQ(read.OutputBin(), TZdqBin::sbManual);
  EXPECT_EQ(read.Margins().Left(), 64);  // the 24-unit strip in tenths of a millimetre
  EXPECT_EQ(read.Margins().Top(), 64);

  // Reading again into an object already in portrait must not turn the
  // printer's landscape sizes a second time.
  TZdqPrinter portrait(&printer);
  portrait.SetPaperSize(PS::psA4);
  portrait.SetOrientation(Orient::spoPortrait);
  portrait.GetPrinterSettings();
  EXPECT_EQ(portrait.PaperSizeWidth(), 2100);
  EXPECT_EQ(portrait.PaperSizeHeight(), 1480);

  // And back: the read settings restore the printer after a change.
  TZdqPrinter other(&printer);
  other.SetPaperSize(PS::psA3);
  other.SetOrientation(Orient::spoPortrait);
  other.SetPrinterSettings();
  EXPECT_EQ(printer.DeviceMode().PaperSize, 8);
  read.SetPrinterSettings(printer);
  EXPECT_EQ(printer.DeviceMode().PaperSize, 11);
  EXPECT_EQ(printer.DeviceMode().Orientation, 2);
}

TEST_F(OnVirtualPrinter, CustomPaperGoesAsUprightSheet) {
  settings.SetPaperSize(PS::psCustom);
  settings.SetPaperSizeWidth(1000);
  settings.SetPaperSizeHeight(1500);
  settings.SetOrientation(Orient::spoPortrait);
  settings.SetOrientation(Orient::spoLandscape);  // stored as 1500 x 1000
  settings.SetPrinterSettings();
  const TDeviceMode dm = printer.DeviceMode();
  EXPECT_EQ(dm.PaperSize, 256);
  EXPECT_EQ(dm.PaperWidth, 1000);
  EXPECT_EQ(dm.PaperLength, 1500);
  EXPECT_GT(printer.PhysicalWidth(), printer.PhysicalHeight());

  TZdqPrinter read(&printer);
  read.GetPrinterSettings();
  EXPECT_EQ(read.PaperSize(), PS::psCustom);
  EXPECT_EQ(read.PaperSizeWidth(), 1500);
  EXPECT_EQ(read.PaperSizeHeight(), 1000);
}

TEST_F(OnVirtualPrinter, DefaultsLeaveThePrinterAlone) {
  TDeviceMode before = printer.DeviceMode();
  before.PaperSize = 5;
  before.Orientation = 2;
  before.Duplex = 2;
  before.DefaultSource = 3;
  printer.SetDeviceMode(before);
  TZdqPrinter defaults(&printer);
  defaults.SetPrinterSettings();
  const TDeviceMode after = printer.DeviceMode();
  EXPECT_EQ(after.PaperSize, 5);
  EXPECT_EQ(after.Orientation, 2);
  EXPECT_EQ(after.Duplex, 2);
  EXPECT_EQ(after.DefaultSource, 3);
}

TEST_F(OnVirtualPrinter, PrinterSelectionByIndexAndName) {
  settings.SetPrinterName(TSystemPrinter::VirtualPrinterName);
  EXPECT_EQ(settings.PrinterIndex(), 0);
  EXPECT_EQ(printer.PrinterName(), TSystemPrinter::VirtualPrinterName);
  settings.SetPrinterName("Gone Printer");
  EXPECT_EQ(settings.PrinterIndex(), -1);
  EXPECT_EQ(settings.PrinterName(), "Gone Printer");
  EXPECT_THROW(settings.SetPrinterIndex(5), EPrinterError);
  EXPECT_EQ(settings.PrinterIndex(), -1);
}

TEST(PrinterSettings, CopiesClampAndAssign) {
  TZdqPrinter p;
  for (int bad : {0, -7}) {
    p.SetCopies(bad);
    EXPECT_EQ(p.Copies(), 1) << bad;
  }
  p.SetCopies(3);
  EXPECT_EQ(p.Copies(), 3);

  p.SetPaperSize(PS::psLegal);
  p.Margins().SetByDefault(false);
  p.Margins().SetBottom(120);
  TZdqPrinter copy;
  copy.Assign(p);
  EXPECT_EQ(copy.PaperSizeHeight(), 3556);
  EXPECT_EQ(copy.Copies(), 3);
  EXPECT_EQ(copy.Margins(), p.Margins());
  EXPECT_THROW(copy.Assign(TZdqPageMargins()), std::exception);
}

TEST(PrinterSettings, NoPrinterInstalled) {
  TSystemPrinter none;
  none.SetSystemPrintersHidden(true);
  none.SetVirtualPrinterEnabled(false);
  TZdqPrinter p(&none);
  // psDefault asks the printer for PaperSizeWidth too.
  const std::vector<std::function<void()>> calls{
      [&] { p.GetPageWidth(); },         [&] { p.GetPageHeight(); },      [&] { p.GetPixelsPerInchX(); },
      [&] { p.GetPageOffsetLeft(); },    [&] { p.GetPageOffsetBottom(); }, [&] { p.PaperSizeWidth(); },
      [&] { p.GetPrinterSettings(); },   [&] { p.SetPrinterSettings(); }};
  for (size_t i = 0; i < calls.size(); ++i) {
    try {
      calls[i]();
      ADD_FAILURE() << "no error raised by call " << i;
    } catch (const EZdqNoPrinterError& e) {
      EXPECT_STREQ(e.what(), "No printer installed in MS Windows") << i;
    }
  }

  p.SetPaperSize(PS::psA4);  // the table needs no printer
  EXPECT_EQ(p.PaperWidthPixels(), 794);
}
