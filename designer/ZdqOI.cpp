#include "designer/ZdqOI.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <typeinfo>

#include "designer/DialogButtons.h"
#include "designer/ExpressionBuilder.h"
#include "designer/ZdPicEdit.h"
#include "designer/controls/ZdColorsCombo.h"
#include "designer/DesignerText.h"
#include "report/controls/PictureControls.h"
#include "host/core/Strings.h"
#include "host/data/DataSet.h"
#include "host/graphics/QtGraphics.h"
#include "host/graphics/SystemColors.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "report/model/FontObject.h"
#include "report/model/ZdReport.h"
#include "report/model/ZdqDMan.h"

namespace zd {

namespace {


bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

// An OK / Cancel pair under the dialog's content.
QDialogButtonBox* AddButtons(QDialog& dialog, QLayout* layout, int shift) {
  QDialogButtonBox* buttons = NewOkCancel(dialog, DesignerText(shift, txt::OK), DesignerText(shift, txt::Cancel));
  layout->addWidget(buttons);
  return buttons;
}

// ---- standard editors ----

class TZdqEnumEditor : public TZdqKindPropertyEditor {
 public:
  TZdqPropertyAttributes GetAttributes() const override { return rpaValueList | rpaSortList; }
  void GetValues(QStringList& list, const TPropertyInfo& prop) const override {
    for (const std::string& name : prop.ValueNames().names) list << QString::fromStdString(name);
  }
};

class TZdqBooleanEditor : public TZdqKindPropertyEditor {
 public:
  TZdqPropertyAttributes GetAttributes() const override { return rpaValueList; }
  void GetValues(QStringList& list, const TPropertyInfo&) const override { list << "False" << "True"; }
};

// One check box per member of the set.
class TZdqSetEditor : public TZdqKindPropertyEditor {
 public:
  TZdqPropertyAttributes GetAttributes() const override { return rpaDialog; }
  bool Edit(const TZdqEditContext& context, TPersistent& instance, const TPropertyInfo& prop) override {
    QDialog dialog(context.parent);
    dialog.setWindowTitle(QString::fromStdString(prop.Name()));
    auto* layout = new QVBoxLayout(&dialog);
    auto* members = new QListWidget;
    const uint64_t mask = uint64_t(prop.GetOrdinal(instance));
    const auto& names = prop.ValueNames().names;
    for (size_t i = 0; i < names.size(); ++i) {
      auto* item = new QListWidgetItem(QString::fromStdString(names[i]), members);
      item->setCheckState(mask & (uint64_t(1) << i) ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(members);
    AddButtons(dialog, layout, context.LangShift);
    if (dialog.exec() != QDialog::Accepted) return false;
    uint64_t chosen = 0;
    for (int i = 0; i < members->count(); ++i)
      if (members->item(i)->checkState() == Qt::Checked) chosen |= uint64_t(1) << i;
    prop.SetOrdinal(instance, int64_t(chosen));
    return true;
  }
};

class TZdqFontEditor : public TZdqPropertyEditor {
 public:
  TZdqPropertyAttributes GetAttributes() const override { return rpaDialog; }
  bool Edit(const TZdqEditContext& context, TPersistent& instance, const TPropertyInfo& prop) override {
    auto* font = dynamic_cast<TZdqFont*>(prop.GetObject(instance));
    if (!font) return false;
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, ToQFont(font->Value()), context.parent);
    if (!ok) return false;
    TZdqFont edited;
    edited.Assign(*font);
    TFont& f = edited.Edit();
    f.Name = chosen.family().toStdString();
    if (chosen.pointSize() > 0) f.Size = chosen.pointSize();
    f.Style = TFontStyles{};
    f.Style.Set(fsBold, chosen.bold());
    f.Style.Set(fsItalic, chosen.italic());
    f.Style.Set(fsUnderline, chosen.underline());
    f.Style.Set(fsStrikeOut, chosen.strikeOut());
    prop.AssignObject(instance, edited);
    return true;
  }
};

class TZdqFileNameEditor : public TZdqPropertyEditor {
 public:
  TZdqPropertyAttributes GetAttributes() const override { return rpaDialog; }
  bool Edit(const TZdqEditContext& context, TPersistent& instance, const TPropertyInfo& prop) override {
    const QString name = QFileDialog::getOpenFileName(context.parent, QString::fromStdString(prop.Name()),
                                                      QString::fromStdString(prop.GetString(instance)),
                                                      "All files (*)");
    if (name.isEmpty()) return false;
    prop.SetString(instance, name.toStdString());
    return true;
  }
};

// A memo that follows the dialog's size.
class TZdqStringsEditor : public TZdqPropertyEditor {
 public:
  TZdqPropertyAttributes GetAttributes() const override { return rpaDialog; }
  bool Edit(const TZdqEditContext& context, TPersistent& instance, const TPropertyInfo& prop) override {
    auto* lines = dynamic_cast<TStrings*>(prop.GetObject(instance));
    if (!lines) return false;
    QDialog dialog(context.parent);
    dialog.setWindowTitle(QString::fromStdString(prop.Name()));
    auto* layout = new QVBoxLayout(&dialog);
    auto* memo = new QPlainTextEdit;
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList text;
    for (int i = 0; i < lines->Count(); ++i) text << QString::fromStdString(lines->Strings(i));
    memo->setPlainText(text.join('\n'));
    layout->addWidget(memo);
    AddButtons(dialog, layout, context.LangShift);
    dialog.resize(400, 300);
    if (dialog.exec() != QDialog::Accepted) return false;
    TStringList edited;
    edited.SetText(memo->toPlainText().toStdString());
    prop.AssignObject(instance, edited);
    return true;
  }
};

// Pictures are kept as their file bytes.
class TZdqPictureEditor : public TZdqPropertyEditor {
 public:
  TZdqPropertyAttributes GetAttributes() const override { return rpaDialog; }
  bool Edit(const TZdqEditContext& context, TPersistent& instance, const TPropertyInfo& prop) override {
    if (prop.Kind() != TPropKind::Binary) return false;
    TPicture picture;
    const TBytes bytes = prop.GetBytes(instance);
    if (!bytes.empty()) picture.LoadFromBytes(bytes);
    if (!ZdqChangePicture(context.LangShift, picture, context.parent)) return false;
    prop.SetBytes(instance, PictureBytes(picture));
    // An image drawn from a file or a field would replace the chosen picture at once.
    if (auto* image = dynamic_cast<TZdqImage*>(&instance); image && !picture.Empty())
      image->SetImageKind(TZdqImageKind::ikPicture);
    return true;
  }
};

// The expression builder over the inspected report's data.
class TZdqExpressionEditor : public TZdqPropertyEditor {
 public:
  TZdqPropertyAttributes GetAttributes() const override { return rpaDialog; }
  bool Edit(const TZdqEditContext& context, TPersistent& instance, const TPropertyInfo& prop) override {
    if (!context.Report || prop.Kind() != TPropKind::String) return false;
    std::string expression = prop.GetString(instance);
    if (!ExpressionBuilder(expression, *context.Report, context.parent)) return false;
    prop.SetString(instance, expression);
    return true;
  }
};

// ---- the registry ----

struct TRegistry {
  std::vector<std::unique_ptr<TZdqPropertyEditor>> plain, kinds;
  TRegistry() {
    RegisterKind<TZdqEnumEditor>(TPropKind::Enumeration);
    RegisterKind<TZdqBooleanEditor>(TPropKind::Boolean);
    RegisterKind<TZdqSetEditor>(TPropKind::Set);
    Register<TZdqFontEditor>("TZdqFont", "");
    Register<TZdqFileNameEditor>("", "FILENAME");
    Register<TZdqStringsEditor>("TStrings", "");
    Register<TZdqPictureEditor>("", "Picture");
    for (const char* name : {"Expression", "OutlineExpression", "ShowIf", "HideWhen"})
      Register<TZdqExpressionEditor>("", name);
  }
  template <class T>
  void Register(const char* objectClass, const char* name) {
    auto e = std::make_unique<T>();
    e->ObjectClass = objectClass;
    e->PropertyName = name;
    plain.push_back(std::move(e));
  }
  template <class T>
  void RegisterKind(TPropKind kind) {
    auto e = std::make_unique<T>();
    e->TypeKind = kind;
    kinds.push_back(std::move(e));
  }
};

TRegistry& Registry() {
  static TRegistry registry;
  return registry;
}

bool NameFits(const TZdqPropertyEditor& e, const TPropertyInfo& prop) {
  return e.PropertyName.empty() || SameText(e.PropertyName, prop.Name());
}

constexpr int kRowRole = Qt::UserRole;

}  // namespace

// ---- editors ----

TZdqPropertyEditorType TZdqPropertyEditor::GetEditorType() const {
  const TZdqPropertyAttributes a = GetAttributes();
  if (a & rpaDialog) return TZdqPropertyEditorType::petEditButton;
  if (a & rpaValueList) return TZdqPropertyEditorType::petCombobox;
  return TZdqPropertyEditorType::petEditbox;
}

void TZdqPropertyEditor::GetValues(QStringList& list, const TPropertyInfo&) const {
  if (GetAttributes() & rpaSortList) list.sort();
}

bool TZdqPropertyEditor::Edit(const TZdqEditContext&, TPersistent&, const TPropertyInfo&) { return false; }

namespace detail {

void RegisterEditor(std::unique_ptr<TZdqPropertyEditor> editor, bool kind) {
  UnRegisterEditors(typeid(*editor), editor->ObjectClass, editor->PropertyName);
  (kind ? Registry().kinds : Registry().plain).push_back(std::move(editor));
}

void UnRegisterEditors(const std::type_info& editorClass, const std::string& objectClass,
                       const std::string& propertyName) {
  for (auto* list : {&Registry().plain, &Registry().kinds})
    std::erase_if(*list, [&](const std::unique_ptr<TZdqPropertyEditor>& e) {
      return typeid(*e) == editorClass && SameText(e->ObjectClass, objectClass) &&
             SameText(e->PropertyName, propertyName);
    });
}

}  // namespace detail

std::string PropertyTypeName(TPersistent& instance, const TPropertyInfo& prop) {
  switch (prop.Kind()) {
    case TPropKind::Enumeration:
    case TPropKind::Set: return prop.ValueNames().typeName;
    case TPropKind::Color: return "TColor";
    case TPropKind::StringList: return "TStrings";
    case TPropKind::Object:
    case TPropKind::Collection: {
      const TPersistent* owned = prop.GetObject(instance);
      return owned ? owned->ClassName() : std::string();
    }
    default: return {};
  }
}

TZdqPropertyEditor* GetZdqPropertyEditor(TPersistent* instance, const TPropertyInfo* prop) {
  if (!instance || !prop || prop->Name().empty()) return nullptr;
  const std::string typeName = PropertyTypeName(*instance, *prop);
  auto& plain = Registry().plain;
  for (auto it = plain.rbegin(); it != plain.rend(); ++it)
    if (((*it)->ObjectClass.empty() || SameText((*it)->ObjectClass, typeName)) && NameFits(**it, *prop))
      return it->get();
  auto& kinds = Registry().kinds;
  for (auto it = kinds.rbegin(); it != kinds.rend(); ++it)
    if (static_cast<TZdqKindPropertyEditor&>(**it).TypeKind == prop->Kind() && NameFits(**it, *prop))
      return it->get();
  return nullptr;
}

std::string PropertyValueText(TPersistent& instance, const TPropertyInfo& prop) {
  switch (prop.Kind()) {
    case TPropKind::Integer:
      return std::to_string(prop.GetOrdinal(instance));
    case TPropKind::Boolean:
      return prop.GetOrdinal(instance) ? "True" : "False";
    case TPropKind::Float:
      return QString::number(prop.GetFloat(instance), 'g', 15).toStdString();
    case TPropKind::String:
    case TPropKind::Method:
      return prop.GetString(instance);
    case TPropKind::Enumeration:
    case TPropKind::Set:
    case TPropKind::Reference:
      return ValueOf(instance, prop).asString();
    case TPropKind::Variant: {
      const TVariant v = prop.GetVariant(instance);
      switch (v.kind()) {
        case TVarKind::String: return v.asString();
        case TVarKind::Integer: return std::to_string(v.asInteger());
        case TVarKind::Float: return QString::number(v.asFloat(), 'g', 15).toStdString();
        case TVarKind::Boolean: return v.asBoolean() ? "True" : "False";
        default: return {};
      }
    }
    case TPropKind::Color: {
      const TColor c = ResolveSystemColor(TColor(prop.GetOrdinal(instance)));
      return QString::asprintf("R:%.2x G:%.2x B:%.2x", RedOf(c), GreenOf(c), BlueOf(c)).toStdString();
    }
    case TPropKind::Binary:
      return prop.GetBytes(instance).empty() ? std::string() : "(" + prop.Name() + ")";
    case TPropKind::Object:
    case TPropKind::StringList:
    case TPropKind::Collection:
      return "(" + PropertyTypeName(instance, prop) + ")";
  }
  return {};
}

// ---- the window ----

TfrmZdqOI::TfrmZdqOI(TZdReport& report, QWidget* parent) : QWidget(parent), report_(report) {
  LangShift = report.GetLanguageShift();
  setWindowTitle(DesignerText(LangShift, txt::InspectorCaption));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  cbOI = new QComboBox;
  // Long element names would otherwise widen the whole dock.
  cbOI->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbOI->setMinimumContentsLength(20);
  tcOI = new QTabBar;
  tcOI->addTab(DesignerText(LangShift, txt::InspectorProperties));
  tcOI->addTab(DesignerText(LangShift, txt::InspectorEvents));
  sgOI = new QTreeWidget;
  sgOI->setColumnCount(2);
  sgOI->setHeaderHidden(true);
  sgOI->setRootIsDecorated(true);
  sgOI->setIndentation(12);
  sgOI->setAlternatingRowColors(false);
  sgOI->header()->setSectionResizeMode(QHeaderView::Stretch);
  layout->addWidget(cbOI);
  layout->addWidget(tcOI);
  layout->addWidget(sgOI, 1);

  connect(cbOI, &QComboBox::activated, this, [this](int index) {
    auto* chosen = static_cast<TComponent*>(cbOI->itemData(index).value<void*>());
    if (!chosen) return;
    SelectComponent(chosen);
    if (OnSelect) OnSelect(*chosen);
  });
  connect(tcOI, &QTabBar::currentChanged, this, [this] { ObjectInspector(); });
  connect(sgOI, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { openInplaceEditor(current); });
  RebuildObjectList();
  SelectComponent(&report_);
}

TfrmZdqOI::~TfrmZdqOI() = default;

void TfrmZdqOI::RebuildObjectList() {
  cbOI->clear();
  std::vector<std::pair<QString, TComponent*>> entries;
  std::function<void(TComponent*)> add = [&](TComponent* c) {
    const auto* control = dynamic_cast<const TZdqControl*>(c);
    const auto* band = dynamic_cast<const TZdqBand*>(c);
    const std::string name = band && c->Name().empty() ? band->GetBandName()
                             : control && !band     ? control->DisplayName()
                                                    : c->Name();
    entries.emplace_back(QString::fromStdString(name + ": " + c->ClassName()), c);
    for (TComponent* child : c->Components()) add(child);
  };
  add(&report_);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
  for (const auto& [text, c] : entries) cbOI->addItem(text, QVariant::fromValue(static_cast<void*>(c)));
  cbOI->setCurrentIndex(cbOI->findData(QVariant::fromValue(static_cast<void*>(selected_))));
}

void TfrmZdqOI::SelectComponent(TComponent* component) {
  const int index = cbOI->findData(QVariant::fromValue(static_cast<void*>(component)));
  if (index < 0) return;
  cbOI->setCurrentIndex(index);
  if (component == selected_) return;
  selected_ = component;
  selectedPlace_ = placeOf(component);
  ObjectInspector();
}

std::vector<int> TfrmZdqOI::placeOf(const TComponent* component) const {
  std::vector<int> place;
  for (const TComponent* c = component; c && c != &report_; c = c->Owner()) {
    const auto& siblings = c->Owner()->Components();
    place.insert(place.begin(), int(std::find(siblings.begin(), siblings.end(), c) - siblings.begin()));
  }
  return place;
}

void TfrmZdqOI::Refresh() {
  if (editing_) {
    refreshPending_ = true;
    return;
  }
  TComponent* found = &report_;
  for (int index : selectedPlace_) {
    if (index >= found->ComponentCount()) {
      found = &report_;
      break;
    }
    found = found->Components()[size_t(index)];
  }
  selected_ = found;
  selectedPlace_ = placeOf(found);
  RebuildObjectList();
  ObjectInspector();
}

std::string TfrmZdqOI::pathOf(const QTreeWidgetItem* item) const {
  std::string path;
  for (; item; item = item->parent()) path = Row(item).pi->Name() + (path.empty() ? "" : "." + path);
  return path;
}

QTreeWidgetItem* TfrmZdqOI::RowOf(const std::string& path) const {
  for (QTreeWidgetItemIterator it(sgOI); *it; ++it)
    if (SameText(pathOf(*it), path)) return *it;
  return nullptr;
}

const TZdqOIRow& TfrmZdqOI::Row(const QTreeWidgetItem* item) const {
  return rows_.at(size_t(item->data(0, kRowRole).toInt()));
}

void TfrmZdqOI::ObjectInspector() {
  if (editing_) {
    refreshPending_ = true;
    return;
  }
  if (filling_) return;
  filling_ = true;
  std::string current;
  std::vector<std::string> expanded;
  if (!rows_.empty()) {
    if (sgOI->currentItem()) current = pathOf(sgOI->currentItem());
    for (QTreeWidgetItemIterator it(sgOI); *it; ++it)
      if ((*it)->isExpanded()) expanded.push_back(pathOf(*it));
  }
  closeInplaceEditor();
  sgOI->clear();
  rows_.clear();
  if (selected_) {
    std::vector<const TPersistent*> owners;
    addRows(nullptr, *selected_, 0, owners);
  }
  for (const std::string& path : expanded)
    if (QTreeWidgetItem* item = RowOf(path)) item->setExpanded(true);
  filling_ = false;
  if (QTreeWidgetItem* item = current.empty() ? nullptr : RowOf(current))
    sgOI->setCurrentItem(item, 1);
}

void TfrmZdqOI::addRows(QTreeWidgetItem* parent, TPersistent& object, int level,
                        std::vector<const TPersistent*>& owners) {
  const TClassProperties* props = object.PublishedProperties();
  if (!props) return;
  const bool events = tcOI->currentIndex() == 1;
  std::vector<const TPropertyInfo*> list;
  for (const TPropertyInfo* p : props->Properties())
    if ((p->Kind() == TPropKind::Method) == events) list.push_back(p);
  std::sort(list.begin(), list.end(), [](auto* a, auto* b) {
    return QString::fromStdString(a->Name()).compare(QString::fromStdString(b->Name()), Qt::CaseInsensitive) < 0;
  });
  owners.push_back(&object);
  for (const TPropertyInfo* p : list) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(sgOI);
    item->setData(0, kRowRole, int(rows_.size()));
    rows_.push_back({p, &object, level});
    item->setText(0, QString::fromStdString(p->Name()));
    showValue(item);
    if (p->Kind() != TPropKind::Object) continue;
    TPersistent* owned = p->GetObject(object);
    if (owned && std::find(owners.begin(), owners.end(), owned) == owners.end())
      addRows(item, *owned, level + 1, owners);
  }
  owners.pop_back();
}

void TfrmZdqOI::showValue(QTreeWidgetItem* item) {
  const TZdqOIRow& row = Row(item);
  item->setText(1, QString::fromStdString(PropertyValueText(*row.object, *row.pi)));
  QFont font = sgOI->font();
  const bool container = row.pi->Kind() == TPropKind::Object || row.pi->Kind() == TPropKind::Collection;
  font.setBold(!container && !IsStoredDefault(*row.object, *row.pi));
  item->setFont(1, font);
  if (row.pi->Kind() == TPropKind::Color) {
    QPixmap swatch(12, 12);
    swatch.fill(ToQColor(ResolveSystemColor(TColor(row.pi->GetOrdinal(*row.object)))));
    QPainter(&swatch).drawRect(0, 0, 11, 11);
    item->setIcon(1, QIcon(swatch));
  }
}

void TfrmZdqOI::closeInplaceEditor() {
  if (inplaceItem_) sgOI->removeItemWidget(inplaceItem_, 1);  // deletes the editor
  inplace_ = nullptr;
  inplaceItem_ = nullptr;
}

namespace {

// What a reference of the report may name: its own components, those of the
// form that owns it and the datasets its data manager lists, by name.
std::vector<TComponent*> ReferenceCandidates(TZdReport& report, const TPropertyInfo& prop) {
  std::vector<TComponent*> found;
  auto consider = [&](TComponent* c) {
    if (c && !c->Name().empty() && prop.Fits(*c) && std::find(found.begin(), found.end(), c) == found.end())
      found.push_back(c);
  };
  for (TComponent* c : report.Components()) consider(c);
  if (report.Owner())
    for (TComponent* c : report.Owner()->Components()) consider(c);
  const TZdqDatasets& listed = report.GetDataManager().Datasets();
  for (int i = 0; i < listed.Count(); ++i) consider(listed[i]->Dataset());
  std::sort(found.begin(), found.end(), [](const TComponent* a, const TComponent* b) {
    return QString::fromStdString(a->Name()).compare(QString::fromStdString(b->Name()), Qt::CaseInsensitive) < 0;
  });
  return found;
}

// A dataset takes new settings only while closed. It opens again after the
// edit, as the dataset dialog does, so that its fields stay listed; one
// that cannot open now (a server that is down) opens when the report runs.
void EditClosed(TPersistent* object, const std::function<void()>& edit) {
  auto* dataset = dynamic_cast<TDataSet*>(object);
  if (!dataset || !dataset->Active()) return edit();
  dataset->Close();
  const auto reopen = [dataset] {
    try {
      dataset->Open();
    } catch (const std::exception&) {
    }
  };
  try {
    edit();
  } catch (...) {
    reopen();
    throw;
  }
  reopen();
}

}  // namespace

void TfrmZdqOI::openInplaceEditor(QTreeWidgetItem* item) {
  if (filling_) return;
  closeInplaceEditor();
  if (!item) return;
  const TZdqOIRow& row = Row(item);
  TZdqPropertyEditor* editor = GetZdqPropertyEditor(row.object, row.pi);
  const QString current = item->text(1);
  if (row.pi->Kind() == TPropKind::Color) {
    auto* colors = new TZdColorsCombo;
    colors->SetColorValue(TColor(row.pi->GetOrdinal(*row.object)));
    colors->OnChange = [this, item](TZdColorsCombo* sender) {
      apply(item, std::to_string(int64_t(sender->ColorValue())));
    };
    inplace_ = colors;
  } else if (row.pi->Kind() == TPropKind::Reference) {
    auto* list = new QComboBox;
    list->addItem(QString());  // none
    for (TComponent* c : ReferenceCandidates(report_, *row.pi)) list->addItem(QString::fromStdString(c->Name()));
    list->setCurrentIndex(std::max(0, list->findText(current)));
    connect(list, &QComboBox::activated, this, [this, item, list](int index) {
      // Looked up again: components come and go with undo while the list is open.
      const TZdqOIRow row = Row(item);
      TComponent* chosen = nullptr;
      for (TComponent* c : ReferenceCandidates(report_, *row.pi))
        if (index > 0 && QString::fromStdString(c->Name()) == list->itemText(index)) chosen = c;
      whileEditing(item, [&] { row.pi->SetReference(*row.object, chosen); });
    });
    inplace_ = list;
  } else if (editor && editor->EditorType() == TZdqPropertyEditorType::petCombobox) {
    auto* list = new QComboBox;
    QStringList values;
    editor->GetValues(values, *row.pi);
    list->addItems(values);
    list->setCurrentIndex(values.indexOf(current));
    connect(list, &QComboBox::activated, this,
            [this, item, list](int index) { apply(item, list->itemText(index).toStdString()); });
    inplace_ = list;
  } else {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* edit = new QLineEdit(current);
    const TPropKind kind = row.pi->Kind();
    edit->setReadOnly(kind == TPropKind::Object || kind == TPropKind::Collection ||
                      kind == TPropKind::Binary || kind == TPropKind::StringList);
    layout->addWidget(edit, 1);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::editingFinished, edit, [this, item, edit] {
      if (!edit->isReadOnly() && edit->isModified()) {
        edit->setModified(false);
        apply(item, edit->text().toStdString());
      }
    });
    if (editor && editor->EditorType() == TZdqPropertyEditorType::petEditButton) {
      auto* button = new QToolButton;
      button->setText("...");
      layout->addWidget(button);
      connect(button, &QToolButton::clicked, this, [this, item] { runEditor(item); });
    }
    box->setFocusProxy(edit);
    inplace_ = box;
  }
  inplace_->setAutoFillBackground(true);
  inplaceItem_ = item;
  sgOI->setItemWidget(item, 1, inplace_);
}

bool TfrmZdqOI::eventFilter(QObject* watched, QEvent* event) {
  // Undo and redo are the designer's while nothing has been typed here.
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit && event->type() == QEvent::ShortcutOverride && !edit->isModified()) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TfrmZdqOI::apply(QTreeWidgetItem* item, const std::string& text) {
  const TZdqOIRow row = Row(item);
  whileEditing(item, [&] { SetValue(*row.object, *row.pi, TVariant(text)); });
}

void TfrmZdqOI::runEditor(QTreeWidgetItem* item) {
  const TZdqOIRow row = Row(item);
  if (TZdqPropertyEditor* editor = GetZdqPropertyEditor(row.object, row.pi))
    whileEditing(item, [&] { editor->Edit({this, LangShift, &report_}, *row.object, *row.pi); });
}

void TfrmZdqOI::whileEditing(QTreeWidgetItem* item, const std::function<void()>& edit) {
  // A dialog or message runs an event loop, where the designer may report
  // changes; the rows (and the editor whose button is being handled) stay
  // until the edit is over and are rebuilt after it.
  editing_ = true;
  try {
    EditClosed(Row(item).object, edit);
  } catch (const std::exception& e) {
    QMessageBox::warning(this, DesignerText(LangShift, txt::ErrorCaption), QString::fromStdString(e.what()));
  }
  editing_ = false;
  if (refreshPending_) {
    refreshPending_ = false;
    QTimer::singleShot(0, this, [this] { Refresh(); });
  } else {
    showValue(item);
  }
}

}  // namespace zd
