#pragma once
// One uniquely named Qt SQL connection, removed again when this goes away.
#include <QSqlDatabase>
#include <QString>
#include <string>
#include <vector>

namespace zd {

class TSqlConnection {
 public:
  // Opens the database or throws EDatabaseError. A SQLite database must
  // already exist: it is opened read-only, so a mistyped path never leaves an
  // empty file behind.
  TSqlConnection(const std::string& driverName, const std::string& databaseName);
  ~TSqlConnection();
  TSqlConnection(const TSqlConnection&) = delete;
  TSqlConnection& operator=(const TSqlConnection&) = delete;

  QSqlDatabase Database() const;

 private:
  QString name_;
};

// Whether the Qt SQL driver is SQLite's, whose database is a file.
bool IsSqliteDriver(const std::string& driverName);

// The Qt SQL connections the application made, without the ones opened here.
std::vector<std::string> ApplicationConnectionNames();

// The table name quoted for the connection's SQL dialect.
QString QuotedTable(const QSqlDatabase& db, const std::string& tableName);

}  // namespace zd
