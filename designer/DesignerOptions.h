#pragma once
// What a user sets for the designer window: grid, snapping, band titles,
// tool bars, colours and file handling. Kept per user between sessions when
// AutoSaveOptions is set.
#include <cstdint>

#include "host/graphics/Canvas.h"

namespace zd {

enum class TZdqDToolbar : uint8_t { rtStandard, rtFont, rtFrame, rtElement, rtAlignment };

// The visible tool bars, one bit per TZdqDToolbar.
class TZdqDToolbars {
 public:
  static TZdqDToolbars All() { return TZdqDToolbars(0x1f); }
  static TZdqDToolbars FromMask(uint32_t mask) { return TZdqDToolbars(mask & 0x1f); }
  uint32_t Mask() const { return bits_; }
  bool Has(TZdqDToolbar t) const { return bits_ & bit(t); }
  void Set(TZdqDToolbar t, bool on) { bits_ = on ? (bits_ | bit(t)) : (bits_ & ~bit(t)); }
  bool operator==(const TZdqDToolbars&) const = default;

 private:
  explicit TZdqDToolbars(uint32_t bits) : bits_(bits) {}
  static uint32_t bit(TZdqDToolbar t) { return 1u << uint32_t(t); }
  uint32_t bits_;
};

struct TZdqDOptions {
  bool DisplayGrid = true;
  bool SnapToGrid = false;
  int GridSizeX = 8;  // pixels
  int GridSizeY = 8;
  bool ShowBandTitle = false;
  bool Flat = true;
  bool AutoSaveOptions = false;
  bool CreateBackup = true;
  bool ShowExplorer = false;
  bool ShowInspector = true;
  TZdqDToolbars Toolbars = TZdqDToolbars::All();
  TColor Color = 0xDDDDDD;  // background of the design area

  // The palette tool in use, not kept: 0 the selection arrow, 1 inserts
  // nothing, n >= 2 the registered control class n - 2.
  int Tool = 0;

  bool operator==(const TZdqDOptions&) const = default;
};

}  // namespace zd
