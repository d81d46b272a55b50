#include "export/markup/TextExportFile.h"

#include "host/core/WholeFile.h"

namespace zd {

void WriteExportFile(const std::string& fileName, std::string_view bytes) {
  try {
    WriteWholeFile(fileName, bytes);
  } catch (const EFileWriteError& e) {
    throw EZdqExportFileError(e.what());
  }
}

}  // namespace zd
