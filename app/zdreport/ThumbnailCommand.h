#pragma once
// `zdreport thumbnail`: page 1 of a template or a prepared report as a small
// PNG picture, what file managers show for report files.
#include <string>

#include "app/zdreport/CommandLine.h"

namespace zd::cli {

// Writes the picture atomically; raises std::exception for a file that is
// no report or makes no page, or an output that cannot be written.
void RunThumbnail(const TThumbnailOptions& options);

}  // namespace zd::cli
