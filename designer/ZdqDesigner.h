#pragma once
// The designer component: the report being edited, the options the window
// opens with, and the ordered selection the window and its tools share.
#include <functional>
#include <vector>

#include "designer/DesignerOptions.h"
#include "host/core/Component.h"
#include "report/model/ZdReport.h"

namespace zd {

class TZdqDesigner : public TComponent {
 public:
  explicit TZdqDesigner(TComponent* owner = nullptr);
  ~TZdqDesigner() override;
  std::string ClassName() const override { return "TZdqDesigner"; }

  TZdReport* Report() const { return report_; }
  void SetReport(TZdReport* report);
  TZdqDOptions Options;
  std::function<void()> OnSelectedChange;

  // Opens the designer window over the report and returns when it closes;
  // without a report nothing happens.
  void Execute();

  // ---- selection, in the order controls were selected ----
  const std::vector<TZdqControl*>& Selection() const { return selected_; }
  TZdqControl* GetSelected(int index) const;  // nullptr out of range
  int SelectedCount() const { return int(selected_.size()); }
  void ClearSelected();
  void AddSelected(TZdqControl* control);  // ignored when present
  void DeleteSelected(TZdqControl* control);
  void ToggleSelected(TZdqControl* control);
  // Every band deselected; every control selected (0), deselected (1) or
  // toggled (2), the list kept in step.
  void SelectElements(int mode);
  // A control that is about to go leaves the selection without a notice.
  void Forget(const TZdqControl* control);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void changed();
  TZdReport* report_ = nullptr;
  std::vector<TZdqControl*> selected_;
};

// Edits the report in a designer whose options are kept per user.
void DesignReport(TZdReport& report);

}  // namespace zd
