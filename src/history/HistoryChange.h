#pragma once

#include "common/FolderLock.h"
#include "common/Status.h"
#include "history/DrawHistory.h"

namespace kitebar {

// Begins a change of the working folder's files: takes the folder's write lock
// (held until the returned lock ends) and, unless an enclosing change of this
// process holds it already, reloads `history` from its file, so that the
// change acts on what the file holds now and not on a copy read earlier. A
// history file that does not exist yet gives an empty history. Fails, changing
// nothing, when another Kitebar keeps the lock, when a file of the folder
// cannot be read (not a regular file, too large: the history file and the
// settings files), or when the history file is damaged.
Result<FolderLock> BeginHistoryChange(DrawHistory& history);

// The settings files of the working folder, checked as their reader will read
// them: absent, or a regular file within its size limit, not saved as UTF-16. The reader takes a
// file it cannot read for a missing one, so that every value would silently
// be its default; this check names the first such file instead, with what to
// do about it.
Status CheckSettingsFiles(const std::filesystem::path& folder);

// What a writer says before CheckSettingsFiles's reason when it stops.
inline constexpr char kUnreadableSettingsRefusal[] =
    "設定ファイルを読めないため、何も書き込んでいません。";

}  // namespace kitebar
