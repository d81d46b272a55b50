#pragma once
// The OK and Cancel pair under the designer's dialogs.
#include <QString>

class QDialog;
class QDialogButtonBox;
class QPushButton;

namespace zd {

// OK (the default button) accepts the dialog, Cancel rejects it; the buttons
// are handed out for captions set later and for tests.
QDialogButtonBox* NewOkCancel(QDialog& dialog, const QString& okText, const QString& cancelText,
                              QPushButton** ok = nullptr, QPushButton** cancel = nullptr);

}  // namespace zd
