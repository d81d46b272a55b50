#pragma once
// A drop-down list of brush fill styles or pen line styles, each drawn as a
// sample with its name beside it when ShowNames is set.
#include <functional>
#include <string>
#include <vector>

#include "designer/controls/OwnerDrawCombo.h"
#include "host/graphics/Canvas.h"

namespace zd {

enum class TZdBrushPenMode : uint8_t { bpmBrush, bpmPen };

class TZdBrushPenStyleCombo : public TZdOwnerDrawCombo {
  Q_OBJECT

 public:
  explicit TZdBrushPenStyleCombo(QWidget* parent = nullptr);

  TZdBrushPenMode BrushPenMode() const { return mode_; }
  void SetBrushPenMode(TZdBrushPenMode mode);
  TBrushStyle BrushStyle() const { return brushStyle_; }
  void SetBrushStyle(TBrushStyle style);  // ignored when not listed
  TPenStyle PenStyle() const { return penStyle_; }
  void SetPenStyle(TPenStyle style);
  // Display names by style ordinal; empty entries keep the usual name.
  void SetBrushNames(std::vector<std::string> names);
  void SetPenNames(std::vector<std::string> names);
  bool ShowNames() const { return showNames_; }
  void SetShowNames(bool on);

  void BuildList();
  void DrawItem(QPainter& p, const QRect& r, int index) const override;
  int LeadingWidth() const override;

  std::function<void(TZdBrushPenStyleCombo* sender)> OnChange;

 signals:
  void changed();

 private:
  int sampleWidth() const;
  int storedOrdinal() const;
  void selectOrdinal(int ordinal, bool notify);
  void fireChange();

  TZdBrushPenMode mode_ = TZdBrushPenMode::bpmBrush;
  TBrushStyle brushStyle_ = TBrushStyle::bsSolid;
  TPenStyle penStyle_ = TPenStyle::psSolid;
  std::vector<std::string> brushNames_, penNames_;
  bool showNames_ = true;
};

}  // namespace zd
