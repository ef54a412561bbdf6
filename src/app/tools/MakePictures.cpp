// Draws the program's pictures, res/title.png (the 300 x 80 title picture of
// the main window) and res/title@2x.png (the same for screens at scale 2),
// res/kitebar-icon.png (the program icon) and
// res/kitebar-icon-256.png (the same icon for desktop launchers), into the
// folder given as the only argument. Run it through the build target
// kitebar-update-pictures after changing a drawing here.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The windmill of a Numbers 3 draw: a wheel of ten coloured sectors, one per
// digit, turning on a hub.
void DrawWheel(QPainter& painter, QPointF centre, double radius, bool withDigits) {
  static constexpr std::array<QRgb, 10> kSectorColours{
      0xffe53935, 0xfffdd835, 0xff43a047, 0xff1e88e5, 0xfffb8c00,
      0xff8e24aa, 0xff00acc1, 0xfff4511e, 0xff7cb342, 0xff3949ab};
  const QRectF disc(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
  painter.setPen(QPen(QColor(0x10, 0x20, 0x40), radius / 18));
  for (int sector = 0; sector < 10; ++sector) {
    painter.setBrush(QColor(kSectorColours[static_cast<std::size_t>(sector)]));
    // Sector 0 is at the top; the wheel counts clockwise.
    painter.drawPie(disc, (90 - 18 - sector * 36) * 16, 36 * 16);
  }
  if (withDigits) {
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(qRound(radius * 0.32));
    font.setWeight(QFont::Black);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (int digit = 0; digit < 10; ++digit) {
      const double angle = (digit * 36 - 90) * kPi / 180;
      const QPointF at(centre.x() + std::cos(angle) * radius * 0.7,
                       centre.y() + std::sin(angle) * radius * 0.7);
      const QRectF cell(at.x() - radius * 0.2, at.y() - radius * 0.2, radius * 0.4, radius * 0.4);
      painter.drawText(cell, Qt::AlignCenter, QString::number(digit));
    }
  }
  QRadialGradient hub(centre, radius * 0.22);
  hub.setColorAt(0, Qt::white);
  hub.setColorAt(1, QColor(0xb0, 0xb8, 0xc8));
  painter.setBrush(hub);
  painter.setPen(QPen(QColor(0x10, 0x20, 0x40), radius / 24));
  painter.drawEllipse(centre, radius * 0.2, radius * 0.2);
}

// The arrow that is shot at the turning wheel, tip at `tip`, coming from the
// upper right.
void DrawArrow(QPainter& painter, QPointF tip, double length) {
  const QPointF direction(-0.8, 0.6);
  const QPointF tail = tip - direction * length;
  painter.setPen(QPen(QColor(0x40, 0x28, 0x10), 2.2, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(tail, tip - direction * 5);
  QPainterPath head;
  head.moveTo(tip);
  head.lineTo(tip - direction * 8 + QPointF(-direction.y(), direction.x()) * 4);
  head.lineTo(tip - direction * 8 - QPointF(-direction.y(), direction.x()) * 4);
  head.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xee, 0xee, 0xee));
  painter.drawPath(head);
  painter.setBrush(QColor(0xe5, 0x39, 0x35));
  for (const double side : {1.0, -1.0}) {
    QPainterPath feather;
    const QPointF normal = QPointF(-direction.y(), direction.x()) * side;
    feather.moveTo(tail + direction * 2);
    feather.lineTo(tail + direction * 9);
    feather.lineTo(tail + direction * 4 + normal * 5);
    feather.lineTo(tail - direction * 1 + normal * 5);
    feather.closeSubpath();
    painter.drawPath(feather);
  }
}

void DrawOutlinedText(QPainter& painter, QPointF baseline, const QFont& font, const QString& text,
                      QColor fill, QColor outline, double outlineWidth) {
  QPainterPath path;
  path.addText(baseline, font, text);
  painter.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawPath(path);
}

// Drawn on the 300 x 80 grid, at `scale` device pixels per grid pixel.
QImage DrawTitlePicture(int scale) {
  QImage picture(300 * scale, 80 * scale, QImage::Format_RGB32);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(scale, scale);
  QLinearGradient sky(0, 0, 0, 80);
  sky.setColorAt(0, QColor(0x0d, 0x2f, 0x66));
  sky.setColorAt(1, QColor(0x3d, 0x8b, 0xd4));
  painter.fillRect(QRect(0, 0, 300, 80), sky);

  DrawWheel(painter, QPointF(42, 40), 34, true);
  DrawArrow(painter, QPointF(70, 22), 30);

  QFont title(QStringLiteral("Noto Sans CJK JP"));
  title.setPixelSize(36);
  title.setWeight(QFont::Black);
  title.setItalic(true);
  DrawOutlinedText(painter, QPointF(96, 44), title, QStringLiteral("Kitebar"),
                   QColor(0xff, 0xf3, 0xc4), QColor(0x08, 0x1a, 0x3a), 4);

  painter.setPen(QPen(QColor(0xfd, 0xd8, 0x35), 1.5));
  painter.drawLine(QPointF(98, 52), QPointF(290, 52));

  QFont subtitle(QStringLiteral("Noto Sans CJK JP"));
  subtitle.setPixelSize(14);
  subtitle.setWeight(QFont::Bold);
  painter.setFont(subtitle);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(98, 54, 196, 22), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("ナンバーズシミュレータ"));
  return picture;
}

// The icon is designed on a 64-pixel grid and drawn at `size` pixels.
QImage DrawProgramIcon(int size) {
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);
  DrawWheel(painter, QPointF(32, 32), 30, false);
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: kitebar-pictures FOLDER\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const bool saved =
      DrawTitlePicture(1).save(folder.filePath(QStringLiteral("title.png"))) &&
      DrawTitlePicture(2).save(folder.filePath(QStringLiteral("title@2x.png"))) &&
      DrawProgramIcon(64).save(folder.filePath(QStringLiteral("kitebar-icon.png"))) &&
      DrawProgramIcon(256).save(folder.filePath(QStringLiteral("kitebar-icon-256.png")));
  if (!saved) {
    std::fprintf(stderr, "kitebar-pictures: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
