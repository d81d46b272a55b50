#include "app/zdreport/WizardCommand.h"

#include <filesystem>

#include "app/zdreport/DataSource.h"
#include "app/zdreport/TemplateReport.h"
#include "designer/WizardGeneration.h"
#include "expr/StrUtils.h"
#include "host/core/TextUtil.h"
#include "print/Language.h"
#include "report/model/ZdReport.h"
#include "report/template/Template.h"

namespace zd::cli {
namespace {

constexpr int kEndOfReportText = 2130;  // the wizard's first reset entry

const TField& FieldOf(const TDataSet& data, const std::string& name, const std::string& option) {
  if (const TField* field = data.FindField(Trim(name))) return *field;
  throw EUsageError(option + ": the data has no field '" + name + "'", "wizard");
}

TWizardReportType TypeOf(const std::string& name) {
  if (name == "tabular") return TWizardReportType::rtTabular;
  if (name == "labels") return TWizardReportType::rtMailLabels;
  return TWizardReportType::rtColumnar;
}

TWizardReportStyle StyleOf(const std::string& name) {
  if (name == "executive") return TWizardReportStyle::rsExecutive;
  if (name == "presentative") return TWizardReportStyle::rsPresentative;
  if (name == "corporative") return TWizardReportStyle::rsCorporative;
  return TWizardReportStyle::rsStandard;
}

TWizardLabelShape ShapeOf(const std::string& name) {
  if (name == "rectangle") return TWizardLabelShape::lsRectangle;
  if (name == "rounded") return TWizardLabelShape::lsRoundRect;
  return TWizardLabelShape::lsNone;
}

// The choices a user of the wizard's dialog would make for these options:
// totals at the end of every group, innermost first, then of the report.
TWizardChoices ChoicesOf(const TWizardOptions& options, const TDataSet& data, const std::string& caption) {
  TWizardChoices choices;
  choices.Type = TypeOf(options.type);
  choices.Style = StyleOf(options.style);
  choices.Title = options.title.empty() ? caption : options.title;
  if (!options.across.empty()) choices.LabelsAcross = options.across;
  choices.LabelShape = ShapeOf(options.frame);
  if (options.fields.empty())
    for (int i = 0; i < data.FieldCount(); ++i) choices.Fields.push_back(WizardFieldOf(caption, data.Fields(i)));
  for (const std::string& name : options.fields)
    choices.Fields.push_back(WizardFieldOf(caption, FieldOf(data, name, "--fields")));
  for (const std::string& name : options.groups)
    choices.Groups.push_back(SetDSExpression(caption, FieldOf(data, name, "--group").FieldName()));
  for (const std::string& name : options.sums) {
    const std::string expression = SetDSExpression(caption, FieldOf(data, name, "--sum").FieldName());
    for (auto group = choices.Groups.rbegin(); group != choices.Groups.rend(); ++group)
      choices.Calculations.push_back({expression, TCalcType::ctSum, TResetType::rtEndGroup, *group});
    choices.Calculations.push_back({expression, TCalcType::ctSum, TResetType::rtEndReport,
                                    GetString(0, kEndOfReportText)});
  }
  return choices;
}

}  // namespace

std::string RunWizard(const TWizardOptions& options) {
  const TDataSourceSpec spec = TDataSourceSpec::Parse(options.dataSource, options.sql, options.delimiter);
  RequireNoFolder(spec.file, "the data source");
  RequireNoFolder(options.output, "the template");
  std::error_code error;
  if (std::filesystem::equivalent(spec.file, options.output, error))
    throw EUsageError("the template would replace the data file " + spec.file, "wizard");
  const TOpenedDataSource data = OpenDataSource(spec);
  TComponent root;
  auto* report = new TZdReport(&root);
  TWizardChoices choices = ChoicesOf(options, *data.dataset, data.name);
  // Fields wider than the page are narrowed to fit it.
  choices.ClientWidth = WizardUsableWidth(*report) + 30;
  GenerateWizardReport(*report, choices);
  SaveReport(*report, options.output);
  return options.output;
}

}  // namespace zd::cli
