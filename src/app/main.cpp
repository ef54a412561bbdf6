#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "app/CKitebarApp.h"
#include "app/DesktopPlatform.h"

namespace {

bool HasArgument(int argc, char** argv, std::string_view wanted, std::string_view alias = {}) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == wanted || (!alias.empty() && argument == alias))
      return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (HasArgument(argc, argv, "--help", "-h"))
    return kitebar::app::ShowUsage(argc, argv);
  if (HasArgument(argc, argv, "--version"))
    return kitebar::app::ShowVersion(argc, argv, KITEBAR_VERSION);
  if (!kitebar::app::HasDisplay()) {
    std::fputs(
        "kitebar: 画面（ディスプレイ）がないため起動できません。デスクトップの中で起動して"
        "ください（DISPLAY も WAYLAND_DISPLAY もありません）。コマンドラインでは kitebar-cli "
        "が使えます。\n",
        stderr);
    return EXIT_FAILURE;
  }
  QApplication application(argc, argv);
  const std::optional<kitebar::app::StartFolder> start = kitebar::app::EnterDataFolder();
  kitebar::app::CKitebarApp app;
  if (start)
    app.SetStartFolder(*start);
  // kitebar-launch says so when it could not prepare the working folder.
  app.SetLaunchProblem(qEnvironmentVariable("KITEBAR_LAUNCH_PROBLEM"));
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (!app.InitInstance(arguments))
    return EXIT_FAILURE;
  return QApplication::exec();
}
