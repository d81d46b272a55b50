#include "app/zdreport/ExportSettings.h"

#include <stdexcept>

#include "export/OutputCharset.h"
#include "host/core/Properties.h"
#include "host/core/TextUtil.h"

namespace zd::cli {

TExportSettings::TExportSettings(const TRenderOptions& options, const TZdqRegisterExport& format) : format_(format) {
  if (!options.encoding.empty()) {
    try {
      properties_.push_back({"CodePage", TVariant(int64_t(CodePageByName(options.encoding)))});
    } catch (const std::invalid_argument& e) {
      throw EUsageError(std::string("--encoding: ") + e.what());
    }
  }
  if (options.csvRaw) properties_.push_back({"FormulaGuard", TVariant(false)});
  if (options.resolution) properties_.push_back({"Resolution", TVariant(int64_t(options.resolution))});
  // Tried on an exporter of the format now, so that a setting the format
  // lacks is refused before the report is prepared.
  const std::unique_ptr<TZdqExport> probe = format_.ExportClass(nullptr);
  for (const auto& [name, value] : properties_) {
    const std::string flag = name == "CodePage" ? "--encoding" : name == "Resolution" ? "--resolution" : "--csv-raw";
    if (!probe->PublishedProperties()->Find(name))
      throw EUsageError(flag + " does not apply to the " + format_.FormatName + " format");
    try {
      SetValue(*probe, probe->PublishedProperties()->Get(name), value);
    } catch (const std::exception& e) {
      throw EUsageError(flag + ": " + e.what());
    }
  }
}

void TExportSettings::Apply(TZdqExport& exporter) const {
  for (const auto& [name, value] : properties_) SetValue(exporter, exporter.PublishedProperties()->Get(name), value);
}

TZdqExportClass TExportSettings::ExportClass() {
  return [this](TComponent* owner) {
    std::unique_ptr<TZdqExport> exporter = format_.ExportClass(owner);
    Apply(*exporter);
    exporter->OnEndExecute = [this](TComponent* sender) {
      replaced_ += static_cast<TZdqExport*>(sender)->ReplacedCharacters;
    };
    return exporter;
  };
}

}  // namespace zd::cli
