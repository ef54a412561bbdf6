#include <QApplication>
#include <cstdlib>

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

int main(int argc, char** argv) {
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
