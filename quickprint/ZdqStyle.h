#pragma once
// Row colours of the quick-print tables and whether titles and leftmost
// columns repeat on every page and bar.
#include <optional>
#include <string>

#include "host/graphics/Canvas.h"

namespace zd {

enum class TZdqRowStyle {
  rsNormal, rsPriceList, rsMSMoney, rsBrick, rsDesert, rsEggplant, rsLilac, rsMaple, rsMarine, rsRose, rsSpruce,
  rsWheat
};

// The style's lower-case name without the "rs" ("brick"); nullopt for an unknown name.
std::optional<TZdqRowStyle> RowStyleByName(const std::string& name);
std::string RowStyleName(TZdqRowStyle style);

// Colours the platform gives to tool tips, window backgrounds and button shadows.
TColor InfoBackgroundColor();
TColor WindowColor();
TColor ButtonShadowColor();

class TZdqStyle {
 public:
  bool FixedCols = true;  ///< leftmost fixed columns repeat on every bar
  bool FixedRows = true;  ///< column titles repeat on every page

  TZdqRowStyle RowStyle() const { return rowStyle_; }
  /// A different style brings its own pair of colours; rsNormal keeps them.
  void SetRowStyle(TZdqRowStyle style);
  TColor OddColor = clWhite;
  TColor EvenColor = clWhite;

 private:
  TZdqRowStyle rowStyle_ = TZdqRowStyle::rsNormal;
};

}  // namespace zd
