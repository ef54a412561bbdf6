#include "common/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#include "common/AtomicFileParts.h"
#include "common/NumberText.h"

namespace kitebar {
namespace file_parts {

std::string Quoted(const std::filesystem::path& file) {
  return "「" + file.string() + "」";
}

std::string Failure(std::string_view what, const std::filesystem::path& file,
                    std::string_view reason) {
  return Quoted(file) + std::string(what) + "（" + std::string(reason) + "）";
}

std::string NotRegularMessage(const std::filesystem::path& file, std::string_view what) {
  return Quoted(file) + "は通常のファイルではないため、" + std::string(what) +
         "。同じ名前のフォルダーや特殊なファイル（名前付きパイプ、デバイスなど）を別の場所へ移して"
         "から、もう一度実行してください。";
}

std::string TooLargeMessage(const std::filesystem::path& file, std::size_t maxBytes) {
  return Quoted(file) + "は大きすぎるため、読めません（上限は " +
         FormatInt(static_cast<int>(maxBytes)) +
         " バイトです）。正しいファイルか確かめてください。";
}

std::string ReadOnlyMessage(const std::filesystem::path& file) {
  return Quoted(file) +
         "は読み取り専用のため、書き込めません。読み取り専用を解除してから、もう一度実行して"
         "ください。";
}

std::string AllNamesTakenMessage(const std::filesystem::path& first, std::size_t count) {
  return Quoted(first) + "から始まる " + FormatInt(static_cast<long long>(count)) +
         " 個の名前はすべて使われているため、新しいファイルを作成できません。古いファイルを別の"
         "場所へ移してから、もう一度実行してください。";
}

std::string LinkTargetMissingMessage(const std::filesystem::path& file) {
  return Quoted(file) +
         "はシンボリックリンクですが、リンク先のファイルがないため、書き込めません。リンク先を確か"
         "めてから、もう一度実行してください。";
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

}  // namespace file_parts

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
