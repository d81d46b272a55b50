#pragma once
// Between a report's object tree and the stream tree, through the published
// property descriptors: what differs from its declared default is written,
// owned objects as dotted paths, collections item by item; reading builds
// bands and controls by class name from the class registry.
#include <functional>
#include <string>
#include <vector>

#include "host/core/Properties.h"
#include "report/template/ComponentStream.h"

namespace zd {

class TZdReport;

// The published properties of obj that a template stores. A component's
// name is not among them: the object header carries it.
std::vector<TStreamProperty> StreamProperties(const TPersistent& obj);

// Whether a template stores the component: a dataset the report owns whose
// class a template can build again (other datasets stay the application's).
bool TemplateStoresDataset(const TComponent& component);

// The report with the datasets it owns, then its bands and their controls,
// in list order. With the template's folder given, a dataset's database
// file is written relative to it, so that the two can move together.
TStreamObject ReportToStream(const TZdReport& report, const std::string& templateFolder = {});

struct TStreamReadContext {
  // Finds the component a reference names; nullptr when there is none.
  TReferenceResolver resolve;
  // "Path = Name" for each reference that found no component; it stays unset.
  std::vector<std::string> unresolved;
  // How an offset of the tree reads in messages ("line 3, column 5");
  // unset: "byte N".
  std::function<std::string(size_t offset)> describePlace;
  // The template's folder: relative database files of datasets lie there.
  // Empty: they stay relative to the working folder.
  std::string templateFolder;
};

// Raises ETemplateError "Template error at PLACE: what" for the offset.
[[noreturn]] void TemplateErrorAt(const TStreamReadContext& context, size_t offset, const std::string& what,
                                  const std::string& propertyPath = "");

// Applies property records to obj; `where` names obj in messages. Raises
// ETemplateError naming the byte offset and the property path.
void ApplyStreamProperties(TPersistent& obj, const std::vector<TStreamProperty>& records,
                           TStreamReadContext& context, const std::string& where);

// Builds the datasets the root holds, owned by the report, so that the
// root's references can name them; then reads the root's properties into
// the report, whose bands were just removed, and builds its bands and
// controls in stream order. The root's own name and class are the caller's
// concern.
void StreamToReport(const TStreamObject& root, TZdReport& report, TStreamReadContext& context);

}  // namespace zd
