#include "export/TextExportFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace zd {

void WriteExportFile(const std::string& fileName, std::string_view bytes) {
  const std::string partial = fileName + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) throw EZdqExportFileError("cannot create the file \"" + fileName + "\"");
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
      std::remove(partial.c_str());
      throw EZdqExportFileError("cannot write the file \"" + fileName + "\"");
    }
  }
  std::error_code error;
  std::filesystem::rename(partial, fileName, error);
  if (error) {
    std::remove(partial.c_str());
    throw EZdqExportFileError("cannot write the file \"" + fileName + "\": " + error.message());
  }
}

}  // namespace zd
