#include "history/WorkingFolder.h"

#include <system_error>

#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"

namespace kitebar {

Result<FolderPreparation> PrepareWorkingFolder(const std::filesystem::path& folder,
                                               const std::filesystem::path& sample) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder, error)) {
    return Status::Failure("作業フォルダー「" + folder.string() +
                           "」を作成できません。フォルダーの書き込み権限を確かめてください。");
  }
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace, error);
  const std::filesystem::path historyFile = folder / kHistoryFileName;
  // Whatever is there (a link included) is the user's.
  if (std::filesystem::symlink_status(historyFile, error).type() !=
      std::filesystem::file_type::not_found)
    return FolderPreparation::kAlreadyPrepared;
  const Result<std::string> csv = ReadWholeFile(sample, kMaxResultsCsvBytes);
  if (!csv.ok())
    return csv.status();
  // The CSV's own faults name its line; a failure to save speaks for itself.
  DrawHistory checked;
  if (const Result<int> read = MergeResultsCsv(checked, *csv); !read.ok())
    return Status::Failure("「" + sample.string() + "」の " + read.message());
  DrawHistory history(historyFile);
  const Result<int> added = AddResultsCsv(history, *csv);
  if (!added.ok())
    return added.status();
  return FolderPreparation::kFilled;
}

}  // namespace kitebar
