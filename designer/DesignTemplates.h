#pragma once
// Opening a template for editing. A template names the dataset components
// of the form it was designed on; where the report's owner has none of that
// name, an empty stand-in takes the name, so that the reference survives the
// edit and a saved template still names its data.
#include <string>

namespace zd {

class TZdReport;

// Raises ETemplateError for a file that cannot be read; the report is then
// as it was.
void LoadReportForDesign(TZdReport& report, const std::string& fileName);

}  // namespace zd
