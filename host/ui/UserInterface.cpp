#include "host/ui/UserInterface.h"

namespace zd {
namespace {

class THeadlessProgressView : public TProgressView {
 public:
  void Show(const TProgressSettings&) override {}
  void Update(const std::string&, int) override {}
  void RunModal(const std::function<void()>& callback) override { callback(); }
};

TUserInterface*& installed() {
  static TUserInterface* ui = nullptr;
  return ui;
}

}  // namespace

std::unique_ptr<TProgressView> THeadlessUserInterface::CreateProgressView() {
  return std::make_unique<THeadlessProgressView>();
}

void SetUserInterface(TUserInterface* ui) { installed() = ui; }

TUserInterface& UserInterface() {
  static THeadlessUserInterface headless;
  return installed() ? *installed() : headless;
}

}  // namespace zd
