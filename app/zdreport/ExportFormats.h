#pragma once
// The output formats the command line offers: every registered exporter,
// named by its file extension.
#include <iosfwd>
#include <string>

#include "export/ExportRegistry.h"

namespace zd::cli {

// The exporter registered for the extension (ignoring case); an empty name
// takes the extension of outputFile. Raises EUsageError naming the formats
// on offer when there is none.
const TZdqRegisterExport& ExportFormatFor(const std::string& name, const std::string& outputFile);

// One line per format: extension in lower case, then its description.
void ListExportFormats(std::ostream& out);

}  // namespace zd::cli
