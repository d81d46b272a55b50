#include "report/model/ZdqBase.h"

#include <algorithm>
#include <stdexcept>

#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "host/emf/Metafile.h"
#include "report/engine/detail/BandEngineLookAhead.h"
#include "report/engine/detail/BandEnginePrint.h"
#include "report/model/ControlRegistry.h"
#include "report/model/Evaluator.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

const TEnumNames kBandTypeNames{"TBandType",
                                {"btNone", "btReportTitle", "btPageHeader", "btColumnHeader", "btGroupHeader",
                                 "btDetail", "btGroupFooter", "btColumnFooter", "btPageFooter",
                                 "btReportSummary", "btSubDetail"}};
const TEnumNames kAlignmentNames{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumNames kBrushStyleNames{"TBrushStyle",
                                  {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                   "bsBDiagonal", "bsCross", "bsDiagCross"}};
const TEnumNames kObjectPositionNames{"TZdqObjectPosition",
                                      {"opDesigned", "opTopBand", "opBottomBand", "opCenterBand"}};

bool EmptyOrNull(const TVariant& v) { return v.isNull() || v.isEmpty(); }

}  // namespace

int BandOrderKey(TBandType type) {
  switch (type) {
    case TBandType::btSubDetail: return int(TBandType::btDetail) + 1;
    case TBandType::btGroupFooter:
    case TBandType::btColumnFooter:
    case TBandType::btPageFooter:
    case TBandType::btReportSummary: return int(type) + 1;
    default: return int(type);
  }
}

std::string BandTypeNameText(int languageShift, TBandType type) {
  return GetString(languageShift, txt::BandTypeNames + int(type));
}

void UpdateDesigner(TZdqControl& control, int message, intptr_t wParam, intptr_t lParam) {
  TZdReport* report = control.GetZdReport();
  if (report && report->OnDesignerMessage) report->OnDesignerMessage(control, message, wParam, lParam);
}

// ---- TZdPrintWhen ----

void TZdPrintWhen::Assign(const TPersistent& source) {
  const auto* o = dynamic_cast<const TZdPrintWhen*>(&source);
  if (!o) return TPersistent::Assign(source);
  repeatedValues_ = o->repeatedValues_;
  rePrintOnNewPage_ = o->rePrintOnNewPage_;
  onGroupChange_ = o->onGroupChange_;
  groupName_ = o->groupName_;
  onOverflow_ = o->onOverflow_;
  removeBlankLine_ = o->removeBlankLine_;
  showIf_ = o->showIf_;
  hideWhen_ = o->hideWhen_;
}

const TClassProperties& TZdPrintWhen::ClassProperties() {
  using P = TZdPrintWhen;
  static const TClassProperties props =
      TPropertiesOf<P>("TZdPrintWhen", nullptr)
          .Boolean("RepeatedValues", &P::RepeatedValues, &P::SetRepeatedValues, true)
          .Boolean("RePrintOnNewPage", &P::RePrintOnNewPage, &P::SetRePrintOnNewPage, false)
          .Boolean("OnGroupChange", &P::OnGroupChange, &P::SetOnGroupChange, false)
          .String("GroupName", &P::GroupName, &P::SetGroupName)
          .Boolean("OnOverflow", &P::OnOverflow, &P::SetOnOverflow, false)
          .Boolean("RemoveBlankLine", &P::RemoveBlankLine, &P::SetRemoveBlankLine, false)
          .String("ShowIf", &P::ShowIf, &P::SetShowIf)
          .String("HideWhen", &P::HideWhen, &P::SetHideWhen)
          .Build();
  return props;
}

// ---- TZdqControl ----

TZdqControl::TZdqControl(TComponent* owner) : TComponent(owner) {
  if (auto* band = dynamic_cast<TZdqBand*>(owner)) {
    band->attach(*this);
    displayName_ = GetString(FZdReport ? FZdReport->GetLanguageShift() : 0, txt::NewControlName);
    hint_ = displayName_;
    if (FZdReport) font_.SetValue(FZdReport->Font());
  } else if (auto* report = dynamic_cast<TZdReport*>(owner)) {
    FZdReport = report;
  }
}

TZdqControl::~TZdqControl() {
  if (FParentBand) FParentBand->detach(this);
}

const TClassProperties& TZdqControl::ClassProperties() {
  using C = TZdqControl;
  static const TClassProperties props =
      TPropertiesOf<C>("TZdqControl", nullptr)
          .String("Name", [](const C& c) { return c.Name(); }, [](C& c, const std::string& v) { c.SetName(v); })
          .String("DisplayName", [](const C& c) { return c.DisplayName(); },
                  [](C& c, const std::string& v) { c.SetDisplayName(v); })
          .Object("Frame", [](C& c) -> TZdqFrame& { return c.Frame(); })
          .Enum("Alignment", [](const C& c) { return c.Alignment(); },
                [](C& c, TAlignment v) { c.SetAlignment(v); }, kAlignmentNames, TAlignment::taLeftJustify)
          .Boolean("Transparent", [](const C& c) { return c.Transparent(); },
                   [](C& c, bool v) { c.SetTransparent(v); }, true)
          .Enum("BrushStyle", [](const C& c) { return c.BrushStyle(); },
                [](C& c, TBrushStyle v) { c.SetBrushStyle(v); }, kBrushStyleNames, TBrushStyle::bsSolid)
          .StringList("Comments", [](C& c) -> TStringList& { return c.Comments(); })
          .Collection("HighLights", [](C& c) -> TZdqHighLights& { return c.HighLights(); })
          .Enum("ObjectPosition", [](const C& c) { return c.ObjectPosition(); },
                [](C& c, TZdqObjectPosition v) { c.SetObjectPosition(v); }, kObjectPositionNames,
                TZdqObjectPosition::opDesigned)
          .Color("BackColor", [](const C& c) { return c.BackColor(); }, [](C& c, uint32_t v) { c.SetBackColor(v); },
                 clWhite)
          .Object("ZdPrintWhen", [](C& c) -> TZdPrintWhen& { return c.ZdPrintWhen(); })
          .Integer("Height", [](const C& c) { return c.Height(); }, [](C& c, int v) { c.SetHeight(v); }, 20)
          .Integer("Width", [](const C& c) { return c.Width(); }, [](C& c, int v) { c.SetWidth(v); }, 50)
          .Integer("Left", [](const C& c) { return c.Left(); }, [](C& c, int v) { c.SetLeft(v); }, 10)
          .Integer("Top", [](const C& c) { return c.Top(); }, [](C& c, int v) { c.SetTop(v); }, 40)
          .Object("Font", [](C& c) -> TZdqFont& { return c.Font(); })
          .String("Hint", [](const C& c) { return c.Hint(); }, [](C& c, const std::string& v) { c.SetHint(v); })
          .Boolean("Visible", [](const C& c) { return c.Visible(); }, [](C& c, bool v) { c.SetVisible(v); }, true)
          .Build();
  return props;
}

void TZdqControl::SetDisplayName(const std::string& name) {
  if (hint_.empty() || hint_ == displayName_) hint_ = name;
  displayName_ = name;
}

void TZdqControl::MoveToBand(TZdqBand& band) {
  if (&band == FParentBand) {
    // Already there: it only goes to the end.
    band.detach(this);
    band.attach(*this);
  } else {
    // The band hears of the insertion and takes the control into its objects.
    band.InsertComponent(this);
  }
  FZdqControlState = TZdqControlState::scsNothing;
  ZdqControlResize = TZdqControlResize::scrNone;
}

int TZdqControl::GetControlIndex() const { return FParentBand ? FParentBand->GetElement(this) : -1; }

bool TZdqControl::ValueChanged() const {
  return EmptyOrNull(FCurValue) || EmptyOrNull(FPrevValue) || !(FCurValue == FPrevValue);
}

TDataSet* TZdqControl::GetDatasetByName(const std::string& name) const {
  if (!FZdReport) return nullptr;
  const size_t dot = name.find('.');
  if (dot == std::string::npos) return FZdReport->DataSet();
  return FZdReport->GetDataManager().DatasetByComponentName(name.substr(0, dot));
}

bool TZdqControl::InDesignMode() const {
  return !FZdReport || FZdReport->ReportState == TZdReportState::rsNone ||
         FZdReport->ReportState == TZdReportState::rsDesign;
}

void TZdqControl::SetSelected(bool on) {
  if (on == FSelected) return;
  if (on && FZdReport && dynamic_cast<TZdqBand*>(this)) FZdReport->SelectElements(-1);
  FSelected = on;
  if (!on) FZdqControlState = TZdqControlState::scsNothing;
  UpdateDesigner(*this, kMsgControlSelected, 0, 0);
}

const TZdqHighLight* TZdqControl::ActiveHighLight() {
  if (InDesignMode()) return nullptr;
  for (int i = 0; i < highLights_.Count(); ++i) {
    const TZdqHighLight* h = highLights_[i];
    if (Trim(h->Expression()).empty()) continue;
    if (ReadsAsTrue(FZdReport->Evaluate(h->Expression()))) return h;
  }
  return nullptr;
}

void TZdqControl::DrawDefault(TCanvas& canvas, const TRect& rect) {
  canvas.Font = font_.Value();
  TColor color = backColor_;
  const TZdqHighLight* highLight = ActiveHighLight();
  if (highLight) {
    canvas.Font = highLight->Font().Value();
    color = highLight->Color();
  }
  if (transparent_ && !highLight) {
    canvas.Brush.Style = TBrushStyle::bsClear;
    return;
  }
  canvas.Brush.Color = color;
  canvas.Brush.Style = brushStyle_;
  canvas.FillRect(rect);
  canvas.Brush.Style = TBrushStyle::bsClear;
}

int TZdqControl::Draw(TCanvas& canvas, TRect& rect, uint32_t flags) {
  if (!printWhen_.RepeatedValues() && !ValueChanged() && !InDesignMode()) return 0;
  const int frameWidth = frame_.GetFrameWidth();
  if (flags & kDrawMeasure) {
    canvas.Font = font_.Value();
    if (!transparent_) canvas.Brush.Color = backColor_;
  } else {
    DrawDefault(canvas, rect);
    try {
      frame_.DrawFrame(canvas, rect);
    } catch (const EMetafileError& e) {
      WarnPictureSkipped(e);
    }
    if (FShrinkByFrame) rect = rect.Inflated(-frameWidth, -frameWidth);
  }
  return 2 * frameWidth + height_;
}

void TZdqControl::WarnPictureSkipped(const std::exception& e) const {
  if (FZdReport) FZdReport->AddWarning("picture of " + displayName_ + " not drawn: " + e.what());
}

// ---- TZdqBand ----

TZdqBand::TZdqBand(TComponent* owner) : TZdqControl(owner) {
  SetHeight(100);
  if (FZdReport) FZdReport->attachBand(*this);
}

TZdqBand::~TZdqBand() {
  // Controls leave while the band is whole, so their detach finds it intact.
  DeleteAllElements();
  if (FZdReport) FZdReport->detachBand(this);
}

const TClassProperties& TZdqBand::ClassProperties() {
  using B = TZdqBand;
  static const TClassProperties props =
      TPropertiesOf<B>("TZdqBand", &TZdqControl::ClassProperties())
          .Enum("BandType", [](const B& b) { return b.BandType(); }, [](B& b, TBandType v) { b.SetBandType(v); },
                kBandTypeNames, TBandType::btNone)
          .Reference("Dataset", [](const B& b) { return b.dataset_; }, [](B& b, TDataSet* v) { b.SetDataset(v); })
          .Integer("LinkedBand", &B::LinkedBand, &B::SetLinkedBand)
          .Boolean("Stretch", &B::Stretch, &B::SetStretch, false)
          .Boolean("NewPage", &B::NewPage, &B::SetNewPage, false)
          .Boolean("ReprintHeader", &B::ReprintHeader, &B::SetReprintHeader, false)
          .Float("LessThan", &B::LessThan, &B::SetLessThan, 0.0)
          .Boolean("NewPageIfNotFit", &B::NewPageIfNotFit, &B::SetNewPageIfNotFit, false)
          .String("Expression", &B::Expression, &B::SetExpression)
          .Integer("Height", [](const B& b) { return b.Height(); }, [](B& b, int v) { b.SetHeight(v); }, 100)
          .String("OutlineExpression", &B::OutlineExpression, &B::SetOutlineExpression)
          .Build();
  return props;
}

void TZdqBand::SetBandType(TBandType type) {
  if (type == bandType_) return;
  bandType_ = type;
  // A template stores the display name itself; renaming while loading would lose it.
  if (ComponentState() & csLoading) return;
  const int shift = FZdReport ? FZdReport->GetLanguageShift() : 0;
  const std::string base = GetString(shift, txt::Band) + BandTypeNameText(shift, type);
  SetDisplayName(FZdReport ? FZdReport->GetUniqueName(base) : base);
}

TDataSet* TZdqBand::Dataset() const {
  if (dataset_) return dataset_;
  return FZdReport ? FZdReport->DataSet() : nullptr;
}

void TZdqBand::SetDataset(TDataSet* dataset) {
  // The report's own dataset is what an unset band reads anyway.
  if (FZdReport && dataset == FZdReport->DataSet()) dataset = nullptr;
  if (dataset_ && dataset_ != dataset) RemoveFreeNotification(dataset_);
  dataset_ = dataset;
  if (dataset) FreeNotification(dataset);
}

void TZdqBand::Notification(TComponent* component, TOperation operation) {
  TZdqControl::Notification(component, operation);
  if (operation == TOperation::opInsert) {
    if (component->Owner() == this)
      if (auto* control = dynamic_cast<TZdqControl*>(component)) attach(*control);
    return;
  }
  if (dataset_ && static_cast<TComponent*>(dataset_) == component) dataset_ = nullptr;
  if (component->Owner() == this) detach(component);
}

void TZdqBand::attach(TZdqControl& control) {
  if (std::find(objects_.begin(), objects_.end(), &control) == objects_.end()) objects_.push_back(&control);
  control.FParentBand = this;
  control.FZdReport = FZdReport;
}

void TZdqBand::detach(const TComponent* control) {
  auto it = std::find_if(objects_.begin(), objects_.end(),
                         [control](TZdqControl* c) { return static_cast<const TComponent*>(c) == control; });
  if (it == objects_.end()) return;
  TZdqControl* found = *it;
  objects_.erase(it);
  found->FParentBand = nullptr;
  found->FZdReport = nullptr;
}

const TComponentClass* TZdqBand::GetClassByName(std::string_view className) {
  RegisterReportClasses();
  const TComponentClass* cls = GlobalClassRegistry().Find(className);
  if (!cls || !cls->properties || !cls->properties->InheritsFrom(TZdqControl::ClassProperties())) return nullptr;
  return cls;
}

int TZdqBand::AddElement(const TComponentClass& controlClass) {
  if (!controlClass.properties || !controlClass.properties->InheritsFrom(TZdqControl::ClassProperties()))
    throw EClassRegistryError("Class " + controlClass.name + " is not a report control");
  auto* control = dynamic_cast<TZdqControl*>(controlClass.create(this));
  if (!control) throw EClassRegistryError("Class " + controlClass.name + " did not build a report control");
  announceAdded(*control);
  return GetElement(control);
}

void TZdqBand::announceAdded(TZdqControl& control) {
  if (FZdReport) control.SetDisplayName(FZdReport->GetUniqueName(control.DisplayName(), &control));
  UpdateDesigner(control, kMsgControlAdded, 0, 0);
}

int TZdqBand::GetElement(const TZdqControl* control) const {
  auto it = std::find(objects_.begin(), objects_.end(), control);
  return it == objects_.end() ? -1 : int(it - objects_.begin());
}

void TZdqBand::DeleteAllElements() {
  while (!objects_.empty()) delete objects_.back();
}

void TZdqBand::ChangeOrder(bool toFront) {
  if (toFront) {
    for (int i = int(objects_.size()) - 1; i >= 0; --i) {
      TZdqControl* c = objects_[size_t(i)];
      if (!c->Selected()) continue;
      objects_.erase(objects_.begin() + i);
      objects_.push_back(c);
    }
  } else {
    for (size_t i = 0; i < objects_.size(); ++i) {
      TZdqControl* c = objects_[i];
      if (!c->Selected()) continue;
      objects_.erase(objects_.begin() + long(i));
      objects_.insert(objects_.begin(), c);
    }
  }
}

std::string TZdqBand::GetBandName() const {
  return BandTypeNameText(FZdReport ? FZdReport->GetLanguageShift() : 0, bandType_);
}

int TZdqBand::GetBandIndex() const {
  if (!FZdReport) return -1;
  const auto& bands = FZdReport->Bands();
  auto it = std::find(bands.begin(), bands.end(), this);
  return it == bands.end() ? -1 : int(it - bands.begin());
}

int TZdqBand::GetLinkedFooterIndex() const {
  const int index = GetBandIndex();
  if (index < 0) return -1;
  const auto& bands = FZdReport->Bands();
  if (bandType_ == TBandType::btGroupHeader) {
    for (size_t i = size_t(index) + 1; i < bands.size(); ++i)
      if (bands[i]->BandType() == TBandType::btGroupFooter && bands[i]->Expression() == expression_) return int(i);
  } else if (bandType_ == TBandType::btGroupFooter) {
    for (int i = index - 1; i >= 0; --i)
      if (bands[size_t(i)]->BandType() == TBandType::btGroupHeader && bands[size_t(i)]->Expression() == expression_)
        return i;
  }
  return -1;
}

int TZdqBand::GetColumnWidth() const {
  if (!FZdReport) return Width();
  TZdqPrinter& printer = FZdReport->PrinterSetting();
  const int bars = FZdReport->BarNumber(), columns = FZdReport->ColumnNumber();
  const int usable = printer.PaperWidthPixels() - printer.GetPageOffsetLeft() - printer.GetPageOffsetRight();
  return (usable * bars - (columns - 1) * FZdReport->ColumnSpace()) / (columns * bars);
}

bool TZdqBand::ValueChanged() const {
  if (TZdqControl::ValueChanged()) return true;
  if (bandType_ != TBandType::btGroupFooter || !FZdReport) return false;
  const TZdqBand* next = FZdReport->GetBand(GetBandIndex() + 1);
  return next && next->IsGroup() && next->ValueChanged();
}

int TZdqBand::PrintBand(int top, int bottom, uint32_t flags) {
  if (!GetZdReport()) throw std::logic_error("A band prints only inside a report");
  return TZdqBandPrinter(*GetZdReport(), *this).Print(top, bottom, flags);
}

int TZdqBand::GetFullGroupHeight(int top, int pageBottom) {
  if (!GetZdReport()) return 0;
  return TZdqGroupLookAhead(*GetZdReport(), *this).FullHeight(top, pageBottom);
}

void TZdqBand::UpdateGroupValue() {
  if (!IsGroup() || !GetZdReport()) return;
  FCurValue = TVariant(VarToStr(GetZdReport()->Evaluate(expression_)));
  if (bandType_ != TBandType::btGroupHeader) return;
  if (TZdqBand* footer = GetZdReport()->GetBand(GetLinkedFooterIndex())) footer->FPrevValue = FCurValue;
}

}  // namespace zd
