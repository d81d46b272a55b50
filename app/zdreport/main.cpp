// zdreport: renders report templates headlessly. `zdreport --help` lists
// the commands, `zdreport COMMAND --help` explains one.
#include <QApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>

#include "app/zdreport/CommandLine.h"
#include "app/zdreport/CommandLineInterface.h"
#include "app/zdreport/ExampleTemplate.h"
#include "app/zdreport/ExportFormats.h"
#include "app/zdreport/Interrupt.h"
#include "app/zdreport/DesignCommand.h"
#include "app/zdreport/PreviewCommand.h"
#include "app/zdreport/PrintCommand.h"
#include "app/zdreport/QuickPrintCommand.h"
#include "app/zdreport/RenderCommand.h"
#include "app/zdreport/ThumbnailCommand.h"
#include "app/zdreport/WizardCommand.h"
#include "host/printsupport/SystemPrinters.h"
#include "report/ZdInitialize.h"
#include "report/template/Template.h"
#include "zdreport/Version.h"

namespace {

using zd::cli::TCommand;

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2;
constexpr int kExitInterrupted = 128 + 2;  // as a shell reports SIGINT

int Written(const zd::cli::TRenderResult& result) {
  for (const std::string& warning : result.warnings) std::cerr << "zdreport: warning: " << warning << "\n";
  for (const std::string& file : result.files) std::cout << "Wrote " << file << "\n";
  std::cout << result.exportedPages << " of " << result.pages << " pages exported\n";
  return kExitOk;
}

int Print(const zd::cli::TPrintOptions& options) {
  const zd::cli::TPrintResult result = zd::cli::RunPrint(options);
  for (const std::string& note : result.notes) std::cerr << "zdreport: " << note << "\n";
  for (const std::string& warning : result.warnings) std::cerr << "zdreport: warning: " << warning << "\n";
  std::cout << result.printedPages << " of " << result.pages << " pages (" << result.sheets << " sheet"
            << (result.sheets == 1 ? "" : "s") << ") sent to " << result.printer;
  if (!result.file.empty()) std::cout << ", written to " << result.file;
  std::cout << "\n";
  return kExitOk;
}

int Preview(const zd::cli::TPreviewOptions& options) {
  const zd::cli::TPreviewResult result = zd::cli::RunPreview(options);
  for (const std::string& warning : result.warnings) std::cerr << "zdreport: warning: " << warning << "\n";
  if (!result.grabbed.empty()) std::cout << "Wrote " << result.grabbed << " (" << result.pages << " pages)\n";
  return kExitOk;
}

int Design(const zd::cli::TDesignOptions& options) {
  const std::string grabbed = zd::cli::RunDesign(options);
  if (!grabbed.empty()) std::cout << "Wrote " << grabbed << "\n";
  return kExitOk;
}

zd::TStreamObject ReadTree(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + file);
  const zd::TBytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return zd::ReadTemplateTree(data);
}

int Dump(const std::string& file) {
  const zd::TBytes text = zd::TemplateTreeToBytes(ReadTree(file), zd::TTemplateFormat::Text);
  std::cout.write(reinterpret_cast<const char*>(text.data()), std::streamsize(text.size()));
  return kExitOk;
}

int Convert(const std::string& in, const std::string& out) {
  zd::SaveTemplateTree(ReadTree(in), out);
  std::cout << "Wrote " << out << "\n";
  return kExitOk;
}

int Run(const TCommand& command) {
  switch (command.kind) {
    case TCommand::TKind::Help: std::cout << zd::cli::HelpText(command.name); return kExitOk;
    case TCommand::TKind::Version: std::cout << "zdreport " << zd::kVersion << "\n"; return kExitOk;
    case TCommand::TKind::Formats: zd::cli::ListExportFormats(std::cout); return kExitOk;
    case TCommand::TKind::Dump: return Dump(command.file);
    case TCommand::TKind::Convert: return Convert(command.file, command.output);
    case TCommand::TKind::MakeExample:
      zd::cli::WriteExampleTemplate(command.file);
      std::cout << "Wrote " << command.file << "\n";
      return kExitOk;
    case TCommand::TKind::Render:
    case TCommand::TKind::Demo: return Written(zd::cli::RunRender(command.render));
    case TCommand::TKind::Table: return Written(zd::cli::RunTable(command.quick));
    case TCommand::TKind::Text: return Written(zd::cli::RunText(command.quick));
    case TCommand::TKind::Print: return Print(command.print);
    case TCommand::TKind::Printers: zd::cli::ListPrinters(std::cout); return kExitOk;
    case TCommand::TKind::Preview: return Preview(command.preview);
    case TCommand::TKind::Design: return Design(command.design);
    case TCommand::TKind::Thumbnail:
      zd::cli::RunThumbnail(command.thumbnail);
      std::cout << "Wrote " << command.thumbnail.output << "\n";
      return kExitOk;
    case TCommand::TKind::Wizard:
      std::cout << "Wrote " << zd::cli::RunWizard(command.wizard) << "\n";
      return kExitOk;
  }
  return kExitFailed;
}

// Qt's own notes (missing runtime folders and the like) are no business of
// the user's; only its failures are shown.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << "zdreport: " << message.toStdString() << "\n";
}

// What is wrong, and where to read how it is right; the help itself would
// bury the reason.
int UsageError(const std::string& reason, const std::string& command) {
  std::cerr << "zdreport: " << reason << "\n"
            << "Try 'zdreport " << (command.empty() ? "" : command + " ") << "--help'.\n";
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  TCommand command;
  try {
    command = zd::cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const zd::cli::EUsageError& e) {
    return UsageError(e.what(), e.Command());
  }
  // Fonts need a GUI application, but no display is needed to make pages;
  // only the preview and designer windows are shown on the screen.
  const bool widgets = command.kind == TCommand::TKind::Preview || command.kind == TCommand::TKind::Design;
  const bool window = (command.kind == TCommand::TKind::Preview && command.preview.grab.empty()) ||
                      (command.kind == TCommand::TKind::Design && command.design.grab.empty());
  if (!window && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietQtMessages);
  std::unique_ptr<QGuiApplication> app;
  if (widgets) app = std::make_unique<QApplication>(argc, argv);
  else app = std::make_unique<QGuiApplication>(argc, argv);
  zd::ZdInitialize();
  zd::InstallSystemPrinters();
  zd::cli::TCommandLineInterface ui;
  zd::SetUserInterface(&ui);
  try {
    return Run(command);
  } catch (const zd::cli::EUsageError& e) {
    return UsageError(e.what(), command.name);
  } catch (const zd::cli::EInterrupted& e) {
    std::cerr << "zdreport: " << e.what() << "\n";
    return kExitInterrupted;
  } catch (const std::exception& e) {
    std::cerr << "zdreport: error: " << e.what() << "\n";
    return kExitFailed;
  }
}
