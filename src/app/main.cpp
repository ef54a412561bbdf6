#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/CKitebarApp.h"

#ifdef _WIN32
#include <filesystem>
#include <system_error>

#include "history/WorkingFolder.h"

namespace {

// Windows has no launcher script: the program itself starts in the user's
// working folder, which its first start fills from the history installed
// beside the program. When that fails it still starts, and its own message
// box says that the history cannot be read.
void EnterWorkingFolder() {
  const kitebar::Result<std::filesystem::path> folder = kitebar::DefaultWorkingFolder();
  if (!folder.ok())
    return;
  const std::filesystem::path sample =
      std::filesystem::path(QCoreApplication::applicationDirPath().toStdWString()) /
      L"numbers3.csv";
  static_cast<void>(kitebar::PrepareWorkingFolder(*folder, sample));
  std::error_code ignored;
  std::filesystem::current_path(*folder, ignored);
}

}  // namespace
#endif

namespace {

constexpr char kUsage[] =
    "使い方 / Usage: kitebar [FILE]\n"
    "  今いるフォルダーの当選番号と設定で Kitebar を起動します（FILE は「ファイル → 開く」で\n"
    "  開く文書）。メニューからは kitebar-launch が作業フォルダーで起動します。\n"
    "  Starts Kitebar on the history and settings of the current folder (FILE is a document\n"
    "  to open, as File → Open does). The menu entry starts it through kitebar-launch, in\n"
    "  the working folder. kitebar-cli does the same work from the command line.\n";

bool AsksForHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h")
      return true;
  }
  return false;
}

// Qt aborts when its platform finds no display; a platform chosen by the user
// (offscreen, vnc, …) needs none.
bool HasDisplay() {
#ifdef _WIN32
  return true;
#else
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0')
      return true;
  }
  return false;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (AsksForHelp(argc, argv)) {
    std::fputs(kUsage, stdout);
    return EXIT_SUCCESS;
  }
  if (!HasDisplay()) {
    std::fputs(
        "kitebar: 画面（ディスプレイ）がないため起動できません。デスクトップの中で起動して"
        "ください（DISPLAY も WAYLAND_DISPLAY もありません）。コマンドラインでは kitebar-cli "
        "が使えます。\n",
        stderr);
    return EXIT_FAILURE;
  }
  QApplication application(argc, argv);
#ifdef _WIN32
  EnterWorkingFolder();
#endif
  kitebar::app::CKitebarApp app;
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (!app.InitInstance(arguments))
    return EXIT_FAILURE;
  return QApplication::exec();
}
