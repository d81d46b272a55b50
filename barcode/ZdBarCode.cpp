#include "barcode/ZdBarCode.h"

#include <algorithm>

#include "barcode/detail/BarDrawing.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "host/emf/Metafile.h"
#include "print/TextIds.h"
#include "report/controls/detail/ControlDrawing.h"
#include "report/model/ControlRegistry.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

constexpr const char* kBarCodeName = "BarCode";

const TEnumNames kBarCodeTypeNames{"TBarCodeType",
                                   {"bcCode39", "bcInterleaved2of5", "bcPostnet", "bcUPCA", "bcCode128", "bcEAN13",
                                    "bcQRCode", "bcDataMatrix"}};

const char* SymbologyName(TBarCodeType type) {
  switch (type) {
    case TBarCodeType::bcCode39: return "Code 39";
    case TBarCodeType::bcInterleaved2of5: return "Interleaved 2 of 5";
    case TBarCodeType::bcPostnet: return "POSTNET";
    case TBarCodeType::bcUPCA: return "UPC-A";
    case TBarCodeType::bcCode128: return "Code 128";
    case TBarCodeType::bcEAN13: return "EAN-13";
    case TBarCodeType::bcQRCode: return "QR Code";
    case TBarCodeType::bcDataMatrix: return "Data Matrix";
  }
  return "";
}

// The four whose tables are here; they read upper case only.
bool IsClassic(TBarCodeType type) { return type <= TBarCodeType::bcUPCA; }

TBarElements EncodeClassic(TBarCodeType type, const std::string& code) {
  switch (type) {
    case TBarCodeType::bcCode39: return EncodeCode39(code);
    case TBarCodeType::bcInterleaved2of5: return EncodeInterleaved2of5(code);
    case TBarCodeType::bcPostnet: return EncodePostnet(code);
    case TBarCodeType::bcUPCA: return EncodeUpcA(code);
    default: return {};
  }
}

TZintSymbology ZintSymbologyOf(TBarCodeType type) {
  switch (type) {
    case TBarCodeType::bcEAN13: return TZintSymbology::EAN13;
    case TBarCodeType::bcQRCode: return TZintSymbology::QRCode;
    case TBarCodeType::bcDataMatrix: return TZintSymbology::DataMatrix;
    default: return TZintSymbology::Code128;
  }
}

int ElementsLength(const TBarElements& elements, int narrow, int wide) {
  int length = 0;
  for (const TBarElement& e : elements) length += e.Wide ? wide : narrow;
  return length;
}

}  // namespace

TZdBarCode::TZdBarCode(TComponent* owner) : TZdqControl(owner) { SetDisplayName(kBarCodeName); }

const TClassProperties& TZdBarCode::ClassProperties() {
  using B = TZdBarCode;
  static const TClassProperties props =
      TPropertiesOf<B>("TZdBarCode", &TZdqControl::ClassProperties())
          .Enum("BarCodeType", [](const B& b) { return b.BarCodeType(); },
                [](B& b, TBarCodeType v) { b.SetBarCodeType(v); }, kBarCodeTypeNames, TBarCodeType::bcPostnet)
          .String("Value", [](const B& b) { return b.Value(); }, [](B& b, const std::string& v) { b.SetValue(v); })
          .String("Expression", [](const B& b) { return b.Expression(); },
                  [](B& b, const std::string& v) { b.SetExpression(v); })
          .Boolean("Vertical", [](const B& b) { return b.Vertical(); }, [](B& b, bool v) { b.SetVertical(v); },
                   false)
          .Integer("NarrowWidth", [](const B& b) { return b.NarrowWidth(); },
                   [](B& b, int v) { b.SetNarrowWidth(v); }, 1)
          .Integer("WideWidth", [](const B& b) { return b.WideWidth(); }, [](B& b, int v) { b.SetWideWidth(v); }, 3)
          .Boolean("ShowText", [](const B& b) { return b.ShowText(); }, [](B& b, bool v) { b.SetShowText(v); },
                   false)
          .Build();
  return props;
}

void TZdBarCode::SetValue(const std::string& value) {
  if (value == value_) return;
  if (DisplayName() == value_) SetDisplayName(value);
  value_ = value;
}

void TZdBarCode::SetExpression(const std::string& expression) {
  if (expression == expression_) return;
  if (DisplayName() == expression_) SetDisplayName(expression);
  expression_ = expression;
}

std::string TZdBarCode::GetBarCode() const {
  std::string code = value_;
  if (!expression_.empty()) {
    code.clear();
    try {
      if (const TField* field = NamedField(*this, expression_)) code = field->AsString();
    } catch (const std::exception& e) {
      if (TZdReport* report = GetZdReport())
        report->AddWarning("barcode of " + DisplayName() + " has no value: " + e.what());
    }
  }
  return IsClassic(barCodeType_) ? UpperCase(code) : code;
}

void TZdBarCode::UpdateCurValue() { FCurValue = TVariant(GetBarCode()); }

int TZdBarCode::Draw(TCanvas& canvas, TRect& rect, uint32_t flags) {
  const bool suppressed = !ZdPrintWhen().RepeatedValues() && !ValueChanged() && !InDesignMode();
  const int height = TZdqControl::Draw(canvas, rect, flags);
  if ((flags & kDrawMeasure) || suppressed) return height;
  const std::string code = InDesignMode() ? GetBarCode() : VarToStr(FCurValue);
  if (!code.empty()) {
    canvas.Brush.Color = canvas.Pen.Color;
    canvas.Brush.Style = TBrushStyle::bsSolid;
    const std::string problem = DrawSymbol(canvas, rect, code);
    canvas.Brush.Style = TBrushStyle::bsClear;
    if (!problem.empty() && !InDesignMode())
      GetZdReport()->AddWarning("barcode of " + DisplayName() + " not drawn: " + problem);
  }
  FPrevValue = FCurValue;
  return height;
}

std::string TZdBarCode::DrawSymbol(TCanvas& canvas, const TRect& rect, const std::string& code) const {
  // Bars off the control are painted only on a page, which keeps the whole symbol.
  TBarGeometry geometry{rect, narrowWidth_, wideWidth_, vertical_, !dynamic_cast<TMetafileCanvas*>(&canvas)};
  if (IsClassic(barCodeType_)) {
    const TBarElements elements = EncodeClassic(barCodeType_, code);
    if (elements.empty()) return "'" + code + "' cannot be encoded as " + SymbologyName(barCodeType_);
    const std::string text = barCodeType_ == TBarCodeType::bcUPCA ? UpcADigits(code) : code;
    DrawTextLine(canvas, geometry.Area, ElementsLength(elements, narrowWidth_, wideWidth_), text);
    DrawBarElements(canvas, geometry, elements);
    return {};
  }
  const TZintSymbol symbol = EncodeWithZint(ZintSymbologyOf(barCodeType_), code);
  if (!symbol.Error.empty()) return std::string(SymbologyName(barCodeType_)) + ": " + symbol.Error;
  if (!symbol.TwoDimensional) DrawTextLine(canvas, geometry.Area, int(symbol.Width * narrowWidth_), symbol.Text);
  DrawZintSymbol(canvas, geometry, symbol);
  return {};
}

void TZdBarCode::DrawTextLine(TCanvas& canvas, TRect& area, int symbolWidth, const std::string& text) const {
  if (!showText_ || vertical_ || text.empty()) return;
  TRect line{area.Left, std::max(area.Top, area.Bottom - canvas.TextHeight(text)), area.Left + symbolWidth,
             area.Bottom};
  area.Bottom = line.Top;
  const TBrushStyle brush = canvas.Brush.Style;
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.DrawText(line, text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  canvas.Brush.Style = brush;
}

void RegisterZdBarCode() { RegisterZdqControl<TZdBarCode>("TZdBarCode", txt::AddBarcode); }

void UnRegisterZdBarCode() { UnRegisterZdqControl("TZdBarCode"); }

}  // namespace zd
