#include "designer/ZdqEdit.h"

#include <map>

#include "designer/ZdqDialogs.h"
#include "host/core/Properties.h"
#include "report/model/ZdqBase.h"

namespace zd {

namespace {

std::map<std::string, detail::TZdqEditorFactory>& Editors() {
  static std::map<std::string, detail::TZdqEditorFactory> editors = [] {
    std::map<std::string, detail::TZdqEditorFactory> standard;
    RegisterStandardZdqEditors([&standard](const std::string& cls, detail::TZdqEditorFactory f) {
      standard[cls] = std::move(f);
    });
    return standard;
  }();
  return editors;
}

// The entry for the control's class, else for the nearest class it derives
// from, so that every control has the common dialog at least.
const detail::TZdqEditorFactory* FindEditor(const TZdqControl& control) {
  const auto& editors = Editors();
  if (auto it = editors.find(control.ClassName()); it != editors.end()) return &it->second;
  for (const TClassProperties* c = control.PublishedProperties(); c; c = c->Parent())
    if (auto it = editors.find(c->ClassName()); it != editors.end()) return &it->second;
  return nullptr;
}

}  // namespace

namespace detail {
void RegisterControlEditor(const std::string& controlClass, TZdqEditorFactory factory) {
  Editors()[controlClass] = std::move(factory);
}
}  // namespace detail

void UnRegisterZdqEditor(const std::string& controlClass) { Editors().erase(controlClass); }

bool HasZdqEditor(const TZdqControl& control) { return FindEditor(control) != nullptr; }

bool EditZdqControl(TZdqControl& control, QWidget* parent) {
  const detail::TZdqEditorFactory* factory = FindEditor(control);
  if (!factory) return false;
  bool confirmed = false;
  if (factory->dialog) {
    std::unique_ptr<TZdqBaseEditor> editor = factory->dialog(parent);
    if (dynamic_cast<TZdqBand*>(&control) && !editor->IsBandEditor()) return false;
    editor->FZdqControl = &control;
    editor->BeforeEditProperties();
    editor->FillStringsFromRes();
    confirmed = editor->exec() == QDialog::Accepted;
    if (confirmed) editor->AfterEditProperties();
  } else {
    std::unique_ptr<TZdqBaseExternalEditor> editor = factory->external();
    editor->FZdqControl = &control;
    editor->BeforeEditProperties();
    confirmed = editor->InternalExecute();
    if (confirmed) editor->AfterEditProperties();
  }
  return confirmed;
}

}  // namespace zd
