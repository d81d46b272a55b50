#pragma once
// `zdreport table` and `zdreport text`: a dataset or a text file printed
// without a template and exported as render exports.
#include "app/zdreport/CommandLine.h"
#include "app/zdreport/RenderCommand.h"

namespace zd::cli {

// Raise EUsageError for options that cannot work together (an unknown
// style, a field to total that the data lacks), anything else for data
// that cannot be read.
TRenderResult RunTable(const TQuickPrintOptions& options);
TRenderResult RunText(const TQuickPrintOptions& options);

}  // namespace zd::cli
