#include "app/HistoryFollower.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

#include "history/DrawHistory.h"

namespace kitebar::app {
namespace {

QString PathOf(const std::filesystem::path& file) {
  return QFileInfo(QString::fromStdU16String(file.u16string())).absoluteFilePath();
}

}  // namespace

HistoryFollower::HistoryFollower(DrawHistory& history, QWidget& dialog,
                                 std::function<void()> changed)
    : QObject(&dialog), history_(history), dialog_(dialog), changed_(std::move(changed)) {
  // Every writer renames a new file over the old one, which the folder sees;
  // the file itself is watched for an editor that writes in place.
  watcher_.addPath(QFileInfo(PathOf(history_.file())).absolutePath());
  WatchFile();
  retry_.setSingleShot(true);
  retry_.setInterval(200);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Follow(); });
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Follow(); });
  connect(&retry_, &QTimer::timeout, this, [this] { Follow(); });
  Shown();
}

void HistoryFollower::Shown() {
  shown_ = history_.SaveText();
}

void HistoryFollower::Follow() {
  if (!DialogIsIdle()) {
    retry_.start();
    return;
  }
  WatchFile();
  // A file that cannot be read leaves an empty history, as on opening.
  history_.Load();
  if (history_.SaveText() != shown_)
    changed_();
}

bool HistoryFollower::DialogIsIdle() const {
  return QApplication::activeModalWidget() == &dialog_ && QApplication::overrideCursor() == nullptr;
}

void HistoryFollower::WatchFile() {
  const QString file = PathOf(history_.file());
  if (!watcher_.files().contains(file) && QFileInfo::exists(file))
    watcher_.addPath(file);
}

}  // namespace kitebar::app
