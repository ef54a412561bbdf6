#include "common/FolderLock.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

#include "common/LockFile.h"

namespace kitebar {
namespace {

// The wait between attempts doubles from the first to the longest: a writer
// usually holds the lock for a few milliseconds.
constexpr std::chrono::milliseconds kFirstRetryInterval{1};
constexpr std::chrono::milliseconds kLongestRetryInterval{16};

// The locks this process holds, by folder, with the number of operations
// inside each.
struct HeldLock {
  LockFile file;
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

}  // namespace

std::string LockFileCreationFailure(const std::filesystem::path& file, std::string_view reason) {
  return "「" + file.string() + "」を作成できないため、書き込みを中止しました（" +
         std::string(reason) +
         "）。フォルダーの書き込み権限と空き容量を確かめてから、もう一度実行してください。";
}

std::string LockFileNotRegularFailure(const std::filesystem::path& file) {
  return "「" + file.string() +
         "」は通常のファイルではないため、書き込みを中止しました。別の場所へ移してから、もう一度"
         "実行してください。";
}

LockFile::LockFile(LockFile&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

LockFile& LockFile::operator=(LockFile&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, kNone);
  }
  return *this;
}

LockFile::~LockFile() {
  Release();
}

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
  Result<LockFile> opened = LockFile::Open(folder / kLockFileName);
  if (!opened.ok())
    return opened.status();
  const auto deadline = std::chrono::steady_clock::now() + patience;
  auto interval = kFirstRetryInterval;
  for (;;) {
    const LockFile::Attempt attempt = opened.value().TryLock();
    if (attempt == LockFile::Attempt::kLocked)
      break;
    if (attempt == LockFile::Attempt::kFailed || std::chrono::steady_clock::now() >= deadline)
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
  // Closing the lock file releases the lock.
  if (--held->second.depth == 0)
    HeldLocks().erase(held);
}

}  // namespace kitebar
