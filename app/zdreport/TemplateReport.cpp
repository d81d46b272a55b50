#include "app/zdreport/TemplateReport.h"

#include <filesystem>
#include <optional>
#include <stdexcept>

#include "app/zdreport/Interrupt.h"
#include "app/zdreport/ParameterValues.h"
#include "app/zdreport/TerminalProgress.h"
#include "expr/PageRange.h"
#include "report/model/ZdqDMan.h"
#include "report/template/Template.h"

namespace zd::cli {
namespace {

constexpr std::string_view kDataSetReference = "DataSet = ";

// The report's own dataset reference names the component the template was
// designed with; the opened dataset takes that name so that expressions
// written against it resolve. Other unresolved references become warnings.
std::string TakeDataSetName(const TTemplateLoadResult& loaded, std::vector<std::string>& warnings) {
  std::string name;
  for (const std::string& reference : loaded.UnresolvedReferences) {
    if (reference.rfind(kDataSetReference, 0) == 0) {
      name = reference.substr(kDataSetReference.size());
      // "Root.Component" as streams write references across roots.
      if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(0, dot + 1);
    } else {
      warnings.push_back("the template refers to a component the command line cannot supply: " + reference);
    }
  }
  return name;
}

void BindDataSet(TZdReport& report, TComponent& root, TDataSet& dataset, const std::string& componentName,
                 const std::string& sourceName) {
  if (!componentName.empty()) dataset.SetName(componentName);
  report.SetDataSet(&dataset);
  auto* manager = new TZdqDataManager(&root);
  TZdqDataset* item = manager->AddDataset(&dataset);
  if (!sourceName.empty()) item->SetCaption(sourceName);
  report.SetDataManager(manager);
}

}  // namespace

void RequireNoFolder(const std::string& path, const std::string& what) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw std::runtime_error(what + " '" + path + "' is a folder, not a file");
}

TTemplateReport::TTemplateReport(const TReportInput& input)
    : templateFile_(input.templateFile),
      source_(TDataSourceSpec::Parse(input.dataSource, input.sql, input.delimiter)),
      report_(new TZdReport(&root_)) {
  RequireNoFolder(input.templateFile, "the template");
  RequireNoFolder(source_.file, "the data source");
  const TTemplateLoadResult loaded = LoadReport(*report_, input.templateFile);
  data_ = OpenDataSource(source_);
  BindDataSet(*report_, root_, *data_.dataset, TakeDataSetName(loaded, warnings_), data_.name);
  if (input.twoPass) report_->SetTwoPass(true);
  if (input.pageMemoryMB) report_->SetPageMemoryLimit(*input.pageMemoryMB << 20);
  if (!input.anyAllowedPath) {
    // Templates may come from anyone: they read only what is given to them.
    const std::filesystem::path folder = std::filesystem::path(input.templateFile).parent_path();
    report_->FileAccess().AllowFolder(folder.empty() ? std::string(".") : folder.string());
    for (const std::string& path : input.allowedPaths) report_->FileAccess().AllowFolder(path);
  }
  TCommandLineParameters(input.parameters).Apply(*report_);
}

TStringList WantedPages(const std::string& pagesText, int pageCount) {
  TStringList pages;
  if (pagesText.empty()) {
    for (int p = 1; p <= pageCount; ++p) pages.Add(std::to_string(p));
    return pages;
  }
  GetValidPages(pagesText, pages, pageCount);
  if (pages.Count() == 0)
    throw std::runtime_error("--pages " + pagesText + " selects none of the " + std::to_string(pageCount) +
                             " pages");
  return pages;
}

void PrepareOnTerminal(TZdPrintBaseComponent& document, const std::vector<TZdPrintBaseComponent*>& preparing,
                       bool inDialog) {
  std::optional<TTerminalProgressView> line;
  if (const int columns = inDialog ? 0 : StderrTerminalColumns()) line.emplace(stderr, columns);
  // The preparation's progress comes through OnProgress, the export's
  // still through the progress dialog.
  struct TRestore {
    const std::vector<TZdPrintBaseComponent*>& preparing;
    ~TRestore() {
      for (TZdPrintBaseComponent* part : preparing) {
        part->OnProgress = nullptr;  // it draws on the line that goes next
        part->SetAnimatedStatus(true);
      }
    }
  } restore{preparing};
  for (TZdPrintBaseComponent* part : preparing) {
    part->SetAnimatedStatus(inDialog);
    if (line)
      part->OnProgress = [&line](const TPrepareProgress& progress) {
        line->Update("Preparing page " + std::to_string(progress.Pages) + ", " + std::to_string(progress.Rows) +
                         " rows",
                     0);
      };
  }
  TCancelOnInterrupt interrupt(document);
  document.Prepare();
  if (interrupt.Interrupted()) throw EInterrupted();
  if (!document.Prepared() || document.Pages().Count() == 0) throw std::runtime_error("the report made no pages");
}

void TTemplateReport::Prepare(bool inDialog) {
  PrepareOnTerminal(*report_, {report_}, inDialog);
  for (const std::string& warning : report_->Warnings()) warnings_.push_back(warning);
}

}  // namespace zd::cli
