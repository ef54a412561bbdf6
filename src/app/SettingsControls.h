#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <algorithm>

#include "app/DialogUnits.h"

namespace kitebar::app {

// Creating the controls of the settings dialog: each control gets the
// dialog's numeric identifier as property "controlId", an object name for
// finding it, and its place in dialog units.

template <typename Control>
Control* PlaceControl(Control* control, const QString& objectName, int controlId,
                      const QRect& pixels) {
  control->setObjectName(objectName);
  if (controlId != 0)
    control->setProperty("controlId", controlId);
  control->setGeometry(pixels);
  return control;
}

// A static label; labels without an identifier need no object name.
inline QLabel* AddLabel(QWidget& parent, const QString& text, const QRect& pixels,
                        const QString& objectName = {}, int controlId = 0) {
  return PlaceControl(new QLabel(text, &parent), objectName, controlId, pixels);
}

// The substitute font may be wider than the one the dialog was laid out for:
// a push button too narrow for its caption and a margin on either side grows
// about its middle, staying between `leftLimit` and `rightLimit`.
inline void FitButtonToCaption(QPushButton& button, int leftLimit, int rightLimit) {
  constexpr int kCaptionMargin = 8;
  const int needed = button.fontMetrics().horizontalAdvance(button.text()) + 2 * kCaptionMargin;
  if (needed <= button.width())
    return;
  const int width = std::min(needed, rightLimit - leftLimit);
  const int left =
      std::clamp(button.geometry().center().x() - width / 2, leftLimit, rightLimit - width);
  button.setGeometry(left, button.y(), width, button.height());
}

}  // namespace kitebar::app
