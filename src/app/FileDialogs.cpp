#include "app/FileDialogs.h"

#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

#include "app/WindowPlacement.h"

namespace kitebar::app {
namespace {

constexpr QSize kMinimumSize{760, 460};

void FitColumns(QTreeView& files) {
  QHeaderView& header = *files.header();
  header.setStretchLastSection(false);
  header.setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column = 1; column < header.count(); ++column)
    header.setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

void FitSidePanel(QSplitter& splitter, const QListView& places) {
  const int wanted = places.sizeHintForColumn(0) + 2 * places.frameWidth() + 8;
  const QList<int> sizes = splitter.sizes();
  if (sizes.size() != 2 || sizes.front() >= wanted)
    return;
  splitter.setSizes({wanted, std::max(0, sizes.front() + sizes.back() - wanted)});
}

// The toolkit centres its file dialog on a guess at the frame, which without a
// window manager puts it 40 px high and may push it off the screen: placed
// over its owner as it is shown, as every other dialog is.
class PlaceOverOwnerWhenShown final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType())
      PlaceOverOwner(*static_cast<QWidget*>(watched));
    return false;
  }
};

}  // namespace

void FitFileDialog(QFileDialog& dialog) {
  auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (files == nullptr)
    return;
  dialog.resize(dialog.size().expandedTo(kMinimumSize).boundedTo(RoomOnScreen(dialog)));
  FitColumns(*files);
  auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
  auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
  if (splitter != nullptr && places != nullptr)
    FitSidePanel(*splitter, *places);
  dialog.installEventFilter(new PlaceOverOwnerWhenShown(&dialog));
}

}  // namespace kitebar::app
