#include "designer/DesignEdits.h"

#include "host/core/Properties.h"

namespace zd {

void SetPublished(TPersistent& object, const std::string& name, const TVariant& value) {
  const TClassProperties* props = object.PublishedProperties();
  const TPropertyInfo* prop = props ? props->Find(name) : nullptr;
  if (!prop) throw EPropertyError(object.ClassName() + " has no property " + name);
  SetValue(object, *prop, value);
}

TControlBounds BoundsOf(const TZdqControl& control) {
  return {control.Left(), control.Top(), control.Width(), control.Height()};
}

void SetBounds(TZdqControl& control, const TControlBounds& bounds) {
  const TControlBounds old = BoundsOf(control);
  if (bounds.Left != old.Left) SetPublished(control, "Left", bounds.Left);
  if (bounds.Top != old.Top) SetPublished(control, "Top", bounds.Top);
  if (bounds.Width != old.Width) SetPublished(control, "Width", bounds.Width);
  if (bounds.Height != old.Height) SetPublished(control, "Height", bounds.Height);
}

}  // namespace zd
