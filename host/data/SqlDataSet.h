#pragma once
// A read-only dataset over the result of an SQL query through any Qt SQL
// driver. Rows are fetched as the cursor first reaches them (a batch ahead,
// on a thread of its own when the dataset opened its connection itself) and
// kept, so Prior and bookmarks cost nothing more than Next.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/data/DataSet.h"

namespace zd {

class TSqlConnection;

/// The rows of an SQL query through any Qt SQL driver, read-only.
class TSqlDataSet : public TDataSet {
 public:
  explicit TSqlDataSet(TComponent* owner = nullptr);
  ~TSqlDataSet() override;
  std::string ClassName() const override { return "TSqlDataSet"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  // What a template stores; a prepared query is the application's alone.
  static const TClassProperties& ClassProperties();

  /// For SQLite the path of an existing database file.
  const std::string& DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const std::string& name);
  /// The file the rows come from: DatabaseName for SQLite without an
  /// application's connection; empty for a server, an application's
  /// connection or an in-memory database.
  std::string DatabaseFile() const;
  const std::string& DriverName() const { return driverName_; }
  void SetDriverName(const std::string& name);
  /// A Qt SQL connection the application opened (QSqlDatabase::addDatabase,
  /// with its own driver and credentials), used instead of DatabaseName and
  /// DriverName and left open.
  const std::string& ConnectionName() const { return connectionName_; }
  void SetConnectionName(const std::string& name);
  /// A query the application prepared, with its values bound; it is executed
  /// at every opening and replaces SQL, TableName and the connection.
  void SetQuery(QSqlQuery query);
  /// The query; when empty, every row of TableName is read.
  const std::string& SQL() const { return sql_; }
  void SetSQL(const std::string& sql);
  const std::string& TableName() const { return tableName_; }
  void SetTableName(const std::string& name);
  /// A SQLite index of TableName whose columns order the rows; empty keeps the
  /// table's natural order. Only used when the rows come from TableName.
  const std::string& IndexName() const { return indexName_; }
  void SetIndexName(const std::string& name);
  /// An SQL condition on the result's columns, applied when Filtered is set.
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& filter);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool filtered);

  /// For the dataset dialog: tables and views of a database, columns of a table.
  static std::vector<std::string> TableNames(const std::string& databaseName,
                                             const std::string& driverName = "QSQLITE");
  static std::vector<std::string> FieldNames(const std::string& databaseName,
                                             const std::string& tableName,
                                             const std::string& driverName = "QSQLITE");
  /// The tables and views of this dataset's database (connection or file).
  std::vector<std::string> DatabaseTables() const;
  /// The index names of TableName; empty for drivers other than SQLite.
  std::vector<std::string> IndexNames() const;

 protected:
  void DoOpen() override;
  void DoClose() override;
  bool FetchMoreRows() override;
  bool CanFetchAgain() const override;
  void FetchAgain() override;

 private:
  struct TCursor;
  std::unique_ptr<TCursor> NewCursor() const;
  QSqlDatabase ApplicationConnection() const;
  // The application's connection, else one opened into `own` for the caller's use.
  QSqlDatabase Database(std::unique_ptr<TSqlConnection>& own) const;
  std::string OrderByIndex(const QSqlDatabase& db) const;
  QSqlQuery& RunQuery(TCursor& cursor);
  std::string StatementText(const QSqlDatabase& db) const;

  std::string databaseName_;
  std::string driverName_ = "QSQLITE";
  std::string connectionName_;
  std::optional<QSqlQuery> preparedQuery_;
  std::string sql_;
  std::string tableName_;
  std::string indexName_;
  std::string filter_;
  bool filtered_ = false;
  std::unique_ptr<TCursor> cursor_;
};

}  // namespace zd
