#pragma once
// `zdreport design`: the designer window over a template or a new report,
// or that window drawn to a PNG file.
#include <string>

#include "app/zdreport/CommandLine.h"

namespace zd::cli {

// Needs a QApplication. Returns the PNG written, empty when the window was
// shown. Raises EUsageError for a folder named as a file or a control to
// select that the template lacks, and anything else for a template or data
// source that cannot be read or a PNG that cannot be written.
std::string RunDesign(const TDesignOptions& options);

}  // namespace zd::cli
