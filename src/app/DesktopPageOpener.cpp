#include "app/DesktopPageOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace kitebar::app {

Status DesktopPageOpener::Open(const std::filesystem::path& page) {
  const QString file = QFileInfo(QString::fromStdString(page.string())).absoluteFilePath();
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
    return Status::Failure("ページを開けませんでした: " + page.string());
  return Status::Ok();
}

}  // namespace kitebar::app
