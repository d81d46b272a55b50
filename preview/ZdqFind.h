#pragma once
// The find-text dialog: the text, whether case counts, where in a page text
// it must stand, and whether the current page or every page is searched.
#include <QDialog>

#include "preview/TextSearch.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zd {

class TfrmZdqFind : public QDialog {
 public:
  explicit TfrmZdqFind(QWidget* parent = nullptr);
  // Captions come from the string table of this language.
  void SetLanguageShift(int shift);
  TFindQuery Query() const;
  bool GlobalScope() const;

  QLineEdit* edTextValue;
  QCheckBox* chkCaseSensitive;
  QComboBox* cbMode;
  QRadioButton* rbGlobal;
  QRadioButton* rbCurrentPage;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 private:
  void RefreshCaptions();

  int languageShift_ = 0;
  QLabel* lblText_;
  QGroupBox* gbOptions_;
  QGroupBox* rgScope_;
};

}  // namespace zd
