#include "common/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#include "common/AtomicFileParts.h"
#include "common/FolderLock.h"
#include "common/NumberText.h"
#include "common/ProgramFiles.h"

namespace kitebar {
namespace file_parts {

std::string Quoted(const std::filesystem::path& file) {
  return "「" + file.string() + "」";
}

std::string Failure(std::string_view what, const std::filesystem::path& file,
                    std::string_view reason) {
  return Quoted(file) + std::string(what) + "（" + std::string(reason) + "）";
}

Status SystemFailure(std::string_view what, const std::filesystem::path& file, int error) {
  return Status::Failure(Failure(what, file, DescribeSystemError(error)),
                         CauseOfSystemError(error));
}

Status NotRegularFailure(const std::filesystem::path& file, std::string_view what) {
  return Status::Failure(
      Quoted(file) + "は通常のファイルではないため、" + std::string(what) +
          "。同じ名前のフォルダーや特殊なファイル（名前付きパイプ、デバイスなど）を別の場所へ移して"
          "から、もう一度実行してください。",
      Cause::kForm);
}

Status TooLargeFailure(const std::filesystem::path& file, std::size_t maxBytes) {
  return Status::Failure(Quoted(file) + "は大きすぎるため、読めません（上限は " +
                             FormatInt(static_cast<long long>(maxBytes)) + " バイトです）。",
                         Cause::kSizeLimit);
}

Status ReadOnlyFailure(const std::filesystem::path& file) {
  return Status::Failure(Quoted(file) + "は読み取り専用のため、書き込めません。", Cause::kReadOnly);
}

Status InUseFailure(const std::filesystem::path& file, std::string_view what) {
  return Status::Failure(
      Quoted(file) + "はほかのプログラムが使っているため、" + std::string(what) + "。",
      Cause::kInUse);
}

Status AllNamesTakenFailure(const std::filesystem::path& first, std::size_t count) {
  return Status::Failure(
      Quoted(first) + "から始まる " + FormatInt(static_cast<long long>(count)) +
      " 個の名前はすべて使われているため、新しいファイルを作成できません。古いファイルを別の"
      "場所へ移してから、もう一度実行してください。");
}

Status LinkTargetMissingFailure(const std::filesystem::path& file) {
  return Status::Failure(
      Quoted(file) + "はシンボリックリンクですが、リンク先のファイルがないため、書き込めません。",
      Cause::kLink);
}

// The replacement is a whole file that this program wrote; the cap only
// guards against reading something else.
Status CopyOverLinkTarget(const std::filesystem::path& replacement,
                          const std::filesystem::path& file) {
  constexpr std::size_t kMaxCopiedBytes = std::size_t{64} << 20;
  Result<std::string> bytes = ReadWholeFile(replacement, kMaxCopiedBytes);
  if (!bytes.ok())
    return bytes.status();
  if (Status written = WriteFileAtomically(file, *bytes); !written.ok())
    return written;
  std::error_code ignored;
  std::filesystem::remove(replacement, ignored);
  return Status::Ok();
}

std::filesystem::path TemporaryName(const std::filesystem::path& file, std::uint64_t process) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 random{std::random_device{}()};
  std::string suffix = ".";
  suffix += std::to_string(process);
  suffix += '-';
  suffix += std::to_string(counter++);
  suffix += '-';
  suffix += std::to_string(random() % 1000000);
  suffix += ".tmp";
  std::filesystem::path name = file;
  name += suffix;
  return name;
}

Status TemporaryFileFailure(const std::filesystem::path& target, const std::filesystem::path& shown,
                            int error) {
  if (target == shown)
    return SystemFailure("の一時ファイルを作成できません", shown, error);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  return Status::Failure(Quoted(shown) + "のリンク先のフォルダー" + Quoted(folder) +
                             "に一時ファイルを作成できません（" + DescribeSystemError(error) + "）",
                         CauseOfSystemError(error));
}

Status ReplacementNotRegularFailure(const std::filesystem::path& replacement) {
  return Status::Failure(Quoted(replacement) +
                             "が通常のファイルではなくなっていたため（シンボリックリンクなど）、"
                             "置き換えませんでした",
                         Cause::kLink);
}

Status OverLimitFailure(const std::filesystem::path& file, std::size_t maxBytes) {
  return Status::Failure(
      Quoted(file) + "は、書き込むと Kitebar が読める上限（" +
          FormatInt(static_cast<long long>(maxBytes)) +
          " バイト）を超えるため、書き込みませんでした。ファイルは元のままです。",
      Cause::kSizeLimit);
}

}  // namespace file_parts

namespace {

// A program file is never written past the size its reader accepts.
Status CheckFitsItsReader(const ProgramFile* own, const std::filesystem::path& file,
                          std::size_t size) {
  if (own != nullptr && own->maxBytes > 0 && size > own->maxBytes)
    return file_parts::OverLimitFailure(file, own->maxBytes);
  return Status::Ok();
}

}  // namespace

Status WriteUserChosenFile(const std::filesystem::path& target, std::string_view bytes,
                           const std::filesystem::path& workingFolder) {
  if (const std::optional<std::string> own = ProgramFileOfAnyFolder(target, workingFolder)) {
    return Status::Failure(file_parts::Quoted(target) + "は Kitebar が使うファイル「" + *own +
                           "」のため、書き込みませんでした。ファイルは元のままです。別の名前を指定"
                           "してください。");
  }
  return WriteFileAtomically(target, bytes);
}

Status WriteScratchFile(const std::filesystem::path& file, std::string_view bytes) {
  if (Status fits = CheckFitsItsReader(ProgramFileNamed(file), file, bytes.size()); !fits.ok())
    return fits;
  return file_parts::ReplaceWhole(file, bytes, file_parts::Links::kReplace);
}

// The door of every write: nothing past the size its reader accepts, and a
// data or settings file only under the lock of every folder the write
// reaches (its caller, which read it under that lock, holds it already).
Status WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  const ProgramFile* own = ProgramFileNamed(file);
  if (Status fits = CheckFitsItsReader(own, file, bytes.size()); !fits.ok())
    return fits;
  if (own != nullptr &&
      (own->kind == ProgramFileKind::kData || own->kind == ProgramFileKind::kSettings)) {
    const Result<FolderLock> lock = FolderLock::AcquireFor(file);
    if (!lock.ok())
      return lock.status();
    return file_parts::ReplaceWhole(file, bytes);
  }
  return file_parts::ReplaceWhole(file, bytes);
}

std::string DescribeSystemError(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "アクセスする権限がありません";
    case ENOENT:
      return "ファイルまたはフォルダーがありません";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return "ディスクの空き容量が足りません";
    case EFBIG:
      return "ファイルの大きさの上限を超えます";
    case EROFS:
      return "読み取り専用の場所です";
    case EISDIR:
    case ENOTEMPTY:
    case EEXIST:
      return "同じ名前のフォルダーがあります";
    case ENOTDIR:
      return "途中のフォルダー名がファイルを指しています";
    case ELOOP:
      return "シンボリックリンクです";
    case EIO:
      return "ディスクの読み書きに失敗しました";
    default:
      return std::strerror(error);
  }
}

Status CheckAllReplaceable(std::initializer_list<std::filesystem::path> files) {
  for (const std::filesystem::path& file : files) {
    if (Status checked = CheckReplaceable(file); !checked.ok())
      return checked;
  }
  return Status::Ok();
}

Result<std::string> ReadWholeFile(const std::filesystem::path& file, std::size_t maxBytes) {
  return file_parts::ReadRegularFile(file, maxBytes, false);
}

Result<std::string> ReadFileOrEmpty(const std::filesystem::path& file, std::size_t maxBytes) {
  return file_parts::ReadRegularFile(file, maxBytes, true);
}

}  // namespace kitebar
