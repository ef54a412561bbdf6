#include "app/ScreenFit.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <algorithm>
#include <utility>
#include <vector>

#include "app/WindowPlacement.h"

namespace kitebar::app {
namespace {

QString ScrollAreaName() {
  return QStringLiteral("screenFitArea");
}

bool Fits(QSize size, QSize room) {
  return size.width() <= room.width() && size.height() <= room.height();
}

int ScrollBarExtent(const QWidget& widget) {
  return widget.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &widget);
}

QScrollArea* NewScrollArea(QDialog& dialog, QWidget* page) {
  auto* area = new QScrollArea(&dialog);
  area->setObjectName(ScrollAreaName());
  area->setFrameShape(QFrame::NoFrame);
  page->setObjectName(QStringLiteral("screenFitPage"));
  area->setWidget(page);
  return area;
}

// A widget changing its parent is hidden: each keeps the state it had.
void MoveOnto(QWidget& page, const std::vector<std::pair<QWidget*, bool>>& shownBefore) {
  for (const auto& [widget, shown] : shownBefore) {
    const QRect at = widget->geometry();
    widget->setParent(&page);
    widget->setGeometry(at);
    widget->setVisible(shown);
  }
}

// Controls placed by hand on a dialog of fixed size move, at their places,
// onto a page of the dialog's designed size inside the scroll area.
void ScrollPlacedControls(QDialog& dialog, QSize room) {
  const QSize designed = dialog.size();
  std::vector<std::pair<QWidget*, bool>> controls;
  for (QWidget* control : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!control->isWindow())
      controls.emplace_back(control, !control->isHidden());
  }
  auto* page = new QWidget;
  page->setFixedSize(designed);
  MoveOnto(*page, controls);
  QScrollArea* area = NewScrollArea(dialog, page);
  // Each scroll bar takes room from the other direction.
  const int bar = ScrollBarExtent(*area);
  const bool across = designed.width() > room.width() ||
                      (designed.height() > room.height() && designed.width() + bar > room.width());
  const bool down = designed.height() + (across ? bar : 0) > room.height();
  dialog.setFixedSize(std::min(designed.width() + (down ? bar : 0), room.width()),
                      std::min(designed.height() + (across ? bar : 0), room.height()));
  area->setGeometry(dialog.rect());
  area->show();
}

// A dialog laid out by a box layout: all but its button box moves into the
// scroll area, which takes the room that the contents leave free.
bool ScrollLaidOutContents(QDialog& dialog) {
  auto* outer = qobject_cast<QBoxLayout*>(dialog.layout());
  if (outer == nullptr)
    return false;
  auto* page = new QWidget;
  auto* inner = new QVBoxLayout(page);
  inner->setContentsMargins(0, 0, 0, 0);
  std::vector<std::pair<QWidget*, bool>> moved;
  std::vector<QWidget*> buttonBoxes;
  while (QLayoutItem* item = outer->takeAt(0)) {
    QWidget* widget = item->widget();
    if (QLayout* nested = item->layout(); nested != nullptr) {
      nested->setParent(nullptr);
      inner->addLayout(nested);
      continue;
    }
    if (widget == nullptr) {
      inner->addItem(item);
      continue;
    }
    if (qobject_cast<QDialogButtonBox*>(widget) != nullptr)
      buttonBoxes.push_back(widget);
    else
      moved.emplace_back(widget, !widget->isHidden());
    delete item;
  }
  for (const auto& [widget, shown] : moved) {
    inner->addWidget(widget);
    widget->setVisible(shown);
  }
  QScrollArea* area = NewScrollArea(dialog, page);
  area->setWidgetResizable(true);
  outer->addWidget(area, 1);
  for (QWidget* buttons : buttonBoxes)
    outer->addWidget(buttons);
  area->show();
  dialog.resize(dialog.width() + ScrollBarExtent(*area), dialog.height());
  return true;
}

bool OnItsScreen(const QWidget& dialog) {
  const QScreen* screen = dialog.screen();
  return screen == nullptr || screen->availableGeometry().contains(dialog.frameGeometry());
}

// Fits the dialog again after the toolkit has handled each show and resize;
// a dialog that is still on its screen stays where the user put it.
class ScreenFitKeeper final : public QObject {
 public:
  explicit ScreenFitKeeper(QDialog& dialog) : QObject(&dialog), dialog_(dialog) {
    dialog.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &dialog_ && (event->type() == QEvent::Show || event->type() == QEvent::Resize)) {
      QMetaObject::invokeMethod(this, &ScreenFitKeeper::Refit, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  void Refit() {
    if (!dialog_.isVisible())
      return;
    FitToScreen(dialog_);
    if (!OnItsScreen(dialog_))
      PlaceOverOwner(dialog_);
  }

  QDialog& dialog_;
};

}  // namespace

void FitToScreen(QDialog& dialog) {
  const QSize room = RoomOnScreen(dialog);
  const bool laidOut = dialog.layout() != nullptr;
  if (dialog.findChild<QScrollArea*>(ScrollAreaName(), Qt::FindDirectChildrenOnly) == nullptr) {
    const QSize wanted =
        laidOut ? dialog.size().expandedTo(dialog.minimumSizeHint()) : dialog.size();
    if (Fits(wanted, room))
      return;
    if (!laidOut) {
      ScrollPlacedControls(dialog, room);
      return;
    }
    if (!ScrollLaidOutContents(dialog))
      return;
  }
  if (laidOut) {
    dialog.setMaximumSize(room);
    dialog.resize(dialog.size().boundedTo(room));
  }
}

void KeepFittedToScreen(QDialog& dialog) {
  new ScreenFitKeeper(dialog);
}

}  // namespace kitebar::app
