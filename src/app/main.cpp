#include <QApplication>
#include <cstdlib>

#include "app/CKitebarApp.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  kitebar::app::CKitebarApp app;
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (!app.InitInstance(arguments))
    return EXIT_FAILURE;
  return QApplication::exec();
}
