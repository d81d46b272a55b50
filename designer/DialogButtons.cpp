#include "designer/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace zd {

QDialogButtonBox* NewOkCancel(QDialog& dialog, const QString& okText, const QString& cancelText, QPushButton** ok,
                              QPushButton** cancel) {
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* okButton = buttons->addButton(okText, QDialogButtonBox::AcceptRole);
  QPushButton* cancelButton = buttons->addButton(cancelText, QDialogButtonBox::RejectRole);
  okButton->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (ok) *ok = okButton;
  if (cancel) *cancel = cancelButton;
  return buttons;
}

}  // namespace zd
