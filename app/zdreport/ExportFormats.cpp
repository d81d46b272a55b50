#include "app/zdreport/ExportFormats.h"

#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <ostream>

#include "app/zdreport/CommandLine.h"
#include "host/core/TextUtil.h"
#include "print/Language.h"

namespace zd::cli {
namespace {

std::string KnownExtensions() {
  std::string list;
  for (const TZdqRegisterExport& entry : ZdqExports()) list += (list.empty() ? "" : ", ") + entry.FormatName;
  return list;
}

}  // namespace

const TZdqRegisterExport& ExportFormatFor(const std::string& name, const std::string& outputFile) {
  std::string wanted = name;
  if (wanted.empty()) {
    wanted = std::filesystem::path(outputFile).extension().string();
    if (!wanted.empty()) wanted.erase(0, 1);
    if (wanted.empty()) throw EUsageError("give --format: " + outputFile + " has no extension");
  }
  for (const TZdqRegisterExport& entry : ZdqExports())
    if (SameText(entry.FormatName, wanted)) return entry;
  throw EUsageError("unknown format '" + wanted + "' (formats: " + KnownExtensions() + ")");
}

void ListExportFormats(std::ostream& out) {
  const TZdqTextLookup english = [](int id) { return GetString(0, id); };
  size_t width = 0;
  for (const TZdqRegisterExport& entry : ZdqExports()) width = std::max(width, entry.FormatName.size());
  for (const TZdqRegisterExport& entry : ZdqExports())
    out << std::left << std::setw(int(width + 2)) << entry.FormatName << ExportDescription(entry, english) << "\n";
}

}  // namespace zd::cli
