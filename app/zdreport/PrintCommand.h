#pragma once
// `zdreport print` and `zdreport printers`: reports on the system's printers.
#include <ostream>
#include <string>
#include <vector>

#include "app/zdreport/CommandLine.h"

namespace zd::cli {

struct TPrintResult {
  std::string printer;
  int pages = 0;          // pages of the report (per bar)
  int printedPages = 0;   // of those, the pages printed
  int sheets = 0;         // sheets sent, copies and bars included
  std::string file;       // the file printed to; empty when the printer got the job
  std::vector<std::string> notes;     // what the user should know, such as the printer taken
  std::vector<std::string> warnings;
};

// Raises EUsageError for an unknown printer or paper and a missing output
// file of the virtual printer; anything else for a report that cannot be
// made or a job the print system refuses.
TPrintResult RunPrint(const TPrintOptions& options);

// Each printer on a line: "*" for the default, its name, its paper sizes.
void ListPrinters(std::ostream& out);

}  // namespace zd::cli
