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

constexpr const char* kPreparedReportFormat = "zqp";

std::string ExtensionOf(const std::string& file) {
  std::string extension = std::filesystem::path(file).extension().string();
  if (!extension.empty()) extension.erase(0, 1);
  return extension;
}

std::string KnownExtensions() {
  std::string list = kPreparedReportFormat;
  for (const TZdqRegisterExport& entry : ZdqExports()) list += (list.empty() ? "" : ", ") + entry.FormatName;
  return list;
}

}  // namespace

const TZdqRegisterExport& ExportFormatFor(const std::string& name, const std::string& outputFile) {
  std::string wanted = name;
  if (wanted.empty()) {
    wanted = ExtensionOf(outputFile);
    if (wanted.empty()) throw EUsageError("give --format: " + outputFile + " has no extension");
  }
  for (const TZdqRegisterExport& entry : ZdqExports())
    if (SameText(entry.FormatName, wanted)) return entry;
  throw EUsageError("unknown format '" + wanted + "' (formats: " + KnownExtensions() + ")");
}

bool IsPreparedReportFormat(const std::string& name, const std::string& outputFile) {
  return SameText(name.empty() ? ExtensionOf(outputFile) : name, kPreparedReportFormat);
}

void ListExportFormats(std::ostream& out) {
  const TZdqTextLookup english = [](int id) { return GetString(0, id); };
  size_t width = std::string_view(kPreparedReportFormat).size();
  for (const TZdqRegisterExport& entry : ZdqExports()) width = std::max(width, entry.FormatName.size());
  out << std::left << std::setw(int(width + 2)) << kPreparedReportFormat
      << "Prepared report: the pages as made, for zdreport print\n";
  for (const TZdqRegisterExport& entry : ZdqExports())
    out << std::left << std::setw(int(width + 2)) << entry.FormatName << ExportDescription(entry, english) << "\n";
}

}  // namespace zd::cli
