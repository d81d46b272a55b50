#include "print/ZdPrntr.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <tuple>
#include <utility>

#include "host/core/Properties.h"
#include "host/printing/Printer.h"

namespace zd {
namespace {

using PS = TZdqPaperSize;

constexpr TZdqPaperInfo kPapers[] = {
    {0, 0, 0},          // psDefault
    {2159, 2794, 1},    // psLetter
    {2159, 2794, 2},    // psLetterSmall
    {2794, 4318, 3},    // psTabloid
    {4318, 2794, 4},    // psLedger
    {2159, 3556, 5},    // psLegal
    {1397, 2159, 6},    // psStatement
    {1905, 2540, 7},    // psExecutive
    {4200, 5940, 66},   // psA2
    {2970, 4200, 8},    // psA3
    {4200, 2970, 67},   // psA3Transverse
    {2100, 2970, 9},    // psA4
    {2100, 2970, 10},   // psA4Small
    {2970, 2100, 55},   // psA4Transverse
    {1480, 2100, 11},   // psA5
    {2500, 3540, 12},   // psB4
    {1820, 2570, 13},   // psB5
    {2159, 3302, 14},   // psFolio
    {2150, 2750, 15},   // psQuarto
    {2540, 3556, 16},   // psQr10X14
    {2794, 4318, 17},   // psQr11X17
    {2159, 2790, 18},   // psNote
    {984, 2254, 19},    // psEnv9
    {1048, 2413, 20},   // psEnv10
    {1143, 2635, 21},   // psEnv11
    {1016, 2794, 22},   // psEnv12
    {1270, 2921, 23},   // psEnv14
    {1000, 1000, 24},   // psCSheet
    {1000, 1000, 25},   // psDSheet
    {1000, 1000, 26},   // psESheet
    {0, 1, 256},        // psCustom: the user fills in the size
};
static_assert(std::size(kPapers) == size_t(PS::psCustom) + 1);

constexpr int kBins[] = {256, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15};
static_assert(std::size(kBins) == size_t(TZdqBin::sbLast) + 1);

constexpr int kTenthsPerInch = 254;

// Printer device pixels to page units, truncating as the page layout expects.
int ToPageUnits(int devicePixels, int ppi) {
  if (ppi <= 0) throw EPrinterError("The printer reports no resolution");
  return std::max(0, devicePixels * TZdqPrinter::GetScreenPPI() / ppi);
}

// The printer's sheet in tenths of a millimetre, turned as it prints. Taken
// from the device mode's exact paper size, not from rounded device pixels,
// so that an A4 printer yields A4.
std::pair<int, int> SheetTenthsMm(const TSystemPrinter& p) {
  const TDeviceMode dm = p.DeviceMode();
  if (dm.OrientationValid && dm.Orientation == 2) return {dm.PaperLength, dm.PaperWidth};
  return {dm.PaperWidth, dm.PaperLength};
}

bool IsPortraitOrLandscape(TZdqPrinterOrientation o) {
  return o == TZdqPrinterOrientation::spoPortrait || o == TZdqPrinterOrientation::spoLandscape;
}

}  // namespace

const std::vector<std::string>& PaperSizeIdentifiers() {
  static const std::vector<std::string> names{
      "psDefault", "psLetter", "psLetterSmall", "psTabloid", "psLedger", "psLegal", "psStatement",
      "psExecutive", "psA2", "psA3", "psA3Transverse", "psA4", "psA4Small", "psA4Transverse", "psA5",
      "psB4", "psB5", "psFolio", "psQuarto", "psQr10X14", "psQr11X17", "psNote", "psEnv9",
      "psEnv10", "psEnv11", "psEnv12", "psEnv14", "psCSheet", "psDSheet", "psESheet", "psCustom"};
  return names;
}

const TZdqPaperInfo& PaperInfo(TZdqPaperSize ps) {
  const auto i = size_t(ps);
  if (i >= std::size(kPapers)) throw std::invalid_argument("Unknown paper size " + std::to_string(i));
  return kPapers[i];
}

int BinCode(TZdqBin bin) {
  const auto i = size_t(bin);
  if (i >= std::size(kBins)) throw std::invalid_argument("Unknown paper bin " + std::to_string(i));
  return kBins[i];
}

int TenthsMmToPageUnits(int tenths) {
  return int(std::lround(double(tenths) * TZdqPrinter::GetScreenPPI() / kTenthsPerInch));
}

int PageUnitsToTenthsMm(int units) {
  return int(std::lround(double(units) * kTenthsPerInch / TZdqPrinter::GetScreenPPI()));
}

void TZdqPageMargins::Assign(const TPersistent& source) {
  const auto* m = dynamic_cast<const TZdqPageMargins*>(&source);
  if (!m) return TPersistent::Assign(source);
  byDefault_ = m->byDefault_;
  left_ = m->left_;
  top_ = m->top_;
  right_ = m->right_;
  bottom_ = m->bottom_;
}

TZdqPrinter::TZdqPrinter(TSystemPrinter* printer) : printer_(printer) {}

void TZdqPrinter::Assign(const TPersistent& source) {
  const auto* p = dynamic_cast<const TZdqPrinter*>(&source);
  if (!p) return TPersistent::Assign(source);
  printerIndex_ = p->printerIndex_;
  printerName_ = p->printerName_;
  margins_.Assign(p->margins_);
  paperSize_ = p->paperSize_;
  paperWidth_ = p->paperWidth_;
  paperHeight_ = p->paperHeight_;
  orientation_ = p->orientation_;
  outputBin_ = p->outputBin_;
  duplex_ = p->duplex_;
  copies_ = p->copies_;
  collate_ = p->collate_;
}

TSystemPrinter& TZdqPrinter::Printer() const { return printer_ ? *printer_ : TSystemPrinter::Instance(); }

void TZdqPrinter::checkPrinter() const {
  if (Printer().PrinterCount() == 0) throw EZdqNoPrinterError();
}

void TZdqPrinter::SetPrinterIndex(int index) {
  if (index == printerIndex_) return;
  Printer().SetPrinterIndex(index);
  printerIndex_ = index;
}

void TZdqPrinter::SetPrinterName(const std::string& name) {
  if (name == printerName_) return;
  printerName_ = name;
  SetPrinterIndex(Printer().IndexOf(name));
}

void TZdqPrinter::SetPaperSize(TZdqPaperSize ps) {
  if (ps == PS::psDefault) {
    checkPrinter();
    std::tie(paperWidth_, paperHeight_) = SheetTenthsMm(Printer());
  } else {
    paperWidth_ = PaperInfo(ps).width;
    paperHeight_ = PaperInfo(ps).height;
    // Sizes are kept as the sheet lies: turned for landscape, as the printer
    // reports them. Otherwise a landscape report given a new paper, or set to
    // landscape from the printer's default, would be laid out upright.
    if (orientation_ == TZdqPrinterOrientation::spoLandscape) std::swap(paperWidth_, paperHeight_);
  }
  paperSize_ = ps;
}

int TZdqPrinter::PaperSizeWidth() {
  if (paperWidth_ < 1) SetPaperSize(paperSize_);
  return paperWidth_;
}

int TZdqPrinter::PaperSizeHeight() {
  if (paperHeight_ < 1) SetPaperSize(paperSize_);
  return paperHeight_;
}

void TZdqPrinter::SetOrientation(TZdqPrinterOrientation o) {
  if (o != orientation_ && IsPortraitOrLandscape(o) && IsPortraitOrLandscape(orientation_))
    std::swap(paperWidth_, paperHeight_);
  orientation_ = o;
}

int TZdqPrinter::GetPageWidth() const {
  checkPrinter();
  return ToPageUnits(Printer().PhysicalWidth(), Printer().PixelsPerInchX());
}

int TZdqPrinter::GetPageHeight() const {
  checkPrinter();
  return ToPageUnits(Printer().PhysicalHeight(), Printer().PixelsPerInchY());
}

int TZdqPrinter::GetPixelsPerInchX() const {
  checkPrinter();
  return Printer().PixelsPerInchX();
}

int TZdqPrinter::GetPixelsPerInchY() const {
  checkPrinter();
  return Printer().PixelsPerInchY();
}

// Each side is the printer's own unprintable strip, widened to the user's
// margin when the user asked for a wider one: printing inside the strip
// would only be clipped.
int TZdqPrinter::GetPageOffsetLeft() const {
  checkPrinter();
  const int strip = ToPageUnits(Printer().PhysicalOffsetX(), Printer().PixelsPerInchX());
  return margins_.ByDefault() ? strip : std::max(strip, TenthsMmToPageUnits(margins_.Left()));
}

int TZdqPrinter::GetPageOffsetTop() const {
  checkPrinter();
  const int strip = ToPageUnits(Printer().PhysicalOffsetY(), Printer().PixelsPerInchY());
  return margins_.ByDefault() ? strip : std::max(strip, TenthsMmToPageUnits(margins_.Top()));
}

int TZdqPrinter::GetPageOffsetRight() const {
  checkPrinter();
  const TSystemPrinter& p = Printer();
  const int strip = std::max(0, GetPageWidth() - ToPageUnits(p.PhysicalOffsetX(), p.PixelsPerInchX()) -
                                    ToPageUnits(p.PrintableWidth(), p.PixelsPerInchX()));
  return margins_.ByDefault() ? strip : std::max(strip, TenthsMmToPageUnits(margins_.Right()));
}

int TZdqPrinter::GetPageOffsetBottom() const {
  checkPrinter();
  const TSystemPrinter& p = Printer();
  const int strip = std::max(0, GetPageHeight() - ToPageUnits(p.PhysicalOffsetY(), p.PixelsPerInchY()) -
                                    ToPageUnits(p.PrintableHeight(), p.PixelsPerInchY()));
  return margins_.ByDefault() ? strip : std::max(strip, TenthsMmToPageUnits(margins_.Bottom()));
}

int TZdqPrinter::PaperWidthPixels() { return TenthsMmToPageUnits(PaperSizeWidth()); }
int TZdqPrinter::PaperHeightPixels() { return TenthsMmToPageUnits(PaperSizeHeight()); }

void TZdqPrinter::GetPrinterSettings() {
  checkPrinter();
  const TSystemPrinter& p = Printer();
  const TDeviceMode dm = p.DeviceMode();

  paperSize_ = PS::psDefault;
  if (dm.PaperSizeValid) {
    for (size_t i = 1; i < std::size(kPapers); ++i)
      if (kPapers[i].code == dm.PaperSize) {
        paperSize_ = PS(i);
        break;
      }
  }
  // Orientation first: the printer's sizes below are already turned, so
  // the swap of a portrait/landscape change must not apply to them.
  SetOrientation(dm.OrientationValid && dm.Orientation == 2 ? TZdqPrinterOrientation::spoLandscape
                                                            : TZdqPrinterOrientation::spoPortrait);
  std::tie(paperWidth_, paperHeight_) = SheetTenthsMm(p);
  margins_.SetLeft(PageUnitsToTenthsMm(GetPageOffsetLeft()));
  margins_.SetTop(PageUnitsToTenthsMm(GetPageOffsetTop()));

  outputBin_ = TZdqBin::sbFirst;
  if (dm.DefaultSourceValid) {
    for (size_t i = size_t(TZdqBin::sbFirst); i < std::size(kBins); ++i)
      if (kBins[i] == dm.DefaultSource) {
        outputBin_ = TZdqBin(i);
        break;
      }
  }
  if (dm.DuplexValid && dm.Duplex >= 0 && dm.Duplex <= int(TZdqDuplex::sdVertical))
    duplex_ = TZdqDuplex(dm.Duplex);
}

void TZdqPrinter::SetPrinterSettings(TSystemPrinter& p) {
  if (p.PrinterCount() == 0) throw EZdqNoPrinterError();
  TDeviceMode dm = p.DeviceMode();
  if (paperSize_ == PS::psCustom) {
    // The device mode describes the sheet upright; ours is stored turned.
    const bool landscape = orientation_ == TZdqPrinterOrientation::spoLandscape;
    const int w = PaperSizeWidth(), h = PaperSizeHeight();
    if (w > 0 && h > 0) {  // a custom size not filled in yet leaves the paper alone
      dm.PaperWidth = landscape ? h : w;
      dm.PaperLength = landscape ? w : h;
      dm.PaperDimsValid = true;
    }
  } else if (paperSize_ != PS::psDefault) {
    dm.PaperSize = PaperInfo(paperSize_).code;
    dm.PaperSizeValid = true;
    dm.PaperDimsValid = false;
  }
  if (outputBin_ != TZdqBin::sbDefault) {
    dm.DefaultSource = BinCode(outputBin_);
    dm.DefaultSourceValid = true;
  }
  if (orientation_ != TZdqPrinterOrientation::spoDefault) {
    dm.Orientation = orientation_ == TZdqPrinterOrientation::spoLandscape ? 2 : 1;
    dm.OrientationValid = true;
  }
  if (duplex_ != TZdqDuplex::sdDefault) {
    dm.Duplex = int(duplex_);
    dm.DuplexValid = true;
  }
  p.SetDeviceMode(dm);
}

void TZdqPrinter::SetPrinterSettings() { SetPrinterSettings(Printer()); }

const TClassProperties& TZdqPageMargins::ClassProperties() {
  using M = TZdqPageMargins;
  static const TClassProperties props =
      TPropertiesOf<M>("TZdqPageMargins", nullptr)
          .Boolean("ByDefault", &M::ByDefault, &M::SetByDefault, true)
          .Integer("Left", &M::Left, &M::SetLeft)
          .Integer("Top", &M::Top, &M::SetTop)
          .Integer("Right", &M::Right, &M::SetRight)
          .Integer("Bottom", &M::Bottom, &M::SetBottom)
          .Build();
  return props;
}

const TClassProperties& TZdqPrinter::ClassProperties() {
  using P = TZdqPrinter;
  static const TClassProperties props =
      TPropertiesOf<P>("TZdqPrinter", nullptr)
          // A template from another machine may name a printer index this one
          // lacks; it then prints on the current printer instead of failing.
          .Integer("PrinterIndex", [](const P& p) { return p.printerIndex_; },
                   [](P& p, int v) { p.SetPrinterIndex(v >= -1 && v < p.Printer().PrinterCount() ? v : -1); }, -1)
          .String("PrinterName", [](const P& p) { return p.printerName_; },
                  [](P& p, const std::string& v) { p.SetPrinterName(v); })
          .Object("Margins", [](P& p) -> TZdqPageMargins& { return p.margins_; })
          .Enum("PaperSize", [](const P& p) { return p.paperSize_; }, [](P& p, TZdqPaperSize v) { p.SetPaperSize(v); },
                TEnumNames{"TZdqPaperSize", PaperSizeIdentifiers()},
                TZdqPaperSize::psDefault)
          // The stored sizes as they are: reading PaperSizeWidth() would fill them in.
          .Integer("PaperSizeWidth", [](const P& p) { return p.paperWidth_; },
                   [](P& p, int v) { p.SetPaperSizeWidth(v); })
          .Integer("PaperSizeHeight", [](const P& p) { return p.paperHeight_; },
                   [](P& p, int v) { p.SetPaperSizeHeight(v); })
          .Enum("Orientation", [](const P& p) { return p.orientation_; },
                [](P& p, TZdqPrinterOrientation v) { p.SetOrientation(v); },
                TEnumNames{"TZdqPrinterOrientation", {"spoDefault", "spoPortrait", "spoLandscape"}},
                TZdqPrinterOrientation::spoDefault)
          .Enum("OutputBin", [](const P& p) { return p.outputBin_; }, [](P& p, TZdqBin v) { p.SetOutputBin(v); },
                TEnumNames{"TZdqBin",
                           {"sbDefault", "sbFirst", "sbUpper", "sbLower", "sbMiddle", "sbManual", "sbEnvelope",
                            "sbEnvManual", "sbAuto", "sbTractor", "sbSmallFormat", "sbLargeFormat",
                            "sbLargeCapacity", "sbCassette", "sbLast"}},
                TZdqBin::sbDefault)
          .Enum("Duplex", [](const P& p) { return p.duplex_; }, [](P& p, TZdqDuplex v) { p.SetDuplex(v); },
                TEnumNames{"TZdqDuplex", {"sdDefault", "sdNone", "sdHorizontal", "sdVertical"}},
                TZdqDuplex::sdDefault)
          .Integer("Copies", [](const P& p) { return p.copies_; }, [](P& p, int v) { p.SetCopies(v); }, 1)
          .Boolean("Collate", [](const P& p) { return p.collate_; }, [](P& p, bool v) { p.SetCollate(v); })
          .Build();
  return props;
}

}  // namespace zd
