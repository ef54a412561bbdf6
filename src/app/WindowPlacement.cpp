#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace kitebar::app {
namespace {

int KeepWithin(int start, int length, int areaStart, int areaLength) {
  return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

QMargins FrameMarginsOf(const QWidget* window) {
  return window != nullptr && window->windowHandle() != nullptr
             ? window->windowHandle()->frameMargins()
             : QMargins();
}

// A dialog about to be shown has no frame yet; the owner's frame comes from
// the same window manager.
QMargins FrameMargins(const QWidget& dialog, const QWidget* owner) {
  const QMargins own = FrameMarginsOf(&dialog);
  return own.isNull() ? FrameMarginsOf(owner) : own;
}

}  // namespace

void PlaceOverOwner(QWidget& dialog) {
  const QWidget* owner =
      dialog.parentWidget() != nullptr ? dialog.parentWidget()->window() : nullptr;
  QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr)
    return;
  const QRect area = screen->availableGeometry();
  QRect outer(QPoint(), dialog.size().grownBy(FrameMargins(dialog, owner)));
  outer.moveCenter(owner != nullptr ? owner->frameGeometry().center() : area.center());
  outer.moveTo(KeepWithin(outer.left(), outer.width(), area.left(), area.width()),
               KeepWithin(outer.top(), outer.height(), area.top(), area.height()));
  // The position of a window is that of its frame.
  dialog.move(outer.topLeft());
}

}  // namespace kitebar::app
