#pragma once
// Process-wide list of the control classes the designer can place, with
// their palette captions. Registration also makes a class known to the
// host class registry so templates can name it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/core/ClassRegistry.h"

namespace zd {

struct TZdqRegisterControl {
  std::string ControlClassName;
  int HintIndex = 0;      // string-table number of the palette caption
  std::string Hint;       // palette hint; empty for the built-in classes
  intptr_t hInstance = 0; // module holding the class's cursor
  int intCursorIndex = 0; // no cursors are loaded here, so always 0
};

// Replaces an earlier entry of the same class; a class without a name is ignored.
void RegisterZdqControl(const TComponentClass& controlClass, int hintIndex, const std::string& hint,
                        intptr_t hInstance = 0);
template <class T>
void RegisterZdqControl(const std::string& className, int hintIndex, const std::string& hint = {},
                        intptr_t hInstance = 0) {
  RegisterZdqControl({className, typeid(T), [](TComponent* owner) -> TComponent* { return new T(owner); },
                      &T::ClassProperties()},
                     hintIndex, hint, hInstance);
}
// Removes every entry of the class and its host registration.
void UnRegisterZdqControl(std::string_view className);

// Registered controls in registration order.
const std::vector<TZdqRegisterControl>& lstZdqControls();
const TZdqRegisterControl* FindZdqControl(std::string_view className);  // ignoring case
// The palette caption: the hint when set, else the caption text.
std::string ZdqControlCaption(const TZdqRegisterControl& entry, int languageShift);

// Registers the report, the band and the built-in controls, once.
void RegisterReportClasses();
// Undoes RegisterReportClasses; a later RegisterReportClasses registers again.
void UnRegisterReportClasses();

}  // namespace zd
