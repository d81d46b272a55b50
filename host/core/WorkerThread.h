#pragma once
// One thread that runs the tasks handed to it in order. Work handed off
// page after page (reading a page back, compressing one) takes less time
// than starting a thread for it.
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>

namespace zd {

class TWorkerThread {
 public:
  // Run waits while `maxWaiting` tasks wait (0: never), so that what the
  // tasks hold stays bounded when they are handed over faster than they run.
  explicit TWorkerThread(size_t maxWaiting = 0) : maxWaiting_(maxWaiting) {}
  // Runs the tasks still queued, then ends the thread.
  ~TWorkerThread();
  TWorkerThread(const TWorkerThread&) = delete;
  TWorkerThread& operator=(const TWorkerThread&) = delete;

  // Queues `task`; its result, or what it threw, comes through the future.
  template <typename Task>
  std::future<std::invoke_result_t<Task>> Run(Task task) {
    using TResult = std::invoke_result_t<Task>;
    auto packaged = std::make_shared<std::packaged_task<TResult()>>(std::move(task));
    std::future<TResult> result = packaged->get_future();
    queue([packaged] { (*packaged)(); });
    return result;
  }

 private:
  void queue(std::function<void()> task);
  void runQueued();

  const size_t maxWaiting_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> tasks_;
  bool stopping_ = false;
  std::thread thread_;  // started with the first task
};

}  // namespace zd
