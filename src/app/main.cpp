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
// box says why. Returns that reason, or empty.
QString EnterWorkingFolder() {
  const kitebar::Result<std::filesystem::path> folder = kitebar::DefaultWorkingFolder();
  if (!folder.ok())
    return QString::fromStdString(folder.message());
  const std::filesystem::path sample =
      std::filesystem::path(QCoreApplication::applicationDirPath().toStdWString()) /
      L"numbers3.csv";
  if (const kitebar::Status prepared = kitebar::PrepareWorkingFolder(*folder, sample);
      !prepared.ok()) {
    return QStringLiteral("作業フォルダー %1 を用意できません: %2")
        .arg(QString::fromStdWString(folder->wstring()),
             QString::fromStdString(prepared.message()));
  }
  std::error_code ignored;
  std::filesystem::current_path(*folder, ignored);
  return {};
}

}  // namespace
#endif

namespace {

constexpr char kUsage[] =
    "使い方 / Usage: kitebar [FILE]\n"
    "       kitebar --help | --version\n"
    "  今いるフォルダーの当選番号と設定で Kitebar を起動します（FILE は「ファイル → 開く」で\n"
    "  開く文書）。メニューからは kitebar-launch が作業フォルダーで起動します。\n"
    "  Starts Kitebar on the history and settings of the current folder (FILE is a document\n"
    "  to open, as File → Open does). The menu entry starts it through kitebar-launch, in\n"
    "  the working folder. kitebar-cli does the same work from the command line.\n";

bool HasArgument(int argc, char** argv, std::string_view wanted, std::string_view alias = {}) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == wanted || (!alias.empty() && argument == alias))
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
  if (HasArgument(argc, argv, "--help", "-h")) {
    std::fputs(kUsage, stdout);
    return EXIT_SUCCESS;
  }
  if (HasArgument(argc, argv, "--version")) {
    std::fputs("kitebar " KITEBAR_VERSION "\n", stdout);
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
  kitebar::app::CKitebarApp app;
#ifdef _WIN32
  app.SetLaunchProblem(EnterWorkingFolder());
#else
  // kitebar-launch says so when it could not prepare the working folder.
  app.SetLaunchProblem(qEnvironmentVariable("KITEBAR_LAUNCH_PROBLEM"));
#endif
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (!app.InitInstance(arguments))
    return EXIT_FAILURE;
  return QApplication::exec();
}
