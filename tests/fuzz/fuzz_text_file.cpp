// Printing a text file of arbitrary bytes, in each of its code pages and
// with and without wrapping: pages or an error, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "host/core/Errors.h"
#include "quickprint/ZdqText.h"
#include "tests/Fixtures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  zd::test::useVirtualPrinter();
  static const std::string file =
      (std::filesystem::temp_directory_path() / ("fuzz_text_file." + std::to_string(getpid()))).string();
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data) + 1, std::streamsize(size - 1));
  zd::TZdPrintText printer;
  printer.SetAnimatedStatus(false);
  printer.FileName = file;
  printer.CodePage = zd::TCodePage(data[0] % 3);
  printer.SetWordWrap(data[0] & 4);
  try {
    printer.Prepare();
  } catch (const zd::EZdError&) {
  }
  return 0;
}
