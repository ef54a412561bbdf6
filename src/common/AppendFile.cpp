#include "common/AppendFile.h"

#include "common/AppendFileParts.h"
#include "common/FolderLock.h"
#include "common/NumberText.h"

namespace kitebar {
namespace append_parts {
namespace {

std::string Quoted(const std::filesystem::path& file) {
  return "「" + file.string() + "」";
}

}  // namespace

std::string LinkMessage(const std::filesystem::path& file) {
  return Quoted(file) +
         "はシンボリックリンクです。追記だけで育つファイルなので、リンクの先を書き換えることは"
         "しません。リンクを実際のファイルに置き換えてから、もう一度実行してください。";
}

std::string NotRegularMessage(const std::filesystem::path& file) {
  return Quoted(file) +
         "は通常のファイルではない（フォルダー、名前付きパイプ、デバイスなど）ため、読み書き"
         "しません。それを別の場所へ移してから、もう一度実行してください。";
}

std::string TooLargeMessage(const std::filesystem::path& file, std::size_t maxBytes) {
  return Quoted(file) + "は上限の " + FormatInt(static_cast<long long>(maxBytes >> 20)) +
         " MB "
         "を超える（または超えようとしている）ため、読み書きしません。追記だけで育つファイルなの"
         "で、行は削除できません。このファイルを別の名前に変えてから、もう一度実行してください（新"
         "し"
         "いファイルで始めます）。";
}

std::string InUseMessage(const std::filesystem::path& file) {
  return Quoted(file) + "はほかのプログラムが開いているため、読み書きしません。";
}

std::string CutLastLineMessage(const std::filesystem::path& file) {
  return Quoted(file) +
         "の最後の行は行末がなく、途中で切れています（書き込み中の停電などで起こります）。その後ろ"
         "に追記すると行がつながってしまうため、追記しません。途中で切れた最後の行を消すか、ファイ"
         "ル"
         "を別の名前に変えてから、もう一度実行してください。";
}

std::string Failure(const std::filesystem::path& file, std::string_view what,
                    std::string_view reason) {
  return Quoted(file) + std::string(what) + "（" + std::string(reason) + "）";
}

}  // namespace append_parts

std::string PageAlignedLines(std::size_t fileSize, std::string_view lines) {
  std::string laidOut;
  laidOut.reserve(lines.size());
  std::size_t end = fileSize;
  while (!lines.empty()) {
    const std::size_t lineEnd = lines.find('\n');
    const std::size_t length = lineEnd == std::string_view::npos ? lines.size() : lineEnd + 1;
    const std::size_t room = kAppendPageBytes - end % kAppendPageBytes;
    if (length > room) {
      laidOut.append(room - 1, ' ');
      laidOut += '\n';
      end += room;
    }
    laidOut.append(lines.substr(0, length));
    end += length;
    lines.remove_prefix(length);
  }
  return laidOut;
}

// Through the same door as every write: under the lock of the folder that
// holds the file (its caller's already, as a rule).
Status AppendLinesDurably(const std::filesystem::path& file, std::string_view lines,
                          std::size_t maxBytes) {
  const Result<FolderLock> lock = FolderLock::AcquireFor(file);
  if (!lock.ok())
    return lock.status();
  return append_parts::AppendWhole(file, lines, maxBytes);
}

}  // namespace kitebar
