#pragma once
// A readable, diffable text of a component stream tree: each object as its
// class and name, its property records as "path = value" and its children
// indented below it.
#include <string>

#include "report/template/ComponentStream.h"

namespace zd {

std::string DumpStreamTree(const TStreamObject& root);

}  // namespace zd
