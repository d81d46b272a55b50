#pragma once
// The output formats the command line offers: every registered exporter,
// by its format name (mostly its file extension).
#include <iosfwd>
#include <string>

#include "export/ExportRegistry.h"

namespace zd::cli {

// The exporter registered under the format name (ignoring case); an empty
// name takes the extension of outputFile. Raises EUsageError naming the formats
// on offer when there is none.
const TZdqRegisterExport& ExportFormatFor(const std::string& name, const std::string& outputFile);

// Whether the output is the prepared report itself (format zqp, or no
// format and a .zqp file): pages as prepared, which `zdreport print` reads.
bool IsPreparedReportFormat(const std::string& name, const std::string& outputFile);

// One line per format: its name, then its description.
void ListExportFormats(std::ostream& out);

}  // namespace zd::cli
