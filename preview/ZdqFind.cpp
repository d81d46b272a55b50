#include "preview/ZdqFind.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "print/Language.h"
#include "print/TextIds.h"

namespace zd {

TfrmZdqFind::TfrmZdqFind(QWidget* parent) : QDialog(parent) {
  lblText_ = new QLabel;
  edTextValue = new QLineEdit;
  lblText_->setBuddy(edTextValue);
  chkCaseSensitive = new QCheckBox;
  cbMode = new QComboBox;
  cbMode->addItems({QString(), QString(), QString()});
  gbOptions_ = new QGroupBox;
  auto* options = new QVBoxLayout(gbOptions_);
  options->addWidget(chkCaseSensitive);
  options->addWidget(cbMode);
  rgScope_ = new QGroupBox;
  rbGlobal = new QRadioButton;
  rbCurrentPage = new QRadioButton;
  rbCurrentPage->setChecked(true);
  auto* scope = new QVBoxLayout(rgScope_);
  scope->addWidget(rbGlobal);
  scope->addWidget(rbCurrentPage);
  auto* groups = new QHBoxLayout;
  groups->addWidget(gbOptions_);
  groups->addWidget(rgScope_);
  auto* buttons = new QDialogButtonBox;
  btnOK = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
  btnCancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
  btnOK->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblText_);
  layout->addWidget(edTextValue);
  layout->addLayout(groups);
  layout->addWidget(buttons);
  RefreshCaptions();
}

void TfrmZdqFind::SetLanguageShift(int shift) {
  languageShift_ = shift;
  RefreshCaptions();
}

void TfrmZdqFind::RefreshCaptions() {
  const auto text = [&](int id) { return QString::fromStdString(GetString(languageShift_, id)); };
  setWindowTitle(text(txt::FindText));
  lblText_->setText(text(txt::FindTextLabel));
  gbOptions_->setTitle(text(txt::FindOptions).trimmed());
  chkCaseSensitive->setText(text(txt::FindCaseSensitive));
  cbMode->setItemText(0, text(txt::FindAtBeginning));
  cbMode->setItemText(1, text(txt::FindExactly));
  cbMode->setItemText(2, text(txt::FindAnyPosition));
  rgScope_->setTitle(text(txt::FindScope).trimmed());
  rbGlobal->setText(text(txt::FindGlobal));
  rbCurrentPage->setText(text(txt::FindCurrentPage));
  btnOK->setText(text(txt::OK));
  btnCancel->setText(text(txt::Cancel));
}

TFindQuery TfrmZdqFind::Query() const {
  TFindQuery query;
  query.Text = edTextValue->text().toStdString();
  query.Mode = TFindMode(std::clamp(cbMode->currentIndex(), 0, 2));
  query.CaseSensitive = chkCaseSensitive->isChecked();
  return query;
}

bool TfrmZdqFind::GlobalScope() const { return rbGlobal->isChecked(); }

}  // namespace zd
