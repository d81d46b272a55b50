#include "host/data/DataSet.h"

#include <algorithm>

#include "host/core/TextUtil.h"

namespace zd {

const TClassProperties& TDataSet::ClassProperties() {
  using D = TDataSet;
  static const TClassProperties props =
      TPropertiesOf<D>("TDataSet", nullptr)
          .String("Name", [](const D& d) { return d.Name(); }, [](D& d, const std::string& v) { d.SetName(v); })
          .Build();
  return props;
}
namespace {
// Rows kept behind the cursor by a dataset that can read them again: enough
// for a report's steps back, a small part of a long table.
constexpr int kRowsKeptBehind = 1024;

// Shared by all datasets so that a bookmark never matches another dataset's opening.
uint64_t NextGeneration() {
  static uint64_t counter = 0;
  return ++counter;
}
}  // namespace

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() = default;

void TDataSet::SetActive(bool active) {
  if (active)
    Open();
  else
    Close();
}

void TDataSet::Open() {
  if (active_) return;
  try {
    DoOpen();
  } catch (...) {
    DoClose();
    throw;
  }
  active_ = true;
  generation_ = NextGeneration();
  PlaceOnFirstRow();
}

void TDataSet::Close() {
  if (!active_) return;
  active_ = false;
  current_ = -1;
  bof_ = eof_ = true;
  generation_ = 0;
  holds_.clear();
  DoClose();
}

void TDataSet::PlaceOnFirstRow() {
  bof_ = true;
  if (EnsureRow(0)) {
    current_ = 0;
    eof_ = false;
  } else {
    current_ = -1;
    eof_ = true;
  }
}

bool TDataSet::EnsureRow(int index) {
  if (index < rows_.FirstRow()) FetchAgain();
  while (index >= rows_.RowCount()) {
    if (!FetchMoreRows()) return false;
    dropRowsBehind(index);
  }
  return true;
}

// Lets go of rows no longer needed: those far behind both the row the
// cursor is going to and the one it is on, unless held.
void TDataSet::dropRowsBehind(int index) {
  if (!CanFetchAgain()) return;
  int needed = index;
  if (current_ >= 0) needed = std::min(needed, current_);
  for (int held : holds_) needed = std::min(needed, held);
  rows_.DropRowsBefore(needed - kRowsKeptBehind);
}

void TDataSet::CheckActive() const {
  if (!active_) Fail("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckInactive(const char* operation) const {
  if (active_) Fail(std::string("Cannot ") + operation + " while the dataset is open");
}

EDatabaseError TDataSet::Error(const std::string& message) const {
  return EDatabaseError(DisplayedName() + ": " + message);
}

void TDataSet::Fail(const std::string& message) const { throw Error(message); }

std::string TDataSet::DisplayedName() const { return Name().empty() ? ClassName() : Name(); }

void TDataSet::First() {
  CheckActive();
  PlaceOnFirstRow();
}

void TDataSet::Next() {
  CheckActive();
  if (eof_) return;
  bof_ = false;
  if (EnsureRow(current_ + 1))
    ++current_;
  else
    eof_ = true;  // stays on the last row, as Prior expects
}

void TDataSet::Prior() {
  CheckActive();
  if (bof_) return;
  eof_ = false;
  if (current_ > 0)
    --current_;
  else
    bof_ = true;
}

void TDataSet::Last() {
  CheckActive();
  while (FetchMoreRows()) {
  }
  const int count = rows_.RowCount();
  current_ = count - 1;
  eof_ = true;
  bof_ = count == 0;
}

int TDataSet::RecordCount() {
  if (!active_) return 0;
  while (FetchMoreRows()) {
  }
  return rows_.RowCount();
}

TBookmark TDataSet::GetBookmark() const {
  if (!active_ || current_ < 0) return {};
  return {generation_, current_};
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
  return active_ && !bookmark.IsNull() && bookmark.generation == generation_ &&
         bookmark.row >= 0 && bookmark.row < rows_.RowCount();
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  CheckActive();
  if (bookmark.IsNull()) return;
  if (!BookmarkValid(bookmark))
    Fail("Bookmark not found (it belongs to another dataset or to an earlier opening)");
  current_ = bookmark.row;
  bof_ = eof_ = false;
}

void TDataSet::HoldRows() { holds_.push_back(std::max(current_, 0)); }

void TDataSet::ReleaseRows() {
  if (!holds_.empty()) holds_.pop_back();
}

TField& TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount())
    Fail("Field index " + std::to_string(index) + " out of range (" +
         std::to_string(FieldCount()) + " fields)");
  return *fields_[size_t(index)];
}

TField* TDataSet::FindField(std::string_view name) const {
  const auto found = fieldsByName_.find(UpperCase(name));
  return found == fieldsByName_.end() ? nullptr : found->second;
}

TField& TDataSet::FieldByName(std::string_view name) const {
  if (TField* f = FindField(name)) return *f;
  Fail("Field '" + std::string(name) + "' not found");
}

std::vector<std::string> TDataSet::GetFieldNames() const {
  std::vector<std::string> names;
  names.reserve(fields_.size());
  for (const auto& f : fields_) names.push_back(f->FieldName());
  return names;
}

void TDataSet::SetFieldDefs(const std::vector<TFieldDef>& defs) {
  std::unordered_map<std::string, TField*> byName;
  for (const TFieldDef& def : defs)
    if (!byName.emplace(UpperCase(def.name), nullptr).second) Fail("Duplicate field name '" + def.name + "'");
  // Fields of the same name live on, so that references to them stay good.
  std::unordered_map<std::string, std::unique_ptr<TField>> old;
  for (auto& field : fields_) old[UpperCase(field->FieldName())] = std::move(field);
  std::vector<std::unique_ptr<TField>> fields;
  fields.reserve(defs.size());
  for (size_t i = 0; i < defs.size(); ++i) {
    const TFieldDef& def = defs[i];
    const std::string key = UpperCase(def.name);
    std::unique_ptr<TField> field;
    if (auto kept = old.find(key); kept != old.end()) field = std::move(kept->second);
    if (field)
      field->Redefine(def.type, def.size, int(i));
    else
      field = std::make_unique<TField>(*this, def.name, def.type, def.size, int(i));
    byName[key] = field.get();
    fields.push_back(std::move(field));
  }
  fields_ = std::move(fields);
  fieldsByName_ = std::move(byName);
  rows_.Reset(int(defs.size()));
}

void TDataSet::RowsReplaced() {
  if (!active_) return;
  generation_ = NextGeneration();
  PlaceOnFirstRow();
}

void TDataSet::RowsAppended() {
  if (active_ && current_ < 0) PlaceOnFirstRow();
}

const TVariant& TDataSet::CurrentValue(int column) const {
  static const TVariant null;
  if (current_ < 0 || column >= rows_.ColumnCount()) return null;
  // The cursor went back to a row let go of (a bookmark, Prior): read it
  // again now that it is used. Datasets are never const objects.
  if (current_ < rows_.FirstRow() && !const_cast<TDataSet*>(this)->EnsureRow(current_)) return null;
  return rows_.At(current_, column);
}

void TDataSet::SetCurrentValue(int column, const TVariant& value) {
  if (!CanModify()) Fail("Cannot modify a read-only dataset");
  CheckActive();
  if (current_ < 0 || !EnsureRow(current_)) Fail("No current record");
  std::vector<TVariant> row = rows_.Row(current_);
  row[size_t(column)] = value;
  rows_.ReplaceRow(current_, row);
}

}  // namespace zd
