#pragma once
// The example template of examples/order-lines.zdq: the order lines of the
// example database grouped by country.
#include <string>

namespace zd::cli {

void WriteExampleTemplate(const std::string& fileName);

}  // namespace zd::cli
