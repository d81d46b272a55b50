#pragma once
// Editors of a whole report element (the designer's "Edit properties..."),
// registered by the element's class.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace zd {

class TZdqControl;

// A dialog editor: filled from the element, captioned in the report's
// language, and writing back only when it is confirmed.
class TZdqBaseEditor : public QDialog {
 public:
  explicit TZdqBaseEditor(QWidget* parent = nullptr) : QDialog(parent) {}
  TZdqControl* FZdqControl = nullptr;
  int LangShift = 0;

  virtual bool IsBandEditor() const { return false; }
  virtual void FillStringsFromRes() {}
  virtual void BeforeEditProperties() {}
  virtual void AfterEditProperties() {}
};

// An editor with its own way of asking the user (no dialog of ours).
class TZdqBaseExternalEditor {
 public:
  virtual ~TZdqBaseExternalEditor() = default;
  TZdqControl* FZdqControl = nullptr;
  virtual bool InternalExecute() { return true; }
  virtual void BeforeEditProperties() {}
  virtual void AfterEditProperties() {}
};

namespace detail {
struct TZdqEditorFactory {
  std::function<std::unique_ptr<TZdqBaseEditor>(QWidget* parent)> dialog;
  std::function<std::unique_ptr<TZdqBaseExternalEditor>()> external;
};
void RegisterControlEditor(const std::string& controlClass, TZdqEditorFactory factory);
}  // namespace detail

// Replaces any editor of that class name.
template <class TEditor>
void RegisterZdqEditor(const std::string& controlClass) {
  detail::TZdqEditorFactory factory;
  if constexpr (std::is_base_of_v<TZdqBaseEditor, TEditor>)
    factory.dialog = [](QWidget* parent) { return std::make_unique<TEditor>(parent); };
  else
    factory.external = [] { return std::make_unique<TEditor>(); };
  detail::RegisterControlEditor(controlClass, std::move(factory));
}
void UnRegisterZdqEditor(const std::string& controlClass);

// Whether an editor is registered for the control's class or, failing
// that, the nearest class it derives from.
bool HasZdqEditor(const TZdqControl& control);
// Runs the control's editor; true when it was confirmed and the control
// holds the edits (the caller repaints and records them).
bool EditZdqControl(TZdqControl& control, QWidget* parent = nullptr);

}  // namespace zd
