#pragma once
// The dataset dialog of the report explorer: creates or edits one SQL
// dataset, either every row of a table (optionally ordered by one of its
// indexes) or the result of a query, with an optional filter. The database
// is a Qt SQL connection the application made or a SQLite file.
#include <QDialog>
#include <functional>
#include <string>

#include "host/data/SqlDataSet.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace zd {

class TComponent;

int GetFieldCount(const TDataSet& dataset);
// "Name  String (20)": a field's display name, two spaces, its type and size.
std::string GetFieldDescription(const TDataSet& dataset, int index);

class TfrmEditDS : public QDialog {
 public:
  // New datasets are owned by `owner`.
  TfrmEditDS(int languageShift, TComponent* owner, QWidget* parent = nullptr);

  // The dataset to edit (only SQL datasets are taken); after OK the one
  // created or edited.
  void SetDS(TDataSet* dataset);
  TSqlDataSet* DS() const { return dataset_; }
  // Shows "Query Builder" in query mode; the builder rewrites the SQL text.
  void SetQueryBuilder(std::function<void(std::string& sql)> builder);

  QLineEdit* edDSName;
  QGroupBox* rgDSType;
  QRadioButton *rbTable, *rbQuery;
  QComboBox* cbDBName;
  QPushButton* btnDBName;
  QLineEdit* edFilter;
  QGroupBox *gbTable, *gbQuery;
  QComboBox *cbTables, *cbIndices;
  QPlainTextEdit* memoSQL;
  QPushButton *btnQueryBuilder, *btnOK, *btnCancel;
  QLabel* lblError;  // why the tables or indexes could not be listed, or OK was refused

 protected:
  void accept() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showDataType();
  void databaseChanged();
  void chooseDatabaseFile();
  void tableChanged();
  void useDatabase(TSqlDataSet& dataset) const;
  bool nameAcceptable();
  void writeBack(TSqlDataSet& dataset) const;
  QString text(int id) const;

  int shift_;
  TComponent* owner_;
  TSqlDataSet* dataset_ = nullptr;
  QString listedDatabase_;  // whose tables cbTables shows
  TSqlDataSet scratch_;  // lists the index names of the chosen table
  std::function<void(std::string& sql)> queryBuilder_;
};

}  // namespace zd
