#pragma once
// Several print components' pages as one document, previewed, printed,
// exported and saved as a whole.
#include <vector>

#include "print/PrintZd.h"

namespace zd {

// Prepares its members in order and takes their pages one after another.
// The page drawings are shared with the members, not copied; the members'
// own pages keep their numbers. A member that is destroyed leaves the list.
class TZdqCompositeReport : public TZdPrintBaseComponent {
 public:
  explicit TZdqCompositeReport(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqCompositeReport"; }

  /// Appends a member (not owned). A composite cannot contain itself.
  void AddReport(TZdPrintBaseComponent& report);
  /// Removes the member at the 0-based index; any other index does nothing.
  void RemoveReport(int index);
  /// Drops the joined pages, then the members.
  void ClearReports();
  const std::vector<TZdPrintBaseComponent*>& Reports() const { return reports_; }

  /// Whether the members' page numbers run on from one member to the next
  /// and their page counts show the whole document's. The members are then
  /// prepared twice: the first time to count the pages.
  bool ContinuousPageNumbers() const { return continuousPageNumbers_; }
  void SetContinuousPageNumbers(bool on) { continuousPageNumbers_ = on; }

  void PrepareReport() override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // The leading members a round prepared before it ended or was cancelled,
  // and their pages together.
  struct TPrepared {
    int members = 0;
    int pages = 0;
  };
  TPrepared prepareMembers(int pageCountShown);
  // Takes the pages and outlines of the first memberCount members.
  void joinPages(int memberCount);

  std::vector<TZdPrintBaseComponent*> reports_;
  bool continuousPageNumbers_ = false;
  bool preparing_ = false;
};

}  // namespace zd
