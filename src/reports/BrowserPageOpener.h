#pragma once

// The page opener of the command line: xdg-open on Linux, the shell on
// Windows.
#ifdef _WIN32
#include "reports/ShellPageOpener.h"
namespace kitebar {
using BrowserPageOpener = ShellPageOpener;
}
#else
#include "reports/XdgPageOpener.h"
namespace kitebar {
using BrowserPageOpener = XdgPageOpener;
}
#endif
