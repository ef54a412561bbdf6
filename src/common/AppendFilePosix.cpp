#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/AppendFile.h"
#include "common/AppendFileParts.h"
#include "common/AtomicFile.h"
#include "common/FileDescriptor.h"

namespace kitebar {
namespace {

using append_parts::Failure;

constexpr int kNoFollow = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

Status SystemError(const std::filesystem::path& file, std::string_view what, int error) {
  return Status::Failure(Failure(file, what, DescribeSystemError(error)),
                         CauseOfSystemError(error));
}

Status FormFailure(std::string message) {
  return Status::Failure(std::move(message), Cause::kForm);
}

// What stands at `file` before it is opened: a link is refused by name (an
// open without following it could only say ELOOP), as is anything that an
// open for writing would block on or misread.
Status CheckWhatIsThere(const std::filesystem::path& file) {
  struct stat status {};
  if (::lstat(file.c_str(), &status) != 0) {
    if (errno == ENOENT)
      return Status::Ok();
    return SystemError(file, "を確かめられません", errno);
  }
  if (S_ISLNK(status.st_mode))
    return FormFailure(append_parts::LinkMessage(file));
  if (!S_ISREG(status.st_mode))
    return FormFailure(append_parts::NotRegularMessage(file));
  return Status::Ok();
}

// The same for what was opened, which may have been swapped in meanwhile.
Result<std::size_t> RegularFileSize(int fd, const std::filesystem::path& file,
                                    std::size_t maxBytes) {
  struct stat status {};
  if (::fstat(fd, &status) != 0)
    return SystemError(file, "を確かめられません", errno);
  if (!S_ISREG(status.st_mode))
    return FormFailure(append_parts::NotRegularMessage(file));
  if (status.st_size < 0 || static_cast<std::uintmax_t>(status.st_size) > maxBytes)
    return FormFailure(append_parts::TooLargeMessage(file, maxBytes));
  return static_cast<std::size_t>(status.st_size);
}

Result<FileDescriptor> OpenWithoutFollowing(const std::filesystem::path& file, int flags) {
  if (Status there = CheckWhatIsThere(file); !there.ok())
    return there;
  FileDescriptor fd(::open(file.c_str(), flags | kNoFollow, 0644));
  if (fd.valid())
    return fd;
  switch (errno) {
    case ELOOP:
      return FormFailure(append_parts::LinkMessage(file));
    case ENXIO:
    case EISDIR:
      return FormFailure(append_parts::NotRegularMessage(file));
    default:
      return SystemError(file, "を開けません", errno);
  }
}

bool EndsWithLineEnd(int fd, std::size_t size) {
  char last = '\n';
  return size == 0 || (::pread(fd, &last, 1, static_cast<off_t>(size - 1)) == 1 && last == '\n');
}

// Writes `bytes` from offset `at` on, one call per page of the file, so that
// a kill between two calls leaves whole lines only.
bool WriteByPages(int fd, std::string_view bytes, std::size_t at) {
  while (!bytes.empty()) {
    const std::size_t piece = std::min(bytes.size(), kAppendPageBytes - at % kAppendPageBytes);
    const ssize_t written = ::write(fd, bytes.data(), piece);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
    at += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

Status append_parts::AppendWhole(const std::filesystem::path& file, std::string_view lines,
                                 std::size_t maxBytes) {
  Result<FileDescriptor> opened = OpenWithoutFollowing(file, O_RDWR | O_APPEND | O_CREAT);
  if (!opened.ok())
    return opened.status();
  FileDescriptor& fd = opened.value();
  const Result<std::size_t> size = RegularFileSize(fd.get(), file, maxBytes);
  if (!size.ok())
    return size.status();
  if (!EndsWithLineEnd(fd.get(), *size))
    return FormFailure(append_parts::CutLastLineMessage(file));
  const std::string bytes = PageAlignedLines(*size, lines);
  if (*size + bytes.size() > maxBytes)
    return FormFailure(append_parts::TooLargeMessage(file, maxBytes));
  if (WriteByPages(fd.get(), bytes, *size) && ::fdatasync(fd.get()) == 0) {
    if (!fd.Close())
      return SystemError(file, "に追記できたか確かめられません", errno);
    return Status::Ok();
  }
  // What this call added, and only that, is taken back: the file is as the
  // folder's lock found it.
  const int writeError = errno;
  if (::ftruncate(fd.get(), static_cast<off_t>(*size)) == 0)
    ::fdatasync(fd.get());
  return SystemError(file, "に追記できません", writeError);
}

Result<std::string> ReadAppendedFile(const std::filesystem::path& file, std::size_t maxBytes) {
  if (Status there = CheckWhatIsThere(file); !there.ok())
    return there;
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | kNoFollow));
  if (!fd.valid()) {
    if (errno == ENOENT)
      return std::string();
    if (errno == ELOOP)
      return FormFailure(append_parts::LinkMessage(file));
    return SystemError(file, "を開けません", errno);
  }
  const Result<std::size_t> size = RegularFileSize(fd.get(), file, maxBytes);
  if (!size.ok())
    return size.status();
  std::string contents(*size, '\0');
  std::size_t got = 0;
  while (got < contents.size()) {
    const ssize_t read = ::read(fd.get(), contents.data() + got, contents.size() - got);
    if (read < 0 && errno == EINTR)
      continue;
    if (read < 0)
      return SystemError(file, "を読めません", errno);
    if (read == 0)
      break;
    got += static_cast<std::size_t>(read);
  }
  // A file cut meanwhile reads as what it holds; one that grows is read up
  // to the size it had when it was opened.
  contents.resize(got);
  return contents;
}

}  // namespace kitebar
