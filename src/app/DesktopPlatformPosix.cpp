#include <cstdio>
#include <cstdlib>

#include "app/DesktopPlatform.h"

namespace kitebar::app {

int ShowUsage(int&, char**) {
  std::fputs(
      "使い方 / Usage: kitebar [FILE]\n"
      "       kitebar --help | --version\n"
      "  今いるフォルダーの当選番号と設定で Kitebar を起動します（FILE は「ファイル → 開く」で\n"
      "  開く文書）。メニューからは kitebar-launch が作業フォルダーで起動します。\n"
      "  Starts Kitebar on the history and settings of the current folder (FILE is a document\n"
      "  to open, as File → Open does). The menu entry starts it through kitebar-launch, in\n"
      "  the working folder. kitebar-cli does the same work from the command line.\n",
      stdout);
  return EXIT_SUCCESS;
}

int ShowVersion(int&, char**, const char* version) {
  std::printf("kitebar %s\n", version);
  return EXIT_SUCCESS;
}

bool HasDisplay() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0')
      return true;
  }
  return false;
}

std::optional<StartFolder> EnterDataFolder() {
  return std::nullopt;
}

bool PrintDialogOffersFiles() {
  return true;
}

}  // namespace kitebar::app
