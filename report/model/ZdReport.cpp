#include "report/model/ZdReport.h"

#include <algorithm>

#include "expr/StrUtils.h"
#include "host/core/TextUtil.h"
#include "host/ui/UserInterface.h"
#include "print/TextIds.h"
#include "report/engine/detail/BandEngine.h"
#include "report/engine/detail/BandEnginePage.h"
#include "report/engine/detail/BandEngineValues.h"
#include "report/model/ControlRegistry.h"

namespace zd {

namespace {

const TEnumNames kOptionNames{"TZdqOptions", {"roDisableControls"}};

TFieldType FieldTypeOfValue(const TVariant& value) {
  switch (value.kind()) {
    case TVarKind::Integer: return TFieldType::ftInteger;
    case TVarKind::Float: return TFieldType::ftFloat;
    case TVarKind::DateTime: return TFieldType::ftDateTime;
    case TVarKind::Boolean: return TFieldType::ftBoolean;
    default: return TFieldType::ftString;
  }
}

bool IsPageBand(TBandType type) { return type == TBandType::btPageHeader || type == TBandType::btPageFooter; }

bool IsAsked(const TZdqParameter& p) {
  return p.ParameterMode() == TZdqParameterMode::pmAskAlways || p.Value().isNull() || p.Value().isEmpty();
}

// A string-table text with its "%s" filled in.
std::string FormatText(std::string text, const std::string& argument) {
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace

TZdReport::TZdReport(TComponent* owner)
    : TZdPrintComponent(owner), evaluator_(std::make_unique<TZdqExprEvaluator>()) {
  ListenToSiblings();
  RegisterReportClasses();
  NewReport();
}

TZdReport::~TZdReport() {
  // Bands reach back into the report while they go, so they go first.
  DeleteAllBands();
}

const TClassProperties& TZdReport::ClassProperties() {
  using R = TZdReport;
  static const TClassProperties props =
      TPropertiesOf<R>("TZdReport", nullptr)
          .String("Name", [](const R& r) { return r.Name(); },
                  [](R& r, const std::string& v) {
                    if (!r.InternalLoading) r.SetName(v);  // a template does not rename the component
                  })
          .Integer("Tag", &R::Tag, &R::SetTag, 0)
          .Reference("DataSet", [](const R& r) { return r.DataSet(); }, [](R& r, TDataSet* v) { r.SetDataSet(v); })
          .Reference("DataManager", [](const R& r) { return r.DataManager(); },
                     [](R& r, TZdqDataManager* v) { r.SetDataManager(v); })
          .Integer("BarNumber", [](const R& r) { return r.BarNumber(); }, [](R& r, int v) { r.SetBarNumber(v); }, 1)
          .Integer("ColumnSpace", [](const R& r) { return r.ColumnSpace(); },
                   [](R& r, int v) { r.SetColumnSpace(v); }, 0)
          .Integer("ColumnNumber", [](const R& r) { return r.ColumnNumber(); },
                   [](R& r, int v) { r.SetColumnNumber(v); }, 1)
          .String("FileName", [](const R& r) { return r.StoredFileName(); },
                  [](R& r, const std::string& v) { r.SetFileName(v); })
          .Integer("PageNoStartAt", &R::PageNoStartAt, &R::SetPageNoStartAt, 0)
          .Integer("PageNoCountBy", &R::PageNoCountBy, &R::SetPageNoCountBy, 1)
          .Collection("Variables", [](R& r) -> TZdqVariables& { return r.Variables(); })
          .Collection("Parameters", [](R& r) -> TZdqParameters& { return r.Parameters(); })
          .Boolean("AnimatedStatus", &R::AnimatedStatus, &R::SetAnimatedStatus, true)
          .Object("Frame", [](R& r) -> TZdqFrame& { return r.Frame(); })
          .Object("PrinterSetting", [](R& r) -> TZdqPrinter& { return r.PrinterSetting(); })
          .Object("Font", [](R& r) -> TZdqFont& { return r.FontObject(); })
          .Set("Options", &R::Options, &R::SetOptions, kOptionNames, unsigned(roDisableControls))
          .Object("Language", [](R& r) -> TZdqLanguage& { return r.Language(); })
          .Object("ZdProperty", [](R& r) -> TZdProperty& { return r.ZdProperty(); })
          .Integer("HelpContext", &R::HelpContext, &R::SetHelpContext, 0)
          .Boolean("TwoPass", [](const R& r) { return r.TwoPass(); }, [](R& r, bool v) { r.SetTwoPass(v); }, false)
          .Build();
  return props;
}

// ---- references ----

void TZdReport::SetDataSet(TDataSet* dataSet) {
  if (dataSet_ && dataSet_ != dataSet) RemoveFreeNotification(dataSet_);
  dataSet_ = dataSet;
  if (!dataSet) return;
  FreeNotification(dataSet);
  for (TZdqBand* band : bands_)
    if (band->dataset_ == dataSet) band->SetDataset(nullptr);
}

void TZdReport::SetDataManager(TZdqDataManager* manager) {
  if (dataManager_ && dataManager_ != manager) RemoveFreeNotification(dataManager_);
  dataManager_ = manager;
  if (manager) FreeNotification(manager);
}

void TZdReport::Notification(TComponent* component, TOperation operation) {
  TZdPrintComponent::Notification(component, operation);
  if (operation == TOperation::opInsert) {
    if (component->Owner() == this)
      if (auto* band = dynamic_cast<TZdqBand*>(component)) attachBand(*band);
    return;
  }
  if (dataSet_ && static_cast<TComponent*>(dataSet_) == component) dataSet_ = nullptr;
  if (dataManager_ && static_cast<TComponent*>(dataManager_) == component) dataManager_ = nullptr;
  if (component->Owner() == this) detachBand(component);
}

void TZdReport::attachBand(TZdqBand& band) {
  if (std::find(bands_.begin(), bands_.end(), &band) == bands_.end()) bands_.push_back(&band);
  band.FZdReport = this;
  for (TZdqControl* c : band.Objects()) c->FZdReport = this;
}

void TZdReport::detachBand(const TComponent* band) {
  auto it = std::find_if(bands_.begin(), bands_.end(),
                         [band](TZdqBand* b) { return static_cast<const TComponent*>(b) == band; });
  if (it == bands_.end()) return;
  TZdqBand* found = *it;
  bands_.erase(it);
  found->FZdReport = nullptr;
  for (TZdqControl* c : found->Objects()) c->FZdReport = nullptr;
}

// ---- bands ----

void TZdReport::NewReport() {
  DeleteAllBands();
  NewBand(TBandType::btPageHeader);
  NewBand(TBandType::btDetail);
  NewBand(TBandType::btPageFooter);
  ReportState = TZdReportState::rsNone;
}

TZdqBand& TZdReport::NewBand(TBandType type, bool afterEqual) {
  auto* band = new TZdqBand(this);
  band->SetBandType(type);
  if (IsPageBand(type)) band->SetNewPage(true);
  AppendBand(*band, afterEqual);
  return *band;
}

int TZdReport::AppendBand(TZdqBand& band, bool afterEqual) {
  if (band.Owner() != this) InsertComponent(&band);
  bands_.erase(std::remove(bands_.begin(), bands_.end(), &band), bands_.end());
  const int key = BandOrderKey(band.BandType());
  auto at = bands_.end();
  if (key != BandOrderKey(TBandType::btReportSummary)) {
    at = std::find_if(bands_.begin(), bands_.end(), [&](const TZdqBand* b) {
      const int k = BandOrderKey(b->BandType());
      return afterEqual ? k > key : k >= key;
    });
  }
  return int(bands_.insert(at, &band) - bands_.begin());
}

void TZdReport::BandReOrder() {
  std::stable_sort(bands_.begin(), bands_.end(), [](const TZdqBand* a, const TZdqBand* b) {
    return BandOrderKey(a->BandType()) < BandOrderKey(b->BandType());
  });
}

void TZdReport::DeleteBand(int index) { delete GetBand(index); }

void TZdReport::DeleteAllBands() {
  while (!bands_.empty()) delete bands_.back();
}

TZdqGroupBands TZdReport::AddGroup(const TZdqGroupOptions& options) {
  TZdqGroupBands group{NewBand(TBandType::btGroupHeader, true), NewBand(TBandType::btGroupFooter, false)};
  for (TZdqBand* band : {&group.Header, &group.Footer}) {
    band->SetNewPage(options.NewPage);
    band->SetReprintHeader(options.ReprintHeader);
    band->SetLessThan(options.LessThan);
    band->SetExpression(options.Expression);
    band->SetNewPageIfNotFit(options.NewPageIfNotFit);
  }
  return group;
}

void TZdReport::AddGroup(int& headerIndex, int& footerIndex, bool newPage, bool reprintHeader,
                         bool newPageIfNotFit, double lessThan, const std::string& expression) {
  const TZdqGroupBands group = AddGroup({expression, newPage, reprintHeader, newPageIfNotFit, lessThan});
  headerIndex = group.Header.GetBandIndex();
  footerIndex = group.Footer.GetBandIndex();
}

void TZdReport::DeleteGroup(const std::string& groupName) {
  for (int i = int(bands_.size()) - 1; i >= 0; --i)
    if (bands_[size_t(i)]->IsGroup() && SameText(bands_[size_t(i)]->Expression(), groupName)) DeleteBand(i);
}

int TZdReport::GetIndexBand(TBandType type) const {
  for (size_t i = 0; i < bands_.size(); ++i)
    if (bands_[i]->BandType() == type) return int(i);
  return -1;
}

TZdqBand* TZdReport::GetBand(int index) const {
  return index >= 0 && index < int(bands_.size()) ? bands_[size_t(index)] : nullptr;
}

int TZdReport::GetBandLineNo(TBandType type) const {
  const TZdqBand* band = GetBand(GetIndexBand(type));
  return band ? band->LineNo : -1;
}

TZdqControl* TZdReport::GetFirstSelected() const {
  for (const TZdqBand* band : bands_)
    for (TZdqControl* c : band->Objects())
      if (c->Selected()) return c;
  return nullptr;
}

void TZdReport::SelectElements(int mode) {
  for (TZdqBand* band : bands_) {
    band->SetSelected(false);
    for (TZdqControl* c : band->Objects()) {
      switch (mode) {
        case 0: c->SetSelected(true); break;
        case 1: c->SetSelected(false); break;
        case 2: c->SetSelected(!c->Selected()); break;
        default: break;
      }
    }
  }
}

void TZdReport::AssignGroups(bool clear, TStrings& list) const {
  if (clear) list.Clear();
  for (const TZdqBand* band : bands_)
    if (band->BandType() == TBandType::btGroupHeader) list.Add(band->Expression());
}

void TZdReport::AssignDataSets(TStrings& list) {
  list.Clear();
  const TZdqDatasets& items = GetDataManager().Datasets();
  for (int i = 0; i < items.Count(); ++i) {
    const TZdqDataset& item = *items[i];
    if (!item.Dataset()) continue;
    for (int f = 0; f < item.Dataset()->FieldCount(); ++f)
      list.Add(SetDSExpression(item.Caption(), item.Dataset()->Fields(f).FieldName()));
  }
}

std::string TZdReport::GetUniqueName(const std::string& base, const TZdqControl* ignore) const {
  std::string candidate = base;
  int counter = 0;
  for (const TZdqBand* band : bands_)
    for (const TZdqControl* c : band->Objects())
      if (c != ignore && c->DisplayName() == candidate) candidate = base + std::to_string(++counter);
  return candidate;
}

TZdqDataManager& TZdReport::GetDataManager() {
  TZdqDataManager& manager = dataManager_ ? *dataManager_ : defDataManager();
  const TZdqDatasets& items = manager.Datasets();
  // The default manager serves every report, so it is refilled for this one.
  if (items.Count() == 0 || (&manager == &defDataManager() && items[0]->Dataset() != dataSet_))
    manager.FillDatasetList(Owner(), dataSet_);
  listOwnDatasets(manager);
  return manager;
}

std::vector<TDataSet*> TZdReport::OwnDatasets() const {
  std::vector<TDataSet*> datasets;
  if (Components().size() == bands_.size()) return datasets;  // bands only: the usual case, kept cheap
  for (TComponent* c : Components())
    if (auto* dataset = dynamic_cast<TDataSet*>(c)) datasets.push_back(dataset);
  return datasets;
}

// Nobody else opens the datasets the report's template stores.
void TZdReport::openOwnDatasets() {
  for (TDataSet* dataset : OwnDatasets())
    if (!dataset->Active()) dataset->Open();
}

// The datasets a template brought are the report's own data sources, whichever
// manager lists the others.
void TZdReport::listOwnDatasets(TZdqDataManager& manager) const {
  TZdqDatasets& items = manager.Datasets();
  for (TDataSet* dataset : OwnDatasets()) {
    if (items.ItemByDataset(dataset)) continue;
    // An entry emptied when the template was read again takes it back in its place.
    TZdqDataset* emptied = items.ItemByDataset(nullptr);
    if (emptied && emptied->Caption().empty())
      emptied->SetDataset(dataset);
    else
      manager.AddDataset(dataset);
  }
}

// ---- values ----

TVariant TZdReport::Evaluate(const std::string& expression) {
  TVariant value = evaluator_->Evaluate(*this, expression);
  if (value.kind() == TVarKind::String && value.asString().size() > MaxTextLength)
    throw EZdqLimitError("Expression '" + expression.substr(0, 80) + "' gives a text longer than " +
                             std::to_string(MaxTextLength) + " bytes");
  return value;
}

void TZdReport::CountRefresh(const std::string& variableName) {
  if (refreshesRow_ != CurrentRow) {
    refreshesRow_ = CurrentRow;
    refreshes_ = 0;
  }
  if (++refreshes_ > MaxRefreshesPerRow)
    throw EZdqLimitError("Variable '" + variableName + "' and those that follow its changes are refreshed more than " +
                             std::to_string(MaxRefreshesPerRow) + " times for one row");
}

void TZdReport::SetEvaluator(std::unique_ptr<TZdqEvaluator> evaluator) {
  if (!evaluator) throw std::invalid_argument("A report needs an evaluator");
  evaluator_ = std::move(evaluator);
}

void TZdReport::UpdateControlStates() {
  auto update = [this](TZdqControl& c) {
    const TZdPrintWhen& when = c.ZdPrintWhen();
    c.FCanBePrinted = true;
    if (!Trim(when.ShowIf()).empty()) c.FCanBePrinted = ReadsAsTrue(Evaluate(when.ShowIf()));
    if (c.FCanBePrinted && !Trim(when.HideWhen()).empty() && ReadsAsTrue(Evaluate(when.HideWhen())))
      c.FCanBePrinted = false;
  };
  for (TZdqBand* band : bands_) {
    update(*band);
    for (TZdqControl* c : band->Objects()) update(*c);
  }
}

void TZdReport::UpdateCurValues(int firstBand, int lastBand, TUpdateValue mode, const std::string& groupName,
                                const std::string& variableName) {
  TZdqValueUpdater(*this).Update(firstBand, lastBand, mode, groupName, variableName);
}

void TZdReport::ResetPrintedValues(TResetType type, const std::string& groupName) {
  TZdqValueUpdater(*this).Reset(type, groupName);
}

bool TZdReport::AskParameters() {
  std::vector<TZdqParameter*> asked;
  for (int i = 0; i < parameters_.Count(); ++i)
    if (IsAsked(*parameters_[i])) asked.push_back(parameters_[i]);
  if (asked.empty()) return true;
  return UserInterface().ShowParameterDialog(*this, asked);
}

// ---- preparation ----

bool TZdReport::CountsCanBeDeferred() const {
  // Application code may read the counts, or see the passes, at any event.
  return !OnGetVariable && !OnBeginPage && !OnEndPage && !OnBeginColumn && !OnEndColumn && !BeforeControlPrint &&
         !AfterControlPrint && !BeforeBandPrint && !AfterBandPrint;
}

void TZdReport::PrepareReport() {
  const int shift = GetLanguageShift();
  openOwnDatasets();
  if (!dataSet_) throw EDatabaseError(FormatText(GetString(shift, txt::PropertyNotSpecified), "DataSet"));
  if (!dataSet_->Active()) throw EDatabaseError(GetString(shift, txt::DatasetNotActive));
  for (const TZdqBand* band : bands_)
    if (band->Dataset() && !band->Dataset()->Active()) throw EDatabaseError(GetString(shift, txt::DatasetNotActive));
  // The second of two passes keeps the answers of the first.
  if (Producer().intCurPassNumber() <= 1 && !AskParameters()) return;
  TZdPrintComponent::PrepareReport();
  TZdqBandEngine(*this).Run();
}

void TZdReport::NewPage(bool isNewBar) { TZdqPageStarter(*this).Start(isNewBar); }

void TZdReport::ZdqGetVariable(TComponent* sender, const std::string& variableName, bool& accept,
                               TFieldType& variableType, TVariant& value) {
  const std::string name = UpperCase(Trim(variableName));
  for (int i = 0; i < parameters_.Count(); ++i) {
    const TZdqParameter& p = *parameters_[i];
    if (UpperCase(p.Name()) == name || UpperCase(p.DisplayLabel()) == name) {
      accept = true;
      value = p.Value();
      variableType = FieldTypeOfValue(p.Value());
      break;
    }
  }
  TZdPrintComponent::ZdqGetVariable(sender, variableName, accept, variableType, value);
}

}  // namespace zd
