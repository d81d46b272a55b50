#pragma once
// `zdreport render`: a template prepared over a data source and exported.
#include <string>
#include <vector>

#include "app/zdreport/CommandLine.h"

namespace zd::cli {

struct TRenderResult {
  std::vector<std::string> files;  // in the order they were written
  int pages = 0;                   // pages prepared (per bar)
  int exportedPages = 0;           // of those, the pages exported
  std::vector<std::string> warnings;
};

// Raises EUsageError for a command line that names no usable format or data
// source or whose output would overwrite an input (checked before anything
// is written), anything else (std::exception) for a report that cannot be made.
TRenderResult RunRender(const TRenderOptions& options);

}  // namespace zd::cli
