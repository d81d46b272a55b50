// Report template reader on arbitrary bytes. An odd first byte wraps the
// rest in a valid file header, so that the component stream itself is
// explored; an even one takes the bytes as a whole file. A failed load must
// leave the report exactly as it was, and a report that loaded must save
// and load again.
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

#include "host/printing/Printer.h"
#include "report/template/Template.h"
#include "report/template/TemplateText.h"
#include "report/model/ZdReport.h"

namespace {

zd::TBytes WithHeader(const uint8_t* data, size_t size) {
  zd::TBytes out = {0, 0, 0, 0, 0xFF, 10, 0, 'T', 'Z', 'D', 'R', 'E', 'P', 'O', 'R', 'T', 0, 0x30, 0x10};
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(size >> (8 * i)));
  out.insert(out.end(), data, data + size);
  return out;
}

struct TTarget {
  TTarget() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    zd::TSystemPrinter::Instance().SetSystemPrintersHidden(true);
    zd::TSystemPrinter::Instance().SetVirtualPrinterEnabled(true);
    report = new zd::TZdReport(&form);
    snapshot = zd::SaveReportToBytes(*report);
  }
  zd::TComponent form;
  zd::TZdReport* report;
  zd::TBytes snapshot;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static TTarget target;
  const zd::TBytes bytes = (data[0] & 1) ? WithHeader(data + 1, size - 1) : zd::TBytes(data + 1, data + size);
  try {
    (void)zd::WriteTemplateText(zd::ReadTemplateTree(bytes));
  } catch (const zd::ETemplateError&) {
  }
  try {
    zd::LoadReportFromBytes(*target.report, bytes);
  } catch (const zd::ETemplateError&) {
    if (zd::SaveReportToBytes(*target.report) != target.snapshot) __builtin_trap();
    return 0;
  }
  target.snapshot = zd::SaveReportToBytes(*target.report);
  zd::LoadReportFromBytes(*target.report, target.snapshot);
  if (zd::SaveReportToBytes(*target.report) != target.snapshot) __builtin_trap();
  return 0;
}
