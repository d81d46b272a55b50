#include "quickprint/ZdqAuto.h"

#include <algorithm>
#include <filesystem>

#include "expr/ExprParser.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "host/graphics/Bitmap.h"
#include "host/locale/Locale.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "report/model/Evaluator.h"
#include "report/model/ExprAdapter.h"
#include "report/model/ZdqDMan.h"

namespace zd {

struct TZdAutoPrint::THighLightData {
  TZdqDataManager manager;
  TZdqExprDataManager exprData;
  std::vector<std::unique_ptr<TExprParser>> parsed;  // per highlight; nullptr for an empty expression
  int parsedCount = -1;
};

TZdAutoPrint::TZdAutoPrint(TComponent* owner)
    : TZdPrintComponent(owner), highLightData_(std::make_unique<THighLightData>()) {
  const int lang = GetLanguageShift();
  header_ = {"%A%L%DT%FB", " "};
  footer_ = {"%A%R" + GetString(lang, txt::PageNumberLabel) + "%PN/" + GetString(lang, txt::Sheet) + "%BN"};
  gridLine_.Color = ButtonShadowColor();
}

TZdAutoPrint::~TZdAutoPrint() = default;

void TZdAutoPrint::SetMacroChar(char c) {
  macroChar_ = c;
  UpdateTwoPass();
}

void TZdAutoPrint::SetHeader(std::vector<std::string> lines) {
  header_ = std::move(lines);
  UpdateTwoPass();
}

void TZdAutoPrint::SetFooter(std::vector<std::string> lines) {
  footer_ = std::move(lines);
  UpdateTwoPass();
}

// A page or bar count is known only after the pages are made: a line that
// shows one makes the preparation run twice.
void TZdAutoPrint::UpdateTwoPass() {
  auto needs = [&](const std::string& line) { return NeedsPageCounts(line, macroChar_); };
  if (std::any_of(header_.begin(), header_.end(), needs) || std::any_of(footer_.begin(), footer_.end(), needs))
    SetTwoPass(true);
}

TMacroValues TZdAutoPrint::MacroValues() {
  TVariant date, time;
  GetSysDataValue(TZdqSysDataType::sdDate, date);
  GetSysDataValue(TZdqSysDataType::sdTime, time);
  TMacroValues values;
  const TLocale& locale = currentLocale();
  values.date = FormatDateTimeText(locale.shortDateFormat, double(date.asInteger()), locale);
  values.time = FormatDateTimeText(locale.longTimeFormat, time.asFloat(), locale);
  values.pageNo = Producer().intCurPage() + 1;
  values.pageCount = GetNumPages();
  values.barNo = Producer().intCurBar() + 1;
  values.barCount = GetNumBars();
  return values;
}

void TZdAutoPrint::NewPage(bool isNewBar) {
  TZdPrintComponent::NewPage(isNewBar);
  needPrintHeaderGrid_ = true;
  PrintStrings(header_, headerFont_, true, false);
  const int belowHeader = Producer().intCurHeight();
  const int footerHeight = PrintStrings(footer_, footerFont_, true, true);
  const int footerTop = Producer().intMaxPageHeight() - footerHeight;
  Producer().SetCurHeight(footerTop);
  PrintStrings(footer_, footerFont_, true, false);
  Producer().SetMaxPageHeight(footerTop);
  Producer().SetCurHeight(belowHeader);
  Producer().MarkContentTop();
}

int TZdAutoPrint::PrintStrings(const std::vector<std::string>& lines, const TFont& font, bool pageStart,
                               bool measure) {
  if (lines.empty()) return 0;
  TCanvas& canvas = Canvas();
  const TMacroValues values = MacroValues();
  const int top = Producer().intCurHeight(), bottom = Producer().intMaxPageHeight();
  int used = 0;
  std::string imageFile;
  TImageAlign imageAlign = TImageAlign::iaWholePage;
  for (const std::string& line : lines) {
    const TExpandedLine expanded = ExpandMacros(line, macroChar_, values);
    // A picture belongs to its line's pass, so that it is drawn once.
    if (expanded.pageStart != pageStart || !imageFile.empty()) continue;
    if (!expanded.imageFile.empty()) {
      imageFile = expanded.imageFile;
      imageAlign = expanded.imageAlign;
      continue;
    }
    uint32_t flags = DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    if (expanded.alignment == TAlignment::taCenter) flags |= DT_CENTER;
    else if (expanded.alignment == TAlignment::taRightJustify) flags |= DT_RIGHT;
    if (measure) flags |= DT_CALCRECT;
    canvas.Font = font;
    const TRect rect{LeftOffset(), top + used, RightEdge(), bottom};
    const int height = ZdqDrawText(expanded.text.empty() ? " " : expanded.text, rect, flags);
    if (!measure) PrintBevel(expanded.bevel, TRect{rect.Left, rect.Top, rect.Right, rect.Top + height});
    used += height;
  }
  if (!imageFile.empty() && std::filesystem::is_regular_file(imageFile)) {
    try {
      TBitmap picture;
      picture.LoadFromFile(imageFile);
      if (imageAlign != TImageAlign::iaWholePage) used = std::max(used, picture.Height());
      if (!measure) {
        TRect rect{LeftOffset(), CurrentPage()->OffsetTop, RightEdge(), bottom};
        if (imageAlign == TImageAlign::iaTopPage) rect.Bottom = rect.Top + used;
        else if (imageAlign == TImageAlign::iaBottomPage) rect.Top = bottom - used;
        canvas.StretchDraw(rect, picture);
      }
    } catch (const EZdError& e) {
      AddWarning("header or footer picture not drawn: " + std::string(e.what()));
    }
  }
  if (!measure) Producer().Advance(used);
  return used;
}

void TZdAutoPrint::PrintReportFooter() {
  const int height = PrintStrings(footer_, footerFont_, false, true);
  if (height > 0 && !Producer().Fits(height)) NewPage(false);
  PrintStrings(footer_, footerFont_, false, false);
}

void TZdAutoPrint::PrintBevel(TBevel bevel, const TRect& r) {
  TCanvas& canvas = Canvas();
  auto line = [&](int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  switch (bevel) {
    case TBevel::bvNone: return;
    case TBevel::bvTopLine: line(r.Left, r.Top, r.Right, r.Top); return;
    case TBevel::bvBottomLine: line(r.Left, r.Bottom, r.Right, r.Bottom); return;
    case TBevel::bvLeftLine: line(r.Left, r.Top, r.Left, r.Bottom); return;
    case TBevel::bvRightLine: line(r.Right, r.Top, r.Right, r.Bottom); return;
    case TBevel::bvHCenterLine: line(r.Left, (r.Top + r.Bottom) / 2, r.Right, (r.Top + r.Bottom) / 2); return;
    case TBevel::bvVCenterLine: line((r.Left + r.Right) / 2, r.Top, (r.Left + r.Right) / 2, r.Bottom); return;
    case TBevel::bvFrame: {
      const TBrush brush = canvas.Brush;
      canvas.Brush.Style = TBrushStyle::bsClear;
      canvas.Rectangle(r);
      canvas.Brush = brush;
      return;
    }
  }
}

void TZdAutoPrint::SetHighLightDataSet(TDataSet* dataset) {
  highLightData_->manager.Datasets().Clear();
  if (dataset) highLightData_->manager.AddDataset(dataset);
  highLightData_->parsedCount = -1;
}

const TZdqHighLight* TZdAutoPrint::ActiveHighLight() {
  THighLightData& data = *highLightData_;
  const bool rebound = data.exprData.Bind(&data.manager);
  if (rebound || data.parsedCount != highLights_.Count()) {
    data.parsed.clear();
    for (int i = 0; i < highLights_.Count(); ++i) {
      const std::string& expression = highLights_[i]->Expression();
      data.parsed.push_back(Trim(expression).empty()
                                ? nullptr
                                : std::make_unique<TExprParser>(
                                      &data.exprData, expression,
                                      [this](TComponent* sender, const std::string& name, bool& accept,
                                             TFieldType& type, TVariant& value) {
                                        ZdqGetVariable(sender, name, accept, type, value);
                                      }));
    }
    data.parsedCount = highLights_.Count();
  }
  for (int i = 0; i < highLights_.Count(); ++i)
    if (data.parsed[i] && ReadsAsTrue(data.parsed[i]->Evaluate())) return highLights_[i];
  return nullptr;
}

int TZdAutoPrint::ZdqDrawText(const std::string& text, const TRect& rect, uint32_t flags, bool isData) {
  TCanvas& canvas = Canvas();
  if (isData && highLights_.Count() > 0) {
    if (const TZdqHighLight* highLight = ActiveHighLight()) {
      canvas.Font = highLight->Font().Value();
      if (highLight->Color() != clWhite && !(flags & DT_CALCRECT)) {
        const TBrush brush = canvas.Brush;
        canvas.Brush = TBrush{};
        canvas.Brush.Color = highLight->Color();
        canvas.FillRect(rect);
        canvas.Brush = brush;
      }
    }
  }
  std::string shown = text;
  if (OnDrawText) {
    int resultHeight = 0;
    bool drawDefault = true;
    OnDrawText(canvas, shown, rect, flags, resultHeight, drawDefault);
    if (!drawDefault) return resultHeight;
  }
  TRect r = rect;
  return canvas.DrawText(r, shown, flags | DT_NOPREFIX);
}

}  // namespace zd
