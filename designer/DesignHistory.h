#pragma once
// Undo and redo of the designer's edits. Every edit reaches the report as
// property changes (heard here) or as a band or control added, moved or
// removed (told by the window); a step is the whole report as it stood
// after an edit, so each kind of edit undoes the same way.
#include <functional>
#include <memory>
#include <vector>

#include "host/core/PropertyChanges.h"
#include "host/core/Properties.h"

namespace zd {

class TZdReport;
class TZdqPrinter;

class TDesignHistory {
 public:
  explicit TDesignHistory(TZdReport& report);

  // Called on each property change while no restore is under way, so
  // the window can commit edits made outside its own commands.
  std::function<void()> OnEdited;

  // The report as it is now becomes the newest step; nothing is recorded
  // when it did not change.
  void Commit();
  // Forgets every step; the report as it is becomes the base (a file was
  // opened or a new report begun).
  void Reset();
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Load the report from the step before (after) the current one. The
  // report's bands and controls are rebuilt: pointers to them go stale.
  void Undo();
  void Redo();

  // Whether the report differs from what was last saved or opened.
  bool Modified() const { return current_.bytes != saved_; }
  void MarkSaved() { saved_ = current_.bytes; }
  // The report as last committed.
  const TBytes& Current() const { return current_.bytes; }

  // Steps kept; the oldest go first.
  static constexpr size_t kMaxSteps = 200;

 private:
  // Loading a template takes the printer's settings; a step keeps the
  // report's own, so that undo gives back exactly what was there.
  struct TState {
    TBytes bytes;
    std::shared_ptr<const TZdqPrinter> printer;
  };
  TState capture() const;
  void restore(const TState& state);
  TZdReport& report_;
  TState current_;
  TBytes saved_;
  std::vector<TState> undo_, redo_;
  bool restoring_ = false;
  TPropertySubscription listening_;
};

}  // namespace zd
