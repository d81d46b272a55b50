#pragma once
// How the text exporters put their bytes into files.
#include <string>
#include <string_view>

#include "export/Spreadsheet.h"  // EZdqExportFileError

namespace zd {

// Replaces the file with the bytes, through a temporary file so that a
// failed write leaves no half-written file; raises EZdqExportFileError.
void WriteExportFile(const std::string& fileName, std::string_view bytes);

}  // namespace zd
