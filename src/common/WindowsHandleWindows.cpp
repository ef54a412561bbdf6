#include <cerrno>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "common/WindowsHandle.h"

namespace kitebar::windows {
namespace {

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
      return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return EEXIST;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_CANT_RESOLVE_FILENAME:
      return ELOOP;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
      return EIO;
    default:
      return 0;
  }
}

}  // namespace

std::string DescribeError(DWORD error) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
    return "ほかのプログラムがファイルを使っています";
  if (const int posix = ErrnoOf(error); posix != 0)
    return DescribeSystemError(posix);
  return "Windows のエラー " + FormatInt(static_cast<int>(error));
}

Cause CauseOf(DWORD error) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
    return Cause::kInUse;
  return CauseOfSystemError(ErrnoOf(error));
}

Status ErrorStatus(DWORD error) {
  return Status::Failure(DescribeError(error), CauseOf(error));
}

bool IsRegularFile(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information{};
  return ::GetFileType(handle) == FILE_TYPE_DISK &&
         ::GetFileInformationByHandle(handle, &information) != 0 &&
         (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace kitebar::windows
