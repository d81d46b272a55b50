#include "designer/ExpressionEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

#include "designer/ExpressionBuilder.h"

namespace zd {

TExpressionEdit::TExpressionEdit(QWidget* parent) : QWidget(parent) {
  Edit = new QLineEdit(this);
  btnBuilder = new QToolButton(this);
  btnBuilder->setText("...");
  btnBuilder->setEnabled(false);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(Edit, 1);
  layout->addWidget(btnBuilder);
  setFocusProxy(Edit);
  connect(btnBuilder, &QToolButton::clicked, this, [this] { ExecuteBuilder(); });
}

void TExpressionEdit::SetReport(TZdReport* report) {
  report_ = report;
  btnBuilder->setEnabled(report_ != nullptr);
}

std::string TExpressionEdit::Expression() const { return Edit->text().toStdString(); }

void TExpressionEdit::SetExpression(const std::string& expression) { Edit->setText(QString::fromStdString(expression)); }

bool TExpressionEdit::ExecuteBuilder() {
  if (!report_) return false;
  std::string expression = Expression();
  if (!ExpressionBuilder(expression, *report_, this)) return false;
  // The builder's box may hold several lines; the field has one.
  QString oneLine = QString::fromStdString(expression);
  oneLine.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace('\n', ' ').replace('\r', ' ');
  Edit->setText(oneLine);
  emit builderAccepted();
  return true;
}

}  // namespace zd
