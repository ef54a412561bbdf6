#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "app/CKitebarApp.h"
#include "app/DesktopPlatform.h"

namespace {

bool AsksForHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h")
      return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AsksForHelp(argc, argv))
    return kitebar::app::ShowUsage(argc, argv);
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
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (!app.InitInstance(arguments))
    return EXIT_FAILURE;
  return QApplication::exec();
}
