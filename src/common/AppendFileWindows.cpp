#include <windows.h>

#include <string>

#include "common/AppendFile.h"
#include "common/AppendFileParts.h"
#include "common/WindowsHandle.h"

namespace kitebar {
namespace {

using append_parts::Failure;
using windows::UniqueHandle;

Status SystemError(const std::filesystem::path& file, std::string_view what, DWORD error) {
  return Status::Failure(Failure(file, what, windows::DescribeError(error)),
                         windows::CauseOf(error));
}

Status FormFailure(std::string message) {
  return Status::Failure(std::move(message), Cause::kForm);
}

// Whether the open `handle` is a link (symbolic link or junction) rather
// than the file itself; other reparse points, such as a synced folder's
// cloud files, are files.
bool IsLink(HANDLE handle) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  return ::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) != 0 &&
         (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (tag.ReparseTag == IO_REPARSE_TAG_SYMLINK || tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT);
}

struct OpenFile {
  UniqueHandle handle;  // not valid: no file of that name (when one was not created)
  std::size_t size = 0;
};

// Opens `file` itself, never what a link in its place leads to, and refuses
// anything but a regular file of at most `maxBytes` bytes.
Result<OpenFile> OpenWithoutFollowing(const std::filesystem::path& file, DWORD access, DWORD share,
                                      DWORD disposition, std::size_t maxBytes) {
  UniqueHandle handle(::CreateFileW(file.c_str(), access, share, nullptr, disposition,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                    nullptr));
  if (!handle.valid()) {
    const DWORD error = ::GetLastError();
    if (disposition == OPEN_EXISTING && windows::IsMissing(error))
      return OpenFile{};
    if (error == ERROR_SHARING_VIOLATION)
      return Status::FileInUse(append_parts::InUseMessage(file));
    return SystemError(file, "を開けません", error);
  }
  if (IsLink(handle.get()))
    return FormFailure(append_parts::LinkMessage(file));
  if (!windows::IsRegularFile(handle.get()))
    return FormFailure(append_parts::NotRegularMessage(file));
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(handle.get(), &size) == 0)
    return SystemError(file, "を確かめられません", ::GetLastError());
  if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
    return FormFailure(append_parts::TooLargeMessage(file, maxBytes));
  return OpenFile{std::move(handle), static_cast<std::size_t>(size.QuadPart)};
}

OVERLAPPED At(std::size_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  return at;
}

bool EndsWithLineEnd(HANDLE handle, std::size_t size) {
  if (size == 0)
    return true;
  char last = '\0';
  DWORD got = 0;
  OVERLAPPED at = At(size - 1);
  return ::ReadFile(handle, &last, 1, &got, &at) != 0 && got == 1 && last == '\n';
}

// Writes `bytes` from offset `at` on, one call per page of the file, as the
// POSIX side does.
bool WriteByPages(HANDLE handle, std::string_view bytes, std::size_t at) {
  while (!bytes.empty()) {
    const auto piece =
        static_cast<DWORD>(std::min(bytes.size(), kAppendPageBytes - at % kAppendPageBytes));
    DWORD written = 0;
    OVERLAPPED where = At(at);
    if (::WriteFile(handle, bytes.data(), piece, &written, &where) == 0)
      return false;
    if (written == 0) {
      ::SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes.remove_prefix(written);
    at += written;
  }
  return true;
}

}  // namespace

Status append_parts::AppendWhole(const std::filesystem::path& file, std::string_view lines,
                                 std::size_t maxBytes) {
  // Readers may read meanwhile; another writer (an editor) keeps this one out.
  auto opened = OpenWithoutFollowing(file, GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_ALWAYS, maxBytes);
  if (!opened.ok())
    return opened.status();
  auto& [handle, size] = opened.value();
  if (!EndsWithLineEnd(handle.get(), size))
    return FormFailure(append_parts::CutLastLineMessage(file));
  const std::string bytes = PageAlignedLines(size, lines);
  if (size + bytes.size() > maxBytes)
    return FormFailure(append_parts::TooLargeMessage(file, maxBytes));
  if (WriteByPages(handle.get(), bytes, size) && ::FlushFileBuffers(handle.get()) != 0)
    return Status::Ok();
  // What this call added, and only that, is taken back.
  const DWORD writeError = ::GetLastError();
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  if (::SetFileInformationByHandle(handle.get(), FileEndOfFileInfo, &end, sizeof end) != 0)
    ::FlushFileBuffers(handle.get());
  return SystemError(file, "に追記できません", writeError);
}

Result<std::string> ReadAppendedFile(const std::filesystem::path& file, std::size_t maxBytes) {
  auto opened = OpenWithoutFollowing(file, GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     OPEN_EXISTING, maxBytes);
  if (!opened.ok())
    return opened.status();
  auto& [handle, size] = opened.value();
  if (!handle.valid())
    return std::string();
  std::string contents(size, '\0');
  std::size_t got = 0;
  while (got < contents.size()) {
    DWORD read = 0;
    if (::ReadFile(handle.get(), contents.data() + got, static_cast<DWORD>(contents.size() - got),
                   &read, nullptr) == 0) {
      return SystemError(file, "を読めません", ::GetLastError());
    }
    if (read == 0)
      break;
    got += read;
  }
  contents.resize(got);
  return contents;
}

}  // namespace kitebar
