#pragma once

#include <filesystem>

#include "common/Status.h"

namespace kitebar {

// The user's own working folder of the desktop program, where it keeps its
// files: "%LOCALAPPDATA%\Kitebar" on Windows; on Linux
// "$XDG_DATA_HOME/kitebar", or "$HOME/.local/share/kitebar" when
// XDG_DATA_HOME is not an absolute path, as kitebar-launch has it
// (WorkingFolderPosix.cpp, WorkingFolderWindows.cpp). Fails when the
// environment names no such folder.
Result<std::filesystem::path> DefaultWorkingFolder();

// What PrepareWorkingFolder found: a folder with a history (or something in
// its place) already, or one it has just filled: the program's first start.
enum class FolderPreparation { kAlreadyPrepared, kFilled };

// Makes `folder` ready for a first start: creates it (private to the user),
// and, when it holds no draw history yet, fills one from the results CSV
// `sample`. A history already there is never touched, nor anything in its
// place. A failure names the folder that cannot be made, or the CSV and,
// for a damaged one, its line.
Result<FolderPreparation> PrepareWorkingFolder(const std::filesystem::path& folder,
                                               const std::filesystem::path& sample);

}  // namespace kitebar
