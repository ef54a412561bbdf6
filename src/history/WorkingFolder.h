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

// Makes `folder` ready for a first start: creates it (private to the user),
// and, when it holds no draw history yet, fills one from the results CSV
// `sample`. A history already there is never touched, nor anything in its
// place.
Status PrepareWorkingFolder(const std::filesystem::path& folder,
                            const std::filesystem::path& sample);

}  // namespace kitebar
