#pragma once
// The object inspector: the published properties or events of one object of
// the report in a two-column grid, edited in place or through the property
// editors registered here.
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Properties.h"

class QComboBox;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace zd {

class TZdReport;

enum class TZdqPropertyEditorType { petEditbox, petEditButton, petCombobox };
enum TZdqPropertyAttribute : uint8_t { rpaDialog = 1, rpaValueList = 2, rpaSortList = 4 };
using TZdqPropertyAttributes = uint8_t;

// The name of a property's type that editors are registered by: an
// enumeration's or set's type, an owned object's class, "TColor" for
// colours, "TStrings" for string lists.
std::string PropertyTypeName(TPersistent& instance, const TPropertyInfo& prop);

// What a dialog editor needs of the inspector it was opened from.
struct TZdqEditContext {
  QWidget* parent = nullptr;
  int LangShift = 0;
  TZdReport* Report = nullptr;
};

// Edits properties of one type or name beyond the plain edit box.
class TZdqPropertyEditor {
 public:
  virtual ~TZdqPropertyEditor() = default;
  std::string PropertyName;  // empty: any name
  std::string ObjectClass;   // a property type name; empty: any type

  TZdqPropertyEditorType EditorType() const { return GetEditorType(); }
  TZdqPropertyEditorType GetEditorType() const;
  virtual TZdqPropertyAttributes GetAttributes() const { return 0; }
  // The choices of a drop-down list, in the order the list shows them.
  virtual void GetValues(QStringList& list, const TPropertyInfo& prop) const;
  // The dialog of a "..." button; true when it changed the property.
  virtual bool Edit(const TZdqEditContext& context, TPersistent& instance, const TPropertyInfo& prop);
};

// Applies to every property of one kind.
class TZdqKindPropertyEditor : public TZdqPropertyEditor {
 public:
  TPropKind TypeKind = TPropKind::Integer;
};

// Later registrations take precedence; registering the same editor class
// for the same type and name again replaces the entry.
template <class TEditor>
void RegisterZdqPropertyEditor(const std::string& objectClass, const std::string& propertyName);
template <class TEditor>
void RegisterZdqKindPropertyEditor(const std::string& objectClass, const std::string& propertyName, TPropKind kind);
template <class TEditor>
void UnRegisterZdqPropertyEditor(const std::string& objectClass, const std::string& propertyName);
// The editor for the property, nullptr for the plain edit box.
TZdqPropertyEditor* GetZdqPropertyEditor(TPersistent* instance, const TPropertyInfo* prop);

namespace detail {
void RegisterEditor(std::unique_ptr<TZdqPropertyEditor> editor, bool kind);
void UnRegisterEditors(const std::type_info& editorClass, const std::string& objectClass,
                       const std::string& propertyName);
}  // namespace detail

template <class TEditor>
void RegisterZdqPropertyEditor(const std::string& objectClass, const std::string& propertyName) {
  auto editor = std::make_unique<TEditor>();
  editor->ObjectClass = objectClass;
  editor->PropertyName = propertyName;
  detail::RegisterEditor(std::move(editor), false);
}
template <class TEditor>
void RegisterZdqKindPropertyEditor(const std::string& objectClass, const std::string& propertyName, TPropKind kind) {
  auto editor = std::make_unique<TEditor>();
  editor->ObjectClass = objectClass;
  editor->PropertyName = propertyName;
  editor->TypeKind = kind;
  detail::RegisterEditor(std::move(editor), true);
}
template <class TEditor>
void UnRegisterZdqPropertyEditor(const std::string& objectClass, const std::string& propertyName) {
  detail::UnRegisterEditors(typeid(TEditor), objectClass, propertyName);
}

// The text of a value in the grid: numbers, names, "[a,b]" for sets,
// "(TClass)" for owned objects, handler names for events.
std::string PropertyValueText(TPersistent& instance, const TPropertyInfo& prop);

// One row of the grid.
struct TZdqOIRow {
  const TPropertyInfo* pi;
  TPersistent* object;  // the object that owns the property
  int Level;            // 0 for the inspected object's own properties
};

class TfrmZdqOI : public QWidget {
 public:
  TfrmZdqOI(TZdReport& report, QWidget* parent = nullptr);
  ~TfrmZdqOI() override;

  // Lists the report and, recursively, every component it owns.
  void RebuildObjectList();
  // Shows the component when it is listed.
  void SelectComponent(TComponent* component);
  TComponent* Selected() const { return selected_; }
  // Fills the grid with the properties (events on the second tab) of the
  // selected component; the current row and open rows are kept by name.
  void ObjectInspector();
  // After the report was rebuilt (undo): the same place in the component
  // tree is shown again.
  void Refresh();

  // The user chose a band or control in the list.
  std::function<void(TComponent&)> OnSelect;

  QComboBox* cbOI;
  QTabBar* tcOI;
  QTreeWidget* sgOI;
  int LangShift = 0;

  // The grid row of a property path ("Font.Size"), nullptr when not listed.
  QTreeWidgetItem* RowOf(const std::string& path) const;
  const TZdqOIRow& Row(const QTreeWidgetItem* item) const;
  // The in-place editor over the current row's value, nullptr without one.
  QWidget* InplaceEditor() const { return inplace_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void addRows(QTreeWidgetItem* parent, TPersistent& object, int level, std::vector<const TPersistent*>& owners);
  void showValue(QTreeWidgetItem* item);
  void openInplaceEditor(QTreeWidgetItem* item);
  void closeInplaceEditor();
  // Writes the text as the row's value; a refused value is reported.
  void apply(QTreeWidgetItem* item, const std::string& text);
  void runEditor(QTreeWidgetItem* item);
  void whileEditing(QTreeWidgetItem* item, const std::function<void()>& edit);
  std::string pathOf(const QTreeWidgetItem* item) const;
  std::vector<int> placeOf(const TComponent* component) const;

  TZdReport& report_;
  TComponent* selected_ = nullptr;
  std::vector<int> selectedPlace_;  // indexes in Components() from the report
  std::vector<TZdqOIRow> rows_;
  QWidget* inplace_ = nullptr;
  QTreeWidgetItem* inplaceItem_ = nullptr;
  bool filling_ = false;
  bool editing_ = false, refreshPending_ = false;
};

}  // namespace zd
