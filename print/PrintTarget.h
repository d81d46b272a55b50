#pragma once
// Where printed sheets go. The print engine only talks to this interface, so
// printing can be recorded or redirected without a printer driver.
#include <string>

#include "host/emf/Metafile.h"

namespace zd {

class TSystemPrinter;

class TPrintTarget {
 public:
  virtual ~TPrintTarget() = default;
  virtual void BeginDoc(const std::string& title) = 0;
  // Draws a prepared page over the whole sheet.
  virtual void DrawPage(const TMetafile& page) = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  // Drops a document that failed half-way.
  virtual void Abort() = 0;
  virtual int Copies() const = 0;
  virtual void SetCopies(int copies) = 0;
};

// Prints on a system printer, stretching each page over the paper in device
// pixels. The output file is used only when the printer is the virtual PDF
// printer.
class TSystemPrintTarget : public TPrintTarget {
 public:
  TSystemPrintTarget(TSystemPrinter& printer, std::string pdfOutputFile);
  void BeginDoc(const std::string& title) override;
  void DrawPage(const TMetafile& page) override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  int Copies() const override;
  void SetCopies(int copies) override;

 private:
  TSystemPrinter& printer_;
  std::string pdfOutputFile_;
};

}  // namespace zd
