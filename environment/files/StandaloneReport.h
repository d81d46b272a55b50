#pragma once
// A report file opened on its own, away from the application that feeds it
// data: what file managers, Qt Designer and Qt Creator show. A prepared
// report (.zqp) is shown as saved; a template (.zdq, .zdqt) is prepared over
// empty stand-ins of the datasets it names, so that its titles, headers and
// footers show without rows.
#include <QImage>
#include <string>

#include "host/core/Component.h"
#include "report/model/ZdReport.h"

namespace zd {

enum class TReportFileKind { Template, PreparedReport };

// By the file's first bytes, not its name: thumbnailers get copies under
// other names. Throws std::runtime_error for a file that cannot be read.
TReportFileKind ReportFileKind(const std::string& fileName);

class TStandaloneReport {
 public:
  // Loads the file; throws (naming it) when it cannot be read.
  explicit TStandaloneReport(const std::string& fileName);
  TStandaloneReport(const TStandaloneReport&) = delete;
  TStandaloneReport& operator=(const TStandaloneReport&) = delete;

  TReportFileKind Kind() const { return kind_; }
  TZdReport& Report() { return *report_; }
  // A template is prepared without asking anything: parameters keep their
  // stored values. A prepared report is ready as loaded. Throws when no page
  // comes out.
  void Prepare();

 private:
  TReportFileKind kind_;
  TComponent root_;  // owns the report and the dataset stand-ins
  TZdReport* report_;
};

// Page 1 of the prepared report, its longer side maxSide pixels; throws
// for a report without pages or a page that cannot be drawn.
QImage RenderFirstPage(const TZdPrintBaseComponent& report, int maxSide);

}  // namespace zd
