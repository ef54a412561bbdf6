// Renders the program's windows to PNG files for review by eye, without a
// display: run it under QT_QPA_PLATFORM=offscreen with the Japanese fonts
// installed.
//   kitebar-screenshots FOLDER [HISTORY_FILE]
// Writes, into FOLDER:
//   main-window.png                 the main window after start-up (client area)
//   main-window-menu.png            the same with "基本設定" open and its first
//                                   item's prompt in the status bar
//   about-box.png                   the about box
//   winning-number-dialog.png       "当選番号編集" as it opens
//   simulation-settings-dialog.png  "シミュレート設定" as it opens
// The program runs in a fresh temporary folder, on a copy of HISTORY_FILE (a
// kitebarnum.dat) or on an empty history. A HISTORY_FILE that the program
// would warn about (damaged, or no history at all, such as a CSV) is refused
// before any window opens: nobody would be there to close the warning.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "app/CAboutDialog.h"
#include "app/CKitebarApp.h"
#include "app/CMainFrame.h"
#include "app/PasteResultsDialog.h"
#include "app/SimulationSettingsDialog.h"
#include "app/WinningNumberDialog.h"
#include "history/DrawHistory.h"

namespace {

using kitebar::app::CAboutDialog;
using kitebar::app::CKitebarApp;
using kitebar::app::CMainFrame;
using kitebar::app::PasteResultsDialog;
using kitebar::app::SimulationSettingsDialog;
using kitebar::app::WinningNumberDialog;

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

bool SaveWindow(QWidget& window, const QString& file) {
  window.show();
  Settle();
  const bool saved = window.grab().save(file);
  window.hide();
  return saved;
}

bool SaveDialogs(CKitebarApp& app, const QDir& output) {
  WinningNumberDialog winningNumbers(app.history(), app.pageOpener(), app.mainFrame());
  SimulationSettingsDialog settings(app.history(), app.mainFrame());
  PasteResultsDialog paste(app.mainFrame());
  return SaveWindow(winningNumbers, output.filePath(QStringLiteral("winning-number-dialog.png"))) &&
         SaveWindow(settings, output.filePath(QStringLiteral("simulation-settings-dialog.png"))) &&
         SaveWindow(paste, output.filePath(QStringLiteral("paste-results-dialog.png")));
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
  return SaveWindow(about, output.filePath(QStringLiteral("about-box.png"))) && saved;
}

// The working folder's history: a copy of `source`, or empty without one.
bool PrepareHistory(const QDir& work, const QString& source) {
  const QString history = work.filePath(QStringLiteral("kitebarnum.dat"));
  if (!source.isEmpty())
    return QFile::copy(source, history);
  QFile empty(history);
  return empty.open(QIODevice::WriteOnly);
}

// Why the history copied into the working folder would stop the start-up
// with a message, or empty.
std::string UnusableHistory() {
  kitebar::DrawHistory history;
  if (const kitebar::Status loaded = history.Load(); !loaded.ok())
    return loaded.message();
  return history.DamageWarning();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: kitebar-screenshots FOLDER [HISTORY_FILE]\n");
    return 2;
  }
  const QDir output(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
  const QString historySource =
      argc == 3 ? QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[2])) : QString();
  if (!output.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "kitebar-screenshots: cannot create %s\n", argv[1]);
    return 1;
  }
  QTemporaryDir work;
  if (!work.isValid() || !PrepareHistory(QDir(work.path()), historySource) ||
      !QDir::setCurrent(work.path())) {
    std::fprintf(stderr, "kitebar-screenshots: cannot prepare a working folder\n");
    return 1;
  }

  if (const std::string unusable = UnusableHistory(); !unusable.empty()) {
    std::fprintf(stderr, "kitebar-screenshots: %s は当選番号ファイルとして使えません: %s\n",
                 argc == 3 ? argv[2] : "kitebarnum.dat", unusable.c_str());
    return 1;
  }

  CKitebarApp app;
  if (!app.InitInstance({}))
    return 1;
  Settle();
  if (!SaveAll(*app.mainFrame(), output) || !SaveDialogs(app, output)) {
    std::fprintf(stderr, "kitebar-screenshots: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
