#pragma once
// The barcode control: draws its value, typed in or taken from a field, as
// a barcode of bars (or square modules) into its rectangle.
#include <string>

#include "report/model/ZdqBase.h"

namespace zd {

/// The classic four are encoded here; Code 128, EAN-13, QR Code and Data
/// Matrix by libzint.
enum class TBarCodeType {
  bcCode39, bcInterleaved2of5, bcPostnet, bcUPCA, bcCode128, bcEAN13, bcQRCode, bcDataMatrix
};
enum class TBarType { btNarrow, btWide };

class TZdBarCode : public TZdqControl {
 public:
  explicit TZdBarCode(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdBarCode"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TBarCodeType BarCodeType() const { return barCodeType_; }
  void SetBarCodeType(TBarCodeType t) { barCodeType_ = t; }
  /// Widths of a narrow and a wide element in page units; below 1 is taken as 1.
  int NarrowWidth() const { return narrowWidth_; }
  void SetNarrowWidth(int w) { narrowWidth_ = w < 1 ? 1 : w; }
  int WideWidth() const { return wideWidth_; }
  void SetWideWidth(int w) { wideWidth_ = w < 1 ? 1 : w; }
  /// Turned a quarter: bars run across and follow each other downwards.
  bool Vertical() const { return vertical_; }
  void SetVertical(bool on) { vertical_ = on; }
  /// A display name that showed the old value (or expression) follows the new one.
  const std::string& Value() const { return value_; }
  void SetValue(const std::string& value);
  /// "Dataset.Field"; when set it takes the place of Value.
  const std::string& Expression() const { return expression_; }
  void SetExpression(const std::string& expression);
  /// A line of text under a horizontal linear symbol with what it encodes.
  bool ShowText() const { return showText_; }
  void SetShowText(bool on) { showText_ = on; }

  /// What to encode: the named field's text (empty when its dataset is not
  /// found) or Value, in upper case for the classic four.
  std::string GetBarCode() const;

  void UpdateCurValue() override;
  void TakeRow(const std::string&, const std::string&, bool) override { UpdateCurValue(); }
  /// Draws the symbol with the pen colour; content the symbology cannot
  /// encode draws nothing and leaves a report warning.
  int Draw(TCanvas& canvas, TRect& rect, uint32_t flags) override;

 private:
  /// Draws the symbol of code into rect; what went wrong, or "" when drawn.
  std::string DrawSymbol(TCanvas& canvas, const TRect& rect, const std::string& code) const;
  /// With ShowText, writes text centred under the symbol's width at the
  /// bottom of area and takes its line off area.
  void DrawTextLine(TCanvas& canvas, TRect& area, int symbolWidth, const std::string& text) const;

  TBarCodeType barCodeType_ = TBarCodeType::bcPostnet;
  int narrowWidth_ = 1, wideWidth_ = 3;
  bool vertical_ = false;
  std::string value_ = "00000-0000";
  std::string expression_;
  bool showText_ = false;
};

/// Makes the control class known to templates and the palette; idempotent.
void RegisterZdBarCode();
void UnRegisterZdBarCode();

}  // namespace zd
