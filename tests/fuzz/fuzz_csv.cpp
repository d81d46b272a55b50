// Any bytes must open as a CSV dataset or raise a std::runtime_error; the
// first byte picks the delimiter so other separators get exercised too.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "host/data/CsvDataSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char delimiters[] = {',', ';', '\t', '|'};
  const char delimiter = delimiters[data[0] % sizeof delimiters];
  zd::TCsvDataSet ds;
  ds.SetDelimiter(delimiter);
  ds.SetCsvText(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  try {
    ds.Open();
    for (ds.First(); !ds.Eof(); ds.Next())
      for (int i = 0; i < ds.FieldCount(); ++i) (void)ds.Fields(i).AsString();
    for (ds.Last(); !ds.Bof(); ds.Prior()) (void)ds.RecNo();
  } catch (const std::runtime_error&) {
  }
  return 0;
}
