#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kitebar {

// A few threads that work through the items of one batch at a time: the
// calling thread and `threads - 1` helpers started once. Which thread runs
// an item is left to chance, so a caller whose results must not depend on
// the thread count writes each item's result to a place of its own and
// combines them in a fixed order afterwards.
class WorkerPool {
 public:
  // At least one thread (the caller's); fewer than asked for when the system
  // refuses to start more.
  explicit WorkerPool(int threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int threads() const { return static_cast<int>(helpers_.size()) + 1; }

  // Calls work(i) once for every i from 0 to count - 1 and returns when all
  // calls have returned; the calling thread takes items too, and calls
  // `between` after each of its own. Neither may throw.
  void ForEach(int count, const std::function<void(int)>& work,
               const std::function<void()>& between = {});

 private:
  void HelperLoop();
  // Takes items until none is left, calling `between` after each.
  void Drain(const std::function<void()>& between);

  std::mutex mutex_;
  std::condition_variable started_;
  std::condition_variable finished_;
  std::uint64_t generation_ = 0;  // one per batch
  bool stopping_ = false;
  int busyHelpers_ = 0;
  const std::function<void(int)>* work_ = nullptr;
  int count_ = 0;
  std::atomic<int> next_{0};
  std::vector<std::jthread> helpers_;
};

}  // namespace kitebar
