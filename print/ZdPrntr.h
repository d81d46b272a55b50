#pragma once
// A component's printer settings: which printer, paper, orientation, bin,
// duplex, copies and margins, and the conversion of the printer's geometry to
// page units (96 per inch).
//
// Units: PaperSizeWidth/Height and the user margins are always tenths of a
// millimetre, whatever their source (paper table, printer, user); the page
// geometry queries answer in page units. Keeping one unit per field is what
// lets an A4 report come out as A4.
#include <algorithm>
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Errors.h"

namespace zd {

class TSystemPrinter;

class EZdqNoPrinterError : public EZdError {
 public:
  EZdqNoPrinterError() : EZdError("No printer installed in MS Windows") {}
};

enum class TZdqPaperSize {
  psDefault, psLetter, psLetterSmall, psTabloid, psLedger, psLegal, psStatement, psExecutive,
  psA2, psA3, psA3Transverse, psA4, psA4Small, psA4Transverse, psA5, psB4,
  psB5, psFolio, psQuarto, psQr10X14, psQr11X17, psNote, psEnv9, psEnv10, psEnv11, psEnv12,
  psEnv14, psCSheet, psDSheet, psESheet, psCustom
};
enum class TZdqPrinterOrientation { spoDefault, spoPortrait, spoLandscape };
enum class TZdqBin {
  sbDefault, sbFirst, sbUpper, sbLower, sbMiddle, sbManual, sbEnvelope, sbEnvManual, sbAuto,
  sbTractor, sbSmallFormat, sbLargeFormat, sbLargeCapacity, sbCassette, sbLast
};
enum class TZdqDuplex { sdDefault, sdNone, sdHorizontal, sdVertical };

struct TZdqPaperInfo {
  int width, height;  // tenths of a millimetre; psDefault has 0 x 0
  int code;           // driver paper number; psDefault has 0
};
const TZdqPaperInfo& PaperInfo(TZdqPaperSize ps);
// "psDefault", "psLetter", ...: the identifiers of the paper sizes, in order.
const std::vector<std::string>& PaperSizeIdentifiers();
int BinCode(TZdqBin bin);

// Tenths of a millimetre <-> page units, rounded to nearest.
int TenthsMmToPageUnits(int tenths);
int PageUnitsToTenthsMm(int units);

class TZdqPageMargins : public TPersistent {
 public:
  std::string ClassName() const override { return "TZdqPageMargins"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();
  void Assign(const TPersistent& source) override;
  // Whether the printer's own unprintable margins apply instead of these.
  bool ByDefault() const { return byDefault_; }
  void SetByDefault(bool on) { byDefault_ = on; }
  // Tenths of a millimetre.
  int Left() const { return left_; }
  void SetLeft(int tenths) { left_ = tenths; }
  int Top() const { return top_; }
  void SetTop(int tenths) { top_ = tenths; }
  int Right() const { return right_; }
  void SetRight(int tenths) { right_ = tenths; }
  int Bottom() const { return bottom_; }
  void SetBottom(int tenths) { bottom_ = tenths; }
  bool operator==(const TZdqPageMargins& o) const {
    return byDefault_ == o.byDefault_ && left_ == o.left_ && top_ == o.top_ && right_ == o.right_ &&
           bottom_ == o.bottom_;
  }

 private:
  bool byDefault_ = true;
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};

class TZdqPrinter : public TPersistent {
 public:
  // Works on the process-wide system printer unless given another one.
  explicit TZdqPrinter(TSystemPrinter* printer = nullptr);
  std::string ClassName() const override { return "TZdqPrinter"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();
  void Assign(const TPersistent& source) override;

  int PrinterIndex() const { return printerIndex_; }
  void SetPrinterIndex(int index);
  const std::string& PrinterName() const { return printerName_; }
  void SetPrinterName(const std::string& name);

  TZdqPageMargins& Margins() { return margins_; }
  const TZdqPageMargins& Margins() const { return margins_; }
  void SetMargins(const TZdqPageMargins& m) { margins_.Assign(m); }

  TZdqPaperSize PaperSize() const { return paperSize_; }
  void SetPaperSize(TZdqPaperSize ps);
  // Tenths of a millimetre; a stored value below 1 is first filled by SetPaperSize.
  int PaperSizeWidth();
  int PaperSizeHeight();
  // Custom sizes run from 1 mm to 5 m, the largest page PDF readers open.
  static constexpr int kMaxPaperTenths = 50000;
  void SetPaperSizeWidth(int tenths) { paperWidth_ = std::clamp(tenths, 10, kMaxPaperTenths); }
  void SetPaperSizeHeight(int tenths) { paperHeight_ = std::clamp(tenths, 10, kMaxPaperTenths); }

  TZdqPrinterOrientation Orientation() const { return orientation_; }
  void SetOrientation(TZdqPrinterOrientation o);
  TZdqBin OutputBin() const { return outputBin_; }
  void SetOutputBin(TZdqBin bin) { outputBin_ = bin; }
  TZdqDuplex Duplex() const { return duplex_; }
  void SetDuplex(TZdqDuplex d) { duplex_ = d; }
  int Copies() const { return copies_; }
  void SetCopies(int copies) { copies_ = copies < 1 ? 1 : copies; }
  bool Collate() const { return collate_; }
  void SetCollate(bool on) { collate_ = on; }

  // Geometry in page units; all throw EZdqNoPrinterError without a printer.
  int GetPageWidth() const;   // the system printer's paper
  int GetPageHeight() const;
  int GetPixelsPerInchX() const;
  int GetPixelsPerInchY() const;
  static int GetScreenPPI() { return 96; }
  int GetPageOffsetLeft() const;
  int GetPageOffsetTop() const;
  int GetPageOffsetRight() const;
  int GetPageOffsetBottom() const;
  // The paper of these settings (PaperSizeWidth/Height) in page units.
  int PaperWidthPixels();
  int PaperHeightPixels();

  void GetPrinterSettings();                   // system printer -> this
  void SetPrinterSettings(TSystemPrinter& p);  // this -> printer
  void SetPrinterSettings();                   // this -> the bound printer
  TSystemPrinter& Printer() const;

 private:
  void checkPrinter() const;

  TSystemPrinter* printer_;
  int printerIndex_ = -1;
  std::string printerName_;
  TZdqPageMargins margins_;
  TZdqPaperSize paperSize_ = TZdqPaperSize::psDefault;
  int paperWidth_ = 0, paperHeight_ = 0;
  TZdqPrinterOrientation orientation_ = TZdqPrinterOrientation::spoDefault;
  TZdqBin outputBin_ = TZdqBin::sbDefault;
  TZdqDuplex duplex_ = TZdqDuplex::sdDefault;
  int copies_ = 1;
  bool collate_ = false;
};

}  // namespace zd
