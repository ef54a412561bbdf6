#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "common/AtomicFile.h"
#include "common/AtomicFileParts.h"
#include "common/FileDescriptor.h"

namespace kitebar {
namespace {

using file_parts::NotRegularFailure;
using file_parts::TooLargeFailure;

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

Status SystemError(std::string_view what, const std::filesystem::path& file, int error) {
  return file_parts::SystemFailure(what, file, error);
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

// Root may write whatever the permission bits say, so a file the user made
// read-only is recognised by its bits as well as by access().
bool IsReadOnly(const std::filesystem::path& file, const struct stat& status) {
  return (status.st_mode & kAnyWriteBit) == 0 ||
         (::access(file.c_str(), W_OK) != 0 && errno == EACCES);
}

// What a stat says against reading the file: a regular file within `maxBytes`.
Status CheckReadableStatus(const std::filesystem::path& file, const struct stat& status,
                           std::size_t maxBytes) {
  if (!S_ISREG(status.st_mode))
    return NotRegularFailure(file, "読めません");
  if (status.st_size < 0 || static_cast<std::uintmax_t>(status.st_size) > maxBytes)
    return TooLargeFailure(file, maxBytes);
  return Status::Ok();
}

// What a stat says against replacing the file: a regular file, not read-only.
Status CheckReplaceableStatus(const std::filesystem::path& file, const struct stat& status) {
  if (!S_ISREG(status.st_mode))
    return NotRegularFailure(file, "置き換えられません");
  if (IsReadOnly(file, status))
    return file_parts::ReadOnlyFailure(file);
  return Status::Ok();
}

// Creates the temporary file beside `file` exclusively: an existing file or
// link of that name is never opened, let alone followed. Failures name
// `shown`, the name the caller gave.
Result<std::pair<FileDescriptor, std::filesystem::path>> CreateTemporaryFile(
    const std::filesystem::path& file, const std::filesystem::path& shown) {
  for (int attempt = 0; attempt < file_parts::kTemporaryNameAttempts; ++attempt) {
    std::filesystem::path name =
        file_parts::TemporaryName(file, static_cast<std::uint64_t>(::getpid()));
    FileDescriptor fd(
        ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (fd.valid())
      return std::make_pair(std::move(fd), std::move(name));
    if (errno != EEXIST)
      return file_parts::TemporaryFileFailure(file, shown, errno);
  }
  return file_parts::TemporaryFileFailure(file, shown, EEXIST);
}

// Writes `bytes` to a new temporary file beside `file`, flushed to disk, with
// the permissions of `old` when given; on failure nothing is left behind and
// the message names `shown`.
Result<std::filesystem::path> WriteTemporaryFile(const std::filesystem::path& file,
                                                 const std::filesystem::path& shown,
                                                 std::string_view bytes, const struct stat* old) {
  auto created = CreateTemporaryFile(file, shown);
  if (!created.ok())
    return created.status();
  auto& [fd, temporary] = created.value();
  // The new file keeps what the user set on the old one.
  const bool written = (old == nullptr || ::fchmod(fd.get(), old->st_mode & 07777) == 0) &&
                       WriteAll(fd.get(), bytes) && ::fdatasync(fd.get()) == 0;
  const int writeError = errno;
  const bool closed = fd.Close();
  const int closeError = errno;
  if (!written || !closed) {
    ::unlink(temporary.c_str());
    return SystemError("に書き込めません", shown, written ? closeError : writeError);
  }
  return std::move(temporary);
}

// Gives `temporary` the name `name` unless a file has that name already
// (errno EEXIST then). A file system without the one-step call gets a hard
// link and the removal of the temporary name, which never replaces either.
bool PlaceWithoutReplacing(const std::filesystem::path& temporary,
                           const std::filesystem::path& name) {
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
    return false;
  if (::link(temporary.c_str(), name.c_str()) != 0)
    return false;
  ::unlink(temporary.c_str());
  return true;
}

bool IsSymbolicLink(const std::filesystem::path& file) {
  struct stat status {};
  return ::lstat(file.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

}  // namespace

namespace file_parts {

Result<std::filesystem::path> WriteTarget(const std::filesystem::path& file) {
  if (!IsSymbolicLink(file))
    return file;
  std::error_code error;
  std::filesystem::path target = std::filesystem::canonical(file, error);
  if (error)
    return file_parts::LinkTargetMissingFailure(file);
  return target;
}

Result<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes,
                                    bool missingIsEmpty) {
  // Without O_NONBLOCK a named pipe would block the open until a writer came.
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) {
    if (missingIsEmpty && errno == ENOENT)
      return std::string();
    return SystemError("を開けません", file, errno);
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0)
    return SystemError("を読めません", file, errno);
  if (Status readable = CheckReadableStatus(file, status, maxBytes); !readable.ok())
    return readable;
  std::string contents;
  contents.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR)
        continue;
      return SystemError("を読めません", file, errno);
    }
    if (got == 0)
      break;
    // The file may grow while it is read.
    if (contents.size() + static_cast<std::size_t>(got) > maxBytes)
      return TooLargeFailure(file, maxBytes);
    contents.append(buffer, static_cast<std::size_t>(got));
  }
  return contents;
}

}  // namespace file_parts

Status CheckReplaceable(const std::filesystem::path& file) {
  if (const Result<std::filesystem::path> target = file_parts::WriteTarget(file); !target.ok())
    return target.status();
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) {
    if (errno == ENOENT)
      return Status::Ok();
    return SystemError("を確かめられません", file, errno);
  }
  return CheckReplaceableStatus(file, status);
}

// `file` names the file in every message; a link's target is what is
// replaced, or with Links::kReplace the link itself.
Status file_parts::ReplaceWhole(const std::filesystem::path& file, std::string_view bytes,
                                Links links) {
  const Result<std::filesystem::path> target =
      links == Links::kFollow ? file_parts::WriteTarget(file) : Result<std::filesystem::path>(file);
  if (!target.ok())
    return target.status();
  struct stat old {};
  const bool replacing = (links == Links::kFollow ? ::stat(target->c_str(), &old)
                                                  : ::lstat(target->c_str(), &old)) == 0;
  if (!replacing && errno != ENOENT)
    return SystemError("を確かめられません", file, errno);
  const bool replacingFile = replacing && !S_ISLNK(old.st_mode);
  if (replacingFile) {
    if (Status replaceable = CheckReplaceableStatus(file, old); !replaceable.ok())
      return replaceable;
  }
  Result<std::filesystem::path> temporary =
      WriteTemporaryFile(*target, file, bytes, replacingFile ? &old : nullptr);
  if (!temporary.ok())
    return temporary.status();
  if (::rename(temporary->c_str(), target->c_str()) != 0) {
    const int renameError = errno;
    ::unlink(temporary->c_str());
    return SystemError("を置き換えられません", file, renameError);
  }
  return Status::Ok();
}

Result<std::filesystem::path> WriteNewFileAtomically(std::span<const std::filesystem::path> names,
                                                     std::string_view bytes) {
  if (names.empty())
    return file_parts::AllNamesTakenFailure({}, 0);
  Result<std::filesystem::path> temporary =
      WriteTemporaryFile(names.front(), names.front(), bytes, nullptr);
  if (!temporary.ok())
    return temporary.status();
  for (const std::filesystem::path& name : names) {
    if (PlaceWithoutReplacing(*temporary, name))
      return name;
    if (errno != EEXIST) {
      const int placeError = errno;
      ::unlink(temporary->c_str());
      return SystemError("を作成できません", name, placeError);
    }
  }
  ::unlink(temporary->c_str());
  return file_parts::AllNamesTakenFailure(names.front(), names.size());
}

Status RenameOver(const std::filesystem::path& replacement, const std::filesystem::path& file) {
  struct stat moved {};
  if (::lstat(replacement.c_str(), &moved) != 0)
    return Status::Failure(DescribeSystemError(errno), CauseOfSystemError(errno));
  if (!S_ISREG(moved.st_mode))
    return file_parts::ReplacementNotRegularFailure(replacement);
  if (IsSymbolicLink(file))
    return file_parts::CopyOverLinkTarget(replacement, file);
  struct stat old {};
  if (::stat(file.c_str(), &old) == 0 && ::chmod(replacement.c_str(), old.st_mode & 07777) != 0)
    return Status::Failure(DescribeSystemError(errno), CauseOfSystemError(errno));
  if (::rename(replacement.c_str(), file.c_str()) != 0)
    return Status::Failure(DescribeSystemError(errno), CauseOfSystemError(errno));
  return Status::Ok();
}

Status CheckReadable(const std::filesystem::path& file, std::size_t maxBytes) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0)
    return Status::Ok();
  return CheckReadableStatus(file, status, maxBytes);
}

}  // namespace kitebar
