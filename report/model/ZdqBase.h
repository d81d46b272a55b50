#pragma once
// Everything placed in a report: the control base and the band, a
// horizontal strip that owns controls. Positions are page units.
#include <cstdint>
#include <string>
#include <vector>

#include "host/core/ClassRegistry.h"
#include "host/core/Component.h"
#include "host/core/Properties.h"
#include "host/core/Strings.h"
#include "host/core/Variant.h"
#include "host/data/DataSet.h"
#include "host/data/FieldType.h"
#include "host/graphics/Canvas.h"
#include "print/Frame.h"
#include "report/model/FontObject.h"
#include "report/model/ZdqTypes.h"

namespace zd {

class TZdReport;
class TZdqBand;
class TZdqControl;

/// Ordinals are persisted; btSubDetail came last but sorts after btDetail.
enum class TBandType {
  btNone, btReportTitle, btPageHeader, btColumnHeader, btGroupHeader, btDetail, btGroupFooter,
  btColumnFooter, btPageFooter, btReportSummary, btSubDetail
};
/// Position of a band type in the band list.
int BandOrderKey(TBandType type);
/// "PageHeader" etc. in the language with the given shift.
std::string BandTypeNameText(int languageShift, TBandType type);

enum class TZdqObjectPosition { opDesigned, opTopBand, opBottomBand, opCenterBand };
enum class TZdqControlState { scsNothing, scsResize, scsMove };
enum class TZdqControlResize {
  scrLeftTop, scrTop, scrRightTop, scrLeft, scrRight, scrLeftBottom, scrBottom, scrRightBottom, scrNone
};

/// Draw flag asking for the height only.
constexpr uint32_t kDrawMeasure = DT_CALCRECT;

/// Designer notifications (UpdateDesigner).
constexpr int kMsgControlSelected = 11024;
constexpr int kMsgControlAdded = 11025;
/// Sends a designer notification through the control's report, if any.
void UpdateDesigner(TZdqControl& control, int message, intptr_t wParam, intptr_t lParam);

/// When a control prints.
class TZdPrintWhen : public TPersistent {
 public:
  std::string ClassName() const override { return "TZdPrintWhen"; }
  void Assign(const TPersistent& source) override;
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  bool RepeatedValues() const { return repeatedValues_; }
  void SetRepeatedValues(bool on) { repeatedValues_ = on; }
  bool RePrintOnNewPage() const { return rePrintOnNewPage_; }
  void SetRePrintOnNewPage(bool on) { rePrintOnNewPage_ = on; }
  bool OnGroupChange() const { return onGroupChange_; }
  void SetOnGroupChange(bool on) { onGroupChange_ = on; }
  const std::string& GroupName() const { return groupName_; }
  void SetGroupName(const std::string& name) { groupName_ = name; }
  bool OnOverflow() const { return onOverflow_; }
  void SetOnOverflow(bool on) { onOverflow_ = on; }
  bool RemoveBlankLine() const { return removeBlankLine_; }
  void SetRemoveBlankLine(bool on) { removeBlankLine_ = on; }
  const std::string& ShowIf() const { return showIf_; }
  void SetShowIf(const std::string& expression) { showIf_ = expression; }
  const std::string& HideWhen() const { return hideWhen_; }
  void SetHideWhen(const std::string& expression) { hideWhen_ = expression; }

 private:
  bool repeatedValues_ = true;
  bool rePrintOnNewPage_ = false;
  bool onGroupChange_ = false;
  std::string groupName_;
  bool onOverflow_ = false;
  bool removeBlankLine_ = false;
  std::string showIf_;
  std::string hideWhen_;
};

/// Base of everything placed on a band: position, size, frame, font and
/// print condition, in page units.
class TZdqControl : public TComponent {
 public:
  /// A band owner makes the control one of its objects; a report owner is for bands.
  explicit TZdqControl(TComponent* owner = nullptr);
  ~TZdqControl() override;
  std::string ClassName() const override { return "TZdqControl"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  // ---- published ----
  const std::string& DisplayName() const { return displayName_; }
  /// The hint follows the display name until it is set to something else.
  void SetDisplayName(const std::string& name);
  TZdqFrame& Frame() { return frame_; }
  const TZdqFrame& Frame() const { return frame_; }
  void SetFrame(const TZdqFrame& frame) { frame_.Assign(frame); }
  TAlignment Alignment() const { return alignment_; }
  virtual void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on) { transparent_ = on; }
  TBrushStyle BrushStyle() const { return brushStyle_; }
  void SetBrushStyle(TBrushStyle style) { brushStyle_ = style; }
  TStringList& Comments() { return comments_; }
  const TStringList& Comments() const { return comments_; }
  void SetComments(const TStrings& lines) { comments_.Assign(lines); }
  TZdqHighLights& HighLights() { return highLights_; }
  const TZdqHighLights& HighLights() const { return highLights_; }
  void SetHighLights(const TZdqHighLights& h) { highLights_.Assign(h); }
  TZdqObjectPosition ObjectPosition() const { return objectPosition_; }
  void SetObjectPosition(TZdqObjectPosition p) { objectPosition_ = p; }
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor c) { backColor_ = c; }
  TZdPrintWhen& ZdPrintWhen() { return printWhen_; }
  const TZdPrintWhen& ZdPrintWhen() const { return printWhen_; }
  void SetZdPrintWhen(const TZdPrintWhen& p) { printWhen_.Assign(p); }
  /// Negative sizes are ignored; far-out values are brought within the
  /// page coordinates.
  int Height() const { return height_; }
  void SetHeight(int h) { if (h >= 0) height_ = ClampCoordinate(h); }
  int Width() const { return width_; }
  void SetWidth(int w) { if (w >= 0) width_ = ClampCoordinate(w); }
  int Left() const { return left_; }
  void SetLeft(int x) { left_ = ClampCoordinate(x); }
  int Top() const { return top_; }
  void SetTop(int y) { top_ = ClampCoordinate(y); }
  TZdqFont& Font() { return font_; }
  const TZdqFont& Font() const { return font_; }
  void SetFont(const TZdqFont& font) { font_.Assign(font); }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  bool Visible() const { return visible_; }
  void SetVisible(bool on) { visible_ = on; }

  // ---- tree ----
  TZdqBand* GetParentBand() const { return FParentBand; }
  TZdReport* GetZdReport() const { return FZdReport; }
  /// Moves the control to the end of another band's objects.
  void MoveToBand(TZdqBand& band);
  int GetControlIndex() const;  ///< in the parent band's objects, -1 without one

  // ---- values ----
  TVariant GetPrevValue() const { return FPrevValue; }
  void SetPrevValue(const TVariant& v) { FPrevValue = v; }
  TVariant GetCurValue() const { return FCurValue; }
  void SetCurValue(const TVariant& v) { FCurValue = v; }
  /// True when either value is Empty or Null, or they differ.
  virtual bool ValueChanged() const;
  /// Computes the value to print for the current row.
  virtual void UpdateCurValue() {}
  /// Its band's values are refreshed for a row (or for a group or variable
  /// that changed); rowPrinted is false for a page footer whose page is not
  /// finished. Only controls that show values take anything in.
  virtual void TakeRow(const std::string& /*groupName*/, const std::string& /*variableName*/,
                       bool /*rowPrinted*/) {}
  /// With "Name.Rest" the listed dataset of that component name, else the
  /// report's dataset; nullptr when there is none.
  TDataSet* GetDatasetByName(const std::string& name) const;

  // ---- drawing ----
  /// Draws into rect (or, with kDrawMeasure, only measures) and returns the
  /// height needed, frame included. This base draws background, highlight
  /// and frame and leaves rect inside the frame; descendants add content.
  virtual int Draw(TCanvas& canvas, TRect& rect, uint32_t flags);
  /// Font, highlight and background fill.
  void DrawDefault(TCanvas& canvas, const TRect& rect);
  /// The highest place at or above y, measured from the control's top,
  /// where it can be cut between two pages without splitting a line of its
  /// text; 0 for controls that cannot be cut.
  virtual int CutAbove(int) const { return 0; }
  /// A picture that cannot be drawn is left out, and the report says so.
  void WarnPictureSkipped(const std::exception& e) const;
  /// Design mode: the report is at rest or in the designer.
  bool InDesignMode() const;

  // ---- designer ----
  bool Selected() const { return FSelected; }
  void SetSelected(bool on);
  TZdqControlState FZdqControlState = TZdqControlState::scsNothing;
  TZdqControlResize ZdqControlResize = TZdqControlResize::scrNone;
  int StartMouseDownX = 0, StartMouseDownY = 0;

  bool FCanBePrinted = true;  ///< print condition for the current row

 protected:
  /// Lines draw on their whole rectangle; other controls inside the frame.
  bool FShrinkByFrame = true;
  TVariant FPrevValue, FCurValue;

 private:
  friend class TZdqBand;
  friend class TZdReport;
  /// The highlight in force for the current row, or nullptr.
  const TZdqHighLight* ActiveHighLight();

  TZdqBand* FParentBand = nullptr;
  TZdReport* FZdReport = nullptr;
  bool FSelected = false;

  std::string displayName_;
  TZdqFrame frame_;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool transparent_ = true;
  TBrushStyle brushStyle_ = TBrushStyle::bsSolid;
  TStringList comments_;
  TZdqHighLights highLights_{this};
  TZdqObjectPosition objectPosition_ = TZdqObjectPosition::opDesigned;
  TColor backColor_ = clWhite;
  TZdPrintWhen printWhen_;
  int height_ = 20, width_ = 50, left_ = 10, top_ = 40;
  TZdqFont font_;
  std::string hint_;
  bool visible_ = true;
};

/// A horizontal strip of the report that owns controls; its type says when
/// it prints (title, page header, detail, group header, summary, ...).
class TZdqBand : public TZdqControl {
 public:
  /// The owner is the report; the band joins the end of its band list.
  explicit TZdqBand(TComponent* owner = nullptr);
  ~TZdqBand() override;
  std::string ClassName() const override { return "TZdqBand"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TBandType BandType() const { return bandType_; }
  /// A changed type renames the band to the report's unique "Band<type>".
  void SetBandType(TBandType type);
  /// The sub-detail dataset, the report's dataset while unset.
  TDataSet* Dataset() const;
  void SetDataset(TDataSet* dataset);
  bool IsGroup() const {
    return bandType_ == TBandType::btGroupHeader || bandType_ == TBandType::btGroupFooter;
  }
  int LinkedBand() const { return linkedBand_; }  // filled while measuring groups
  void SetLinkedBand(int index) { linkedBand_ = index; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on) { stretch_ = on; }
  bool NewPage() const { return newPage_; }
  void SetNewPage(bool on) { newPage_ = on; }
  bool ReprintHeader() const { return reprintHeader_; }
  void SetReprintHeader(bool on) { reprintHeader_ = on; }
  double LessThan() const { return lessThan_; }
  void SetLessThan(double space) { lessThan_ = space; }
  bool NewPageIfNotFit() const { return newPageIfNotFit_; }
  void SetNewPageIfNotFit(bool on) { newPageIfNotFit_ = on; }
  /// The group expression, also the group's name.
  const std::string& Expression() const { return expression_; }
  void SetExpression(const std::string& expression) { expression_ = expression; }
  const std::string& OutlineExpression() const { return outlineExpression_; }
  void SetOutlineExpression(const std::string& expression) { outlineExpression_ = expression; }
  int LineNo = 0;  ///< times measured since the report started

  // ---- objects ----
  const std::vector<TZdqControl*>& Objects() const { return objects_; }
  /// The registered control class of that name, nullptr for other classes.
  static const TComponentClass* GetClassByName(std::string_view className);
  /// Builds a control of the class in this band with a unique display name;
  /// returns its index.
  int AddElement(const TComponentClass& controlClass);
  /// Builds a control of class T in this band at the given place, named and
  /// announced as AddElement does.
  template <class T>
  T& Add(int left, int top, int width, int height) {
    auto* control = new T(this);
    control->SetLeft(left);
    control->SetTop(top);
    control->SetWidth(width);
    control->SetHeight(height);
    announceAdded(*control);
    return *control;
  }
  int GetElement(const TZdqControl* control) const;  // -1 when absent
  void DeleteAllElements();
  /// Moves the selected controls to the end (toFront) or start of the objects.
  void ChangeOrder(bool toFront);

  std::string GetBandName() const;
  int GetBandIndex() const;  ///< in the report's bands, -1 without one
  /// Header: index of its footer; footer: of its header; else -1.
  int GetLinkedFooterIndex() const;
  /// Column width the designer draws guides with.
  int GetColumnWidth() const;
  /// A footer also changes when the group band after it changes.
  bool ValueChanged() const override;

  // ---- engine ----
  /// Measures (flags with kDrawMeasure) or draws the band and its controls
  /// between top and bottom on the report's page; returns the height used.
  int PrintBand(int top, int bottom, uint32_t flags);
  /// Group header: the height of the whole group starting at the current
  /// row, found by walking ahead and coming back; other bands return 0.
  int GetFullGroupHeight(int top, int pageBottom);
  /// Group bands: the current value becomes the text of the group expression.
  void UpdateGroupValue();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TZdqControl;
  friend class TZdReport;
  void attach(TZdqControl& control);
  void detach(const TComponent* control);
  // Gives a new control a unique display name and tells the designer.
  void announceAdded(TZdqControl& control);

  TBandType bandType_ = TBandType::btNone;
  TDataSet* dataset_ = nullptr;
  int linkedBand_ = 0;
  bool stretch_ = false;
  bool newPage_ = false;
  bool reprintHeader_ = false;
  double lessThan_ = 0;
  bool newPageIfNotFit_ = false;
  std::string expression_;
  std::string outlineExpression_;
  std::vector<TZdqControl*> objects_;
};

}  // namespace zd
