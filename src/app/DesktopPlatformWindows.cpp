#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/DesktopPlatform.h"
#include "app/DesktopStyle.h"
#include "app/MessageBoxes.h"
#include "history/WorkingFolder.h"

namespace kitebar::app {

// In the program's own message box: the system's box would need the
// system's Japanese font, which a Windows in another language may lack.
int ShowUsage(int& argc, char** argv) {
  const QApplication application(argc, argv);
  UseDesktopStyle();
  MessageBoxes::ShowInformation(
      nullptr,
      QStringLiteral(
          "使い方: kitebar.exe [ファイル]\n"
          "        kitebar.exe --help | --version\n\n"
          "Kitebar は当選番号と設定をデータのフォルダー %LOCALAPPDATA%\\Kitebar"
          "（例: C:\\Users\\<名前>\\AppData\\Local\\Kitebar）に置き、そこで動きます。"
          "初めての起動でこのフォルダーを作り、プログラムと同じフォルダーの numbers3.csv から"
          "当選番号ファイルを作ります。メニューの「基本設定」→「データのフォルダーを開く」で"
          "開けます。ファイルを指定すると、それを文書として開きます（中身は読みません）。\n"
          "同じ仕事をコマンド プロンプトからするのが kitebar-cli.exe です"
          "（使い方は README.txt）。\n\n"
          "Usage: kitebar.exe [FILE]\n"
          "       kitebar.exe --help | --version\n\n"
          "Kitebar keeps the draw history and the settings in its data folder "
          "%LOCALAPPDATA%\\Kitebar and works there. The first start creates the folder and fills "
          "the history from the numbers3.csv beside the program; 基本設定 → "
          "データのフォルダーを開く opens it. A FILE given is opened as the document (it is not "
          "read). kitebar-cli.exe does the same work from the Command Prompt (see README.txt)."));
  return EXIT_SUCCESS;
}

int ShowVersion(int& argc, char** argv, const char* version) {
  const QApplication application(argc, argv);
  UseDesktopStyle();
  MessageBoxes::ShowInformation(nullptr, QStringLiteral("kitebar %1").arg(QLatin1String(version)));
  return EXIT_SUCCESS;
}

bool HasDisplay() {
  return true;
}

std::optional<StartFolder> EnterDataFolder() {
  const std::filesystem::path sample =
      std::filesystem::path(QCoreApplication::applicationDirPath().toStdWString()) /
      L"numbers3.csv";
  return EnterStartFolder(DefaultWorkingFolder(), sample);
}

bool PrintDialogOffersFiles() {
  return false;
}

}  // namespace kitebar::app
