#include "common/FolderLock.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

#include "common/LockFile.h"
#include "common/ProgramFiles.h"

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

// Adds the folder that a write of `file` really writes in, when `file` is a
// link (a link to nothing included: its target is what a write would create).
void AddTargetFolder(const std::filesystem::path& file, std::vector<std::string>& keys) {
  std::error_code error;
  if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, error)))
    return;
  keys.push_back(KeyOf(FinalTarget(file).parent_path()));
}

// Enters the lock of `key` when this process holds it already.
bool EnterHeld(const std::string& key) {
  const std::lock_guard guard(HeldLocksMutex());
  auto held = HeldLocks().find(key);
  if (held == HeldLocks().end())
    return false;
  ++held->second.depth;
  return true;
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
    if (attempt == LockFile::Attempt::kFailed)
      return opened.value().failure();
    if (attempt != LockFile::Attempt::kLocked)
      return Status::Failure(AnotherWriterMessage(), Cause::kAnotherWriter);
    if (opened.value().IsStillAt(file))
      return opened;
    if (std::chrono::steady_clock::now() >= deadline)
      return Status::Failure(AnotherWriterMessage(), Cause::kAnotherWriter);
  }
}

}  // namespace

Status LockFileCreationFailure(const std::filesystem::path& file, std::string_view reason,
                               Cause cause) {
  return Status::Failure("「" + file.string() + "」を作成できないため、書き込みを中止しました（" +
                             std::string(reason) + "）。何も書き込んでいません。",
                         cause);
}

Status LockFileNotRegularFailure(const std::filesystem::path& file) {
  return Status::Failure("「" + file.string() +
                             "」は通常のファイルではないため、書き込みを中止しました。何も書き込"
                             "んでいません。別の場所へ移してから、もう一度実行してください。",
                         Cause::kForm);
}

Status LockFolderFailure(const std::filesystem::path& folder, std::string_view reason,
                         Cause cause) {
  return Status::Failure("フォルダー「" + folder.string() + "」に鍵を掛けられないため（" +
                             std::string(reason) +
                             "）、ほかの Kitebar と同時に書き込まないことを確かめられません。何も"
                             "書き込んでいません。",
                         cause);
}

LockFile::LockFile(LockFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNone)),
      file_(std::move(other.file_)),
      folder_(std::exchange(other.folder_, kNone)),
      failure_(std::move(other.failure_)) {}

LockFile& LockFile::operator=(LockFile&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, kNone);
    file_ = std::move(other.file_);
    folder_ = std::exchange(other.folder_, kNone);
    failure_ = std::move(other.failure_);
  }
  return *this;
}

LockFile::~LockFile() {
  Release();
}

std::string AnotherWriterMessage() {
  return "ほかの Kitebar（デスクトップ版または kitebar-cli）が同じフォルダーのファイルを書き込んで"
         "いるため、書き込みませんでした。";
}

Result<FolderLock> FolderLock::Acquire(const std::filesystem::path& folder,
                                       std::chrono::milliseconds patience) {
  std::vector<std::string> keys{KeyOf(folder)};
  for (const ProgramFile& file : ProgramFiles()) {
    if (file.kind == ProgramFileKind::kData)
      AddTargetFolder((folder.empty() ? std::filesystem::path(".") : folder) / file.name, keys);
  }
  return AcquireAll(std::move(keys), patience);
}

Result<FolderLock> FolderLock::AcquireFor(const std::filesystem::path& file,
                                          std::chrono::milliseconds patience) {
  std::vector<std::string> keys{KeyOf(file.parent_path())};
  AddTargetFolder(file, keys);
  return AcquireAll(std::move(keys), patience);
}

// The first key is the folder the operation names; the others are taken
// with it, in sorted order.
Result<FolderLock> FolderLock::AcquireAll(std::vector<std::string> keys,
                                          std::chrono::milliseconds patience) {
  const std::string own = keys.front();
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  bool nested = false;
  FolderLock entered({}, false);
  for (const std::string& key : keys) {
    const bool held = EnterHeld(key);
    if (!held) {
      Result<LockFile> locked =
          LockFolderFile(std::filesystem::path(key) / kLockFileName, patience);
      if (!locked.ok())
        return locked.status();  // `entered` leaves the folders entered so far
      const std::lock_guard guard(HeldLocksMutex());
      HeldLocks().emplace(key, HeldLock{std::move(locked.value()), 1});
    }
    entered.keys_.push_back(key);
    nested = nested || (held && key == own);
  }
  entered.nested_ = nested;
  return entered;
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : keys_(std::exchange(other.keys_, {})), nested_(other.nested_) {}

FolderLock::~FolderLock() {
  const std::lock_guard guard(HeldLocksMutex());
  for (const std::string& key : keys_) {
    auto held = HeldLocks().find(key);
    // Closing the lock file releases the lock.
    if (held != HeldLocks().end() && --held->second.depth == 0)
      HeldLocks().erase(held);
  }
}

}  // namespace kitebar
