#include "quickprint/ZdqData.h"

#include <algorithm>

#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "print/Language.h"
#include "print/TextIds.h"

namespace zd {

namespace {

std::vector<std::string> FieldNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(';', start), list.size());
    if (std::string name = Trim(list.substr(start, end - start)); !name.empty()) names.push_back(name);
    start = end + 1;
  }
  return names;
}

}  // namespace

struct TZdPrintData::TGroup {
  std::string name;  // upper-cased
  std::vector<const TField*> fields;
  std::string previous;  // the key of the row printed last

  std::string Key() const {
    std::string key;
    for (const TField* field : fields) key += field->AsString() + '\x1f';
    return key;
  }
};

struct TZdPrintData::TRunning {
  const TField* field = nullptr;
  int group = -1;  // index into groups_; -1: a total of the whole report
  TRunningCalculation totals;
};

TZdPrintData::TZdPrintData(TComponent* owner) : TZdqTablePrint(owner) {}
TZdPrintData::~TZdPrintData() = default;

bool TZdPrintData::PrintableField(const TField& field) {
  switch (field.DataType()) {
    case TFieldType::ftUnknown: case TFieldType::ftBytes: case TFieldType::ftVarBytes: case TFieldType::ftBlob:
    case TFieldType::ftParadoxOle: case TFieldType::ftDBaseOle:
    case TFieldType::ftTypedBinary: case TFieldType::ftCursor:
      return false;
    default:
      return true;
  }
}

std::string TZdPrintData::GetFieldStr(const TField& field) const {
  if (field.DataType() == TFieldType::ftGraphic) return {};
  if (BlankIfZero && IsNumericFieldType(field.DataType()) && !field.IsNull() && field.AsFloat() == 0) return {};
  return field.AsString();
}

void TZdPrintData::CheckSource() {
  const int shift = GetLanguageShift();
  auto missing = [&](const char* property) {
    std::string text = GetString(shift, txt::PropertyNotSpecified);
    if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, property);
    return EDatabaseError(text);
  };
  if (ColumnSource == TColumnSource::csDataSet) {
    if (!DataSet) throw missing("DataSet");
    dataset_ = DataSet;
  } else {
    if (!DBGrid) throw missing("DBGrid");
    dataset_ = DBGrid->DataSet();
    if (!dataset_) throw missing("DataSet");
  }
  if (!dataset_->Active()) throw EDatabaseError(GetString(shift, txt::DatasetNotActive));
  for (const TZdqACalculation& calculation : Calculations)
    if (!dataset_->FindField(calculation.FieldName))
      throw EDatabaseError("no field '" + calculation.FieldName + "' to total in " + dataset_->DisplayedName());
}

void TZdPrintData::AddColumn(std::vector<TColumnInfo>& columns, const TField& field,
                             const TZdqGridColumn* gridColumn) {
  TColumnInfo column;
  column.FieldName = field.FieldName();
  column.Caption = gridColumn && !gridColumn->Title.empty() ? gridColumn->Title : field.DisplayLabel();
  column.Alignment = field.Alignment();
  column.HeaderAlignment = gridColumn ? gridColumn->TitleAlignment : field.Alignment();
  column.WordWrap = WordWrap();
  column.DataFont = column.TitleFont = gridColumn ? DBGrid->Font() : Font();
  column.Width = gridColumn && gridColumn->Width > 0 ? gridColumn->Width
                                                     : CharacterWidth(column.DataFont, field.DisplayWidth());
  columns.push_back(std::move(column));
  columnFields_.push_back(&field);
}

std::vector<TColumnInfo> TZdPrintData::FillColumnInfo() {
  std::vector<TColumnInfo> columns;
  columnFields_.clear();
  if (PrintRecNo != TPrintRecNo::rnNone) {
    TColumnInfo number;
    number.Caption = "#";
    number.Alignment = TAlignment::taRightJustify;
    number.HeaderAlignment = TAlignment::taCenter;
    number.IsFixed = PrintRecNo == TPrintRecNo::rnFirstColOnEachBar && Style().FixedCols;
    number.DataFont = number.TitleFont = Font();
    number.Width = CharacterWidth(Font(), int(std::to_string(std::max(Data().RecordCount(), 1)).size()));
    columns.push_back(number);
    columnFields_.push_back(nullptr);
  }
  const std::vector<TZdqGridColumn> gridColumns = GridInUse() ? DBGrid->Columns() : std::vector<TZdqGridColumn>{};
  if (!gridColumns.empty()) {
    int shown = 0;
    for (const TZdqGridColumn& gridColumn : gridColumns) {
      const TField* field = Data().FindField(gridColumn.FieldName);
      if (!field || !gridColumn.Visible || !PrintableField(*field)) continue;
      AddColumn(columns, *field, &gridColumn);
      columns.back().IsFixed = shown++ < DBGrid->FixedColumns() && Style().FixedCols;
    }
  } else {
    for (int i = 0; i < Data().FieldCount(); ++i) {
      const TField& field = Data().Fields(i);
      if (field.Visible() && PrintableField(field)) AddColumn(columns, field, nullptr);
    }
  }
  if (AutoFitColumnWidth) FitToContent(columns);
  return columns;
}

void TZdPrintData::FitToContent(std::vector<TColumnInfo>& columns) {
  for (size_t c = 0; c < columns.size(); ++c)
    if (columnFields_[c]) columns[c].Width = MeasureText(columns[c].TitleFont, columns[c].Caption).Width;
  for (Data().First(); !Data().Eof(); Data().Next())
    for (size_t c = 0; c < columns.size(); ++c)
      if (const TField* field = columnFields_[c])
        columns[c].Width = std::max(columns[c].Width, MeasureText(columns[c].DataFont, GetFieldStr(*field)).Width);
}

// The groups first: a group field the data lacks raises before anything
// needs undoing.
void TZdPrintData::BeginRows() {
  groups_.clear();
  running_.clear();
  for (const TZdqACalculation& calculation : Calculations) {
    auto running = std::make_unique<TRunning>();
    running->field = Data().FindField(calculation.FieldName);
    const std::string name = UpperCase(Trim(calculation.ResetGroup));
    if (!name.empty()) {
      auto same = std::find_if(groups_.begin(), groups_.end(), [&](const auto& g) { return g->name == name; });
      if (same == groups_.end()) {
        auto group = std::make_unique<TGroup>();
        group->name = name;
        for (const std::string& fieldName : FieldNames(calculation.ResetGroup))
          group->fields.push_back(&Data().FieldByName(fieldName));
        same = groups_.insert(groups_.end(), std::move(group));
      }
      running->group = int(same - groups_.begin());
    }
    running_.push_back(std::move(running));
  }
  SetHighLightDataSet(dataset_);
  if (Options() & roDisableControls) Data().DisableControls();
  bookmark_ = Data().GetBookmark();
}

void TZdPrintData::EndRows() {
  if (Data().BookmarkValid(bookmark_)) Data().GotoBookmark(bookmark_);
  if (Options() & roDisableControls) Data().EnableControls();
  SetHighLightDataSet(nullptr);
}

int TZdPrintData::SelectedCount() {
  if (OnGetSelectedCount) {
    int count = 0;
    OnGetSelectedCount(this, count);
    return std::max(count, 0);
  }
  return int(selected_.size());
}

void TZdPrintData::GotoSelected(int index) {
  TBookmark bookmark;
  if (OnGetNextSelected) OnGetNextSelected(this, index, bookmark);
  else if (size_t(index) < selected_.size()) bookmark = selected_[size_t(index)];
  Data().GotoBookmark(bookmark);
}

bool TZdPrintData::FirstRow() {
  for (auto& running : running_) running->totals.Clear();
  if (SelectedRecord && GridInUse()) {
    selected_ = DBGrid->SelectedRows();
    selectedCount_ = SelectedCount();
    selectedIndex_ = 0;
    if (selectedCount_ == 0) return false;
    GotoSelected(0);
    return true;
  }
  Data().First();
  return !Data().Eof();
}

bool TZdPrintData::NextRow() {
  if (SelectedRecord && GridInUse()) {
    if (++selectedIndex_ >= selectedCount_) return false;
    GotoSelected(selectedIndex_);
    return true;
  }
  Data().Next();
  return !Data().Eof();
}

std::string TZdPrintData::CellText(int column) {
  const TField* field = columnFields_[size_t(column)];
  return field ? GetFieldStr(*field) : std::to_string(RecordNumber());
}

std::shared_ptr<const TPicture> TZdPrintData::CellPicture(int column) {
  const TField* field = columnFields_[size_t(column)];
  if (!field || field->DataType() != TFieldType::ftGraphic || field->IsNull()) return nullptr;
  auto picture = std::make_shared<TPicture>();
  try {
    picture->LoadFromBytes(field->AsBytes());
  } catch (const EGraphicsError& e) {
    AddWarning("a picture of " + field->FieldName() + " not drawn: " + e.what());
    return nullptr;
  }
  return picture;
}

void TZdPrintData::BeforeRow() {
  for (auto& group : groups_) group->previous = group->Key();
  for (size_t i = 0; i < running_.size(); ++i)
    running_[i]->totals.TakeIn(uint64_t(RecordNumber()), running_[i]->field->AsString(), Calculations[i].Calculation);
}

void TZdPrintData::AfterRow(bool atEnd) {
  std::vector<bool> ended(groups_.size(), atEnd);
  bool any = atEnd;
  for (size_t g = 0; g < groups_.size() && !atEnd; ++g) {
    ended[g] = groups_[g]->Key() != groups_[g]->previous;
    any = any || ended[g];
  }
  if (any && !running_.empty()) PrintTotals(ended, atEnd);
}

// A row for the groups that ended, then at the end one for the report's
// totals. Each column shows the captions, then the values, placed in it.
void TZdPrintData::PrintTotals(const std::vector<bool>& groupEnded, bool atEnd) {
  auto row = [&](bool reportTotals) {
    std::vector<TTableCell> cells(Columns().size());
    auto place = [&](int column, const std::string& text, const TZdqACalculation& calculation) {
      if (column < 0 || size_t(column) >= cells.size()) return;
      TTableCell& cell = cells[size_t(column)];
      cell.text += cell.text.empty() || text.empty() ? text : " " + text;
      cell.font = &calculation.Font;
      cell.alignment = calculation.Alignment;
      cell.wordWrap = calculation.WordWrap;
    };
    bool any = false;
    for (size_t i = 0; i < running_.size(); ++i) {
      TRunning& running = *running_[i];
      if ((running.group < 0) != reportTotals || (!reportTotals && !groupEnded[size_t(running.group)])) continue;
      const TZdqACalculation& calculation = Calculations[i];
      place(calculation.CaptionColNum, calculation.Caption, calculation);
      place(calculation.FieldColNum, VarToStr(running.totals.Result(calculation.Calculation)), calculation);
      running.totals.Clear();
      any = true;
    }
    if (any) PrintCells(cells, nullptr, false);
  };
  row(false);
  if (atEnd) row(true);
}

}  // namespace zd
