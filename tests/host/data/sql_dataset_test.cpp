// SQL datasets over SQLite files: typing of columns, lazy fetching with
// Prior and bookmarks, errors, and the demo database.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <chrono>
#include <filesystem>
#include <set>

#include "host/data/SqlDataSet.h"
#include "tests/TempPath.h"

using namespace zd;
namespace fs = std::filesystem;

namespace {

// Qt loads SQL driver plugins only with an application object.
void EnsureCoreApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "test_host_data_sql";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

// A scratch SQLite file filled through a connection of its own.
class TScratchDatabase {
 public:
  explicit TScratchDatabase(const std::string& stem)
      : path_(zd::test::UniqueTempPath(stem + ".sqlite")) {
    EnsureCoreApp();
    fs::remove(path_);
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", kConnection);
    db.setDatabaseName(QString::fromStdString(path_.string()));
    if (!db.open()) throw std::runtime_error("cannot create " + path_.string());
  }
  ~TScratchDatabase() {
    QSqlDatabase::database(kConnection, false).close();
    QSqlDatabase::removeDatabase(kConnection);
    fs::remove(path_);
  }
  void Exec(const QString& sql) {
    QSqlQuery q(QSqlDatabase::database(kConnection));
    if (!q.exec(sql)) throw std::runtime_error(q.lastError().text().toStdString());
  }
  std::string Path() const { return path_.string(); }

 private:
  static constexpr const char* kConnection = "scratch_writer";
  fs::path path_;
};

std::string DemoDb() { return std::string(ZD_SOURCE_DIR) + "/examples/demo.db"; }

std::string OpenError(TSqlDataSet& ds) {
  try {
    ds.Open();
  } catch (const EDatabaseError& e) {
    EXPECT_FALSE(ds.Active());
    return e.what();
  }
  return "(opened)";
}

}  // namespace

TEST(SqlDataSet, TypesColumnsFromDeclarationsAndValues) {
  TScratchDatabase db("zd_sql_types");
  db.Exec("CREATE TABLE t (n INTEGER, big BIGINT, r REAL, d TEXT, stamp TEXT, s VARCHAR(10), "
          "b BLOB, ok BOOLEAN)");
  db.Exec("INSERT INTO t VALUES (1, 5000000000, 2.5, '2024-01-01', '2024-01-01 06:00:00', 'abc', "
          "x'00ff10', 1)");
  db.Exec("INSERT INTO t VALUES (NULL, -1, 3, '2000-01-01', '2000-01-01', NULL, NULL, 0)");

  TSqlDataSet ds;
  ds.SetDatabaseName(db.Path());
  ds.SetTableName("t");
  ds.Open();
  EXPECT_EQ(ds.FieldByName("n").DataType(), TFieldType::ftInteger);
  EXPECT_EQ(ds.FieldByName("big").DataType(), TFieldType::ftLargeint);
  EXPECT_EQ(ds.FieldByName("r").DataType(), TFieldType::ftFloat);
  EXPECT_EQ(ds.FieldByName("d").DataType(), TFieldType::ftDate);
  EXPECT_EQ(ds.FieldByName("stamp").DataType(), TFieldType::ftDateTime);
  EXPECT_EQ(ds.FieldByName("s").DataType(), TFieldType::ftString);
  EXPECT_EQ(ds.FieldByName("b").DataType(), TFieldType::ftBlob);
  EXPECT_EQ(ds.FieldByName("ok").DataType(), TFieldType::ftBoolean);
  EXPECT_TRUE(ds.FieldByName("b").IsBlob());

  EXPECT_EQ(ds.FieldByName("big").Value(), TVariant(int64_t(5000000000)));
  EXPECT_EQ(ds.FieldByName("d").Value(), TVariant(TDateTime{45292}));
  EXPECT_EQ(ds.FieldByName("stamp").Value(), TVariant(TDateTime{45292.25}));
  EXPECT_EQ(ds.FieldByName("b").AsBytes(), (std::vector<uint8_t>{0x00, 0xff, 0x10}));
  EXPECT_EQ(ds.FieldByName("ok").Value(), TVariant(true));
  ds.Next();
  EXPECT_TRUE(ds.FieldByName("n").IsNull());
  EXPECT_EQ(ds.FieldByName("r").Value(), TVariant(3.0));  // REAL affinity, even when written as 3
  EXPECT_TRUE(ds.FieldByName("b").IsNull());
  EXPECT_EQ(ds.FieldByName("ok").Value(), TVariant(false));
  ds.Next();
  EXPECT_TRUE(ds.Eof());
}

TEST(SqlDataSet, ManyRowsWalkQuicklyBothWaysAndKeepBookmarks) {
  TScratchDatabase db("zd_sql_many");
  db.Exec("CREATE TABLE big (id INTEGER PRIMARY KEY, name TEXT, amount REAL)");
  db.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
          "INSERT INTO big SELECT i, 'row ' || i, i * 0.5 FROM n");

  TSqlDataSet ds;
  ds.SetDatabaseName(db.Path());
  ds.SetSQL("SELECT id, name, amount FROM big ORDER BY id");
  const auto start = std::chrono::steady_clock::now();
  ds.Open();
  TField& id = ds.FieldByName("id");
  TField& amount = ds.FieldByName("amount");
  int64_t rows = 0, idSum = 0;
  double amountSum = 0;
  TBookmark middle;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    ++rows;
    idSum += id.AsInteger();
    amountSum += amount.AsFloat();
    if (rows == 50000) middle = ds.GetBookmark();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(rows, 100000);
  EXPECT_EQ(idSum, int64_t(100000) * 100001 / 2);
  EXPECT_DOUBLE_EQ(amountSum, idSum * 0.5);
  EXPECT_LT(seconds, 5.0);

  ds.Prior();
  EXPECT_EQ(id.AsInteger(), 99999);
  ds.GotoBookmark(middle);
  EXPECT_EQ(id.AsInteger(), 50000);
  EXPECT_EQ(ds.FieldByName("name").AsString(), "row 50000");
  EXPECT_EQ(ds.RecordCount(), 100000);
}

// A long walk holds a window of rows: rows far behind are read again when
// the cursor goes back to them (so an edit made meanwhile shows), held rows
// and an application's query are never read again.
TEST(SqlDataSet, RowsFarBehindAreReadAgainOnlyWhenVisitedAndNotHeld) {
  TScratchDatabase db("zd_sql_window");
  // Rows of 200 bytes and more, so that the walk spans several blocks of memory.
  db.Exec("CREATE TABLE t (id INTEGER, name TEXT, padding TEXT)");
  db.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
          "INSERT INTO t SELECT i, 'old ' || i, hex(zeroblob(100)) FROM n");
  const auto walkToTheEnd = [](TDataSet& ds) {
    while (!ds.Eof()) ds.Next();
  };

  TSqlDataSet own;
  own.SetDatabaseName(db.Path());
  own.SetSQL("SELECT * FROM t ORDER BY id");
  own.Open();
  TField& name = own.FieldByName("name");
  const TBookmark first = own.GetBookmark();
  while (own.FieldByName("id").AsInteger() < 10000) own.Next();
  own.HoldRows();
  const TBookmark held = own.GetBookmark();
  walkToTheEnd(own);
  db.Exec("UPDATE t SET name = 'new ' || id");
  own.GotoBookmark(held);
  EXPECT_EQ(name.AsString(), "old 10000");
  own.Prior();
  EXPECT_EQ(name.AsString(), "old 9999");
  own.ReleaseRows();
  own.GotoBookmark(first);
  EXPECT_EQ(name.AsString(), "new 1");
  own.Next();
  EXPECT_EQ(name.AsString(), "new 2");
  walkToTheEnd(own);
  EXPECT_EQ(name.AsString(), "new 20000");
  EXPECT_EQ(own.RecordCount(), 20000);
  own.First();
  EXPECT_EQ(name.AsString(), "new 1");
  own.Close();  // its reading again keeps the file locked

  TSqlDataSet application;
  application.SetConnectionName("scratch_writer");
  application.SetSQL("SELECT id, name FROM t ORDER BY id");
  application.Open();
  const TBookmark start = application.GetBookmark();
  walkToTheEnd(application);
  db.Exec("UPDATE t SET name = 'newer ' || id");
  application.GotoBookmark(start);
  EXPECT_EQ(application.FieldByName("name").AsString(), "new 1");
}

TEST(SqlDataSet, LastAndRecordCountFetchTheRestLazily) {
  TScratchDatabase db("zd_sql_lazy");
  db.Exec("CREATE TABLE t (i INTEGER)");
  db.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
          "INSERT INTO t SELECT i FROM n");
  TSqlDataSet ds;
  ds.SetDatabaseName(db.Path());
  ds.SetSQL("SELECT i FROM t ORDER BY i");
  ds.Open();
  ds.Last();
  EXPECT_EQ(ds.FieldByName("i").AsInteger(), 1000);
  EXPECT_EQ(ds.RecNo(), 1000);
  ds.First();
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(ds.FieldByName("i").AsInteger(), 1);
}

TEST(SqlDataSet, EmptyResultIsAtBothEnds) {
  EnsureCoreApp();
  TSqlDataSet ds;
  ds.SetDatabaseName(DemoDb());
  ds.SetSQL("SELECT * FROM customers WHERE id < 0");
  ds.Open();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Eof());
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(ds.FieldCount(), 4);
  EXPECT_TRUE(ds.FieldByName("name").IsNull());
}

TEST(SqlDataSet, MissingDatabasesAndSqlOrSetupErrorsCarryTheReason) {
  EnsureCoreApp();
  const fs::path missing = zd::test::UniqueTempPath("zd_no_such_dir") / "missing.db";
  const fs::path missingHere = zd::test::UniqueTempPath("zd_missing.db");
  fs::remove(missingHere);
  for (const fs::path& path : {missing, missingHere}) {
    TSqlDataSet ds;
    ds.SetDatabaseName(path.string());
    ds.SetTableName("customers");
    const std::string msg = OpenError(ds);
    EXPECT_NE(msg.find(path.string()), std::string::npos) << msg;
    EXPECT_NE(msg.find("does not exist"), std::string::npos) << msg;
    EXPECT_FALSE(fs::exists(path));
  }
  EXPECT_THROW(TSqlDataSet::TableNames(missingHere.string()), EDatabaseError);
  EXPECT_FALSE(fs::exists(missingHere));

  TSqlDataSet noName;
  noName.SetSQL("SELECT 1");
  EXPECT_NE(OpenError(noName).find("No database"), std::string::npos);
  TSqlDataSet ds;
  ds.SetName("Orders");
  ds.SetDatabaseName(DemoDb());
  ds.SetSQL("SELECT * FROM no_such_table");
  std::string msg = OpenError(ds);
  EXPECT_NE(msg.find("no such table"), std::string::npos) << msg;
  EXPECT_NE(msg.find("Orders"), std::string::npos) << msg;

  ds.SetSQL("");
  EXPECT_NE(OpenError(ds).find("Neither SQL"), std::string::npos);

  ds.SetDriverName("QNOSUCHDRIVER");
  ds.SetSQL("SELECT 1");
  EXPECT_NE(OpenError(ds).find("QNOSUCHDRIVER"), std::string::npos);

  ds.SetDriverName("QSQLITE");
  ds.SetSQL("DELETE FROM customers");  // opened read-only: the demo must stay intact
  EXPECT_NE(OpenError(ds).find("readonly"), std::string::npos);
  TSqlDataSet check;
  check.SetDatabaseName(DemoDb());
  check.SetTableName("customers");
  check.Open();
  EXPECT_FALSE(check.IsEmpty());

  // A statement that fails after many rows (read ahead on another thread)
  // fails the step that reaches the failure, with every row before it there.
  ds.SetSQL("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
            "SELECT CASE WHEN i < 3000 THEN i ELSE abs(-9223372036854775808) END AS v FROM n");
  ds.Open();
  int last = 0;
  try {
    for (; !ds.Eof(); ds.Next()) last = ds.FieldByName("v").AsInteger();
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("overflow"), std::string::npos) << e.what();
  }
  EXPECT_EQ(last, 2999);
  ds.Close();
}

TEST(SqlDataSet, ConnectionsAreOwnAndRemoved) {
  EnsureCoreApp();
  const auto before = QSqlDatabase::connectionNames().size();
  {
    TSqlDataSet a, b;
    for (TSqlDataSet* ds : {&a, &b}) {
      ds->SetDatabaseName(DemoDb());
      ds->SetTableName("products");
      ds->Open();
    }
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before + 2);
    a.Next();
    EXPECT_EQ(a.FieldByName("id").AsInteger(), 2);
    EXPECT_EQ(b.FieldByName("id").AsInteger(), 1);
  }
  EXPECT_EQ(QSqlDatabase::connectionNames().size(), before);
}

// Applications bring their own connection (any driver, credentials) or a
// prepared query with bound values; the dataset leaves the connection open.
TEST(SqlDataSet, ApplicationConnectionAndPreparedQuery) {
  TScratchDatabase db("app_connection");
  db.Exec("CREATE TABLE t (id INTEGER, name TEXT)");
  db.Exec("INSERT INTO t VALUES (1, 'one'), (2, 'two'), (3, 'three')");
  const QSqlDatabase connection = QSqlDatabase::database("scratch_writer");

  TSqlDataSet byName;
  byName.SetConnectionName("scratch_writer");
  byName.SetTableName("t");
  byName.Open();
  EXPECT_EQ(byName.RecordCount(), 3);
  byName.Close();
  EXPECT_TRUE(connection.isOpen());

  QSqlQuery query(connection);
  query.prepare("SELECT name FROM t WHERE id >= ? ORDER BY id");
  query.addBindValue(2);
  TSqlDataSet prepared;
  prepared.SetQuery(std::move(query));
  prepared.Open();
  EXPECT_EQ(prepared.FieldByName("name").AsString(), "two");
  EXPECT_EQ(prepared.RecordCount(), 2);
  prepared.Close();
  prepared.Open();  // executed again, not exhausted
  EXPECT_EQ(prepared.RecordCount(), 2);
  prepared.Close();
  prepared.SetFilter("name = 'two'");
  prepared.SetFiltered(true);
  EXPECT_NE(OpenError(prepared).find("prepared query"), std::string::npos);

  TSqlDataSet missing;
  missing.SetConnectionName("no_such_connection");
  missing.SetSQL("SELECT 1");
  EXPECT_NE(OpenError(missing).find("no_such_connection"), std::string::npos);
}

TEST(DemoDatabase, OrderLinesGroupByCountryAndCity) {
  EnsureCoreApp();
  TSqlDataSet lines;
  lines.SetDatabaseName(DemoDb());
  lines.SetSQL("SELECT * FROM order_lines ORDER BY country, city, order_date");
  lines.Open();
  for (const char* name : {"customer", "country", "city", "order_date", "product", "category",
                           "quantity", "unit_price", "amount"})
    EXPECT_NE(lines.FindField(name), nullptr) << name;
  EXPECT_EQ(lines.FieldByName("order_date").DataType(), TFieldType::ftDate);
  EXPECT_EQ(lines.FieldByName("quantity").DataType(), TFieldType::ftInteger);

  int rows = 0;
  std::set<std::string> countries, cities;
  std::string lastKey;
  for (lines.First(); !lines.Eof(); lines.Next()) {
    ++rows;
    const std::string key = lines.FieldByName("country").AsString() + "/" +
                            lines.FieldByName("city").AsString();
    EXPECT_LE(lastKey, key);  // grouped as ordered
    lastKey = key;
    countries.insert(lines.FieldByName("country").AsString());
    cities.insert(key);
    const double gross = lines.FieldByName("quantity").AsFloat() *
                         lines.FieldByName("unit_price").AsFloat();
    EXPECT_LE(lines.FieldByName("amount").AsFloat(), gross + 0.005);
    EXPECT_GE(lines.FieldByName("amount").AsFloat(), gross * 0.9 - 0.005);
  }
  EXPECT_GE(rows, 200);
  EXPECT_LE(rows, 1000);
  EXPECT_GE(countries.size(), 4u);
  EXPECT_GT(cities.size(), countries.size());
  EXPECT_LT(fs::file_size(DemoDb()), 200u * 1024);
}

TEST(DemoDatabase, DialogHelpersListTablesAndFields) {
  EnsureCoreApp();
  const auto tables = TSqlDataSet::TableNames(DemoDb());
  for (const char* t : {"customers", "products", "orders", "order_items", "order_lines"})
    EXPECT_NE(std::find(tables.begin(), tables.end(), t), tables.end()) << t;
  EXPECT_EQ(TSqlDataSet::FieldNames(DemoDb(), "customers"),
            (std::vector<std::string>{"id", "name", "city", "country"}));
  EXPECT_THROW(TSqlDataSet::FieldNames(DemoDb(), "nothing"), EDatabaseError);
}

TEST(DemoDatabase, FilterAppliesOnlyWhenFiltered) {
  EnsureCoreApp();
  TSqlDataSet ds;
  ds.SetDatabaseName(DemoDb());
  ds.SetTableName("customers");
  ds.SetFilter("country = 'Germany'");
  ds.Open();
  const int all = ds.RecordCount();
  ds.Close();
  ds.SetFiltered(true);
  ds.Open();
  const int german = ds.RecordCount();
  EXPECT_GT(german, 0);
  EXPECT_LT(german, all);
  for (ds.First(); !ds.Eof(); ds.Next()) EXPECT_EQ(ds.FieldByName("country").AsString(), "Germany");
}

namespace {

std::vector<std::string> Column(TSqlDataSet& ds, const std::string& field) {
  std::vector<std::string> values;
  ds.Open();
  for (ds.First(); !ds.Eof(); ds.Next()) values.push_back(ds.FieldByName(field).AsString());
  ds.Close();
  return values;
}

}  // namespace

TEST(SqlDataSet, IndexOrdersTableRowsAndCombinesWithTheFilter) {
  TScratchDatabase db("zd_sql_index");
  db.Exec("CREATE TABLE people (id INTEGER PRIMARY KEY, last TEXT, first TEXT, age INTEGER)");
  db.Exec("INSERT INTO people VALUES (1, 'Moss', 'Ann', 40), (2, 'Bell', 'Cy', 25), "
          "(3, 'Moss', 'Al', 31), (4, 'Carr', 'Di', 52)");
  db.Exec("CREATE INDEX by_name ON people (last, first)");
  db.Exec("CREATE INDEX \"by age\" ON people (age DESC)");
  db.Exec("CREATE TABLE other (x INTEGER)");
  db.Exec("CREATE INDEX other_x ON other (x)");

  TSqlDataSet ds;
  ds.SetDatabaseName(db.Path());
  ds.SetTableName("people");
  EXPECT_EQ(ds.IndexNames(), (std::vector<std::string>{"by age", "by_name"}));
  EXPECT_EQ(ds.DatabaseTables(), (std::vector<std::string>{"other", "people"}));
  EXPECT_EQ(Column(ds, "first"), (std::vector<std::string>{"Ann", "Cy", "Al", "Di"}));

  ds.SetIndexName("by_name");
  EXPECT_EQ(Column(ds, "first"), (std::vector<std::string>{"Cy", "Di", "Al", "Ann"}));
  ds.SetIndexName("by age");  // a name that needs quoting, on a descending column
  EXPECT_EQ(Column(ds, "age"), (std::vector<std::string>{"52", "40", "31", "25"}));

  ds.SetIndexName("by_name");
  ds.SetFilter("age > 30");
  ds.SetFiltered(true);
  EXPECT_EQ(Column(ds, "first"), (std::vector<std::string>{"Di", "Al", "Ann"}));

  // An index of another table, or none at all, is refused with its name.
  for (const char* wrong : {"other_x", "missing"}) {
    ds.SetIndexName(wrong);
    const std::string msg = OpenError(ds);
    EXPECT_NE(msg.find(wrong), std::string::npos) << msg;
  }
  // A query is read as it stands.
  ds.SetSQL("SELECT first FROM people WHERE age > 30 ORDER BY first DESC");
  ds.SetFiltered(false);
  EXPECT_EQ(Column(ds, "first"), (std::vector<std::string>{"Di", "Ann", "Al"}));
}
