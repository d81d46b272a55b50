#pragma once
// Report template files: binary (".zdq": a banner, the host's
// component-resource header and the report as a component stream) or text
// (".zdqt", TemplateText.h). Loading reads into a fresh report and moves the
// result over only when everything was read, so a bad file leaves the
// report as it was.
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

enum class TTemplateFormat { Binary, Text };

// Text for a name ending in ".zdqt" (any case), binary otherwise.
TTemplateFormat TemplateFormatOfName(const std::string& fileName);
// A text template starts with a printable character (or a UTF-8 byte order
// mark); a binary one with its banner length, followed by the banner and
// the byte FF of the resource header, which text never holds.
TTemplateFormat TemplateFormatOf(const TBytes& data);

// The binary form.
TBytes SaveReportToBytes(const TZdReport& report);
void SaveReportToStream(const TZdReport& report, std::ostream& out);
// Stores the name in FileName, then writes the file in the format its name
// asks for (nothing is written when the report cannot be saved). Database
// files of the report's datasets are written relative to the file's folder.
void SaveReport(TZdReport& report, const std::string& fileName);

// Reads either format. Raise ETemplateError for a malformed file, with the
// place (byte offset, or line and column of a text) and, for a value that
// does not fit, the property path. The datasets the template holds replace
// those the report owned; relative database files are looked for in
// templateFolder (empty: the working folder).
TTemplateLoadResult LoadReportFromBytes(TZdReport& report, const TBytes& data, const std::string& templateFolder = {});
TTemplateLoadResult LoadReportFromStream(TZdReport& report, std::istream& in);
// The absolute folder of a template file, where its relative paths start.
std::string TemplateFolder(const std::string& fileName);
// FileName becomes the name once the file has loaded; a missing file raises
// ETemplateError naming it.
TTemplateLoadResult LoadReport(TZdReport& report, const std::string& fileName);

// The stream tree of a template file of either format, without building any
// object.
TStreamObject ReadTemplateTree(const TBytes& data);
// A template file of the tree in the given format; writing a tree that was
// read gives back the same component stream (or text).
TBytes TemplateTreeToBytes(const TStreamObject& root, TTemplateFormat format);
// Writes the file atomically, in the format its name asks for.
void SaveTemplateTree(const TStreamObject& root, const std::string& fileName);

// Copies an existing file to the same name with the extension ".~zdq"
// (".~zdqt" for a text one) before it is overwritten; returns the backup's
// name, empty when there was no file.
std::string CreateTemplateBackup(const std::string& fileName);

}  // namespace zd
