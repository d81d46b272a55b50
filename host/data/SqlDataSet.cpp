#include "host/data/SqlDataSet.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>
#include <algorithm>
#include <future>
#include <optional>
#include <span>
#include <utility>

#include "host/core/TextUtil.h"
#include "host/core/WorkerThread.h"
#include "host/data/detail/QtValues.h"
#include "host/data/SqlConnection.h"
#include "host/data/detail/ValueConv.h"

namespace zd {
namespace {

// Rows read ahead at opening to learn the types of untyped columns.
constexpr int kTypeSampleRows = 64;
// Rows converted per fetch; amortises the call without holding up the first rows.
constexpr int kFetchBatch = 256;

bool IsSqlite(const QSqlDatabase& db) { return IsSqliteDriver(db.driverName().toStdString()); }

QString QuotedName(const QSqlDatabase& db, const std::string& name) {
  return db.driver()->escapeIdentifier(QString::fromStdString(name), QSqlDriver::FieldName);
}

std::vector<std::string> SortedTables(const QSqlDatabase& db) {
  QStringList names = db.tables(QSql::Tables) + db.tables(QSql::Views);
  names.sort(Qt::CaseInsensitive);
  std::vector<std::string> result;
  for (const QString& name : names) result.push_back(name.toStdString());
  return result;
}

// The names of a SQLite table's indexes, in the database's order; none, with
// the reason in error, when SQLite cannot list them.
std::vector<std::string> TableIndexes(const QSqlDatabase& db, const std::string& table, QString* error = nullptr) {
  QSqlQuery list(db);
  std::vector<std::string> names;
  if (!list.exec("PRAGMA index_list(" + QuotedTable(db, table) + ")")) {
    if (error) *error = list.lastError().text();
    return names;
  }
  while (list.next()) names.push_back(list.value(1).toString().toStdString());
  return names;
}

std::string WithoutTrailingSemicolons(std::string sql) {
  while (!sql.empty() && (sql.back() == ';' || static_cast<unsigned char>(sql.back()) <= ' '))
    sql.pop_back();
  return sql;
}

// Rows converted to the fields' types, one after another.
struct TBatch {
  std::vector<TVariant> cells;
  bool last = false;   // the statement has no more rows
  std::string error;   // why it stopped early
};

// `cells` is a spent batch's storage to reuse.
TBatch ReadBatch(QSqlQuery& query, const std::vector<TFieldType>& types, std::vector<TVariant> cells = {}) {
  TBatch batch;
  cells.clear();
  batch.cells = std::move(cells);
  batch.cells.reserve(size_t(kFetchBatch) * types.size());
  int rows = 0;
  for (; rows < kFetchBatch && query.next(); ++rows)
    for (size_t c = 0; c < types.size(); ++c) batch.cells.push_back(FitToType(VariantFromQt(query.value(int(c))), types[c]));
  if (rows < kFetchBatch) {
    batch.last = true;
    if (query.lastError().isValid()) batch.error = query.lastError().text().toStdString();
    query.finish();
  }
  return batch;
}

// The first rows of a statement, which tell the types of untyped columns.
struct TFirstRows {
  QSqlRecord record;
  std::vector<std::vector<QVariant>> rows;
  bool last = false;
};

}  // namespace

// A cursor on a connection of its own reads on a thread of its own, a batch
// ahead of the rows asked for, so that the driver's work overlaps the
// report's; the connection and its query then live on that thread alone.
struct TSqlDataSet::TCursor {
  std::unique_ptr<TSqlConnection> connection;  // declared first: outlives the query
  std::optional<QSqlQuery> ownQuery;
  QSqlQuery* query = nullptr;  // ownQuery, or the application's prepared query
  std::vector<TFieldType> types;
  bool exhausted = false;
  std::string failure;  // the statement's error, once the rows before it are taken
  std::unique_ptr<TWorkerThread> reader;
  std::future<TBatch> nextBatch;
  // The batch last handed out, given back to the reader to be emptied and
  // refilled there: values freed on the thread that made them keep the
  // allocator from passing memory between threads.
  std::vector<TVariant> spent;

  explicit TCursor(bool ownThread) : reader(ownThread ? std::make_unique<TWorkerThread>() : nullptr) {}
  ~TCursor() {
    if (!reader) return;
    reader->Run([this] {
      ownQuery.reset();
      connection.reset();
    });
    reader.reset();  // waits for that, and for a batch still being read
  }
  // Runs `work` where the query lives and waits for its result.
  template <typename Work>
  auto OnQueryThread(Work work) {
    return reader ? reader->Run(std::move(work)).get() : work();
  }
  void ReadAhead() {
    if (reader && !exhausted)
      nextBatch = reader->Run([q = query, t = types, cells = std::move(spent)]() mutable {
        return ReadBatch(*q, t, std::move(cells));
      });
  }
  TBatch NextBatch() { return reader ? nextBatch.get() : ReadBatch(*query, types); }
};

TSqlDataSet::TSqlDataSet(TComponent* owner) : TDataSet(owner) {}

TSqlDataSet::~TSqlDataSet() { Close(); }

const TClassProperties& TSqlDataSet::ClassProperties() {
  using D = TSqlDataSet;
  using S = const std::string&;
  static const TClassProperties props =
      TPropertiesOf<D>("TSqlDataSet", &TDataSet::ClassProperties())
          .String("ConnectionName", &D::ConnectionName, [](D& d, S v) { d.SetConnectionName(v); })
          .String("DriverName", &D::DriverName, [](D& d, S v) { d.SetDriverName(v); }, "QSQLITE")
          .String("DatabaseName", &D::DatabaseName, [](D& d, S v) { d.SetDatabaseName(v); })
          .String("TableName", &D::TableName, [](D& d, S v) { d.SetTableName(v); })
          .String("IndexName", &D::IndexName, [](D& d, S v) { d.SetIndexName(v); })
          .String("SQL", &D::SQL, [](D& d, S v) { d.SetSQL(v); })
          .String("Filter", &D::Filter, [](D& d, S v) { d.SetFilter(v); })
          .Boolean("Filtered", &D::Filtered, [](D& d, bool v) { d.SetFiltered(v); }, false)
          .Build();
  return props;
}

void TSqlDataSet::SetDatabaseName(const std::string& name) {
  CheckInactive("change the database name");
  databaseName_ = name;
}

std::string TSqlDataSet::DatabaseFile() const {
  if (!IsSqliteDriver(driverName_) || !connectionName_.empty() || databaseName_ == ":memory:") return {};
  return databaseName_;
}

void TSqlDataSet::SetDriverName(const std::string& name) {
  CheckInactive("change the driver name");
  driverName_ = name;
}

void TSqlDataSet::SetSQL(const std::string& sql) {
  CheckInactive("change the SQL text");
  sql_ = sql;
}

void TSqlDataSet::SetTableName(const std::string& name) {
  CheckInactive("change the table name");
  tableName_ = name;
}

void TSqlDataSet::SetIndexName(const std::string& name) {
  CheckInactive("change the index");
  indexName_ = name;
}

void TSqlDataSet::SetFilter(const std::string& filter) {
  CheckInactive("change the filter");
  filter_ = filter;
}

void TSqlDataSet::SetFiltered(bool filtered) {
  CheckInactive("change filtering");
  filtered_ = filtered;
}

void TSqlDataSet::SetConnectionName(const std::string& name) {
  CheckInactive("change the connection");
  connectionName_ = name;
}

void TSqlDataSet::SetQuery(QSqlQuery query) {
  CheckInactive("change the query");
  preparedQuery_.emplace(std::move(query));
}

std::string TSqlDataSet::StatementText(const QSqlDatabase& db) const {
  std::string statement;
  if (!Trim(sql_).empty())
    statement = sql_;
  else if (!Trim(tableName_).empty())
    statement = "SELECT * FROM " + QuotedTable(db, Trim(tableName_)).toStdString();
  else
    Fail("Neither SQL text nor a table name is set");
  if (filtered_ && !Trim(filter_).empty())
    statement = "SELECT * FROM (" + WithoutTrailingSemicolons(statement) + ") zd_filtered WHERE " +
                filter_;
  // Ordered last: a filtering subquery need not keep its rows' order.
  if (Trim(sql_).empty()) statement += OrderByIndex(db);
  return statement;
}

std::string TSqlDataSet::OrderByIndex(const QSqlDatabase& db) const {
  if (Trim(indexName_).empty()) return {};
  if (!IsSqlite(db)) Fail("Index names are only known for SQLite databases");
  const std::vector<std::string> indexes = TableIndexes(db, Trim(tableName_));
  if (std::find(indexes.begin(), indexes.end(), indexName_) == indexes.end())
    Fail("Table '" + tableName_ + "' has no index named '" + indexName_ + "'");
  // index_xinfo also lists the rowid after the key columns (key = 0) and tells descending ones.
  QSqlQuery info(db);
  if (!info.exec("PRAGMA index_xinfo(" + QuotedName(db, indexName_) + ")"))
    Fail("SQL error: " + info.lastError().text().toStdString());
  QStringList columns;
  while (info.next()) {
    if (info.value(5).toInt() == 0) continue;
    // An index on an expression has no column name; its rows keep the natural order.
    if (info.value(2).isNull()) return {};
    columns << QuotedName(db, info.value(2).toString().toStdString()) +
                   (info.value(3).toInt() ? QStringLiteral(" DESC") : QString());
  }
  return columns.isEmpty() ? std::string() : " ORDER BY " + columns.join(", ").toStdString();
}

QSqlDatabase TSqlDataSet::Database(std::unique_ptr<TSqlConnection>& own) const {
  if (!connectionName_.empty()) return ApplicationConnection();
  try {
    own = std::make_unique<TSqlConnection>(driverName_, databaseName_);
  } catch (const EDatabaseError& e) {
    Fail(e.what());
  }
  return own->Database();
}

QSqlDatabase TSqlDataSet::ApplicationConnection() const {
  const QSqlDatabase db = QSqlDatabase::database(QString::fromStdString(connectionName_), false);
  if (!db.isValid()) Fail("No Qt SQL connection is named '" + connectionName_ + "'");
  if (!db.isOpen()) Fail("The Qt SQL connection '" + connectionName_ + "' is not open");
  return db;
}

QSqlQuery& TSqlDataSet::RunQuery(TCursor& cursor) {
  if (preparedQuery_) {
    if (filtered_ && !Trim(filter_).empty()) Fail("A filter cannot apply to a prepared query");
    cursor.query = &*preparedQuery_;
    cursor.query->setForwardOnly(true);
    if (!cursor.query->exec()) Fail("SQL error: " + cursor.query->lastError().text().toStdString());
    return *cursor.query;
  }
  const QSqlDatabase db = Database(cursor.connection);
  const std::string statement = StatementText(db);
  cursor.query = &cursor.ownQuery.emplace(db);
  cursor.query->setForwardOnly(true);
  if (!cursor.query->exec(QString::fromStdString(statement)))
    Fail("SQL error: " + cursor.query->lastError().text().toStdString());
  return *cursor.query;
}

std::unique_ptr<TSqlDataSet::TCursor> TSqlDataSet::NewCursor() const {
  return std::make_unique<TCursor>(!preparedQuery_ && connectionName_.empty());
}

void TSqlDataSet::DoOpen() {
  auto cursor = NewCursor();
  TFirstRows first = cursor->OnQueryThread([&] {
    QSqlQuery& query = RunQuery(*cursor);
    TFirstRows read{query.record(), {}, false};
    const int columns = read.record.count();
    if (columns == 0) Fail("The SQL statement returns no columns");
    while (int(read.rows.size()) < kTypeSampleRows && query.next()) {
      auto& row = read.rows.emplace_back(size_t(columns));
      for (int c = 0; c < columns; ++c) row[size_t(c)] = query.value(c);
    }
    if (int(read.rows.size()) < kTypeSampleRows) {
      if (query.lastError().isValid()) Fail("SQL error: " + query.lastError().text().toStdString());
      read.last = true;
      query.finish();
    }
    return read;
  });

  const int columns = first.record.count();
  std::vector<TFieldDef> defs;
  for (int c = 0; c < columns; ++c) {
    const QSqlField field = first.record.field(c);
    TFieldType type = FieldTypeOfMeta(field.metaType().id());
    if (type == TFieldType::ftUnknown) type = InferFieldType(first.rows, c);
    const int size = IsTextFieldType(type) && field.length() > 0 ? field.length() : 0;
    defs.push_back({field.name().toStdString(), type, size});
    cursor->types.push_back(type);
  }
  SetFieldDefs(defs);
  std::vector<TVariant> row(static_cast<size_t>(columns));
  for (const auto& values : first.rows) {
    for (int c = 0; c < columns; ++c)
      row[size_t(c)] = FitToType(VariantFromQt(values[size_t(c)]), cursor->types[size_t(c)]);
    Rows().AppendRow(row);
  }
  cursor->exhausted = first.last;
  cursor->ReadAhead();
  cursor_ = std::move(cursor);
}

bool TSqlDataSet::FetchMoreRows() {
  if (!cursor_) return false;
  if (!cursor_->failure.empty()) Fail("SQL error: " + std::exchange(cursor_->failure, {}));
  if (cursor_->exhausted) return false;
  TBatch batch = cursor_->NextBatch();
  cursor_->exhausted = batch.last;
  cursor_->ReadAhead();
  const size_t columns = cursor_->types.size();
  for (size_t at = 0; columns && at < batch.cells.size(); at += columns)
    Rows().AppendRow(std::span(batch.cells).subspan(at, columns));
  const bool fetched = !batch.cells.empty();
  cursor_->spent = std::move(batch.cells);
  // The rows read before a failure come first; the next fetch reports it.
  cursor_->failure = std::move(batch.error);
  if (!fetched && !cursor_->failure.empty()) Fail("SQL error: " + std::exchange(cursor_->failure, {}));
  return fetched;
}

// Reading again runs the statement again, so only where that cannot change
// anything: a table, or any statement over the read-only connection this
// dataset opened itself. An application's query keeps every row it gave.
bool TSqlDataSet::CanFetchAgain() const {
  if (!cursor_ || preparedQuery_) return false;
  return Trim(sql_).empty() || (cursor_->connection && IsSqliteDriver(driverName_));
}

void TSqlDataSet::FetchAgain() {
  std::vector<TFieldType> types = cursor_->types;
  cursor_.reset();  // the old statement and connection go first
  Rows().Reset(FieldCount());
  auto cursor = NewCursor();
  cursor->OnQueryThread([&] { return &RunQuery(*cursor); });
  cursor->types = std::move(types);
  cursor->ReadAhead();
  cursor_ = std::move(cursor);
}

void TSqlDataSet::DoClose() {
  cursor_.reset();
  Rows().Reset(FieldCount());
}

std::vector<std::string> TSqlDataSet::TableNames(const std::string& databaseName,
                                                 const std::string& driverName) {
  TSqlConnection connection(driverName, databaseName);
  return SortedTables(connection.Database());
}

std::vector<std::string> TSqlDataSet::DatabaseTables() const {
  std::unique_ptr<TSqlConnection> own;
  return SortedTables(Database(own));
}

std::vector<std::string> TSqlDataSet::IndexNames() const {
  std::unique_ptr<TSqlConnection> own;
  const QSqlDatabase db = Database(own);
  if (!IsSqlite(db) || Trim(tableName_).empty()) return {};
  QString error;
  std::vector<std::string> result = TableIndexes(db, Trim(tableName_), &error);
  if (!error.isEmpty()) Fail("SQL error: " + error.toStdString());
  std::sort(result.begin(), result.end());
  return result;
}

std::vector<std::string> TSqlDataSet::FieldNames(const std::string& databaseName,
                                                 const std::string& tableName,
                                                 const std::string& driverName) {
  TSqlConnection connection(driverName, databaseName);
  const QSqlRecord record = connection.Database().record(QString::fromStdString(tableName));
  if (record.isEmpty())
    throw EDatabaseError("Table '" + tableName + "' not found in database '" + databaseName + "'");
  std::vector<std::string> result;
  for (int i = 0; i < record.count(); ++i) result.push_back(record.fieldName(i).toStdString());
  return result;
}

}  // namespace zd
