#include "host/data/SqlDataSet.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>
#include <algorithm>
#include <optional>

#include "host/core/TextUtil.h"
#include "host/data/SqlConnection.h"
#include "host/data/ValueConv.h"

namespace zd {
namespace {

// Rows read ahead at opening to learn the types of untyped columns.
constexpr int kTypeSampleRows = 64;
// Rows converted per fetch; amortises the call without holding up the first rows.
constexpr int kFetchBatch = 256;

bool IsIntegralMeta(int id) {
  switch (id) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
      return true;
    default:
      return false;
  }
}

double TimeFraction(const QTime& t) { return t.msecsSinceStartOfDay() / 86400000.0; }

TVariant FromQt(const QVariant& v) {
  if (v.isNull() || !v.isValid()) return {};
  const int id = v.typeId();
  if (IsIntegralMeta(id)) return TVariant(int64_t(v.toLongLong()));
  switch (id) {
    case QMetaType::Bool: return TVariant(v.toBool());
    case QMetaType::Double: case QMetaType::Float: return TVariant(v.toDouble());
    case QMetaType::QByteArray: {
      const QByteArray bytes = v.toByteArray();
      return TVariant(std::string(bytes.constData(), size_t(bytes.size())));
    }
    case QMetaType::QDate: {
      const QDate d = v.toDate();
      if (auto t = TryEncodeDate(d.year(), d.month(), d.day())) return TVariant(*t);
      return {};
    }
    case QMetaType::QTime: return TVariant(TDateTime{TimeFraction(v.toTime())});
    case QMetaType::QDateTime: {
      const QDateTime dt = v.toDateTime();
      const QDate d = dt.date();
      if (auto t = TryEncodeDate(d.year(), d.month(), d.day()))
        return TVariant(TDateTime{t->days + TimeFraction(dt.time())});
      return {};
    }
    default: return TVariant(v.toString().toStdString());
  }
}

bool KindFitsType(TVarKind kind, TFieldType type) {
  if (IsIntegerFieldType(type)) return kind == TVarKind::Integer;
  if (IsFloatFieldType(type)) return kind == TVarKind::Float;
  if (IsTemporalFieldType(type)) return kind == TVarKind::DateTime;
  if (type == TFieldType::ftBoolean) return kind == TVarKind::Boolean;
  return kind == TVarKind::String;
}

// SQL columns may hold values of other types than declared; those that
// convert cleanly are converted, the others are kept as they came.
TVariant FitToType(TVariant value, TFieldType type) {
  if (value.isNull() || KindFitsType(value.kind(), type)) return value;
  if (value.kind() == TVarKind::String && IsBlobFieldType(type)) return value;
  try {
    return CoerceToFieldType(value, type);
  } catch (const EConvertError&) {
    return value;
  }
}

// Columns without a usable declared type (SQLite text, expressions) are typed
// by the values of the first rows.
TFieldType InferFromValues(const std::vector<std::vector<QVariant>>& sample, int column) {
  bool any = false, allIntegral = true, allNumeric = true, allDate = true, allDateTime = true,
       allBytes = true;
  for (const auto& row : sample) {
    const QVariant& v = row[size_t(column)];
    if (v.isNull() || !v.isValid()) continue;
    any = true;
    const int id = v.typeId();
    const bool integral = IsIntegralMeta(id);
    const bool numeric = integral || id == QMetaType::Double || id == QMetaType::Float;
    allIntegral &= integral;
    allNumeric &= numeric;
    allBytes &= id == QMetaType::QByteArray;
    if (numeric || id == QMetaType::QByteArray) {
      allDate = allDateTime = false;
    } else {
      const std::string text = v.toString().toStdString();
      const bool date = ParseIsoDate(text).has_value();
      allDate &= date;
      allDateTime &= date || ParseIsoDateTime(text).has_value();
    }
  }
  if (!any) return TFieldType::ftString;
  if (allIntegral) return TFieldType::ftLargeint;
  if (allNumeric) return TFieldType::ftFloat;
  if (allBytes) return TFieldType::ftBlob;
  if (allDate) return TFieldType::ftDate;
  if (allDateTime) return TFieldType::ftDateTime;
  return TFieldType::ftString;
}

TFieldType ColumnType(const QSqlField& field, const std::vector<std::vector<QVariant>>& sample,
                      int column) {
  const int id = field.metaType().id();
  if (id == QMetaType::Int || id == QMetaType::Short || id == QMetaType::UShort ||
      id == QMetaType::UInt)
    return TFieldType::ftInteger;
  if (IsIntegralMeta(id)) return TFieldType::ftLargeint;
  switch (id) {
    case QMetaType::Bool: return TFieldType::ftBoolean;
    case QMetaType::Double: case QMetaType::Float: return TFieldType::ftFloat;
    case QMetaType::QDate: return TFieldType::ftDate;
    case QMetaType::QTime: return TFieldType::ftTime;
    case QMetaType::QDateTime: return TFieldType::ftDateTime;
    case QMetaType::QByteArray: return TFieldType::ftBlob;
    default: return InferFromValues(sample, column);
  }
}

std::string WithoutTrailingSemicolons(std::string sql) {
  while (!sql.empty() && (sql.back() == ';' || static_cast<unsigned char>(sql.back()) <= ' '))
    sql.pop_back();
  return sql;
}

}  // namespace

struct TSqlDataSet::TCursor {
  std::unique_ptr<TSqlConnection> connection;  // declared first: outlives the query
  std::optional<QSqlQuery> query;
  std::vector<TFieldType> types;
  bool exhausted = false;
};

TSqlDataSet::TSqlDataSet(TComponent* owner) : TDataSet(owner) {}

TSqlDataSet::~TSqlDataSet() { Close(); }

void TSqlDataSet::SetDatabaseName(const std::string& name) {
  CheckInactive("change the database name");
  databaseName_ = name;
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

void TSqlDataSet::SetFilter(const std::string& filter) {
  CheckInactive("change the filter");
  filter_ = filter;
}

void TSqlDataSet::SetFiltered(bool filtered) {
  CheckInactive("change filtering");
  filtered_ = filtered;
}

std::string TSqlDataSet::StatementText(const TSqlConnection& connection) const {
  std::string statement;
  if (!Trim(sql_).empty())
    statement = sql_;
  else if (!Trim(tableName_).empty())
    statement = "SELECT * FROM " + connection.QuotedTable(Trim(tableName_)).toStdString();
  else
    Fail("Neither SQL text nor a table name is set");
  if (filtered_ && !Trim(filter_).empty())
    statement = "SELECT * FROM (" + WithoutTrailingSemicolons(statement) + ") zd_filtered WHERE " +
                filter_;
  return statement;
}

void TSqlDataSet::DoOpen() {
  auto cursor = std::make_unique<TCursor>();
  try {
    cursor->connection = std::make_unique<TSqlConnection>(driverName_, databaseName_);
  } catch (const EDatabaseError& e) {
    Fail(e.what());
  }
  const std::string statement = StatementText(*cursor->connection);
  QSqlQuery& query = cursor->query.emplace(cursor->connection->Database());
  query.setForwardOnly(true);
  if (!query.exec(QString::fromStdString(statement)))
    Fail("SQL error: " + query.lastError().text().toStdString());
  const QSqlRecord record = query.record();
  const int columns = record.count();
  if (columns == 0) Fail("The SQL statement returns no columns");

  std::vector<std::vector<QVariant>> sample;
  while (int(sample.size()) < kTypeSampleRows && query.next()) {
    auto& row = sample.emplace_back(size_t(columns));
    for (int c = 0; c < columns; ++c) row[size_t(c)] = query.value(c);
  }
  if (int(sample.size()) < kTypeSampleRows) {
    if (query.lastError().isValid()) Fail("SQL error: " + query.lastError().text().toStdString());
    cursor->exhausted = true;
  }

  std::vector<TFieldDef> defs;
  for (int c = 0; c < columns; ++c) {
    const QSqlField field = record.field(c);
    const TFieldType type = ColumnType(field, sample, c);
    const int size = IsTextFieldType(type) && field.length() > 0 ? field.length() : 0;
    defs.push_back({field.name().toStdString(), type, size});
    cursor->types.push_back(type);
  }
  SetFieldDefs(defs);
  for (const auto& values : sample) {
    TVariant* row = Rows().AppendRow();
    for (int c = 0; c < columns; ++c)
      row[c] = FitToType(FromQt(values[size_t(c)]), cursor->types[size_t(c)]);
  }
  if (cursor->exhausted) cursor->query->finish();
  cursor_ = std::move(cursor);
}

bool TSqlDataSet::FetchMoreRows() {
  if (!cursor_ || cursor_->exhausted) return false;
  QSqlQuery& query = *cursor_->query;
  const int columns = int(cursor_->types.size());
  int fetched = 0;
  while (fetched < kFetchBatch && query.next()) {
    TVariant* row = Rows().AppendRow();
    for (int c = 0; c < columns; ++c)
      row[c] = FitToType(FromQt(query.value(c)), cursor_->types[size_t(c)]);
    ++fetched;
  }
  if (fetched < kFetchBatch) {
    cursor_->exhausted = true;
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid()) Fail("SQL error: " + error.text().toStdString());
  }
  return fetched > 0;
}

void TSqlDataSet::DoClose() {
  cursor_.reset();
  Rows().Reset(FieldCount());
}

std::vector<std::string> TSqlDataSet::TableNames(const std::string& databaseName,
                                                 const std::string& driverName) {
  TSqlConnection connection(driverName, databaseName);
  const QSqlDatabase db = connection.Database();
  QStringList names = db.tables(QSql::Tables) + db.tables(QSql::Views);
  names.sort(Qt::CaseInsensitive);
  std::vector<std::string> result;
  for (const QString& name : names) result.push_back(name.toStdString());
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
