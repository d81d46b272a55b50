#include "designer/DesignClipboard.h"

#include "designer/DesignEdits.h"
#include "report/model/ZdReport.h"
#include "report/template/TemplateObjects.h"

namespace zd {

void TDesignClipboard::Copy(const std::vector<TZdqControl*>& controls) {
  records_.clear();
  for (const TZdqControl* c : controls) records_.push_back({c->ClassName(), StreamProperties(*c)});
}

std::vector<TZdqControl*> TDesignClipboard::Paste(TZdqBand& band) const {
  std::vector<TZdqControl*> pasted;
  for (const TRecord& record : records_) {
    const TComponentClass* cls = TZdqBand::GetClassByName(record.className);
    if (!cls) continue;  // its class was unregistered since
    TZdqControl* control = band.Objects()[size_t(band.AddElement(*cls))];
    TZdReport* report = band.GetZdReport();
    TComponent* form = report ? report->Owner() : nullptr;
    TStreamReadContext context;
    context.resolve = [form](const std::string& name) { return form ? form->FindComponent(name) : nullptr; };
    ApplyStreamProperties(*control, record.properties, context, record.className);
    if (report) {
      const std::string unique = report->GetUniqueName(control->DisplayName(), control);
      if (unique != control->DisplayName()) SetPublished(*control, "DisplayName", unique);
    }
    pasted.push_back(control);
  }
  return pasted;
}

TDesignClipboard& DesignClipboard() {
  static TDesignClipboard clipboard;
  return clipboard;
}

}  // namespace zd
