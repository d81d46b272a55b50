#include "app/zdreport/TemplateReport.h"

#include <filesystem>
#include <optional>
#include <stdexcept>

#include "app/zdreport/Interrupt.h"
#include "app/zdreport/ParameterValues.h"
#include "app/zdreport/TerminalProgress.h"
#include "expr/PageRange.h"
#include "host/data/SqlDataSet.h"
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

namespace {

TDataSourceSpec SourceOf(const TReportInput& input) {
  if (!input.dataSource.empty()) return TDataSourceSpec::Parse(input.dataSource, input.sql, input.delimiter);
  if (!input.sql.empty() || input.delimiter)
    throw EUsageError("--sql and --delimiter need a data source (--data)");
  return {};
}

// The file a dataset of the report reads its rows from; empty for none.
std::string DatabaseFileOf(const TDataSet& dataset) {
  const auto* sql = dynamic_cast<const TSqlDataSet*>(&dataset);
  return sql ? sql->DatabaseFile() : std::string();
}

// The datasets the template stores read their database files under the
// same rule as its pictures.
void CheckStoredDatabases(const TZdReport& report) {
  for (const TDataSet* dataset : report.OwnDatasets())
    if (const std::string file = DatabaseFileOf(*dataset); !file.empty() && !report.FileAccess().Allows(file))
      throw std::runtime_error("the template's dataset " + dataset->Name() + " reads '" + file +
                               "', outside the folders it may read (see --allow-path)");
}

}  // namespace

TTemplateReport::TTemplateReport(const TReportInput& input)
    : templateFile_(input.templateFile), source_(SourceOf(input)), report_(new TZdReport(&root_)) {
  RequireNoFolder(input.templateFile, "the template");
  if (!source_.file.empty()) RequireNoFolder(source_.file, "the data source");
  const TTemplateLoadResult loaded = LoadReport(*report_, input.templateFile);
  std::string dataSetName = TakeDataSetName(loaded, warnings_);
  if (!source_.file.empty()) {
    // --data stands in for the dataset the template names, stored in it or not.
    if (dataSetName.empty() && report_->DataSet()) dataSetName = report_->DataSet()->Name();
    data_ = OpenDataSource(source_);
    BindDataSet(*report_, root_, *data_.dataset, dataSetName, data_.name);
  } else if (!report_->DataSet()) {
    throw EUsageError((dataSetName.empty() ? "the template " + input.templateFile + " stores no dataset"
                                           : "the dataset " + dataSetName + " of the template " + input.templateFile +
                                                 " is not stored in it") +
                      ": give one with --data");
  }
  if (input.twoPass) report_->SetTwoPass(true);
  if (input.pageMemoryMB) report_->SetPageMemoryLimit(*input.pageMemoryMB << 20);
  if (!input.anyAllowedPath) {
    // Templates may come from anyone: they read only what is given to them.
    const std::filesystem::path folder = std::filesystem::path(input.templateFile).parent_path();
    report_->FileAccess().AllowFolder(folder.empty() ? std::string(".") : folder.string());
    for (const std::string& path : input.allowedPaths) report_->FileAccess().AllowFolder(path);
    CheckStoredDatabases(*report_);
  }
  TCommandLineParameters(input.parameters).Apply(*report_);
}

std::vector<std::string> TTemplateReport::DataFiles() const {
  std::vector<std::string> files;
  if (!source_.file.empty()) files.push_back(source_.file);
  for (const TDataSet* dataset : report_->OwnDatasets())
    if (std::string file = DatabaseFileOf(*dataset); !file.empty()) files.push_back(std::move(file));
  return files;
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
