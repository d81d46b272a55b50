#include "print/CompositeReport.h"

#include <algorithm>
#include <stdexcept>

namespace zd {

namespace {

// Tells a member how the composite numbers its pages for as long as it is
// being prepared, and forgets it afterwards, also when the member fails.
class TMemberPreparation {
 public:
  TMemberPreparation(TZdPrintBaseComponent& member, const TZdPrintBaseComponent::TMembership& membership)
      : member_(member) {
    member_.SetMembership(membership);
  }
  ~TMemberPreparation() { member_.SetMembership({}); }
  TMemberPreparation(const TMemberPreparation&) = delete;
  TMemberPreparation& operator=(const TMemberPreparation&) = delete;

 private:
  TZdPrintBaseComponent& member_;
};

}  // namespace

TZdqCompositeReport::TZdqCompositeReport(TComponent* owner) : TZdPrintBaseComponent(owner) {
  // The members show their own progress while they prepare.
  SetAnimatedStatus(false);
}

void TZdqCompositeReport::AddReport(TZdPrintBaseComponent& report) {
  if (&report == this) throw std::invalid_argument("a composite report cannot contain itself");
  reports_.push_back(&report);
  report.FreeNotification(this);
}

void TZdqCompositeReport::RemoveReport(int index) {
  if (index < 0 || index >= int(reports_.size())) return;
  TZdPrintBaseComponent* removed = reports_[size_t(index)];
  reports_.erase(reports_.begin() + index);
  if (std::find(reports_.begin(), reports_.end(), removed) == reports_.end()) removed->RemoveFreeNotification(this);
}

void TZdqCompositeReport::ClearReports() {
  FreePages();
  while (!reports_.empty()) RemoveReport(int(reports_.size()) - 1);
}

void TZdqCompositeReport::Notification(TComponent* component, TOperation operation) {
  TZdPrintBaseComponent::Notification(component, operation);
  if (operation == TOperation::opRemove)
    reports_.erase(std::remove(reports_.begin(), reports_.end(), component), reports_.end());
}

void TZdqCompositeReport::PrepareReport() {
  // A composite among its own members, directly or through another one.
  if (preparing_) throw std::logic_error("a composite report cannot contain itself");
  preparing_ = true;
  struct TDone {
    bool& flag;
    ~TDone() { flag = false; }
  } done{preparing_};

  TZdPrintBaseComponent::PrepareReport();
  BeginDoc();
  if (reports_.empty()) {
    NewPage(false);
  } else {
    // Continuous numbers show the whole document's page count, known once
    // every member has been prepared.
    TPrepared prepared = prepareMembers(0);
    if (continuousPageNumbers_ && !PrepareCancelled()) prepared = prepareMembers(prepared.pages);
    joinPages(prepared.members);
  }
  EndDoc();
}

TZdqCompositeReport::TPrepared TZdqCompositeReport::prepareMembers(int pageCountShown) {
  TPrepared prepared;
  for (TZdPrintBaseComponent* member : reports_) {
    if (PrepareCancelled()) break;
    {
      TMemberPreparation preparation(*member, {this, continuousPageNumbers_ ? prepared.pages : 0, pageCountShown});
      member->Prepare();
    }
    ++prepared.members;
    prepared.pages += member->GetNumPages();
    for (const std::string& warning : member->Warnings()) AddWarning(warning);
  }
  return prepared;
}

void TZdqCompositeReport::joinPages(int memberCount) {
  Outlines().Clear();
  int offset = 0;
  for (int m = 0; m < memberCount; ++m) {
    TZdPrintBaseComponent* member = reports_[size_t(m)];
    const TPageStore& pages = member->Pages();
    for (int i = 0; i < pages.Count(); ++i) {
      const TPageInfo& page = pages.At(i);
      AppendPage(page.Renumbered(page.intNumPage + offset, page.intNumBar));
    }
    const TZdqOutlines& outlines = member->Outlines();
    for (int i = 0; i < outlines.Count(); ++i) {
      TZdqOutline& joined = Outlines().Add();
      joined = outlines.Items(i);
      joined.PageNo += offset;
    }
    offset += member->GetNumPages();
  }
  // Exporting and printing start from the current page.
  Producer().SetCurrentPage(0, 0);
}

}  // namespace zd
