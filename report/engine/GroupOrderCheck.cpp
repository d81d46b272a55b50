#include "report/engine/detail/GroupOrderCheck.h"

#include <algorithm>

namespace zd {

void TZdqGroupOrderCheck::Started(const TZdqBand& header, int bandIndex) {
  auto it = std::find_if(groups_.begin(), groups_.end(), [&](const TSeen& g) { return g.bandIndex >= bandIndex; });
  if (it == groups_.end() || it->bandIndex != bandIndex) it = groups_.insert(it, TSeen{bandIndex, {}});
  for (auto inner = it + 1; inner != groups_.end(); ++inner) inner->values.clear();
  const TVariant& value = header.GetCurValue();
  const std::string text = value.kind() == TVarKind::String ? value.asString() : std::string();
  if (it->values.insert(text).second || it->warned) return;
  it->warned = true;
  const std::string name = header.DisplayName().empty() ? header.GetBandName() : header.DisplayName();
  report_.AddWarning("group \"" + name + "\" (" + header.Expression() + ") saw value \"" + text +
                     "\" again after other values; sort the rows by " + header.Expression());
}

}  // namespace zd
