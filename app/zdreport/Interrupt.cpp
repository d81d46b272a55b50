#include "app/zdreport/Interrupt.h"

#include <atomic>
#include <csignal>

namespace zd::cli {
namespace {

std::atomic<TZdPrintBaseComponent*> cancelTarget = nullptr;
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
  interrupted = 1;
  if (TZdPrintBaseComponent* report = cancelTarget.load()) report->Cancel();
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

TCancelOnInterrupt::TCancelOnInterrupt(TZdPrintBaseComponent& report) {
  interrupted = 0;
  cancelTarget.store(&report);
  std::signal(SIGINT, OnInterrupt);
}

TCancelOnInterrupt::~TCancelOnInterrupt() {
  std::signal(SIGINT, SIG_DFL);
  cancelTarget.store(nullptr);
}

bool TCancelOnInterrupt::Interrupted() const { return interrupted != 0; }

}  // namespace zd::cli
