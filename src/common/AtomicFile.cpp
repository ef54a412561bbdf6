#include "common/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace kitebar {
namespace {

std::string SystemError(std::string_view what, const std::filesystem::path& file) {
  return std::string(what) + " (" + file.string() + "): " + std::strerror(errno);
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

}  // namespace

Status WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::path temporary = file;
  temporary += ".tmp";
  FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd.valid())
    return Status::Failure(SystemError("cannot create", temporary));
  const bool written = WriteAll(fd.get(), bytes) && ::fdatasync(fd.get()) == 0;
  const int saved_errno = errno;
  if (!fd.Close() || !written) {
    errno = written ? errno : saved_errno;
    const std::string message = SystemError("cannot write", temporary);
    ::unlink(temporary.c_str());
    return Status::Failure(message);
  }
  if (::rename(temporary.c_str(), file.c_str()) != 0) {
    const std::string message = SystemError("cannot replace", file);
    ::unlink(temporary.c_str());
    return Status::Failure(message);
  }
  return Status::Ok();
}

Status AppendToFile(const std::filesystem::path& file, std::string_view bytes) {
  FileDescriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
  if (!fd.valid())
    return Status::Failure(SystemError("cannot open", file));
  // One write call: a killed process leaves the entry whole or absent.
  const ssize_t written = ::write(fd.get(), bytes.data(), bytes.size());
  if (written != static_cast<ssize_t>(bytes.size())) {
    return Status::Failure(SystemError("cannot append to", file));
  }
  if (::fdatasync(fd.get()) != 0 || !fd.Close()) {
    return Status::Failure(SystemError("cannot write", file));
  }
  return Status::Ok();
}

Result<std::string> ReadWholeFile(const std::filesystem::path& file) {
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid())
    return Status::Failure(SystemError("cannot open", file));
  std::string contents;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR)
        continue;
      return Status::Failure(SystemError("cannot read", file));
    }
    if (got == 0)
      break;
    contents.append(buffer, static_cast<std::size_t>(got));
  }
  return contents;
}

}  // namespace kitebar
