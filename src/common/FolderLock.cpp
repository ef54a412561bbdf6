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

// Opens and locks `file`, waiting up to `patience` for another writer. A lock
// taken on a file that someone deleted or replaced in the meantime is let go
// and taken again on the file that now has the name; the file itself is
// never deleted here, so that it always names the one lock of the folder.
Result<LockFile> LockFolderFile(const std::filesystem::path& file,
                                std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  auto interval = kFirstRetryInterval;
  for (;;) {
    Result<LockFile> opened = LockFile::Open(file);
    if (!opened.ok())
      return opened.status();
    LockFile::Attempt attempt = opened.value().TryLock();
    while (attempt == LockFile::Attempt::kHeldElsewhere &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(interval);
      interval = std::min(interval * 2, kLongestRetryInterval);
      attempt = opened.value().TryLock();
    }
    if (attempt != LockFile::Attempt::kLocked)
      return Status::Failure(AnotherWriterMessage());
    if (opened.value().IsStillAt(file))
      return opened;
    if (std::chrono::steady_clock::now() >= deadline)
      return Status::Failure(AnotherWriterMessage());
  }
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

LockFile::LockFile(LockFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNone)), folder_(std::exchange(other.folder_, kNone)) {}

LockFile& LockFile::operator=(LockFile&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, kNone);
    folder_ = std::exchange(other.folder_, kNone);
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
  Result<LockFile> locked = LockFolderFile(folder / kLockFileName, patience);
  if (!locked.ok())
    return locked.status();
  const std::lock_guard guard(HeldLocksMutex());
  HeldLocks().emplace(key, HeldLock{std::move(locked.value()), 1});
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
