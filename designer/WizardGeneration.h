#pragma once
// What the report wizard makes of the user's choices: a cleared report with
// a title, captions and values of the chosen fields, page numbers, groups
// and calculated totals, laid out by report type and style.
#include <string>
#include <vector>

#include "expr/Calculation.h"
#include "host/data/FieldType.h"
#include "print/Variables.h"

namespace zd {

class TField;
class TZdReport;

enum class TWizardReportType { rtBlank, rtColumnar, rtTabular, rtMailLabels };
enum class TWizardReportStyle { rsStandard, rsExecutive, rsPresentative, rsCorporative };
enum class TWizardLabelShape { lsNone, lsRectangle, lsRoundRect };

// A field the user checked.
struct TWizardField {
  std::string DatasetCaption;
  std::string FieldLabel;  // the field's display name, the caption printed
  std::string FieldName;
  TFieldType DataType = TFieldType::ftString;
  int Length = 0;          // characters; 0 counts as 10
  TAlignment Alignment = TAlignment::taLeftJustify;
};
// A field of the dataset item with this caption, as the wizard lays it out.
TWizardField WizardFieldOf(const std::string& datasetCaption, const TField& field);

// A value calculated while the report prints. ResetText is the reset
// entry as chosen; for a group end it names the group's expression.
struct TWizardCalculation {
  std::string Expression;
  TCalcType CalcType = TCalcType::ctNothing;
  TResetType ResetType = TResetType::rtEndReport;
  std::string ResetText;
};

struct TWizardChoices {
  TWizardReportType Type = TWizardReportType::rtColumnar;
  TWizardReportStyle Style = TWizardReportStyle::rsStandard;
  std::vector<TWizardField> Fields;  // in the order they are laid out
  // Fields wider together than ClientWidth - 30 are narrowed to fit.
  bool FitFieldsToWidth = true;
  int ClientWidth = 0;
  std::vector<std::string> Groups;  // expressions, outermost first
  std::vector<TWizardCalculation> Calculations;
  std::string Title = "<Report title>";
  // Mail labels: labels across the page (2 when not a number) and frame.
  std::string LabelsAcross = "2";
  TWizardLabelShape LabelShape = TWizardLabelShape::lsNone;
};

// Pixels of a field of `length` characters (0 counts as 10): that many
// letters W in the report's font, bold, italic and underlined.
int WizardFieldWidth(const TZdReport& report, int length);

// The width bands print in: the page's less its margins, or less the
// printer's unprintable strips where those are wider.
int WizardUsableWidth(TZdReport& report);

// Clears the report and builds it from the choices.
void GenerateWizardReport(TZdReport& report, const TWizardChoices& choices);

}  // namespace zd
