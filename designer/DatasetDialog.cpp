#include "designer/DatasetDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "designer/DialogButtons.h"
#include "designer/DesignerText.h"
#include "host/data/SqlConnection.h"
#include "print/Language.h"
#include "print/TextIds.h"

namespace zd {

namespace {

enum : int {
  kCaption = 1702, kDataSetName, kDataType, kTable, kQuery, kDataBaseName, kFilter, kTableProperties,
  kTableName, kIndex, kQueryProperties, kQueryBuilder, kNoIndex, kSqliteDatabase,
};

constexpr int kNoIndexPosition = 0;

QString qt(const std::string& text) { return QString::fromStdString(text); }

// Selects `value` in the list, adding it when the database no longer lists it
// so that editing a dataset never silently changes what it reads.
void selectOrAdd(QComboBox* list, const QString& value) {
  if (list->findText(value, Qt::MatchExactly) < 0) list->addItem(value);
  list->setCurrentText(value);
}

}  // namespace

int GetFieldCount(const TDataSet& dataset) { return dataset.FieldCount(); }

std::string GetFieldDescription(const TDataSet& dataset, int index) {
  const TField& field = const_cast<TDataSet&>(dataset).Fields(index);
  std::string description = field.DisplayName() + "  " + FieldTypeName(field.DataType());
  if (field.Size() != 0) description += " (" + std::to_string(field.Size()) + ")";
  return description;
}

QString TfrmEditDS::text(int id) const { return DesignerText(shift_, id); }

TfrmEditDS::TfrmEditDS(int languageShift, TComponent* owner, QWidget* parent)
    : QDialog(parent), shift_(languageShift), owner_(owner) {
  setWindowTitle(text(kCaption));
  edDSName = new QLineEdit(this);

  rgDSType = new QGroupBox(text(kDataType).trimmed(), this);
  rbTable = new QRadioButton(text(kTable), rgDSType);
  rbQuery = new QRadioButton(text(kQuery), rgDSType);
  rbTable->setChecked(true);
  auto* typeRow = new QHBoxLayout(rgDSType);
  typeRow->addWidget(rbTable);
  typeRow->addWidget(rbQuery);
  typeRow->addStretch();

  cbDBName = new QComboBox(this);
  cbDBName->setEditable(true);
  cbDBName->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& name : ApplicationConnectionNames()) cbDBName->addItem(qt(name));
  cbDBName->setCurrentIndex(-1);
  btnDBName = new QPushButton("...", this);
  btnDBName->setFixedWidth(btnDBName->fontMetrics().horizontalAdvance("...") + 16);
  auto* dbRow = new QHBoxLayout;
  dbRow->addWidget(cbDBName, 1);
  dbRow->addWidget(btnDBName);
  edFilter = new QLineEdit(this);

  gbTable = new QGroupBox(text(kTableProperties).trimmed(), this);
  cbTables = new QComboBox(gbTable);
  cbIndices = new QComboBox(gbTable);
  auto* tableForm = new QFormLayout(gbTable);
  tableForm->addRow(text(kTableName), cbTables);
  tableForm->addRow(text(kIndex), cbIndices);

  gbQuery = new QGroupBox(text(kQueryProperties).trimmed(), this);
  memoSQL = new QPlainTextEdit(gbQuery);
  btnQueryBuilder = new QPushButton(text(kQueryBuilder), gbQuery);
  auto* queryLayout = new QVBoxLayout(gbQuery);
  queryLayout->addWidget(memoSQL);
  auto* builderRow = new QHBoxLayout;
  builderRow->addStretch();
  builderRow->addWidget(btnQueryBuilder);
  queryLayout->addLayout(builderRow);

  lblError = new QLabel(this);
  lblError->setWordWrap(true);
  lblError->setStyleSheet("color: #b00020");
  lblError->hide();

  auto* form = new QFormLayout;
  form->addRow(text(kDataSetName), edDSName);
  form->addRow(rgDSType);
  form->addRow(text(kDataBaseName), dbRow);
  form->addRow(text(kFilter), edFilter);
  QDialogButtonBox* buttons = NewOkCancel(*this, text(txt::OK), text(txt::Cancel), &btnOK, &btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(gbTable);
  layout->addWidget(gbQuery, 1);
  layout->addStretch();  // takes the query's room in table mode
  layout->addWidget(lblError);
  layout->addWidget(buttons);

  connect(rbTable, &QRadioButton::toggled, this, [this] { showDataType(); });
  connect(cbDBName, &QComboBox::activated, this, [this] { databaseChanged(); });
  cbDBName->lineEdit()->installEventFilter(this);
  connect(cbDBName->lineEdit(), &QLineEdit::editingFinished, this, [this] {
    if (cbDBName->currentText().trimmed() != listedDatabase_) databaseChanged();
  });
  connect(btnDBName, &QPushButton::clicked, this, [this] { chooseDatabaseFile(); });
  connect(cbTables, &QComboBox::currentTextChanged, this, [this] { tableChanged(); });
  connect(btnQueryBuilder, &QPushButton::clicked, this, [this] {
    std::string sql = memoSQL->toPlainText().toStdString();
    queryBuilder_(sql);
    memoSQL->setPlainText(qt(sql));
  });
  showDataType();
  resize(440, 460);
}

void TfrmEditDS::SetQueryBuilder(std::function<void(std::string& sql)> builder) {
  queryBuilder_ = std::move(builder);
  showDataType();
}

void TfrmEditDS::showDataType() {
  const bool table = rbTable->isChecked();
  gbTable->setVisible(table);
  gbQuery->setVisible(!table);
  btnQueryBuilder->setVisible(!table && queryBuilder_ != nullptr);
}

void TfrmEditDS::SetDS(TDataSet* dataset) {
  auto* sql = dynamic_cast<TSqlDataSet*>(dataset);
  if (!sql) return;
  dataset_ = sql;
  scratch_.SetDriverName(sql->DriverName());
  edDSName->setText(qt(sql->Name()));
  cbDBName->setCurrentText(qt(sql->ConnectionName().empty() ? sql->DatabaseName() : sql->ConnectionName()));
  edFilter->setText(qt(sql->Filter()));
  if (!sql->SQL().empty()) {
    rbQuery->setChecked(true);
    memoSQL->setPlainText(qt(sql->SQL()));
  } else {
    rbTable->setChecked(true);
    databaseChanged();
    selectOrAdd(cbTables, qt(sql->TableName()));
    if (!sql->IndexName().empty()) selectOrAdd(cbIndices, qt(sql->IndexName()));
  }
  // An existing dataset keeps its kind.
  rgDSType->setEnabled(false);
}

void TfrmEditDS::useDatabase(TSqlDataSet& dataset) const {
  const std::string name = cbDBName->currentText().trimmed().toStdString();
  const std::vector<std::string> connections = ApplicationConnectionNames();
  const bool connection = std::find(connections.begin(), connections.end(), name) != connections.end();
  dataset.SetConnectionName(connection ? name : std::string());
  dataset.SetDatabaseName(connection ? std::string() : name);
  dataset.SetDriverName(scratch_.DriverName());
}

void TfrmEditDS::databaseChanged() {
  lblError->hide();
  listedDatabase_ = cbDBName->currentText().trimmed();
  scratch_.SetTableName({});
  useDatabase(scratch_);
  std::vector<std::string> tables;
  if (!listedDatabase_.isEmpty()) {
    try {
      tables = scratch_.DatabaseTables();
    } catch (const EDatabaseError& e) {
      lblError->setText(qt(e.what()));
      lblError->show();
    }
  }
  {
    const QSignalBlocker quiet(cbTables);
    cbTables->clear();
    for (const std::string& table : tables) cbTables->addItem(qt(table));
    cbTables->setCurrentIndex(tables.empty() ? -1 : 0);
  }
  tableChanged();
}

void TfrmEditDS::chooseDatabaseFile() {
  const QString start = QFileInfo(cbDBName->currentText().trimmed()).absolutePath();
  const QString path = QFileDialog::getOpenFileName(this, text(kSqliteDatabase), start,
                                                    "SQLite (*.db *.sqlite *.sqlite3);;* (*)");
  if (path.isEmpty()) return;
  cbDBName->setCurrentText(path);
  databaseChanged();
}

void TfrmEditDS::tableChanged() {
  const std::string table = cbTables->currentText().toStdString();
  cbIndices->clear();
  cbIndices->addItem(text(kNoIndex));
  scratch_.SetTableName(table);
  if (table.empty()) return;
  try {
    for (const std::string& index : scratch_.IndexNames()) cbIndices->addItem(qt(index));
  } catch (const EDatabaseError& e) {
    lblError->setText(qt(e.what()));
    lblError->show();
  }
}

bool TfrmEditDS::nameAcceptable() {
  const std::string name = edDSName->text().trimmed().toStdString();
  const TComponent* owner = dataset_ ? dataset_->Owner() : owner_;
  const TComponent* clash = owner && !name.empty() ? owner->FindComponent(name) : nullptr;
  QString error;
  if (name.empty())
    error = "The dataset needs a name.";
  else if (clash && clash != dataset_)
    error = qt("A component named " + name + " already exists.");
  lblError->setText(error);
  lblError->setVisible(!error.isEmpty());
  return error.isEmpty();
}

void TfrmEditDS::writeBack(TSqlDataSet& dataset) const {
  if (rbQuery->isChecked()) {
    dataset.SetSQL(memoSQL->toPlainText().toStdString());
  } else {
    dataset.SetSQL({});
    dataset.SetTableName(cbTables->currentText().toStdString());
    const bool noIndex = cbIndices->currentIndex() <= kNoIndexPosition;
    dataset.SetIndexName(noIndex ? std::string() : cbIndices->currentText().toStdString());
  }
  dataset.SetName(edDSName->text().trimmed().toStdString());
  useDatabase(dataset);
  const std::string filter = edFilter->text().trimmed().toStdString();
  dataset.SetFilter(filter);
  dataset.SetFiltered(!filter.empty());
}

// Enter in the database name lists its tables rather than closing the dialog.
bool TfrmEditDS::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cbDBName->lineEdit() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      databaseChanged();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmEditDS::accept() {
  if (!nameAcceptable()) return;
  if (dataset_)
    dataset_->Close();
  else
    dataset_ = new TSqlDataSet(owner_);
  writeBack(*dataset_);
  // A dataset that cannot open now (a server that is down) is still kept; it
  // opens when the report runs.
  try {
    dataset_->Open();
  } catch (const std::exception&) {
  }
  QDialog::accept();
}

}  // namespace zd
