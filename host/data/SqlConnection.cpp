#include "host/data/SqlConnection.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <filesystem>
#include <thread>

#include "host/data/DataSet.h"

namespace zd {
namespace {

const QString kOwnConnectionPrefix = QStringLiteral("zd_connection_");

QString UniqueConnectionName() {
  static unsigned counter = 0;
  return kOwnConnectionPrefix + QString::number(++counter);
}

// A large ORDER BY is sorted in runs that helper threads can sort while the
// table is still being read; the report waits for the sort before its first
// row, and its own threads are idle meanwhile.
void AllowSortHelpers(QSqlDatabase& db) {
  const unsigned helpers = std::clamp(std::thread::hardware_concurrency(), 2u, 9u) - 1;
  QSqlQuery(db).exec(QStringLiteral("PRAGMA threads=%1").arg(helpers));
}

}  // namespace

bool IsSqliteDriver(const std::string& driverName) { return driverName.rfind("QSQLITE", 0) == 0; }

TSqlConnection::TSqlConnection(const std::string& driverName, const std::string& databaseName)
    : name_(UniqueConnectionName()) {
  const bool sqlite = IsSqliteDriver(driverName);
  if (sqlite) {
    if (databaseName.empty()) throw EDatabaseError("No database file given");
    std::error_code ec;
    if (databaseName != ":memory:" && !std::filesystem::is_regular_file(databaseName, ec))
      throw EDatabaseError("Database file '" + databaseName + "' does not exist");
  }
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QString::fromStdString(driverName), name_);
    if (!db.isValid()) {
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(name_);
      throw EDatabaseError("SQL driver '" + driverName + "' is not available");
    }
    db.setDatabaseName(QString::fromStdString(databaseName));
    if (sqlite) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (db.open()) {
      if (sqlite) AllowSortHelpers(db);
      return;
    }
    const std::string message = db.lastError().text().toStdString();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
    throw EDatabaseError("Cannot open database '" + databaseName + "': " + message);
  }
}

TSqlConnection::~TSqlConnection() {
  {
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    db.close();
  }
  QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase TSqlConnection::Database() const { return QSqlDatabase::database(name_, false); }

std::vector<std::string> ApplicationConnectionNames() {
  QStringList names = QSqlDatabase::connectionNames();
  names.sort(Qt::CaseInsensitive);
  std::vector<std::string> result;
  for (const QString& name : names)
    if (!name.startsWith(kOwnConnectionPrefix)) result.push_back(name.toStdString());
  return result;
}

QString QuotedTable(const QSqlDatabase& db, const std::string& tableName) {
  return db.driver()->escapeIdentifier(QString::fromStdString(tableName), QSqlDriver::TableName);
}

}  // namespace zd
