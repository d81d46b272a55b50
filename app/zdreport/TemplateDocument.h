#pragma once
// The templates a render names as one document: a single template is the
// document itself, several are joined into one whose page numbers run on.
#include <memory>
#include <string>
#include <vector>

#include "app/zdreport/CommandLine.h"
#include "app/zdreport/TemplateReport.h"
#include "print/CompositeReport.h"

namespace zd::cli {

class TTemplateDocument {
 public:
  // Loads every template of the options over its data source (see TTemplateReport).
  explicit TTemplateDocument(const TRenderOptions& options);
  TTemplateDocument(const TTemplateDocument&) = delete;
  TTemplateDocument& operator=(const TTemplateDocument&) = delete;

  TZdPrintBaseComponent& Document();
  // Every template, in command-line order.
  const std::vector<std::unique_ptr<TTemplateReport>>& Templates() const { return templates_; }
  // As TTemplateReport::Prepare, for the whole document.
  void Prepare();
  // The templates' and the reports' own, in the order they arose.
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  std::vector<std::unique_ptr<TTemplateReport>> templates_;
  TZdqCompositeReport composite_;  // used with more than one template
  std::vector<std::string> warnings_;
};

}  // namespace zd::cli
