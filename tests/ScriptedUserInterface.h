#pragma once
// A user interface whose windows are the test's functions, installed for the
// object's lifetime; a window the test leaves empty behaves headless.
#include <functional>
#include <memory>
#include <vector>

#include "host/ui/UserInterface.h"

namespace zd::test {

class TScriptedUserInterface final : public THeadlessUserInterface {
 public:
  TScriptedUserInterface() { SetUserInterface(this); }
  ~TScriptedUserInterface() override { SetUserInterface(nullptr); }
  TScriptedUserInterface(const TScriptedUserInterface&) = delete;
  TScriptedUserInterface& operator=(const TScriptedUserInterface&) = delete;

  std::function<void(TZdPrintBaseComponent&, const TPreviewRequest&)> previewWindow;
  std::function<bool(const TPrintDialogRequest&, TPrintChoice&)> printDialog;
  std::function<bool(const TExportDialogRequest&, TExportChoice&)> exportDialog;
  std::function<bool(TZdReport&, const std::vector<TZdqParameter*>&)> parameterDialog;
  std::function<std::unique_ptr<TProgressView>()> progressView;

  void ShowPreviewWindow(TZdPrintBaseComponent& report, const TPreviewRequest& request) override {
    if (previewWindow) previewWindow(report, request);
  }
  bool ShowPrintDialog(const TPrintDialogRequest& request, TPrintChoice& choice) override {
    return printDialog ? printDialog(request, choice) : THeadlessUserInterface::ShowPrintDialog(request, choice);
  }
  bool ShowExportDialog(const TExportDialogRequest& request, TExportChoice& choice) override {
    return exportDialog ? exportDialog(request, choice) : THeadlessUserInterface::ShowExportDialog(request, choice);
  }
  bool ShowParameterDialog(TZdReport& report, const std::vector<TZdqParameter*>& asked) override {
    return parameterDialog ? parameterDialog(report, asked)
                           : THeadlessUserInterface::ShowParameterDialog(report, asked);
  }
  std::unique_ptr<TProgressView> CreateProgressView() override {
    return progressView ? progressView() : THeadlessUserInterface::CreateProgressView();
  }
};

}  // namespace zd::test
