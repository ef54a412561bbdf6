#include "common/WorkerPool.h"

#include <algorithm>
#include <system_error>

namespace kitebar {

WorkerPool::WorkerPool(int threads) {
  const int helpers = std::max(threads, 1) - 1;
  helpers_.reserve(static_cast<std::size_t>(helpers));
  // A helper that the system refuses to start leaves the work to the others:
  // no caller's result depends on how many threads share it.
  try {
    for (int i = 0; i < helpers; ++i)
      helpers_.emplace_back([this] { HelperLoop(); });
  } catch (const std::system_error&) {
  }
}

// A plain flag under the mutex rather than stop tokens: the waits of a
// condition variable on a stop token hang now and then on Windows.
WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  started_.notify_all();
  helpers_.clear();
}

void WorkerPool::Drain(const std::function<void()>& between) {
  for (int item = next_.fetch_add(1, std::memory_order_relaxed); item < count_;
       item = next_.fetch_add(1, std::memory_order_relaxed)) {
    (*work_)(item);
    if (between)
      between();
  }
}

void WorkerPool::HelperLoop() {
  std::uint64_t seen = 0;
  while (true) {
    {
      std::unique_lock lock(mutex_);
      started_.wait(lock, [&] { return stopping_ || generation_ != seen; });
      if (stopping_)
        return;
      seen = generation_;
    }
    Drain({});
    std::lock_guard lock(mutex_);
    if (--busyHelpers_ == 0)
      finished_.notify_one();
  }
}

void WorkerPool::ForEach(int count, const std::function<void(int)>& work,
                         const std::function<void()>& between) {
  if (count <= 0)
    return;
  {
    std::lock_guard lock(mutex_);
    work_ = &work;
    count_ = count;
    next_.store(0, std::memory_order_relaxed);
    busyHelpers_ = static_cast<int>(helpers_.size());
    ++generation_;
  }
  started_.notify_all();
  Drain(between);
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [&] { return busyHelpers_ == 0; });
  work_ = nullptr;
}

}  // namespace kitebar
