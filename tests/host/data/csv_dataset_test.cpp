// CSV reading: quoting rules, line ends, type inference and error reports.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/data/CsvDataSet.h"
#include "host/data/CsvReader.h"
#include "tests/TempPath.h"

using namespace zd;

namespace {

std::vector<std::vector<std::string>> ReadAll(std::string_view text, char delimiter = ',') {
  TCsvReader reader(text, delimiter);
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> fields;
  while (reader.ReadRecord(fields)) records.push_back(fields);
  return records;
}

std::string OpenError(const std::string& text) {
  TCsvDataSet ds;
  ds.SetCsvText(text);
  try {
    ds.Open();
  } catch (const EDatabaseError& e) {
    EXPECT_FALSE(ds.Active());
    return e.what();
  }
  return "";
}

}  // namespace

TEST(CsvReader, QuotedFieldsHoldDelimitersQuotesAndLineBreaks) {
  const auto records = ReadAll("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",\"\",x\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
  EXPECT_EQ(records[1], (std::vector<std::string>{"two\nlines", "", "x"}));
}

TEST(CsvReader, LineEndsBomEmptyFieldsAndDelimiters) {
  EXPECT_EQ(ReadAll("\xEF\xBB\xBFh1;h2\r\n1;\n\n;2", ';'),
            (std::vector<std::vector<std::string>>{{"h1", "h2"}, {"1", ""}, {"", "2"}}));
  EXPECT_EQ(ReadAll("a,b,\rc,"), (std::vector<std::vector<std::string>>{{"a", "b", ""}, {"c", ""}}));
  EXPECT_TRUE(ReadAll("").empty());
  EXPECT_TRUE(ReadAll("\r\n\n").empty());
  EXPECT_THROW(TCsvReader("x", '"'), std::invalid_argument);
}

TEST(CsvReader, ReportsTheLineOfEachRecordAndOfErrors) {
  TCsvReader reader("a\n\"multi\nline\"\nb\n");
  std::vector<std::string> f;
  std::vector<int> lines;
  while (reader.ReadRecord(f)) lines.push_back(reader.RecordLine());
  EXPECT_EQ(lines, (std::vector<int>{1, 2, 4}));

  try {
    ReadAll("a\nb\n\"open\nstill open");
    FAIL();
  } catch (const ECsvError& e) {
    EXPECT_EQ(e.Line(), 3);
    EXPECT_EQ(e.Offset(), 4u);  // the opening quote
  }
  try {
    ReadAll("a\n\"closed\"junk,b\n");
    FAIL();
  } catch (const ECsvError& e) {
    EXPECT_EQ(e.Line(), 2);
    EXPECT_EQ(e.Offset(), 10u);  // the character after the closing quote
  }
}

TEST(CsvDataSet, InfersTypesFromEveryValue) {
  TCsvDataSet ds;
  ds.SetCsvText(
      "id,price,day,label,mixed,blank\n"
      "1,2.5,2024-01-01,x,2024-01-01,\n"
      "2,3,2000-01-01,\"y, z\",7,\n"
      "-3,,2024-02-29,,8,\n");
  ds.Open();
  std::vector<TFieldType> types;
  for (const char* name : {"id", "price", "day", "label", "mixed", "blank"})
    types.push_back(ds.FieldByName(name).DataType());
  EXPECT_EQ(types, (std::vector<TFieldType>{TFieldType::ftLargeint, TFieldType::ftFloat, TFieldType::ftDate,
                                            TFieldType::ftString, TFieldType::ftString, TFieldType::ftString}));
  EXPECT_EQ(ds.FieldByName("label").Size(), 4);
  EXPECT_EQ(ds.FieldByName("price").Alignment(), TAlignment::taRightJustify);

  // 2024-01-01 is day 45292 counted from 30 December 1899.
  EXPECT_EQ(ds.FieldByName("day").Value(), TVariant(TDateTime{45292}));
  ds.Next();
  EXPECT_EQ(ds.FieldByName("price").Value(), TVariant(3.0));
  EXPECT_EQ(ds.FieldByName("day").AsDateTime().days, 36526);
  EXPECT_EQ(ds.FieldByName("label").AsString(), "y, z");
  ds.Next();
  EXPECT_EQ(ds.FieldByName("id").AsInteger(), -3);
  EXPECT_TRUE(ds.FieldByName("price").IsNull());
  EXPECT_TRUE(ds.FieldByName("label").IsNull());
  EXPECT_EQ(ds.FieldByName("day").AsString(), "2024-02-29");
  ds.Next();
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.RecordCount(), 3);
}

TEST(CsvDataSet, DeclaredTypesOverrideInferenceAndReportBadValues) {
  TCsvDataSet ds;
  ds.SetCsvText("code;flag;amount\n007;yes;10\n010;no;x\n");
  ds.SetDelimiter(';');
  ds.SetFieldType("CODE", TFieldType::ftString);
  ds.SetFieldType("flag", TFieldType::ftBoolean);
  ds.SetFieldType("amount", TFieldType::ftCurrency);
  try {
    ds.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    const std::string msg = e.what();
    EXPECT_NE(msg.find("Line 3"), std::string::npos) << msg;
    EXPECT_NE(msg.find("amount"), std::string::npos) << msg;
  }
  ds.SetFieldType("amount", TFieldType::ftString);
  ds.Open();
  EXPECT_EQ(ds.FieldByName("code").AsString(), "007");
  EXPECT_EQ(ds.FieldByName("flag").Value(), TVariant(true));
  EXPECT_THROW(ds.SetFieldType("x", TFieldType::ftString), EDatabaseError);  // while open
  ds.Close();
  EXPECT_THROW(ds.SetFieldType("x", TFieldType::ftCursor), EDatabaseError);
}

TEST(CsvDataSet, MalformedInputNamesTheLine) {
  EXPECT_NE(OpenError("a,b\n1,2\n3\n").find("Line 3: expected 2 fields but found 1"),
            std::string::npos);
  EXPECT_NE(OpenError("a,b\n1,2,3\n").find("Line 2"), std::string::npos);
  EXPECT_NE(OpenError("a,b\n1,\"2\n\n").find("Line 2: unterminated"), std::string::npos);
  EXPECT_NE(OpenError("a,A\n").find("Duplicate field name"), std::string::npos);
  EXPECT_NE(OpenError("").find("no header"), std::string::npos);

  // A hundred thousand columns, the last a duplicate: comparing every name
  // with every other took most of a minute.
  std::string wide;
  for (int i = 0; i < 100000; ++i) wide += "c" + std::to_string(i) + ",";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(OpenError(wide + "C17\n").find("Duplicate field name 'C17'"), std::string::npos);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
}

TEST(CsvDataSet, DetectsTheDelimiterAndNamesUnnamedFields) {
  EXPECT_EQ(DetectCsvDelimiter("a;b;\"c,d\"\n1,2,3\n"), ';');  // commas inside quotes do not count
  EXPECT_EQ(DetectCsvDelimiter("\r\na\tb\n"), '\t');
  EXPECT_EQ(DetectCsvDelimiter("single\n"), ',');

  // What the CSV exporter writes: a byte order mark, semicolons, quoted line
  // breaks, an unnamed column, a guarded formula.
  TCsvDataSet ds;
  ds.SetCsvText("\xEF\xBB\xBFName;;Amount\r\n\"two\r\nlines\";'=1+2;1,234.50\r\nx;;-7");
  ds.Open();
  ASSERT_EQ(ds.FieldCount(), 3);
  EXPECT_EQ(ds.Fields(1).FieldName(), "Field2");
  EXPECT_EQ(ds.FieldByName("Name").AsString(), "two\r\nlines");
  EXPECT_EQ(ds.FieldByName("Field2").AsString(), "'=1+2");
  EXPECT_EQ(ds.FieldByName("Amount").AsString(), "1,234.50");
  ds.Close();
  ds.SetDelimiter(',');  // told, not detected
  ds.SetCsvText("a;b,c\n1;2,3\n");
  ds.Open();
  EXPECT_EQ(ds.FieldCount(), 2);
  EXPECT_EQ(ds.Fields(0).FieldName(), "a;b");
}

TEST(CsvDataSet, ReadsFilesWithBomAndCrLf) {
  const auto path = zd::test::UniqueTempPath("zd_csv_dataset_test.csv");
  {
    std::ofstream out(path, std::ios::binary);
    out << "\xEF\xBB\xBF" "City,Note\r\nK\xC3\xB6ln,\"line 1\r\nline 2\"\r\n";
  }
  TCsvDataSet ds;
  ds.SetFileName(path.string());
  ds.Open();
  EXPECT_EQ(ds.Fields(0).FieldName(), "City");
  EXPECT_EQ(ds.FieldByName("City").AsString(), "K\xC3\xB6ln");
  EXPECT_EQ(ds.FieldByName("City").Size(), 4);  // characters, not bytes
  EXPECT_EQ(ds.FieldByName("Note").AsString(), "line 1\r\nline 2");
  ds.Close();

  // Errors in a file, and a file that is missing, name the file; the
  // reader's errors also the byte at which the record starts.
  std::ofstream(path, std::ios::binary) << "a,b\n1,2\n3\n";
  try {
    ds.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.FileName(), path.string());
    EXPECT_EQ(e.Offset(), 8u);
  }
  std::filesystem::remove(path);
  try {
    ds.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos);
    EXPECT_EQ(e.FileName(), path.string());
  }
}
