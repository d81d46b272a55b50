#include "report/model/ControlRegistry.h"

#include <algorithm>

#include "host/core/TextUtil.h"
#include "host/data/SqlDataSet.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "report/controls/PictureControls.h"
#include "report/controls/ShapeControls.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

std::vector<TZdqRegisterControl>& registry() {
  static std::vector<TZdqRegisterControl> list;
  return list;
}

bool& reportClassesRegistered() {
  static bool registered = false;
  return registered;
}

const char* const kBuiltInControls[] = {"TZdqLabel",     "TZdqExpression", "TZdqSysData", "TZdqImage",
                                        "TZdqLine",      "TZdqRectangle",  "TZdqEllipse", "TZdRichText"};

}  // namespace

void RegisterZdqControl(const TComponentClass& controlClass, int hintIndex, const std::string& hint,
                        intptr_t hInstance) {
  if (controlClass.name.empty()) return;
  UnRegisterZdqControl(controlClass.name);
  GlobalClassRegistry().Register(controlClass);
  registry().push_back({controlClass.name, hintIndex, hint, hInstance, 0});
}

void UnRegisterZdqControl(std::string_view className) {
  auto& list = registry();
  for (int i = int(list.size()) - 1; i >= 0; --i) {
    if (!SameText(list[size_t(i)].ControlClassName, className)) continue;
    GlobalClassRegistry().Unregister(list[size_t(i)].ControlClassName);
    list.erase(list.begin() + i);
  }
}

const std::vector<TZdqRegisterControl>& lstZdqControls() { return registry(); }

const TZdqRegisterControl* FindZdqControl(std::string_view className) {
  for (const TZdqRegisterControl& entry : registry())
    if (SameText(entry.ControlClassName, className)) return &entry;
  return nullptr;
}

std::string ZdqControlCaption(const TZdqRegisterControl& entry, int languageShift) {
  return entry.Hint.empty() ? GetString(languageShift, entry.HintIndex) : entry.Hint;
}

void RegisterReportClasses() {
  if (reportClassesRegistered()) return;
  reportClassesRegistered() = true;
  TClassRegistry& classes = GlobalClassRegistry();
  classes.Register<TZdReport>("TZdReport", &TZdReport::ClassProperties());
  classes.Register<TZdqBand>("TZdqBand", &TZdqBand::ClassProperties());
  classes.Register<TZdqDataManager>("TZdqDataManager", &TZdqDataManager::ClassProperties());
  classes.Register<TSqlDataSet>("TSqlDataSet", &TSqlDataSet::ClassProperties());
  RegisterZdqControl<TZdqLabel>("TZdqLabel", txt::AddLabel);
  RegisterZdqControl<TZdqExpression>("TZdqExpression", txt::AddExpression);
  RegisterZdqControl<TZdqSysData>("TZdqSysData", txt::AddSysData);
  RegisterZdqControl<TZdqImage>("TZdqImage", txt::AddImage);
  RegisterZdqControl<TZdqLine>("TZdqLine", txt::AddLine);
  RegisterZdqControl<TZdqRectangle>("TZdqRectangle", txt::AddRectangle);
  RegisterZdqControl<TZdqEllipse>("TZdqEllipse", txt::AddEllipse);
  RegisterZdqControl<TZdRichText>("TZdRichText", txt::AddRichText);
}

void UnRegisterReportClasses() {
  if (!reportClassesRegistered()) return;
  reportClassesRegistered() = false;
  for (const char* name : kBuiltInControls) UnRegisterZdqControl(name);
  GlobalClassRegistry().Unregister("TZdReport");
  GlobalClassRegistry().Unregister("TZdqBand");
  GlobalClassRegistry().Unregister("TZdqDataManager");
  GlobalClassRegistry().Unregister("TSqlDataSet");
}

}  // namespace zd
