#pragma once

#include <QString>
#include <filesystem>

#include "common/Status.h"

namespace kitebar::app {

// The data folder as the program found it at start-up, where the program
// prepares its own (on Windows; on Linux kitebar-launch does that).
struct StartFolder {
  QString folder;                 // empty when none could be named
  QString sample;                 // the results CSV that fills a new folder
  Status problem = Status::Ok();  // why the folder is not ready to work in
  // The folder itself could not be named, made or entered (rather than filled).
  bool folderMissing = false;
  // This start made the folder's history: the program's first start.
  bool firstStart = false;
};

// Prepares `folder` (PrepareWorkingFolder: made, and filled from `sample`
// when it has no history) and makes it the current folder.
StartFolder EnterStartFolder(const Result<std::filesystem::path>& folder,
                             const std::filesystem::path& sample);

// What the user is told when the folder is not ready: the cause, the folder
// and what to do (a folder that cannot be made begins with the start-up
// failure's first line, since the program ends).
QString StartFolderProblemText(const StartFolder& start);

// Where the data lives, told on the first start.
QString FirstStartText(const StartFolder& start);

}  // namespace kitebar::app
