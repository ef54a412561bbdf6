#include "app/SettingsPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>

namespace kitebar::app {
namespace {

QColor BallColour(StatePicture picture) {
  switch (picture) {
    case kEstimatedPicture:
      return QColor(0x8c, 0x8c, 0x8c);
    case kUnsetPicture:
      return QColor(0xd8, 0x20, 0x20);
    case kDecidedPicture:
      return QColor(0x20, 0xa8, 0x30);
  }
  return Qt::black;
}

// A shaded ball: a highlight at the upper left fading into the colour and a
// darker rim, so that it reads as a ball at 16 pixels.
void DrawBall(QPainter& painter, QPointF topLeft, StatePicture picture) {
  const QRectF box(topLeft + QPointF(1.5, 1.5), QSizeF(13, 13));
  const QColor colour = BallColour(picture);
  QRadialGradient shade(box.center(), box.width() / 2, box.topLeft() + QPointF(4.5, 4.5));
  shade.setColorAt(0.0, colour.lighter(190));
  shade.setColorAt(0.55, colour);
  shade.setColorAt(1.0, colour.darker(170));
  painter.setPen(QPen(colour.darker(220), 1.0));
  painter.setBrush(shade);
  painter.drawEllipse(box);
}

QPixmap TransparentPixmap(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

void DrawArrow(QPainter& painter, QPointF from, QPointF to, const QColor& colour) {
  painter.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(from, QPointF(to.x() - 5, to.y()));
  QPainterPath head;
  head.moveTo(to);
  head.lineTo(to.x() - 8, to.y() - 4);
  head.lineTo(to.x() - 8, to.y() + 4);
  head.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawPath(head);
}

}  // namespace

QPixmap StatePicturePixmap(StatePicture picture) {
  QPixmap pixmap = TransparentPixmap(QSize(kStatePictureSize, kStatePictureSize));
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawBall(painter, QPointF(0, 0), picture);
  return pixmap;
}

QPixmap LegendPicture() {
  QPixmap pixmap = TransparentPixmap(QSize(kStatePictureSize, 3 * kStatePictureSize));
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const std::array order{kEstimatedPicture, kUnsetPicture, kDecidedPicture};
  for (std::size_t row = 0; row < order.size(); ++row)
    DrawBall(painter, QPointF(0, static_cast<double>(row) * kStatePictureSize), order[row]);
  return pixmap;
}

QPixmap SpeedProfilePicture(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const double width = size.width();
  const double height = size.height();
  const double start = width * kProfileStartAt;
  const double reach = width * kProfileReachAt;
  const double hit = width * kProfileHitAt;
  const double top = height * 0.14;
  const double bottom = height * 0.86;

  painter.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1.0, Qt::DotLine));
  for (const double x : {start, reach, hit})
    painter.drawLine(QPointF(x, top), QPointF(x, bottom));
  painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.0));
  painter.drawLine(QPointF(width * 0.03, bottom), QPointF(width * 0.97, bottom));

  const std::array profile{QPointF(start, bottom), QPointF(reach, top), QPointF(hit, top),
                           QPointF(width * 0.94, bottom)};
  painter.setPen(QPen(Qt::black, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(profile.data(), static_cast<int>(profile.size()));

  DrawArrow(painter, QPointF(start, height * 0.52), QPointF(reach, height * 0.52),
            QColor(0xe0, 0x10, 0x10));
  DrawArrow(painter, QPointF(start, height * 0.72), QPointF(hit, height * 0.72),
            QColor(0x10, 0x30, 0xe0));
  painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
  return pixmap;
}

}  // namespace kitebar::app
