#include "common/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace kitebar {
namespace {

// "「<file>」<what>（<reason>）" for the failure in errno.
std::string SystemError(std::string_view what, const std::filesystem::path& file) {
  return "「" + file.string() + "」" + std::string(what) + "（" + DescribeSystemError(errno) + "）";
}

// Writes all of `bytes`, retrying short writes and interrupted calls.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes once; a failed close is reported, never retried.
  bool Close() {
    if (fd_ < 0)
      return true;
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

// Reads a whole file; a missing one reads as empty when `missingIsEmpty`.
Result<std::string> ReadFile(const std::filesystem::path& file, bool missingIsEmpty) {
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) {
    if (missingIsEmpty && errno == ENOENT)
      return std::string();
    return Status::Failure(SystemError("を開けません", file));
  }
  std::string contents;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR)
        continue;
      return Status::Failure(SystemError("を読めません", file));
    }
    if (got == 0)
      break;
    contents.append(buffer, static_cast<std::size_t>(got));
  }
  return contents;
}

}  // namespace

std::string DescribeSystemError(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "アクセスする権限がありません";
    case ENOENT:
      return "ファイルまたはフォルダーがありません";
    case ENOSPC:
    case EDQUOT:
      return "ディスクの空き容量が足りません";
    case EROFS:
      return "読み取り専用の場所です";
    case EISDIR:
    case ENOTEMPTY:
    case EEXIST:
      return "同じ名前のフォルダーがあります";
    case ENOTDIR:
      return "途中のフォルダー名がファイルを指しています";
    case EIO:
      return "ディスクの読み書きに失敗しました";
    default:
      return std::strerror(error);
  }
}

Status WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::path temporary = file;
  temporary += ".tmp";
  FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd.valid())
    return Status::Failure(SystemError("を作成できません", temporary));
  const bool written = WriteAll(fd.get(), bytes) && ::fdatasync(fd.get()) == 0;
  const int saved_errno = errno;
  if (!fd.Close() || !written) {
    errno = written ? errno : saved_errno;
    const std::string message = SystemError("に書き込めません", temporary);
    ::unlink(temporary.c_str());
    return Status::Failure(message);
  }
  if (::rename(temporary.c_str(), file.c_str()) != 0) {
    const std::string message = SystemError("を置き換えられません", file);
    ::unlink(temporary.c_str());
    return Status::Failure(message);
  }
  return Status::Ok();
}

Result<std::string> ReadWholeFile(const std::filesystem::path& file) {
  return ReadFile(file, false);
}

Result<std::string> ReadFileOrEmpty(const std::filesystem::path& file) {
  return ReadFile(file, true);
}

}  // namespace kitebar
