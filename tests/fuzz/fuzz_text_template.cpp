// Text template reader on arbitrary text. Whatever reads must write back to
// a text that reads to the same tree, and through the binary stream to the
// same text again; a failed load must leave the report exactly as it was.
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/printing/Printer.h"
#include "report/model/ZdReport.h"
#include "report/template/ComponentStream.h"
#include "report/template/Template.h"
#include "report/template/TemplateText.h"

namespace {

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

// The binary stream refuses a few trees the text holds (a class name too
// long to tell from object flags); everything else must come back.
void CheckRoundTrip(const zd::TStreamObject& tree) {
  const std::string text = zd::WriteTemplateText(tree);
  zd::TBytes binary;
  try {
    binary = zd::WriteComponentStream(tree);
  } catch (const zd::ETemplateError&) {
    binary.clear();
  }
  try {
    if (zd::WriteTemplateText(zd::ReadTemplateText(text)) != text) __builtin_trap();
    if (!binary.empty() && zd::WriteTemplateText(zd::ReadComponentStream(binary, 0, binary.size())) != text)
      __builtin_trap();
  } catch (const zd::ETemplateError&) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TTarget target;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  zd::TStreamObject tree;
  try {
    tree = zd::ReadTemplateText(text);
  } catch (const zd::ETemplateError&) {
  }
  if (!tree.className.empty()) CheckRoundTrip(tree);
  const zd::TBytes bytes(data, data + size);
  if (zd::TemplateFormatOf(bytes) != zd::TTemplateFormat::Text) return 0;
  try {
    zd::LoadReportFromBytes(*target.report, bytes);
  } catch (const zd::ETemplateError&) {
    if (zd::SaveReportToBytes(*target.report) != target.snapshot) __builtin_trap();
    return 0;
  }
  target.snapshot = zd::SaveReportToBytes(*target.report);
  return 0;
}
