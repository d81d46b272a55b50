#pragma once
// The engine's windows on Qt Widgets: the preview window, the system's print
// dialog, a save dialog for the prepared-report and export formats, and the
// progress dialog. Parameters keep the values preset, as without windows.
#include <vector>

#include "host/ui/UserInterface.h"

class QPrinter;

namespace zd {

class TWidgetsUserInterface : public THeadlessUserInterface {
 public:
  // Headless as long as the program runs no QApplication (no widgets).
  void ShowPreviewWindow(TZdPrintBaseComponent& report, const TPreviewRequest& request) override;
  bool ShowPrintDialog(const TPrintDialogRequest& request, TPrintChoice& choice) override;
  bool ShowExportDialog(const TExportDialogRequest& request, TExportChoice& choice) override;
  std::unique_ptr<TProgressView> CreateProgressView() override;
};

// Installs a TWidgetsUserInterface for the rest of the program.
void InstallWidgetsUserInterface();

// What the system print dialog's printer says about the choice: the printer
// (when it is one of printers), the pages, copies and collation.
void ReadPrintChoice(const QPrinter& printer, const std::vector<std::string>& printers, TPrintChoice& choice);

}  // namespace zd
