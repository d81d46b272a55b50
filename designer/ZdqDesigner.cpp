#include "designer/ZdqDesigner.h"

#include <algorithm>

#include "designer/DesignerSettings.h"
#include "designer/ZdDesign.h"
#include "print/Language.h"
#include "print/TextIds.h"

namespace zd {

TZdqDesigner::TZdqDesigner(TComponent* owner) : TComponent(owner) { ListenToSiblings(); }

TZdqDesigner::~TZdqDesigner() { SetReport(nullptr); }

void TZdqDesigner::SetReport(TZdReport* report) {
  if (report == report_) return;
  if (report_) report_->RemoveFreeNotification(this);
  selected_.clear();
  report_ = report;
  if (report_) report_->FreeNotification(this);
}

void TZdqDesigner::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  // A report going away is only a component by now: compare addresses.
  if (operation == TOperation::opRemove && report_ && component == static_cast<TComponent*>(report_)) {
    report_ = nullptr;
    selected_.clear();
  } else if (operation == TOperation::opInsert && !report_) {
    // A report built with this owner is heard before it is one; it is
    // picked up when the designer runs.
    if (auto* report = dynamic_cast<TZdReport*>(component)) SetReport(report);
  }
}

void TZdqDesigner::Execute() {
  if (!report_ && Owner())
    for (TComponent* c : Owner()->Components())
      if (auto* report = dynamic_cast<TZdReport*>(c); report && !report_) SetReport(report);
  if (!report_) return;
  report_->ReportState = TZdReportState::rsDesign;
  if (Options.AutoSaveOptions) LoadDesignerOptions(Options);
  {
    TfrmReportDesigner window(*this);
    if (Options.AutoSaveOptions) window.RestoreLayout();
    window.ExecModal();
    if (Options.AutoSaveOptions) {
      SaveDesignerOptions(Options, GetString(report_->GetLanguageShift(), txt::ProductVersion));
      window.SaveLayout();
    }
  }
  ClearSelected();
  report_->ReportState = TZdReportState::rsNone;
}

TZdqControl* TZdqDesigner::GetSelected(int index) const {
  return index >= 0 && index < SelectedCount() ? selected_[size_t(index)] : nullptr;
}

void TZdqDesigner::changed() {
  if (OnSelectedChange) OnSelectedChange();
}

void TZdqDesigner::ClearSelected() {
  for (TZdqControl* c : selected_) c->SetSelected(false);
  selected_.clear();
  changed();
}

void TZdqDesigner::AddSelected(TZdqControl* control) {
  if (!control || std::ranges::find(selected_, control) != selected_.end()) return;
  // Selecting a band deselects the other bands; the list follows.
  if (dynamic_cast<TZdqBand*>(control))
    std::erase_if(selected_, [](TZdqControl* c) { return dynamic_cast<TZdqBand*>(c) != nullptr; });
  control->SetSelected(true);
  selected_.push_back(control);
  changed();
}

void TZdqDesigner::DeleteSelected(TZdqControl* control) {
  if (!control) return;
  control->SetSelected(false);
  std::erase(selected_, control);
  changed();
}

void TZdqDesigner::ToggleSelected(TZdqControl* control) {
  if (control && control->Selected()) DeleteSelected(control);
  else AddSelected(control);
}

void TZdqDesigner::Forget(const TZdqControl* control) { std::erase(selected_, control); }

void TZdqDesigner::SelectElements(int mode) {
  if (!report_) return;
  for (TZdqBand* band : report_->Bands()) {
    band->SetSelected(false);
    std::erase(selected_, band);
    for (TZdqControl* c : band->Objects()) {
      const bool on = mode == 0 ? true : mode == 1 ? false : !c->Selected();
      c->SetSelected(on);
      const bool listed = std::ranges::find(selected_, c) != selected_.end();
      if (on && !listed) selected_.push_back(c);
      if (!on) std::erase(selected_, c);
    }
  }
  changed();
}

void DesignReport(TZdReport& report) {
  TZdqDesigner designer;
  designer.SetReport(&report);
  designer.Options.AutoSaveOptions = true;
  designer.Execute();
}

}  // namespace zd
