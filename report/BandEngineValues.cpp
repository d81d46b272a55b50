#include "report/BandEngineValues.h"

#include <algorithm>
#include <stdexcept>

#include "expr/Calculation.h"
#include "expr/DisplayFormat.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "report/TextControls.h"

namespace zd {

namespace {

const TZdqCalculation& VariableCalculation(const TZdqVariable& v) { return v.Calculation; }

// Deeper chains of variable changes than this only come from variables
// whose changes keep triggering each other.
constexpr size_t kMaxVariableChain = 64;

// A refresh for the master's current row rather than for a group or a
// variable change, over the whole report.
bool IsRowRefresh(int firstBand, const std::string& groupName, const std::string& variableName) {
  return firstBand < 0 && groupName.empty() && variableName.empty();
}

bool InMode(const TZdqBand& band, TUpdateValue mode) {
  const bool footer = band.BandType() == TBandType::btGroupFooter;
  switch (mode) {
    case TUpdateValue::uvWithoutGroupFooter: return !footer;
    case TUpdateValue::uvOnlyGroupFooter: return footer;
    default: return true;
  }
}

}  // namespace

void TZdqValueUpdater::Update(int firstBand, int lastBand, TUpdateValue mode, const std::string& groupName,
                              const std::string& variableName) {
  TZdqVariables& variables = report_.Variables();
  const bool rowRefresh = IsRowRefresh(firstBand, groupName, variableName);
  if (mode == TUpdateValue::uvOnlyCustomVariables) {
    if (rowRefresh) {
      // The row was taken in already, with the controls, or there is none.
      const bool taken = variables.RowTaken;
      variables.RowTaken = false;
      const TDataSet* master = report_.DataSet();
      if (taken || (master && master->Active() && master->Eof())) return;
    }
    return updateVariables(firstBand, lastBand, groupName, variableName);
  }
  // Controls that show variables must see them for this row, not the last:
  // the variables take the row in first.
  if (rowRefresh && mode != TUpdateValue::uvOnlyGroupFooter) {
    updateVariables(firstBand, lastBand, groupName, variableName);
    variables.RowTaken = true;
  }
  updateControls(firstBand, lastBand, mode, groupName, variableName);
}

void TZdqValueUpdater::updateVariables(int firstBand, int lastBand, const std::string& groupName,
                                       const std::string& variableName) {
  TZdqVariables& variables = report_.Variables();
  for (int i = 0; i < variables.Count(); ++i) {
    TZdqVariable& v = variables.Items(i);
    const TZdqCalculation& calc = VariableCalculation(v);
    if (!calc.StateChanged(groupName, variableName)) continue;
    if (refreshing_.size() >= kMaxVariableChain)
      throw std::runtime_error(SameText(v.Name, variableName)
                                   ? "Variable '" + v.Name + "' keeps triggering itself"
                                   : "Variables '" + v.Name + "' and '" + variableName +
                                         "' keep triggering each other");
    v.PrevValue = v.CurValue;
    const TVariant value = report_.Evaluate(v.Expression);
    v.CurValue = NextCalculatedValue(value.isNull() ? std::string() : GetValueStr(value, ""), calc.CalcType,
                                     v.CurValue, v.PrevValue);
    if (!v.ValueChanged()) continue;
    refreshing_.push_back(&v);
    const std::string name = v.Name;  // the recursion may touch the collection's storage
    Update(firstBand, lastBand, TUpdateValue::uvOnlyCustomVariables, {}, name);
    Update(firstBand, lastBand, TUpdateValue::uvAllBand, {}, name);
    refreshing_.pop_back();
  }
}

void TZdqValueUpdater::updateControls(int firstBand, int lastBand, TUpdateValue mode,
                                      const std::string& groupName, const std::string& variableName) {
  const auto& bands = report_.Bands();
  const int first = std::max(firstBand, 0);
  const int last = lastBand < 0 ? int(bands.size()) - 1 : std::min(lastBand, int(bands.size()) - 1);
  for (int b = first; b <= last; ++b) {
    const TZdqBand& band = *bands[size_t(b)];
    if (!InMode(band, mode)) continue;
    for (TZdqControl* control : band.Objects()) {
      if (auto* expression = dynamic_cast<TZdqExpression*>(control)) {
        if (expression->Calculation().StateChanged(groupName, variableName)) expression->UpdateCurValue();
      } else if (dynamic_cast<TZdqLabel*>(control)) {
        control->UpdateCurValue();
      }
    }
  }
}

void TZdqValueUpdater::Reset(TResetType type, const std::string& groupName) {
  const TVariant null;
  for (TZdqBand* band : report_.Bands()) {
    const bool endReport = type == TResetType::rtEndReport;
    if (endReport || (type == TResetType::rtEndGroup && SameText(band->Expression, groupName))) {
      band->SetPrevValue(null);
      band->SetCurValue(null);
    }
    if (endReport) band->LineNo = 1;
    for (TZdqControl* control : band->Objects()) {
      auto* expression = dynamic_cast<TZdqExpression*>(control);
      if (!expression || !expression->Calculation().EndsWith(type, groupName)) continue;
      expression->SetPrevValue(null);
      expression->SetCurValue(null);
    }
  }
  TZdqVariables& variables = report_.Variables();
  for (int i = 0; i < variables.Count(); ++i) {
    TZdqVariable& v = variables.Items(i);
    if (!VariableCalculation(v).EndsWith(type, groupName)) continue;
    v.PrevValue = null;
    v.CurValue = null;
  }
  if (type == TResetType::rtEndReport) variables.RowTaken = false;
}

// ---- TZdqValueSnapshot ----

TZdqValueSnapshot::TZdqValueSnapshot(TZdReport& report) : report_(report) {
  const TZdqVariables& variables = report.Variables();
  for (int i = 0; i < variables.Count(); ++i)
    variables_.push_back({variables.Items(i).PrevValue, variables.Items(i).CurValue});
  for (const TZdqBand* band : report.Bands()) {
    lineNumbers_.push_back(band->LineNo);
    controls_.push_back({band->GetPrevValue(), band->GetCurValue()});
    for (const TZdqControl* c : band->Objects()) controls_.push_back({c->GetPrevValue(), c->GetCurValue()});
  }
}

void TZdqValueSnapshot::Restore() {
  TZdqVariables& variables = report_.Variables();
  for (int i = 0; i < variables.Count() && size_t(i) < variables_.size(); ++i) {
    variables.Items(i).PrevValue = variables_[size_t(i)].prev;
    variables.Items(i).CurValue = variables_[size_t(i)].cur;
  }
  // Events may have changed the tree meanwhile; only what still lines up is put back.
  size_t next = 0;
  const auto& bands = report_.Bands();
  for (size_t b = 0; b < bands.size() && b < lineNumbers_.size(); ++b) {
    TZdqBand& band = *bands[b];
    band.LineNo = lineNumbers_[b];
    auto restore = [&](TZdqControl& c) {
      if (next >= controls_.size()) return;
      c.SetPrevValue(controls_[next].prev);
      c.SetCurValue(controls_[next].cur);
      ++next;
    };
    restore(band);
    for (TZdqControl* c : band.Objects()) restore(*c);
  }
}

}  // namespace zd
