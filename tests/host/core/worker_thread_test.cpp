// The worker that reads pages back and compresses them beside the export.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "host/core/WorkerThread.h"

using namespace zd;

TEST(WorkerThread, RunsTasksInOrderOnOneOtherThreadAndPassesResultsAndErrors) {
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  std::future<std::string> last;
  {
    TWorkerThread worker;
    std::vector<std::future<int>> results;
    for (int i = 0; i < 50; ++i)
      results.push_back(worker.Run([&, i] {
        order.push_back(i);
        threads.push_back(std::this_thread::get_id());
        return i * i;
      }));
    std::future<int> failing = worker.Run([]() -> int { throw std::runtime_error("page 7 is corrupt"); });
    for (int i = 0; i < 50; ++i) EXPECT_EQ(results[size_t(i)].get(), i * i);
    try {
      failing.get();
      ADD_FAILURE() << "the task's error was lost";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "page 7 is corrupt");
    }
    // Queued last and never waited for: the worker still runs it before it ends.
    last = worker.Run([] { return std::string("done"); });
  }
  EXPECT_EQ(last.get(), "done");
  ASSERT_EQ(order.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(order[size_t(i)], i);
  for (const std::thread::id id : threads) {
    EXPECT_EQ(id, threads.front());
    EXPECT_NE(id, std::this_thread::get_id());
  }
}
