#include "designer/DesignerSettings.h"

#include <QSettings>

namespace zd {

namespace {

constexpr const char* kOrganisation = "Harbolt";
constexpr const char* kApplication = "ZdReport";
constexpr const char* kGroup = "Designer";

template <class T>
void Read(const QSettings& s, const char* name, T& value) {
  if (s.contains(name)) value = s.value(name).value<T>();
}

}  // namespace

std::unique_ptr<QSettings> OpenDesignerSettings() {
  auto settings = std::make_unique<QSettings>(kOrganisation, kApplication);
  settings->beginGroup(kGroup);
  return settings;
}

void LoadDesignerOptions(TZdqDOptions& o) {
  const std::unique_ptr<QSettings> settings = OpenDesignerSettings();
  QSettings& s = *settings;
  Read(s, "DisplayGrid", o.DisplayGrid);
  Read(s, "SnapToGrid", o.SnapToGrid);
  Read(s, "ShowBandTitle", o.ShowBandTitle);
  Read(s, "AutoSaveOptions", o.AutoSaveOptions);
  Read(s, "CreateBackup", o.CreateBackup);
  Read(s, "ShowExplorer", o.ShowExplorer);
  Read(s, "ShowInspector", o.ShowInspector);
  Read(s, "Flat", o.Flat);
  // A grid step below one pixel would draw nothing and snap to nothing.
  int gridX = o.GridSizeX, gridY = o.GridSizeY;
  Read(s, "GridSizeX", gridX);
  Read(s, "GridSizeY", gridY);
  if (gridX >= 1) o.GridSizeX = gridX;
  if (gridY >= 1) o.GridSizeY = gridY;
  uint32_t color = o.Color, toolbars = o.Toolbars.Mask();
  Read(s, "Color", color);
  Read(s, "Toolbars", toolbars);
  o.Color = color & 0xFFFFFF;
  o.Toolbars = TZdqDToolbars::FromMask(toolbars);
}

void SaveDesignerOptions(const TZdqDOptions& o, const std::string& version) {
  const std::unique_ptr<QSettings> settings = OpenDesignerSettings();
  QSettings& s = *settings;
  s.setValue("Version", QString::fromStdString(version));
  s.setValue("DisplayGrid", o.DisplayGrid);
  s.setValue("SnapToGrid", o.SnapToGrid);
  s.setValue("ShowBandTitle", o.ShowBandTitle);
  s.setValue("AutoSaveOptions", o.AutoSaveOptions);
  s.setValue("CreateBackup", o.CreateBackup);
  s.setValue("ShowExplorer", o.ShowExplorer);
  s.setValue("ShowInspector", o.ShowInspector);
  s.setValue("Flat", o.Flat);
  s.setValue("GridSizeX", o.GridSizeX);
  s.setValue("GridSizeY", o.GridSizeY);
  s.setValue("Color", uint32_t(o.Color));
  s.setValue("Toolbars", o.Toolbars.Mask());
}

}  // namespace zd
