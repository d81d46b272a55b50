#include "designer/DesignTemplates.h"

#include "host/core/TextUtil.h"
#include "host/data/MemoryDataSet.h"
#include "report/model/ZdReport.h"
#include "report/template/Template.h"

namespace zd {

namespace {

// "Band.Dataset = Root.Orders" -> "Orders" when the property holds a dataset.
std::string DataSetNameOf(const std::string& reference) {
  const size_t equals = reference.find(" = ");
  if (equals == std::string::npos) return {};
  const std::string path = UpperCase(reference.substr(0, equals));
  if (!path.ends_with("DATASET")) return {};
  std::string name = reference.substr(equals + 3);
  if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(0, dot + 1);
  return name;
}

}  // namespace

void LoadReportForDesign(TZdReport& report, const std::string& fileName) {
  const TTemplateLoadResult loaded = LoadReport(report, fileName);
  TComponent* owner = report.Owner();
  if (!owner) return;
  bool added = false;
  for (const std::string& reference : loaded.UnresolvedReferences) {
    const std::string name = DataSetNameOf(reference);
    if (name.empty() || owner->FindComponent(name)) continue;
    auto* standIn = new TMemoryDataSet(owner);
    standIn->SetName(name);
    added = true;
  }
  if (added) LoadReport(report, fileName);
}

}  // namespace zd
