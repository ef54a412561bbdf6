#include <windows.h>

#include <QCoreApplication>
#include <filesystem>

#include "app/DesktopPlatform.h"
#include "history/WorkingFolder.h"

namespace kitebar::app {

void ShowUsage() {
  ::MessageBoxW(
      nullptr,
      L"使い方: kitebar.exe [ファイル]\n\n"
      L"Kitebar は当選番号と設定をデータのフォルダー %LOCALAPPDATA%\\Kitebar"
      L"（例: C:\\Users\\<名前>\\AppData\\Local\\Kitebar）に置き、そこで動きます。"
      L"初めての起動で、このフォルダーを作り、プログラムと同じフォルダーの numbers3.csv から"
      L"当選番号ファイルを作ります。メニューの「基本設定」→「データのフォルダーを開く」で"
      L"開けます。ファイルは「ファイル → 開く」で開く文書です（中身は読みません）。\n\n"
      L"同じ仕事をコマンド プロンプトからするのが kitebar-cli.exe です"
      L"（使い方は README.txt）。\n\n"
      L"Usage: kitebar.exe [FILE]\n\n"
      L"Kitebar keeps the draw history and the settings in its data folder "
      L"%LOCALAPPDATA%\\Kitebar and works there. The first start creates the folder and fills "
      L"the history from the numbers3.csv beside the program; 基本設定 → "
      L"データのフォルダーを開く opens it. FILE is a document to open, as File → Open does "
      L"(it is not read). kitebar-cli.exe does the same work from the Command Prompt "
      L"(see README.txt).",
      L"Kitebar -ナンバーズシミュレータ-", MB_OK | MB_ICONINFORMATION);
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
