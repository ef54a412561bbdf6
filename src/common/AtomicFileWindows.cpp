#include <windows.h>

#include <aclapi.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "common/AtomicFile.h"
#include "common/AtomicFileParts.h"
#include "common/WindowsHandle.h"

namespace kitebar {
namespace {

using file_parts::NotRegularFailure;
using file_parts::TooLargeFailure;
using windows::UniqueHandle;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Attributes that the new file takes over from the old one.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// A rename that another program's open handle blocks is tried again for
// about a second.
constexpr int kReplaceAttempts = 20;
constexpr std::chrono::milliseconds kReplaceRetryInterval{50};
constexpr DWORD kReadChunk = 65536;

Status SystemError(std::string_view what, const std::filesystem::path& file, DWORD error) {
  return Status::Failure(file_parts::Failure(what, file, windows::DescribeError(error)),
                         windows::CauseOf(error));
}

// Opens `file` without reading it, for its type and attributes; a folder
// opens too, so that it can be named as such.
UniqueHandle OpenForQuery(const std::filesystem::path& file, DWORD access) {
  return UniqueHandle(::CreateFileW(file.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Whether another program's open handle keeps `file` from being replaced: it
// did not share deletion (or writing), which access rules never cause.
bool HeldOpenByAnother(const std::filesystem::path& file) {
  return !OpenForQuery(file, DELETE).valid() && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

bool WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (::WriteFile(handle, bytes.data(), piece, &written, nullptr) == 0 || written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// The access rules of a file, to be given to the file that replaces it.
class AccessRules {
 public:
  // Nothing to keep for a file that does not exist, or on a file system
  // without access rules.
  static AccessRules Of(const std::filesystem::path& file) {
    AccessRules rules;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &rules.list_, nullptr, &descriptor) != ERROR_SUCCESS) {
      return rules;
    }
    rules.descriptor_.reset(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    rules.protected_ = ::GetSecurityDescriptorControl(descriptor, &control, &revision) != 0 &&
                       (control & SE_DACL_PROTECTED) != 0;
    return rules;
  }

  // An inherited rule is left to the folder, as for any new file in it; the
  // rules set on the file itself are copied. `handle` needs READ_CONTROL as
  // well as WRITE_DAC: the folder's rules are merged with the file's.
  DWORD ApplyTo(HANDLE handle) const {
    if (list_ == nullptr)
      return ERROR_SUCCESS;
    const SECURITY_INFORMATION what =
        DACL_SECURITY_INFORMATION |
        (protected_ ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
    return ::SetSecurityInfo(handle, SE_FILE_OBJECT, what, nullptr, nullptr, list_, nullptr);
  }

 private:
  struct LocalFreer {
    void operator()(void* memory) const { ::LocalFree(memory); }
  };
  std::unique_ptr<void, LocalFreer> descriptor_;
  PACL list_ = nullptr;  // inside descriptor_
  bool protected_ = false;
};

// Creates the temporary file beside `file` exclusively (CREATE_NEW): an
// existing file or link of that name is never opened, let alone followed.
// Failures name `shown`, the name the caller gave.
Result<std::pair<UniqueHandle, std::filesystem::path>> CreateTemporaryFile(
    const std::filesystem::path& file, const std::filesystem::path& shown) {
  for (int attempt = 0; attempt < file_parts::kTemporaryNameAttempts; ++attempt) {
    std::filesystem::path name = file_parts::TemporaryName(file, ::GetCurrentProcessId());
    UniqueHandle handle(::CreateFileW(name.c_str(), GENERIC_WRITE | READ_CONTROL | WRITE_DAC, 0,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.valid())
      return std::make_pair(std::move(handle), std::move(name));
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
      return SystemError("の一時ファイルを作成できません", shown, error);
  }
  return SystemError("の一時ファイルを作成できません", shown, ERROR_FILE_EXISTS);
}

bool KeepAttributes(HANDLE handle, DWORD oldAttributes) {
  const DWORD kept = oldAttributes & kKeptAttributes;
  if (kept == 0)
    return true;
  FILE_BASIC_INFO information{};  // zero times: left as they are
  information.FileAttributes = kept;
  return ::SetFileInformationByHandle(handle, FileBasicInfo, &information, sizeof information) != 0;
}

// Renames `temporary` over `file` in one step, flushed through to the disk.
DWORD Replace(const std::filesystem::path& temporary, const std::filesystem::path& file) {
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
    if (::MoveFileExW(temporary.c_str(), file.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
      return ERROR_SUCCESS;
    error = ::GetLastError();
    if (!windows::MayPassSoon(error))
      return error;
    std::this_thread::sleep_for(kReplaceRetryInterval);
  }
  return error;
}

// A symbolic link: a reparse point that a path goes through to its target.
// Other reparse points (files of a cloud folder not yet on the disk) are the
// file itself and are replaced as any file is.
bool IsSymbolicLink(const std::filesystem::path& file) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(file.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return false;
  ::FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         found.dwReserved0 == IO_REPARSE_TAG_SYMLINK;
}

// The path of an open file as Windows names it, without the "\\?\" that
// marks a long path.
std::filesystem::path FinalPathOf(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length >= path.size()) {
    path.resize(length);
    length = ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  }
  if (length == 0 || length >= path.size())
    return {};
  path.resize(length);
  constexpr std::wstring_view kLongPathMark = L"\\\\?\\";
  if (path.starts_with(kLongPathMark) && path.size() > kLongPathMark.size() + 2 &&
      path[kLongPathMark.size() + 1] == L':')
    path.erase(0, kLongPathMark.size());
  return path;
}

}  // namespace

namespace file_parts {

Result<std::filesystem::path> WriteTarget(const std::filesystem::path& file) {
  if (!IsSymbolicLink(file))
    return file;
  const UniqueHandle target = OpenForQuery(file, FILE_READ_ATTRIBUTES);
  std::filesystem::path resolved =
      target.valid() ? FinalPathOf(target.get()) : std::filesystem::path();
  if (resolved.empty())
    return file_parts::LinkTargetMissingFailure(file);
  return resolved;
}

Result<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes,
                                    bool missingIsEmpty) {
  // Shared for deletion too, so that a writer's rename never waits for a
  // reader.
  UniqueHandle handle(::CreateFileW(file.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.valid()) {
    const DWORD error = ::GetLastError();
    if (missingIsEmpty && windows::IsMissing(error))
      return std::string();
    if (error == ERROR_SHARING_VIOLATION)
      return file_parts::InUseFailure(file, "読めません");
    return SystemError("を開けません", file, error);
  }
  if (!windows::IsRegularFile(handle.get()))
    return NotRegularFailure(file, "読めません");
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(handle.get(), &size) == 0)
    return SystemError("を読めません", file, ::GetLastError());
  if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
    return TooLargeFailure(file, maxBytes);
  std::string contents;
  contents.reserve(static_cast<std::size_t>(size.QuadPart));
  auto buffer = std::make_unique<char[]>(kReadChunk);
  for (;;) {
    DWORD got = 0;
    if (::ReadFile(handle.get(), buffer.get(), kReadChunk, &got, nullptr) == 0)
      return SystemError("を読めません", file, ::GetLastError());
    if (got == 0)
      break;
    // The file may grow while it is read.
    if (contents.size() + got > maxBytes)
      return TooLargeFailure(file, maxBytes);
    contents.append(buffer.get(), got);
  }
  return contents;
}

}  // namespace file_parts

// `file` names the file in every message; a link's target is what is
// checked and replaced.
Status CheckReplaceable(const std::filesystem::path& file) {
  const Result<std::filesystem::path> target = file_parts::WriteTarget(file);
  if (!target.ok())
    return target.status();
  const UniqueHandle handle = OpenForQuery(*target, FILE_READ_ATTRIBUTES);
  if (!handle.valid()) {
    const DWORD error = ::GetLastError();
    if (windows::IsMissing(error))
      return Status::Ok();
    return SystemError("を確かめられません", file, error);
  }
  if (!windows::IsRegularFile(handle.get()))
    return NotRegularFailure(file, "置き換えられません");
  const DWORD attributes = ::GetFileAttributesW(target->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return file_parts::ReadOnlyFailure(file);
  // Access rules that deny writing make the file read-only for this user.
  if (!OpenForQuery(*target, FILE_WRITE_DATA).valid() && ::GetLastError() == ERROR_ACCESS_DENIED)
    return file_parts::ReadOnlyFailure(file);
  return Status::Ok();
}

Status file_parts::ReplaceWhole(const std::filesystem::path& file, std::string_view bytes,
                                Links links) {
  // A link in a scratch file's place is replaced as the name it is.
  const bool replacingLink = links == Links::kReplace && IsSymbolicLink(file);
  if (!replacingLink) {
    if (Status replaceable = CheckReplaceable(file); !replaceable.ok())
      return replaceable;
  }
  const Result<std::filesystem::path> target =
      links == Links::kFollow ? file_parts::WriteTarget(file) : Result<std::filesystem::path>(file);
  if (!target.ok())
    return target.status();
  const DWORD oldAttributes =
      replacingLink ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(target->c_str());
  const bool replacing = oldAttributes != INVALID_FILE_ATTRIBUTES;
  const AccessRules rules = replacing ? AccessRules::Of(*target) : AccessRules();
  auto created = CreateTemporaryFile(*target, file);
  if (!created.ok())
    return created.status();
  auto& [handle, temporary] = created.value();
  // The new file keeps what the user set on the old one.
  DWORD error = replacing ? rules.ApplyTo(handle.get()) : ERROR_SUCCESS;
  const bool written = error == ERROR_SUCCESS &&
                       (!replacing || KeepAttributes(handle.get(), oldAttributes)) &&
                       WriteAll(handle.get(), bytes) && ::FlushFileBuffers(handle.get()) != 0;
  if (!written && error == ERROR_SUCCESS)
    error = ::GetLastError();
  const bool closed = handle.Close();
  if (written && !closed)
    error = ::GetLastError();
  if (!written || !closed) {
    ::DeleteFileW(temporary.c_str());
    return SystemError("に書き込めません", file, error);
  }
  if (const DWORD replaceError = Replace(temporary, *target); replaceError != ERROR_SUCCESS) {
    ::DeleteFileW(temporary.c_str());
    if (HeldOpenByAnother(file))
      return file_parts::InUseFailure(file, "書き込めません");
    return SystemError("を置き換えられません", file, replaceError);
  }
  return Status::Ok();
}

Result<std::filesystem::path> WriteNewFileAtomically(std::span<const std::filesystem::path> names,
                                                     std::string_view bytes) {
  if (names.empty())
    return file_parts::AllNamesTakenFailure({}, 0);
  auto created = CreateTemporaryFile(names.front(), names.front());
  if (!created.ok())
    return created.status();
  auto& [handle, temporary] = created.value();
  const bool written = WriteAll(handle.get(), bytes) && ::FlushFileBuffers(handle.get()) != 0;
  DWORD error = written ? ERROR_SUCCESS : ::GetLastError();
  if (!handle.Close() && written)
    error = ::GetLastError();
  if (error != ERROR_SUCCESS) {
    ::DeleteFileW(temporary.c_str());
    return SystemError("に書き込めません", names.front(), error);
  }
  // Without MOVEFILE_REPLACE_EXISTING the move fails on a name that is taken.
  for (const std::filesystem::path& name : names) {
    if (::MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH) != 0)
      return name;
    error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
      ::DeleteFileW(temporary.c_str());
      return SystemError("を作成できません", name, error);
    }
  }
  ::DeleteFileW(temporary.c_str());
  return file_parts::AllNamesTakenFailure(names.front(), names.size());
}

Status RenameOver(const std::filesystem::path& replacement, const std::filesystem::path& file) {
  const DWORD moved = ::GetFileAttributesW(replacement.c_str());
  if (moved == INVALID_FILE_ATTRIBUTES)
    return windows::ErrorStatus(::GetLastError());
  if ((moved & FILE_ATTRIBUTE_DIRECTORY) != 0 || IsSymbolicLink(replacement))
    return file_parts::ReplacementNotRegularFailure(replacement);
  if (IsSymbolicLink(file))
    return file_parts::CopyOverLinkTarget(replacement, file);
  const DWORD oldAttributes = ::GetFileAttributesW(file.c_str());
  if (oldAttributes != INVALID_FILE_ATTRIBUTES) {
    const UniqueHandle handle(::CreateFileW(replacement.c_str(),
                                            READ_CONTROL | WRITE_DAC | FILE_WRITE_ATTRIBUTES,
                                            kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle.valid())
      return windows::ErrorStatus(::GetLastError());
    const DWORD applied = AccessRules::Of(file).ApplyTo(handle.get());
    if (applied != ERROR_SUCCESS)
      return windows::ErrorStatus(applied);
    if (!KeepAttributes(handle.get(), oldAttributes))
      return windows::ErrorStatus(::GetLastError());
  }
  if (const DWORD error = Replace(replacement, file); error != ERROR_SUCCESS)
    return windows::ErrorStatus(error);
  return Status::Ok();
}

Status CheckReadable(const std::filesystem::path& file, std::size_t maxBytes) {
  const UniqueHandle handle = OpenForQuery(file, FILE_READ_ATTRIBUTES);
  if (!handle.valid())
    return Status::Ok();
  if (!windows::IsRegularFile(handle.get()))
    return NotRegularFailure(file, "読めません");
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(handle.get(), &size) != 0 &&
      (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > maxBytes))
    return TooLargeFailure(file, maxBytes);
  return Status::Ok();
}

}  // namespace kitebar
