#include "export/detail/ExportOutput.h"

#include "host/core/WholeFile.h"

namespace zd {

TExportOutput::TExportOutput(const std::string& fileName, std::ostream* stream)
    : stream_(stream), fileName_(fileName) {
  if (stream_) return;
  try {
    file_ = std::make_unique<TWholeFile>(fileName);
  } catch (const EFileWriteError& e) {
    throw EZdqExportFileError(e.what());
  }
}

TExportOutput::~TExportOutput() = default;

std::ostream& TExportOutput::Stream() { return stream_ ? *stream_ : file_->Stream(); }

void TExportOutput::Commit() {
  if (stream_) {
    stream_->flush();
    if (!*stream_) throw EZdqExportFileError("cannot write the export to the output stream");
    return;
  }
  try {
    file_->Commit();
  } catch (const EFileWriteError& e) {
    throw EZdqExportFileError(e.what());
  }
}

void WriteExportOutput(const std::string& fileName, std::ostream* stream, std::string_view bytes) {
  TExportOutput output(fileName, stream);
  output.Stream().write(bytes.data(), std::streamsize(bytes.size()));
  output.Commit();
}

}  // namespace zd
