#include "app/zdreport/DataSource.h"

#include <filesystem>

#include "app/zdreport/CommandLine.h"
#include "host/data/CsvDataSet.h"
#include "host/data/SqlDataSet.h"

namespace zd::cli {
namespace {

constexpr std::string_view kSqlite = "sqlite:", kCsv = "csv:";

std::string FileStem(const std::string& file) { return std::filesystem::path(file).stem().string(); }

void CheckExists(const std::string& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) throw EDatabaseError("data file not found: " + file);
}

std::string OnlyTable(const std::string& database) {
  const std::vector<std::string> tables = TSqlDataSet::TableNames(database);
  if (tables.size() == 1) return tables[0];
  std::string list;
  for (const std::string& t : tables) list += (list.empty() ? "" : ", ") + t;
  throw EDatabaseError("name a table as sqlite:" + database + ":TABLE or give --sql" +
                       (list.empty() ? std::string(" (the database has no tables)") : " (tables: " + list + ")"));
}

TOpenedDataSource OpenSqlite(const TDataSourceSpec& spec) {
  CheckExists(spec.file);
  auto dataset = std::make_unique<TSqlDataSet>();
  dataset->SetDatabaseName(spec.file);
  std::string table = spec.table;
  if (spec.sql.empty()) {
    if (table.empty()) table = OnlyTable(spec.file);
    dataset->SetTableName(table);
  } else {
    dataset->SetSQL(spec.sql);
  }
  dataset->Open();
  return {std::move(dataset), table.empty() ? FileStem(spec.file) : table};
}

TOpenedDataSource OpenCsv(const TDataSourceSpec& spec) {
  CheckExists(spec.file);
  auto dataset = std::make_unique<TCsvDataSet>();
  dataset->SetFileName(spec.file);
  dataset->SetDelimiter(spec.delimiter ? spec.delimiter : TCsvDataSet::DetectDelimiter);
  dataset->Open();
  return {std::move(dataset), FileStem(spec.file)};
}

}  // namespace

TDataSourceSpec TDataSourceSpec::Parse(const std::string& text, const std::string& sql, char delimiter) {
  TDataSourceSpec spec;
  if (text.rfind(kSqlite, 0) == 0) {
    spec.file = text.substr(kSqlite.size());
    // The table follows the last colon, when there is one after the file name.
    const size_t colon = spec.file.rfind(':');
    if (colon != std::string::npos) {
      spec.table = spec.file.substr(colon + 1);
      spec.file.erase(colon);
      if (spec.table.empty()) throw EUsageError("--data " + text + ": the table name after ':' is empty");
    }
    spec.sql = sql;
    if (delimiter) throw EUsageError("--delimiter needs a csv data source");
  } else if (text.rfind(kCsv, 0) == 0) {
    spec.kind = TKind::Csv;
    spec.file = text.substr(kCsv.size());
    spec.delimiter = delimiter;
    if (!sql.empty()) throw EUsageError("--sql needs an sqlite data source");
  } else {
    throw EUsageError("--data needs sqlite:FILE.db[:TABLE] or csv:FILE.csv, got '" + text + "'");
  }
  if (spec.file.empty()) throw EUsageError("--data " + text + " names no file");
  return spec;
}

TOpenedDataSource OpenDataSource(const TDataSourceSpec& spec) {
  return spec.kind == TDataSourceSpec::TKind::Csv ? OpenCsv(spec) : OpenSqlite(spec);
}

}  // namespace zd::cli
