#include "report/engine/detail/BandEngineValues.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "expr/Calculation.h"
#include "expr/DisplayFormat.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "report/controls/TextControls.h"

namespace zd {

namespace {

const TZdqCalculation& VariableCalculation(const TZdqVariable& v) { return v.Calculation(); }

// Deeper chains of variable changes than this only come from variables
// whose changes keep triggering each other.
constexpr size_t kMaxVariableChain = 64;

// A refresh for the master's current row rather than for a group or a
// variable change, over the whole report.
bool IsRowRefresh(int firstBand, const std::string& groupName, const std::string& variableName) {
  return firstBand < 0 && groupName.empty() && variableName.empty();
}

bool IsPageFooter(const TZdqBand& band) {
  return band.BandType() == TBandType::btPageFooter || band.BandType() == TBandType::btColumnFooter;
}

bool InMode(const TZdqBand& band, TUpdateValue mode) {
  const bool footer = band.BandType() == TBandType::btGroupFooter;
  switch (mode) {
    case TUpdateValue::uvWithoutGroupFooter: return !footer;
    case TUpdateValue::uvOnlyGroupFooter: return footer;
    case TUpdateValue::uvOnlyPageFooter: return IsPageFooter(band);
    default: return true;
  }
}

std::string ValueText(const TVariant& value) { return value.isNull() ? std::string() : GetValueStr(value, ""); }

}  // namespace

void TZdqValueUpdater::Update(int firstBand, int lastBand, TUpdateValue mode, const std::string& groupName,
                              const std::string& variableName) {
  const bool rowRefresh = IsRowRefresh(firstBand, groupName, variableName);
  if (mode == TUpdateValue::uvOnlyCustomVariables)
    return updateVariables(firstBand, lastBand, groupName, variableName, rowRefresh);
  // Controls that show variables must see them for this row, not the last:
  // the variables take the row in first.
  if (rowRefresh && mode != TUpdateValue::uvOnlyGroupFooter && mode != TUpdateValue::uvOnlyPageFooter)
    updateVariables(firstBand, lastBand, groupName, variableName, true);
  updateControls(firstBand, lastBand, mode, groupName, variableName, rowRefresh);
}

void TZdqValueUpdater::updateVariables(int firstBand, int lastBand, const std::string& groupName,
                                       const std::string& variableName, bool rowRefresh) {
  TZdqVariables& variables = report_.Variables();
  const uint64_t row = report_.CurrentRow;
  for (int i = 0; i < variables.Count(); ++i) {
    TZdqVariable& v = *variables[i];
    const TZdqCalculation& calc = VariableCalculation(v);
    if (!calc.StateChanged(groupName, variableName)) continue;
    // Each row counts once, however often the row is refreshed.
    if (rowRefresh && row != 0 && v.Running.Row() == row) continue;
    if (refreshing_.size() >= kMaxVariableChain)
      throw std::runtime_error(SameText(v.Name(), variableName)
                                   ? "Variable '" + v.Name() + "' keeps triggering itself"
                                   : "Variables '" + v.Name() + "' and '" + variableName +
                                         "' keep triggering each other");
    report_.CountRefresh(v.Name());
    v.SetPrevValue(v.CurValue());
    if (calc.CalcType() == TCalcType::ctNothing || row != 0)
      v.Running.TakeIn(row, ValueText(evaluate(v)), calc.CalcType());
    v.SetCurValue(v.Running.Result(calc.CalcType()));
    if (!v.ValueChanged()) continue;
    refreshing_.push_back(&v);
    const std::string name = v.Name();  // the recursion may touch the collection's storage
    Update(firstBand, lastBand, TUpdateValue::uvOnlyCustomVariables, {}, name);
    Update(firstBand, lastBand, TUpdateValue::uvAllBand, {}, name);
    refreshing_.pop_back();
  }
}

TVariant TZdqValueUpdater::evaluate(const TZdqVariable& variable) {
  try {
    return report_.Evaluate(variable.Expression());
  } catch (const EZdqLimitError& e) {
    throw EZdqLimitError("Variable '" + variable.Name() + "': " + e.what());
  }
}

void TZdqValueUpdater::updateControls(int firstBand, int lastBand, TUpdateValue mode,
                                      const std::string& groupName, const std::string& variableName,
                                      bool rowRefresh) {
  const auto& bands = report_.Bands();
  const int first = std::max(firstBand, 0);
  const int last = lastBand < 0 ? int(bands.size()) - 1 : std::min(lastBand, int(bands.size()) - 1);
  for (int b = first; b <= last; ++b) {
    const TZdqBand& band = *bands[size_t(b)];
    if (!InMode(band, mode)) continue;
    // Page footers take a row in only once it is printed (uvOnlyPageFooter).
    const bool rowNotPrinted = rowRefresh && mode != TUpdateValue::uvOnlyPageFooter && IsPageFooter(band);
    for (TZdqControl* control : band.Objects()) control->TakeRow(groupName, variableName, !rowNotPrinted);
  }
}

void TZdqValueUpdater::Reset(TResetType type, const std::string& groupName) {
  const TVariant null;
  const uint64_t row = report_.CurrentRow;
  for (TZdqBand* band : report_.Bands()) {
    const bool endReport = type == TResetType::rtEndReport;
    if (endReport || (type == TResetType::rtEndGroup && SameText(band->Expression(), groupName))) {
      band->SetPrevValue(null);
      band->SetCurValue(null);
    }
    if (endReport) band->LineNo = 1;
    for (TZdqControl* control : band->Objects()) {
      auto* expression = dynamic_cast<TZdqExpression*>(control);
      if (expression && expression->Calculation().EndsWith(type, groupName))
        expression->RestartCalculation(type, row);
    }
  }
  TZdqVariables& variables = report_.Variables();
  bool restarted = false;
  for (int i = 0; i < variables.Count(); ++i) {
    TZdqVariable& v = *variables[i];
    if (!VariableCalculation(v).EndsWith(type, groupName)) continue;
    v.SetPrevValue(null);
    if (type == TResetType::rtEndReport) {
      v.Running.Clear();
      v.SetCurValue(null);
    } else {
      v.Running.Restart(row);
      v.SetCurValue(v.Running.Result(v.Calculation().CalcType()));
      restarted = true;
    }
  }
  // Values of the row in hand that were worked out from the variables
  // before they restarted.
  if (restarted) retake([](const std::string&) { return false; }, true, false);
}

void TZdqValueUpdater::RefreshPageValues() {
  for (TZdqBand* band : report_.Bands())
    for (TZdqControl* control : band->Objects())
      if (auto* sysData = dynamic_cast<TZdqSysData*>(control); sysData && IsPageValue(sysData->SysData()))
        sysData->UpdateCurValue();
  retake([this](const std::string& text) { return report_.ReadsPageValues(text); }, false, true);
}

void TZdqValueUpdater::retake(const std::function<bool(const std::string&)>& stale, bool variablesChanged,
                              bool footersToo) {
  const uint64_t row = report_.CurrentRow;
  // Only the row in hand is taken again: nothing counts twice.
  auto retakes = [&](const TZdqCalculation& calc, const TRunningCalculation& running, const std::string& text) {
    if (calc.CalcType() != TCalcType::ctNothing && (row == 0 || running.Row() != row)) return false;
    return stale(text) || (variablesChanged && report_.ReadsVariables(text));
  };
  TZdqVariables& variables = report_.Variables();
  for (int i = 0; i < variables.Count(); ++i) {
    TZdqVariable& v = *variables[i];
    if (!retakes(v.Calculation(), v.Running, v.Expression())) continue;
    const TVariant before = v.CurValue();
    v.Running.TakeIn(row, ValueText(evaluate(v)), v.Calculation().CalcType());
    v.SetCurValue(v.Running.Result(v.Calculation().CalcType()));
    if (!(v.CurValue() == before)) variablesChanged = true;
  }
  for (TZdqBand* band : report_.Bands()) {
    if (!footersToo && (band->BandType() == TBandType::btGroupFooter || IsPageFooter(*band))) continue;
    for (TZdqControl* control : band->Objects())
      if (auto* expression = dynamic_cast<TZdqExpression*>(control))
        if (retakes(expression->Calculation(), expression->Running(), expression->Expression()))
          expression->UpdateCurValue();
  }
}

// ---- TZdqValueSnapshot ----

TZdqValueSnapshot::TZdqValueSnapshot(TZdReport& report) : report_(report), row_(report.CurrentRow) {
  const TZdqVariables& variables = report.Variables();
  for (int i = 0; i < variables.Count(); ++i) {
    const TZdqVariable& v = *variables[i];
    variables_.push_back({v.PrevValue(), v.CurValue(), v.Running});
  }
  for (TZdqBand* band : report.Bands()) {
    lineNumbers_.push_back(band->LineNo);
    controls_.push_back(Saved(*band));
    for (TZdqControl* c : band->Objects()) controls_.push_back(Saved(*c));
  }
}

TZdqValueSnapshot::TSaved TZdqValueSnapshot::Saved(TZdqControl& control) {
  auto* expression = dynamic_cast<TZdqExpression*>(&control);
  return {control.GetPrevValue(), control.GetCurValue(), expression ? expression->Running() : TRunningCalculation{}};
}

void TZdqValueSnapshot::Restore() {
  report_.CurrentRow = row_;
  TZdqVariables& variables = report_.Variables();
  for (int i = 0; i < variables.Count() && size_t(i) < variables_.size(); ++i) {
    TZdqVariable& v = *variables[i];
    v.SetPrevValue(variables_[size_t(i)].prev);
    v.SetCurValue(variables_[size_t(i)].cur);
    v.Running = variables_[size_t(i)].running;
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
      if (auto* expression = dynamic_cast<TZdqExpression*>(&c)) expression->Running() = controls_[next].running;
      ++next;
    };
    restore(band);
    for (TZdqControl* c : band.Objects()) restore(*c);
  }
}

}  // namespace zd
