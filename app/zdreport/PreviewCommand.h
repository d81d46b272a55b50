#pragma once
// `zdreport preview`: the preview window over a template's pages or a saved
// prepared report, or that window drawn to a PNG file.
#include <string>
#include <vector>

#include "app/zdreport/CommandLine.h"

namespace zd::cli {

struct TPreviewResult {
  int pages = 0;
  std::string grabbed;  // the PNG written; empty when the window was shown
  std::vector<std::string> warnings;
};

// Needs a QApplication. Raises EUsageError for a folder named as a file and
// anything else for a report that cannot be made or a PNG that cannot be written.
TPreviewResult RunPreview(const TPreviewOptions& options);

}  // namespace zd::cli
