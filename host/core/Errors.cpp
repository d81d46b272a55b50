#include "host/core/Errors.h"

namespace zd {

std::string DescribeError(const std::exception& error) {
  std::string text = error.what();
  const auto* own = dynamic_cast<const EZdError*>(&error);
  if (!own) return text;
  std::string place;
  auto add = [&place](const std::string& part) { place += (place.empty() ? "" : ", ") + part; };
  if (!own->FileName().empty()) add("file " + own->FileName());
  if (own->Offset()) add("byte " + std::to_string(*own->Offset()));
  if (!own->PropertyPath().empty()) add("property " + own->PropertyPath());
  return place.empty() ? text : text + " (" + place + ")";
}

}  // namespace zd
