#pragma once
// Report template files (".zdq"): a banner, the host's component-resource
// header and the report as a component stream. Loading reads into a fresh
// report and moves the result over only when everything was read, so a bad
// file leaves the report as it was.
#include <iosfwd>
#include <string>
#include <vector>

#include "host/core/Properties.h"
#include "report/template/ComponentStream.h"

namespace zd {

class TZdReport;

struct TTemplateLoadResult {
  // "Path = Name" for each component reference that named no component of
  // the report's owner; those properties stay unset.
  std::vector<std::string> UnresolvedReferences;
};

TBytes SaveReportToBytes(const TZdReport& report);
void SaveReportToStream(const TZdReport& report, std::ostream& out);
// Stores the name in FileName, then writes the file (nothing is written when
// the report cannot be saved).
void SaveReport(TZdReport& report, const std::string& fileName);

// Raise ETemplateError for a malformed file, with the byte offset and, for
// a value that does not fit, the property path.
TTemplateLoadResult LoadReportFromBytes(TZdReport& report, const TBytes& data);
TTemplateLoadResult LoadReportFromStream(TZdReport& report, std::istream& in);
// FileName becomes the name once the file has loaded; a missing file raises
// ETemplateError naming it.
TTemplateLoadResult LoadReport(TZdReport& report, const std::string& fileName);

// The stream tree of a template file without building any object.
TStreamObject ReadTemplateTree(const TBytes& data);

// Copies an existing file to the same name with the extension ".~zdq" before
// it is overwritten; returns the backup's name, empty when there was no file.
std::string CreateTemplateBackup(const std::string& fileName);

}  // namespace zd
