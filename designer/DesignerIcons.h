#pragma once
// The pictures of the designer's tool buttons, drawn rather than loaded so
// that they scale with the screen.
#include <QIcon>
#include <string>

#include "designer/DesignGeometry.h"

namespace zd {

enum class TDesignIcon {
  New, Open, Save, Preview, Undo, Redo, AddBand, Arrow, Options, Inspector, Explorer, Wizard,
  ReportSettings, Groups
};

QIcon DesignIcon(TDesignIcon kind);
// The palette picture of a registered control class; a plain box for a
// class it does not know.
QIcon ControlClassIcon(const std::string& className);
QIcon AlignIcon(TAlignCommand command);

}  // namespace zd
