#include "common/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <thread>

#include "common/AtomicFile.h"
#include "common/FileDescriptor.h"

namespace kitebar {
namespace {

// The wait between attempts doubles from the first to the longest: a writer
// usually holds the lock for a few milliseconds.
constexpr std::chrono::milliseconds kFirstRetryInterval{1};
constexpr std::chrono::milliseconds kLongestRetryInterval{16};

// The locks this process holds, by folder, with the number of operations
// inside each.
struct HeldLock {
  FileDescriptor fd;
  int depth = 0;
};

std::mutex& HeldLocksMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<std::string, HeldLock>& HeldLocks() {
  static std::map<std::string, HeldLock> locks;
  return locks;
}

std::string KeyOf(const std::filesystem::path& folder) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::weakly_canonical(
      folder.empty() ? std::filesystem::path(".") : folder, error);
  return error ? folder.string() : absolute.string();
}

// Opens the lock file without following a link planted in its place; a
// read-only one still serves, since the lock needs no write.
Result<FileDescriptor> OpenLockFile(const std::filesystem::path& file) {
  const int flags = O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  FileDescriptor fd(::open(file.c_str(), O_RDWR | flags, 0644));
  if (!fd.valid() && (errno == EACCES || errno == EROFS))
    fd = FileDescriptor(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) {
    return Status::Failure("「" + file.string() + "」を作成できないため、書き込みを中止しました（" +
                           DescribeSystemError(errno) +
                           "）。フォルダーの書き込み権限と空き容量を確かめてから、もう一度実行して"
                           "ください。");
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return Status::Failure(
        "「" + file.string() +
        "」は通常のファイルではないため、書き込みを中止しました。別の場所へ移して"
        "から、もう一度実行してください。");
  }
  return fd;
}

bool TryLock(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
      return true;
    if (errno != EINTR)
      return false;
  }
}

}  // namespace

std::string AnotherWriterMessage() {
  return "ほかの Kitebar（デスクトップ版または kitebar-cli）が同じフォルダーのファイルを書き込んで"
         "いるため、書き込みませんでした。しばらく待ってから、もう一度実行してください。";
}

Result<FolderLock> FolderLock::Acquire(const std::filesystem::path& folder,
                                       std::chrono::milliseconds patience) {
  std::string key = KeyOf(folder);
  {
    const std::lock_guard guard(HeldLocksMutex());
    auto held = HeldLocks().find(key);
    if (held != HeldLocks().end()) {
      ++held->second.depth;
      return FolderLock(std::move(key), true);
    }
  }
  Result<FileDescriptor> opened = OpenLockFile(folder / kLockFileName);
  if (!opened.ok())
    return opened.status();
  const auto deadline = std::chrono::steady_clock::now() + patience;
  auto interval = kFirstRetryInterval;
  while (!TryLock(opened.value().get())) {
    if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline)
      return Status::Failure(AnotherWriterMessage());
    std::this_thread::sleep_for(interval);
    interval = std::min(interval * 2, kLongestRetryInterval);
  }
  const std::lock_guard guard(HeldLocksMutex());
  HeldLocks().emplace(key, HeldLock{std::move(opened.value()), 1});
  return FolderLock(std::move(key), false);
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : key_(std::exchange(other.key_, std::string())), nested_(other.nested_) {}

FolderLock::~FolderLock() {
  if (key_.empty())
    return;
  const std::lock_guard guard(HeldLocksMutex());
  auto held = HeldLocks().find(key_);
  if (held == HeldLocks().end())
    return;
  // Closing the descriptor releases the lock.
  if (--held->second.depth == 0)
    HeldLocks().erase(held);
}

}  // namespace kitebar
