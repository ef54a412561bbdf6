// Renders the program's windows to PNG files for review by eye, without a
// display: run it under QT_QPA_PLATFORM=offscreen with the Japanese fonts
// installed. Writes, into the folder given as the only argument:
//   main-window.png       the main window after start-up (client area)
//   main-window-menu.png  the same with "基本設定" open and its first item's
//                         prompt in the status bar
//   about-box.png         the about box
// The program runs in a fresh temporary folder with an empty history file.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

#include "app/CAboutDialog.h"
#include "app/CKitebarApp.h"
#include "app/CMainFrame.h"

namespace {

using kitebar::app::CAboutDialog;
using kitebar::app::CKitebarApp;
using kitebar::app::CMainFrame;

// Lets the platform deliver the show, expose and paint events.
void Settle() {
  for (int round = 0; round < 10; ++round)
    QCoreApplication::processEvents();
}

// The frame and an open popup menu, each at its place on the screen.
QImage GrabWithPopup(CMainFrame& frame, QMenu& popup) {
  const QRect area = frame.geometry().united(popup.geometry());
  QImage image(area.size(), QImage::Format_RGB32);
  image.fill(QColor(0x80, 0x80, 0x80));
  QPainter painter(&image);
  painter.drawPixmap(frame.geometry().topLeft() - area.topLeft(), frame.grab());
  painter.drawPixmap(popup.geometry().topLeft() - area.topLeft(), popup.grab());
  return image;
}

bool SaveAll(CMainFrame& frame, const QDir& output) {
  bool saved = frame.grab().save(output.filePath(QStringLiteral("main-window.png")));

  QMenu& settings = *frame.findChild<QMenu*>(QStringLiteral("settingsMenu"));
  const QRect item = frame.menuBar()->actionGeometry(settings.menuAction());
  settings.popup(frame.menuBar()->mapToGlobal(item.bottomLeft()));
  Settle();
  settings.setActiveAction(settings.actions().constFirst());
  Settle();
  saved = GrabWithPopup(frame, settings)
              .save(output.filePath(QStringLiteral("main-window-menu.png"))) &&
          saved;
  settings.hide();

  CAboutDialog about(&frame);
  about.show();
  Settle();
  return about.grab().save(output.filePath(QStringLiteral("about-box.png"))) && saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: kitebar-screenshots FOLDER\n");
    return 2;
  }
  const QDir output(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
  QTemporaryDir work;
  QFile history(work.filePath(QStringLiteral("kitebarnum.dat")));
  if (!work.isValid() || !history.open(QIODevice::WriteOnly) || !QDir::setCurrent(work.path())) {
    std::fprintf(stderr, "kitebar-screenshots: cannot prepare a working folder\n");
    return 1;
  }
  history.close();

  CKitebarApp app;
  if (!app.InitInstance({}))
    return 1;
  Settle();
  if (!SaveAll(*app.mainFrame(), output)) {
    std::fprintf(stderr, "kitebar-screenshots: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
