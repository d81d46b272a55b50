#include "preview/WidgetsUserInterface.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "preview/ZdProces.h"
#include "preview/ZdqPreview.h"
#include "print/PreparedReport.h"
#include "print/PrintZd.h"

namespace zd {

namespace {

bool HaveWidgets() { return dynamic_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

int CopiesOf(const std::string& text) {
  try {
    return std::clamp(std::stoi(text), 1, 9999);
  } catch (const std::exception&) {
    return 1;
  }
}

}  // namespace

void TWidgetsUserInterface::ShowPreviewWindow(TZdPrintBaseComponent& report, const TPreviewRequest& request) {
  if (!HaveWidgets()) return;
  if (auto* parent = request.ParentControl.As<QWidget>()) {
    auto* window = new TfrmZdPreview(parent);  // frees itself when closed
    window->SetReport(&report);
    window->show();
    return;
  }
  TfrmZdPreview window;
  window.SetReport(&report);
  window.exec();
}

bool TWidgetsUserInterface::ShowPrintDialog(const TPrintDialogRequest& request, TPrintChoice& choice) {
  if (!HaveWidgets()) return THeadlessUserInterface::ShowPrintDialog(request, choice);
  QPrinter printer;
  if (choice.PrinterIndex >= 0 && choice.PrinterIndex < int(request.Printers.size()))
    printer.setPrinterName(QString::fromStdString(request.Printers[size_t(choice.PrinterIndex)]));
  printer.setCopyCount(CopiesOf(choice.CopiesText));
  printer.setCollateCopies(choice.Collate);
  QPrintDialog dialog(&printer, QApplication::activeWindow());
  // The engine prints to files through its own virtual printer.
  dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  if (dialog.exec() != QDialog::Accepted) return false;
  ReadPrintChoice(printer, request.Printers, choice);
  return true;
}

void ReadPrintChoice(const QPrinter& printer, const std::vector<std::string>& printers, TPrintChoice& choice) {
  const auto named = std::find(printers.begin(), printers.end(), printer.printerName().toStdString());
  if (named != printers.end()) choice.PrinterIndex = int(named - printers.begin());
  switch (printer.printRange()) {
    case QPrinter::CurrentPage: choice.Mode = TPageRangeMode::prCurrent; break;
    case QPrinter::PageRange:
      choice.Mode = TPageRangeMode::prRange;
      choice.RangeText = std::to_string(printer.fromPage()) + "-" + std::to_string(printer.toPage());
      break;
    default: choice.Mode = TPageRangeMode::prAll; break;
  }
  choice.CopiesText = std::to_string(printer.copyCount());
  choice.Collate = printer.collateCopies();
}

bool TWidgetsUserInterface::ShowExportDialog(const TExportDialogRequest& request, TExportChoice& choice) {
  if (!HaveWidgets() || request.Formats.empty()) return THeadlessUserInterface::ShowExportDialog(request, choice);
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  QStringList filters{QString::fromStdString(request.Formats.front()) + " (*.zqp)"};
  for (size_t i = 1; i < request.Formats.size(); ++i) filters << QString::fromStdString(request.Formats[i]);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix("zqp");
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
    // The suffix of the chosen format's pattern goes on a name typed without one.
    const qsizetype star = filter.lastIndexOf("(*.");
    dialog.setDefaultSuffix(star < 0 ? QString() : filter.mid(star + 3).chopped(1));
  });
  if (!choice.FileName.empty()) dialog.selectFile(QString::fromStdString(choice.FileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  choice.FormatIndex = std::max(0, int(filters.indexOf(dialog.selectedNameFilter())));
  choice.FileName = dialog.selectedFiles().first().toStdString();
  choice.Mode = TPageRangeMode::prAll;
  return true;
}

std::unique_ptr<TProgressView> TWidgetsUserInterface::CreateProgressView() {
  if (!HaveWidgets()) return THeadlessUserInterface::CreateProgressView();
  return std::make_unique<TWidgetsProgressView>();
}

void InstallWidgetsUserInterface() {
  static TWidgetsUserInterface ui;
  SetUserInterface(&ui);
}

}  // namespace zd
