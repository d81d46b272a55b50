#pragma once
// The windows and dialogs the engine opens: preview, print, export and
// parameter dialogs and the progress dialog. One implementation is installed
// for the whole program; without one the headless implementation answers as
// if the user had confirmed every preset choice and shows nothing.
//
// The toolkit stays out of this header: a window implementation includes the
// components and request types it is handed, the core names them here only.
#include <memory>
#include <vector>

#include "host/ui/Progress.h"

namespace zd {

class TZdPrintBaseComponent;  // print/PrintZd.h
class TZdReport;              // report/model/ZdReport.h
class TZdqParameter;          // report/model/ZdqTypes.h
struct TPreviewRequest;       // print/PrintZd.h
struct TPrintDialogRequest;   // print/PrintZd.h
struct TPrintChoice;          // print/PrintZd.h
struct TExportDialogRequest;  // print/PreparedReport.h
struct TExportChoice;         // print/PreparedReport.h

// A window of the application's toolkit that one of ours is embedded in. The
// core passes it on untouched; only the toolkit's TUserInterface knows what
// it points to (a QWidget for Qt Widgets). Empty: no parent.
class TParentWindow {
 public:
  TParentWindow() = default;
  explicit TParentWindow(void* window) : window_(window) {}
  template <class TWindow>
  TWindow* As() const {
    return static_cast<TWindow*>(window_);
  }
  explicit operator bool() const { return window_ != nullptr; }

 private:
  void* window_ = nullptr;
};

class TUserInterface {
 public:
  virtual ~TUserInterface() = default;
  // Shows the prepared pages of `report`: embedded in request.ParentControl
  // and returning at once, or, without a parent, modally.
  virtual void ShowPreviewWindow(TZdPrintBaseComponent& report, const TPreviewRequest& request) = 0;
  // The dialogs show `choice` preset and fill it in; false when cancelled.
  virtual bool ShowPrintDialog(const TPrintDialogRequest& request, TPrintChoice& choice) = 0;
  virtual bool ShowExportDialog(const TExportDialogRequest& request, TExportChoice& choice) = 0;
  // Writes the answers back to the asked parameters.
  virtual bool ShowParameterDialog(TZdReport& report, const std::vector<TZdqParameter*>& asked) = 0;
  // The view of a new progress dialog (see Progress.h); never null.
  virtual std::unique_ptr<TProgressView> CreateProgressView() = 0;
};

// No windows: no preview, the preset choices and parameter values are kept,
// and progress runs its callbacks directly.
class THeadlessUserInterface : public TUserInterface {
 public:
  void ShowPreviewWindow(TZdPrintBaseComponent&, const TPreviewRequest&) override {}
  bool ShowPrintDialog(const TPrintDialogRequest&, TPrintChoice&) override { return true; }
  bool ShowExportDialog(const TExportDialogRequest&, TExportChoice&) override { return true; }
  bool ShowParameterDialog(TZdReport&, const std::vector<TZdqParameter*>&) override { return true; }
  std::unique_ptr<TProgressView> CreateProgressView() override;
};

// Installs the program's user interface (not owned; it must stay alive while
// installed); nullptr restores the headless one.
void SetUserInterface(TUserInterface* ui);
TUserInterface& UserInterface();

}  // namespace zd
