#include "host/core/WorkerThread.h"

namespace zd {

TWorkerThread::~TWorkerThread() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TWorkerThread::queue(std::function<void()> task) {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return maxWaiting_ == 0 || tasks_.size() < maxWaiting_; });
    tasks_.push_back(std::move(task));
    if (!thread_.joinable()) thread_ = std::thread([this] { runQueued(); });
  }
  changed_.notify_all();
}

void TWorkerThread::runQueued() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !tasks_.empty() || stopping_; });
    if (tasks_.empty()) return;
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    changed_.notify_all();  // room for a waiting Run
    task();  // a packaged task: what it throws goes to its future
    lock.lock();
  }
}

}  // namespace zd
