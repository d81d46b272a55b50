#pragma once
// The report's master dataset as the command line names it:
// "sqlite:FILE.db[:TABLE]" (optionally with a query) or "csv:FILE.csv".
#include <memory>
#include <string>

#include "host/data/DataSet.h"

namespace zd::cli {

struct TDataSourceSpec {
  enum class TKind { Sqlite, Csv };
  TKind kind = TKind::Sqlite;
  std::string file;
  std::string table;  // sqlite only; may be empty
  std::string sql;    // sqlite only; may be empty
  char delimiter = 0;  // csv only; 0: detected from the file

  // Raises EUsageError for a text of neither form, or a query or a
  // delimiter given to a source of the other kind.
  static TDataSourceSpec Parse(const std::string& text, const std::string& sql, char delimiter = 0);
};

struct TOpenedDataSource {
  std::unique_ptr<TDataSet> dataset;  // open
  // How expressions may name the dataset beside the template's own name:
  // the table, else the file's name without extension.
  std::string name;
};

// Opens the dataset; a database without a table or query must hold exactly
// one table. Raises EDatabaseError (or std::runtime_error) with the reason.
TOpenedDataSource OpenDataSource(const TDataSourceSpec& spec);

}  // namespace zd::cli
