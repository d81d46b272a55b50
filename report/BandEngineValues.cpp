#include "report/BandEngineValues.h"

#include <algorithm>

#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "report/TextControls.h"

namespace zd {

namespace {

// Variables carry no aggregate settings of their own yet: they take a value
// on every row and keep it until the report ends.
const TZdqCalculation& VariableCalculation(const TZdqVariable&) {
  static const TZdqCalculation everyRow;
  return everyRow;
}


bool VariableChanged(const TZdqVariable& v) {
  return v.CurValue.isEmpty() || v.PrevValue.isEmpty() || !(v.CurValue == v.PrevValue);
}

bool EndsWith(const TZdqCalculation& calc, TResetType type, const std::string& groupName) {
  return type == TResetType::rtEndReport || (calc.ResetType == type && calc.ResetGroup == groupName);
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
  if (mode == TUpdateValue::uvOnlyCustomVariables)
    updateVariables(firstBand, lastBand, groupName, variableName);
  else
    updateControls(firstBand, lastBand, mode, groupName, variableName);
}

void TZdqValueUpdater::updateVariables(int firstBand, int lastBand, const std::string& groupName,
                                       const std::string& variableName) {
  TZdqVariables& variables = report_.Variables();
  for (int i = 0; i < variables.Count(); ++i) {
    TZdqVariable& v = variables.Items(i);
    if (!VariableCalculation(v).StateChanged(groupName, variableName)) continue;
    if (std::find(refreshing_.begin(), refreshing_.end(), &v) != refreshing_.end()) continue;
    v.PrevValue = v.CurValue;
    v.CurValue = TVariant(VarToStr(report_.Evaluate(v.Expression)));
    if (!VariableChanged(v)) continue;
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
      if (!expression || !EndsWith(expression->Calculation(), type, groupName)) continue;
      expression->SetPrevValue(null);
      expression->SetCurValue(null);
    }
  }
  TZdqVariables& variables = report_.Variables();
  for (int i = 0; i < variables.Count(); ++i) {
    TZdqVariable& v = variables.Items(i);
    if (!EndsWith(VariableCalculation(v), type, groupName)) continue;
    v.PrevValue = null;
    v.CurValue = null;
  }
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
