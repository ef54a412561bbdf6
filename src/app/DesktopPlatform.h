#pragma once

#include <optional>

#include "app/StartFolder.h"

namespace kitebar::app {

// Where the desktop program differs between Linux and Windows
// (DesktopPlatformPosix.cpp, DesktopPlatformWindows.cpp).

// How to start the program, for --help: printed on Linux; in a message box on
// Windows, where a window program has no console to print to. Returns the
// exit status.
int ShowUsage(int& argc, char** argv);

// The version, for --version: printed, or in a message box on Windows.
int ShowVersion(int& argc, char** argv, const char* version);

// Whether there is a display to show windows on. Qt aborts when its platform
// finds none on Linux; a platform chosen by the user (offscreen, vnc, …)
// needs none. Windows always has one.
bool HasDisplay();

// The data folder that the program prepares and enters as it starts: on
// Windows %LOCALAPPDATA%\Kitebar, filled on the first start from the
// numbers3.csv beside the program. None on Linux, where kitebar-launch does
// that and the program works in the folder it is started in.
std::optional<StartFolder> EnterDataFolder();

// Whether the print dialog can print to a file when no printer is installed:
// the toolkit's own dialog offers a PDF file; Windows' own offers printers
// only.
bool PrintDialogOffersFiles();

}  // namespace kitebar::app
