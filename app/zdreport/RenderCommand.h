#pragma once
// `zdreport render`: a template prepared over a data source and exported.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/zdreport/CommandLine.h"
#include "app/zdreport/ExportSettings.h"
#include "print/PrintZd.h"

namespace zd::cli {

struct TRenderResult {
  std::vector<std::string> files;  // in the order they were written
  int pages = 0;                   // pages prepared (per bar)
  int exportedPages = 0;           // of those, the pages exported
  std::vector<std::string> warnings;
};

// Pages come out the same on every machine: the virtual printer's geometry.
void UseVirtualPrinter();

// Where and how the options' output is written: the format and settings are
// checked when made, before anything is prepared.
class TOutputPlan {
 public:
  // The files the output must not overwrite, each with what it is ("the template").
  using TInputs = std::vector<std::pair<std::string, const char*>>;
  explicit TOutputPlan(const TRenderOptions& options);
  // Exports (or saves) the wanted pages of the prepared report, atomically.
  TRenderResult Write(TZdPrintBaseComponent& report, const TInputs& inputs);

 private:
  const TRenderOptions& options_;
  bool savePrepared_;
  std::optional<TExportSettings> settings_;
};

// Raises EUsageError for a command line that names no usable format or data
// source or whose output would overwrite an input (checked before anything
// is written), anything else (std::exception) for a report that cannot be made.
TRenderResult RunRender(const TRenderOptions& options);

}  // namespace zd::cli
