#pragma once
// A report template loaded over the data source the command line names (or
// the one the template stores), with the command line's parameters and
// limits applied: what `render` and `print` prepare.
#include <string>
#include <vector>

#include "app/zdreport/CommandLine.h"
#include "app/zdreport/DataSource.h"
#include "host/core/Component.h"
#include "report/model/ZdReport.h"

namespace zd::cli {

class TTemplateReport {
 public:
  // Raises EUsageError for a data source the command line cannot name, and
  // anything else for a template or data source that cannot be read.
  explicit TTemplateReport(const TReportInput& input);
  TTemplateReport(const TTemplateReport&) = delete;
  TTemplateReport& operator=(const TTemplateReport&) = delete;

  TZdReport& Report() { return *report_; }
  const std::string& TemplateFile() const { return templateFile_; }
  // The files rows come from: the --data file and those of the datasets the
  // template stores.
  std::vector<std::string> DataFiles() const;
  // PrepareOnTerminal on the template's report; its warnings join Warnings().
  void Prepare(bool inDialog = false);
  // The template's and the report's own, in the order they arose.
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  std::string templateFile_;
  TDataSourceSpec source_;
  TOpenedDataSource data_;  // outlives the report, which points to it
  TComponent root_;
  TZdReport* report_;
  std::vector<std::string> warnings_;
};

// Prepares `document` with the progress of the components in `preparing`
// (the document itself, or the members it prepares) shown on standard error
// when it is a terminal, or in the progress dialog with its Cancel button
// when inDialog, and Ctrl-C cancelling; throws when no page came out.
void PrepareOnTerminal(TZdPrintBaseComponent& document, const std::vector<TZdPrintBaseComponent*>& preparing,
                       bool inDialog = false);

// The 1-based pages a --pages text selects of pageCount pages, as texts;
// every page for an empty text. Throws when it selects none.
TStringList WantedPages(const std::string& pagesText, int pageCount);

// A folder named where a file is wanted gets a plain answer, not whatever
// reading it as a stream would say.
void RequireNoFolder(const std::string& path, const std::string& what);

}  // namespace zd::cli
