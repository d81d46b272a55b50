#pragma once
// `zdreport wizard`: a new report template laid out by the report wizard
// over the fields of the data source the command line names.
#include <string>

#include "app/zdreport/CommandLine.h"

namespace zd::cli {

// Returns the template written. Raises EUsageError for a field the data
// source lacks, and anything else for a data source that cannot be read or
// a template that cannot be written.
std::string RunWizard(const TWizardOptions& options);

}  // namespace zd::cli
