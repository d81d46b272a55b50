#include "app/zdreport/ThumbnailCommand.h"

#include <QSaveFile>
#include <filesystem>
#include <stdexcept>

#include "app/zdreport/RenderCommand.h"
#include "app/zdreport/TemplateReport.h"
#include "environment/files/StandaloneReport.h"
#include "host/ui/UserInterface.h"

namespace zd::cli {

void RunThumbnail(const TThumbnailOptions& options) {
  RequireNoFolder(options.output, "the picture");
  std::error_code error;
  if (std::filesystem::equivalent(options.input, options.output, error))
    throw EUsageError("the picture would replace the report file; name another output file", "thumbnail");
  // File managers run thumbnailers unattended: parameters keep their stored
  // values and no progress is shown: the headless default.
  SetUserInterface(nullptr);
  UseVirtualPrinter();
  TStandaloneReport report(options.input);
  report.Prepare();
  const QImage picture = RenderFirstPage(report.Report(), options.size);
  QSaveFile file(QString::fromStdString(options.output));
  if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
    throw std::runtime_error("cannot write " + options.output + ": " + file.errorString().toStdString());
}

}  // namespace zd::cli
