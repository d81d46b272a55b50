#pragma once
// The command line's settings of the exporter itself (--encoding,
// --csv-raw, --resolution), applied through the exporter's published properties.
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/zdreport/CommandLine.h"
#include "export/ExportRegistry.h"
#include "host/core/Variant.h"

namespace zd::cli {

class TExportSettings {
 public:
  // Raises EUsageError for a setting the format does not have or a value it
  // does not take.
  TExportSettings(const TRenderOptions& options, const TZdqRegisterExport& format);

  // The format's exporter class with the settings applied to every exporter
  // it makes; each exporter adds the characters it had to replace to the
  // count. Valid while this object lives.
  TZdqExportClass ExportClass();
  // Characters written as '?' by the exporters made so far.
  size_t ReplacedCharacters() const { return replaced_; }

 private:
  void Apply(TZdqExport& exporter) const;

  const TZdqRegisterExport& format_;
  std::vector<std::pair<std::string, TVariant>> properties_;  // name, value
  size_t replaced_ = 0;
};

}  // namespace zd::cli
