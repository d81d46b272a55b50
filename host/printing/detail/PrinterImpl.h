#pragma once
// State behind TSystemPrinter, shared with PrinterPainter.cpp.
#include <QPainter>
#include <memory>
#include <optional>

#include "host/printing/PrintTarget.h"
#include "host/printing/Printer.h"

namespace zd {

struct TSystemPrinter::Impl {
  bool virtualEnabled = true;
  bool systemHidden = false;
  std::optional<std::vector<std::string>> systemNames;  // asked of the printer system once
  int index = -1;                                        // -1: nothing selected yet
  std::unique_ptr<printing::PrintTarget> target;
  printing::JobOptions job;
  QPainter* painter = nullptr;  // set between BeginDoc and EndDoc
  int page = 0;

  const std::vector<std::string>& SystemNames();
  std::vector<std::string> Names();
  int DefaultIndex();
  void Select(int i);
  // The selected device, choosing the default first; throws when none exists.
  printing::PrintTarget& Target();
  void RequireIdle(const char* what) const;
  void RequirePrinting(const char* what) const;
};

}  // namespace zd
