#pragma once
// Pickers for a font family and its point size. The family combo keeps a
// linked size combo listing the sizes of the chosen family.
#include <QComboBox>
#include <functional>
#include <string>

#include "designer/controls/OwnerDrawCombo.h"

namespace zd {

// Where fonts are looked for. Printing draws with the same font database as
// the screen, so every device lists the same families.
enum class TZdFontDevice : uint8_t { fdScreen, fdPrinter, fdBoth };

enum TZdFontListOption : uint8_t {
  foAnsiOnly = 1,        // fonts with Latin characters
  foTrueTypeOnly = 2,    // smoothly scalable outline fonts
  foFixedPitchOnly = 4,
  foNoOEMFonts = 8,      // no font here has the OEM character set: a filter that passes all
  foOEMFontsOnly = 16,   // ... and one that passes none
  foScalableOnly = 32,
};
using TZdFontListOptions = uint8_t;

// Font type bits carried by each listed family.
enum : int { kRasterFontType = 1, kTrueTypeFontType = 4 };

class TZdFontSizesCombo : public QComboBox {
  Q_OBJECT

 public:
  explicit TZdFontSizesCombo(QWidget* parent = nullptr);

  const std::string& FontName() const { return fontName_; }
  // Lists the sizes of this family; the size shown stays.
  void SetFontName(const std::string& name);
  void BuildList();
  int FontSize() const;  // the shown size in points, 0 when not a number
  void SetFontSize(int points);

  std::function<void(TZdFontSizesCombo* sender)> OnChange;

 signals:
  void changed();

 private:
  void confirm();  // fires the change once per new size

  std::string fontName_;
  QString confirmed_;
};

class TZdFontNamesCombo : public TZdOwnerDrawCombo {
  Q_OBJECT

 public:
  explicit TZdFontNamesCombo(QWidget* parent = nullptr);

  std::string FontName() const;
  // Selects the family equal to `name` ignoring case, or nothing.
  void SetFontName(const std::string& name);
  TZdFontDevice Device() const { return device_; }
  void SetDevice(TZdFontDevice device);
  TZdFontListOptions Options() const { return options_; }
  void SetOptions(TZdFontListOptions options);
  TZdFontSizesCombo* FontSizesCombo() const { return sizes_; }
  void SetFontSizesCombo(TZdFontSizesCombo* sizes);

  void BuildList();
  // Lists the fonts again, keeping the chosen family where it still exists.
  void Reset();

  void DrawItem(QPainter& p, const QRect& r, int index) const override;
  int ItemHeight() const override;
  int LeadingWidth() const override;

  std::function<void(TZdFontNamesCombo* sender)> OnChange;

 signals:
  void changed();

 protected:
  bool event(QEvent* e) override;

 private:
  void fireChange();

  TZdFontDevice device_ = TZdFontDevice::fdScreen;
  TZdFontListOptions options_ = 0;
  TZdFontSizesCombo* sizes_ = nullptr;
  bool updating_ = false;
};

}  // namespace zd
