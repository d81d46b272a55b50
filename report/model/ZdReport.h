#pragma once
// The banded report: an ordered list of bands over a master dataset, with
// columns, bars and page numbering, resolving names for its expressions.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Errors.h"
#include "host/data/DataSet.h"
#include "print/PrintZd.h"
#include "report/model/Evaluator.h"
#include "report/model/FontObject.h"
#include "report/model/ZdqBase.h"
#include "report/model/ZdqDMan.h"
#include "report/model/ZdqTypes.h"

namespace zd {

enum class TZdReportState { rsNone, rsDesign, rsPrepare, rsPrint };
/// Which values UpdateCurValues refreshes.
/// uvOnlyPageFooter refreshes the page and column footers once the row in
/// hand is printed: the totals they show are those of the rows on the page.
enum class TUpdateValue { uvAllBand, uvWithoutGroupFooter, uvOnlyGroupFooter, uvOnlyCustomVariables, uvOnlyPageFooter };

using TColumnEvent = std::function<void(TComponent* sender, int column)>;
using TGenerateBeforeEvent = std::function<void(TComponent* sender, TZdqControl& cntrl, bool isPreCalc)>;
using TGenerateAfterEvent =
    std::function<void(TComponent* sender, TZdqControl& cntrl, bool isPreCalc, bool& abort)>;
/// Designer notifications: the control, the message number and two parameters.
using TDesignerMessageEvent =
    std::function<void(TZdqControl& control, int message, intptr_t wParam, intptr_t lParam)>;

/// How a group starts and breaks pages, named rather than passed as
/// positional flags.
struct TZdqGroupOptions {
  std::string Expression;  // also the group's name
  bool NewPage = false;
  bool ReprintHeader = false;
  bool NewPageIfNotFit = false;
  double LessThan = 0;
};
/// The two bands of a group; they belong to the report.
struct TZdqGroupBands {
  TZdqBand& Header;
  TZdqBand& Footer;
};

/// A preparation that went past one of the report's bounds on its work.
class EZdqLimitError : public EZdError {
 public:
  using EZdError::EZdError;
};

/// The banded report component: bands over a master dataset, prepared into
/// pages by PrepareReport and then printed, previewed or exported.
class TZdReport : public TZdPrintComponent {
 public:
  explicit TZdReport(TComponent* owner = nullptr);
  ~TZdReport() override;
  std::string ClassName() const override { return "TZdReport"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  // ---- published ----
  TDataSet* DataSet() const { return dataSet_; }
  /// Also clears a band dataset equal to it.
  void SetDataSet(TDataSet* dataSet);
  TZdqDataManager* DataManager() const { return dataManager_; }
  void SetDataManager(TZdqDataManager* manager);
  /// Counts below 1 are ignored: both divide page widths. Each bar walks
  /// the data again and each column takes its share of the page, so counts
  /// beyond these make no report anyone could print.
  static constexpr int kMaxBars = 1000, kMaxColumns = 1000;
  int BarNumber() const { return barNumber_; }
  void SetBarNumber(int n) { if (n >= 1) barNumber_ = std::min(n, kMaxBars); }
  int ColumnNumber() const { return columnNumber_; }
  void SetColumnNumber(int n) { if (n >= 1) columnNumber_ = std::min(n, kMaxColumns); }
  int ColumnSpace() const { return columnSpace_; }
  void SetColumnSpace(int space) { columnSpace_ = ClampCoordinate(space); }
  std::string GetFileName() const { return fileName_.empty() ? "Report.zdq" : fileName_; }
  const std::string& StoredFileName() const { return fileName_; }  // empty when never set
  void SetFileName(const std::string& name) { fileName_ = name; }
  int PageNoStartAt() const { return pageNoStartAt_; }
  void SetPageNoStartAt(int first) { pageNoStartAt_ = first; }
  int PageNoCountBy() const { return pageNoCountBy_; }
  void SetPageNoCountBy(int step) { pageNoCountBy_ = step; }
  TZdqParameters& Parameters() { return parameters_; }
  const TZdqParameters& Parameters() const { return parameters_; }
  void SetParameters(const TZdqParameters& p) { parameters_.Assign(p); }
  TZdqFont& FontObject() { return fontObject_; }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  TColumnEvent OnBeginColumn, OnEndColumn;
  TGenerateBeforeEvent BeforeControlPrint, BeforeBandPrint;
  TGenerateAfterEvent AfterControlPrint, AfterBandPrint;
  TDesignerMessageEvent OnDesignerMessage;

  // ---- bands ----
  const std::vector<TZdqBand*>& Bands() const { return bands_; }
  /// Clears the report to a page header, a detail and a page footer.
  void NewReport();
  /// Creates a band of the type and places it by AppendBand. Indexes shift
  /// as later bands are placed; the band itself stays.
  TZdqBand& NewBand(TBandType type, bool afterEqual = true);
  int AddBand(TBandType type, bool afterEqual) { return NewBand(type, afterEqual).GetBandIndex(); }
  /// Places a band of this report by its type's order key: after bands of
  /// an equal key when afterEqual, else before them; a summary goes last.
  int AppendBand(TZdqBand& band, bool afterEqual);
  void BandReOrder();  ///< stable sort by order key
  void DeleteBand(int index);  ///< out of range: nothing
  void DeleteAllBands();
  /// A header and its footer sharing the options.
  TZdqGroupBands AddGroup(const TZdqGroupOptions& options);
  /// The same, returning both indexes.
  void AddGroup(int& headerIndex, int& footerIndex, bool newPage, bool reprintHeader, bool newPageIfNotFit,
                double lessThan, const std::string& expression);
  void DeleteGroup(const std::string& groupName);  ///< ignoring case
  int GetIndexBand(TBandType type) const;          ///< first of the type, -1
  TZdqBand* GetBand(int index) const;              ///< nullptr out of range
  int GetBandLineNo(TBandType type) const;         ///< -1 without such band
  TZdqControl* GetFirstSelected() const;
  /// 0 selects, 1 deselects, 2 toggles every control; bands are deselected.
  void SelectElements(int mode);
  void AssignGroups(bool clear, TStrings& list) const;
  /// Every field of every listed dataset as "Caption.Field".
  void AssignDataSets(TStrings& list);
  /// Base, or Base followed by a counter, not taken by a control's display
  /// name (ignore: a control left out of the comparison).
  std::string GetUniqueName(const std::string& base, const TZdqControl* ignore = nullptr) const;
  /// The data manager, or the default one refilled for this report.
  TZdqDataManager& GetDataManager();
  /// The datasets the report itself owns: those its template stores, and any
  /// an application gave it.
  std::vector<TDataSet*> OwnDatasets() const;

  // ---- values ----
  /// Bounds on the work of one preparation, so that no template runs away:
  /// the variable refreshes that one row may trigger, and the length of any
  /// text an expression gives. Exceeding one stops the preparation.
  int MaxRefreshesPerRow = 100000;
  size_t MaxTextLength = 16u << 20;
  /// Evaluates through the installed evaluator (a field resolver until the
  /// expression engine installs its own); raises for a text longer than
  /// MaxTextLength.
  TVariant Evaluate(const std::string& expression);
  /// Counts one refresh of the named variable for the row in hand; raises
  /// past MaxRefreshesPerRow.
  void CountRefresh(const std::string& variableName);
  bool ReadsPageValues(const std::string& expression) const { return evaluator_->ReadsPageValues(expression); }
  bool ReadsVariables(const std::string& expression) const { return evaluator_->ReadsVariables(expression); }
  void SetEvaluator(std::unique_ptr<TZdqEvaluator> evaluator);
  /// Print conditions of every band and control for the current row.
  void UpdateControlStates();
  /// Refreshes variables (uvOnlyCustomVariables) or the controls of the bands
  /// firstBand..lastBand (negative: from the first, to the last) whose
  /// calculation takes a value for this group or variable change.
  void UpdateCurValues(int firstBand, int lastBand, TUpdateValue mode, const std::string& groupName = {},
                       const std::string& variableName = {});
  /// Clears the values that end with the report, a page or the named group.
  void ResetPrintedValues(TResetType type, const std::string& groupName = {});
  /// The parameters to ask for go to the parameter dialog; false when cancelled.
  bool AskParameters();

  // ---- base overrides ----
  /// Checks the datasets, asks for parameters and runs the band engine.
  void PrepareReport() override;
  /// Next column, or a new sheet with its title, headers and footers.
  void NewPage(bool isNewBar = false) override;
  int GetPageNoCountBy() const override { return pageNoCountBy_; }
  int GetPageNoStartAt() const override { return pageNoStartAt_; }
  int GetCurColumn() const override { return Producer().intCurColumn(); }
  int GetColumnNumber() const override { return columnNumber_; }
  /// Parameters by name or display label, then system values and variables.
  void ZdqGetVariable(TComponent* sender, const std::string& variableName, bool& accept,
                      TFieldType& variableType, TVariant& value) override;

  // ---- engine state ----
  TZdReportState ReportState = TZdReportState::rsNone;
  bool InternalLoading = false;  ///< a template is being read
  int intBarWidth = 0;
  int intColumnLeft = 0;
  int intColumnTop = 0, intColumnBottom = 0;
  bool boolWasNewPage = false;
  /// The row in hand: a number that changes whenever the engine moves to
  /// another row of any dataset, 0 while there is none. Calculations take
  /// one value per row and keep the row in hand across the end of a span.
  uint64_t CurrentRow = 0;
  /// Sets CurrentRow to a number never used before (0 when there is no row).
  void TakeNextRow(bool haveRow) { CurrentRow = haveRow ? ++rowSerial_ : 0; }
  /// Page and column footers get their place when the page or column
  /// starts and are drawn there when it ends, with the totals of its rows.
  struct TReservedFooter {
    TZdqBand* band;
    int top, bottom, columnLeft;
  };
  std::vector<TReservedFooter> ReservedFooters;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  bool CountsCanBeDeferred() const override;

 private:
  friend class TZdqBand;
  void attachBand(TZdqBand& band);
  void detachBand(const TComponent* band);
  void listOwnDatasets(TZdqDataManager& manager) const;
  void openOwnDatasets();

  std::vector<TZdqBand*> bands_;
  TDataSet* dataSet_ = nullptr;
  TZdqDataManager* dataManager_ = nullptr;
  int barNumber_ = 1, columnNumber_ = 1, columnSpace_ = 0;
  std::string fileName_;
  int pageNoStartAt_ = 0, pageNoCountBy_ = 1;
  int tag_ = 0;
  TZdqParameters parameters_{this};
  /// The base class keeps the font; this publishes it.
  TZdqFont fontObject_{const_cast<TFont&>(Font())};
  std::unique_ptr<TZdqEvaluator> evaluator_;
  uint64_t rowSerial_ = 0;
  uint64_t refreshesRow_ = 0;
  int refreshes_ = 0;
};

}  // namespace zd
