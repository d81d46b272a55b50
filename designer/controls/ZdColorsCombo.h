#pragma once
// A drop-down list of colours: the 16 standard colours, the 25 system
// colours and an item for any other colour, drawn as swatches, names or both.
#include <functional>
#include <string>
#include <vector>

#include "designer/controls/OwnerDrawCombo.h"
#include "host/graphics/Canvas.h"

namespace zd {

enum TColorModeFlag : uint8_t {
  cmColor = 1,            // draw a swatch
  cmName = 2,             // draw the name
  cmStandardColors = 4,   // list the 16 standard colours
  cmSystemColors = 8,     // list the 25 system colours
  cmCustomItem = 16,      // end with an item for any colour, chosen in the colour dialog
};
using TColorMode = uint8_t;
constexpr TColorMode kAllColorModes = cmColor | cmName | cmStandardColors | cmSystemColors | cmCustomItem;

class TZdColorsCombo : public TZdOwnerDrawCombo {
  Q_OBJECT

 public:
  explicit TZdColorsCombo(QWidget* parent = nullptr);

  TColor ColorValue() const { return value_; }
  // A colour that is not listed becomes the custom item's colour; without a
  // custom item the selection and value stay as they were.
  void SetColorValue(TColor c);
  TColorMode ColorMode() const { return mode_; }
  void SetColorMode(TColorMode mode);
  // Display names by colour slot (0-15 standard, 16-40 system); empty entries keep the usual name.
  const std::vector<std::string>& ColorNames() const { return names_; }
  void SetColorNames(std::vector<std::string> names);
  const std::string& CustomText() const { return customText_; }
  void SetCustomText(std::string text);

  void BuildList();
  // Opens the colour dialog at the current value; true when a colour was chosen.
  bool DisplayColorDialog();

  TColor ItemColor(int index) const;
  void DrawItem(QPainter& p, const QRect& r, int index) const override;
  int LeadingWidth() const override { return (mode_ & cmColor) ? 28 : 6; }

  std::function<void(TZdColorsCombo* sender)> OnChange;

 signals:
  void changed();

 private:
  void userPicked(int index);
  void selectStoredValue();
  void fireChange();

  TColor value_ = clBlack;
  TColor customColor_ = clBlack;
  TColorMode mode_ = kAllColorModes;
  std::vector<std::string> names_;
  std::string customText_ = "Custom...";
};

}  // namespace zd
