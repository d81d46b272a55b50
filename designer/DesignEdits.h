#pragma once
// Edits the designer makes, all through the published property descriptors
// so that every one of them is heard by the undo history (and, later, by
// the object inspector).
#include <string>

#include "designer/DesignGeometry.h"
#include "host/core/Variant.h"
#include "report/model/ZdqBase.h"

namespace zd {

// Sets a published property by name; raises EPropertyError for a name the
// object's class does not publish.
void SetPublished(TPersistent& object, const std::string& name, const TVariant& value);

TControlBounds BoundsOf(const TZdqControl& control);
// Only the properties that change are set.
void SetBounds(TZdqControl& control, const TControlBounds& bounds);

}  // namespace zd
