#pragma once
// The designer's options kept per user with QSettings: organisation
// "Harbolt", application "ZdReport", group "Designer".
#include <memory>
#include <string>

#include "designer/DesignerOptions.h"

class QSettings;

namespace zd {

// The per-user store, opened at the designer's group.
std::unique_ptr<QSettings> OpenDesignerSettings();
// Values that are missing are left as they are.
void LoadDesignerOptions(TZdqDOptions& options);
// "Version" records the product version that wrote them.
void SaveDesignerOptions(const TZdqDOptions& options, const std::string& version);

}  // namespace zd
