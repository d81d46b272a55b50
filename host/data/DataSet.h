#pragma once
// Datasets: a cursor over rows with named, typed fields. Reports walk them
// with First/Next/Eof, remember places with bookmarks, and read fields.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Errors.h"
#include "host/core/Properties.h"
#include "host/data/Field.h"
#include "host/data/RowBuffer.h"

namespace zd {

class EDatabaseError : public EZdError {
 public:
  using EZdError::EZdError;
};

/// A place in one opening of one dataset. A bookmark taken on an empty or
/// closed dataset is null, and going to it does nothing.
struct TBookmark {
  uint64_t generation = 0;
  int row = -1;
  bool IsNull() const { return generation == 0; }
};

/// Base of the datasets: a cursor over rows with named, typed fields.
class TDataSet : public TComponent {
 public:
  explicit TDataSet(TComponent* owner = nullptr);
  ~TDataSet() override;
  std::string ClassName() const override { return "TDataSet"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  // The name only; what a dataset reads from is its own class's concern.
  static const TClassProperties& ClassProperties();

  bool Active() const { return active_; }
  void SetActive(bool active);
  void Open();
  void Close();

  void First();
  void Next();
  void Prior();
  void Last();
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const { return current_ < 0; }
  int RecordCount();  ///< fetches every row; 0 when closed
  int RecNo() const { return current_ + 1; }  // 1-based; 0 without a current row

  TBookmark GetBookmark() const;
  void GotoBookmark(const TBookmark& bookmark);  ///< throws for a bookmark of another opening
  void FreeBookmark(TBookmark& bookmark) { bookmark = TBookmark(); }
  bool BookmarkValid(const TBookmark& bookmark) const;
  /// Keeps the current row and those after it in memory until ReleaseRows,
  /// for a walk ahead that comes back to this row. Holds nest.
  void HoldRows();
  void ReleaseRows();

  /// Nestable; each DisableControls needs its EnableControls.
  void DisableControls() { ++disableCount_; }
  void EnableControls() {
    if (disableCount_ > 0) --disableCount_;
  }
  bool ControlsDisabled() const { return disableCount_ > 0; }

  int FieldCount() const { return int(fields_.size()); }
  TField& Fields(int index) const;
  TField* FindField(std::string_view name) const;  ///< case-insensitive; nullptr when absent
  TField& FieldByName(std::string_view name) const;
  std::vector<std::string> GetFieldNames() const;

  /// The component name, or the class name for an unnamed dataset.
  std::string DisplayedName() const;

 protected:
  struct TFieldDef {
    std::string name;
    TFieldType type = TFieldType::ftString;
    int size = 0;
  };

  /// DoOpen defines the fields and makes rows available; DoClose drops what
  /// DoOpen acquired. A derived class must Close() in its own destructor.
  virtual void DoOpen() = 0;
  virtual void DoClose() = 0;
  /// Appends at least one row to Rows() and returns true, or false at the end.
  virtual bool FetchMoreRows() { return false; }
  /// A dataset that can read its rows again from the first lets go of the
  /// rows far behind its cursor and reads them again if the cursor goes
  /// back to them; one that cannot keeps every row it fetched.
  virtual bool CanFetchAgain() const { return false; }
  /// Empties Rows() so that FetchMoreRows starts again from the first row.
  virtual void FetchAgain() {}
  virtual bool CanModify() const { return false; }

  TRowBuffer& Rows() { return rows_; }
  const TRowBuffer& Rows() const { return rows_; }
  /// Fields with a name already present keep their object and display settings.
  void SetFieldDefs(const std::vector<TFieldDef>& defs);
  /// Rows were replaced: bookmarks taken before no longer apply, and an open
  /// dataset goes back to its first row.
  void RowsReplaced();
  /// Rows were added at the end: an open dataset without a current row gets one.
  void RowsAppended();
  /// The error, named after the dataset, that Fail throws.
  EDatabaseError Error(const std::string& message) const;
  [[noreturn]] void Fail(const std::string& message) const;
  void CheckInactive(const char* operation) const;

 private:
  friend class TField;
  const TVariant& CurrentValue(int column) const;
  void SetCurrentValue(int column, const TVariant& value);
  bool EnsureRow(int index);
  void dropRowsBehind(int index);
  void CheckActive() const;
  void PlaceOnFirstRow();

  std::vector<std::unique_ptr<TField>> fields_;
  std::unordered_map<std::string, TField*> fieldsByName_;  ///< upper-case names: tables may be very wide
  TRowBuffer rows_;
  bool active_ = false;
  bool bof_ = true;
  bool eof_ = true;
  int current_ = -1;  // may lie before the rows held: read again on use
  std::vector<int> holds_;
  int disableCount_ = 0;
  uint64_t generation_ = 0;
};

}  // namespace zd
