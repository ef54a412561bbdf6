#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

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

}  // namespace kitebar::app
