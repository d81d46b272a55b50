#pragma once
// A one-line expression field with a "..." button that opens the expression
// builder over a report's data, variables and parameters.
#include <QWidget>
#include <string>

class QLineEdit;
class QToolButton;

namespace zd {

class TZdReport;

class TExpressionEdit : public QWidget {
  Q_OBJECT

 public:
  explicit TExpressionEdit(QWidget* parent = nullptr);

  // The report the builder offers the catalogue of; without one the button
  // is disabled.
  void SetReport(TZdReport* report);
  TZdReport* Report() const { return report_; }

  std::string Expression() const;
  void SetExpression(const std::string& expression);

  // Runs the builder on the text; true when the user confirmed it.
  bool ExecuteBuilder();

  QLineEdit* Edit;
  QToolButton* btnBuilder;

 signals:
  // The builder wrote its text into the field.
  void builderAccepted();

 private:
  TZdReport* report_ = nullptr;
};

}  // namespace zd
