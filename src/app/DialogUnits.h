#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QRect>
#include <QString>

namespace kitebar::app {

// The font of the settings dialogs, "ＭＳ Ｐゴシック" 9 point, or the nearest
// Japanese font the system has: IPA P Gothic has its line height (about one
// em), so the dialogs keep the proportions they were laid out for; Noto Sans
// CJK spaces its lines half as much again, which makes every dialog taller.
inline QFont SettingsDialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                    QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
  font.setPointSize(9);
  return font;
}

// Dialog units: a quarter of the font's average character width across and an
// eighth of its height down, so that a dialog keeps its proportions with
// whatever font the system substitutes.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    unitX_ = metrics.horizontalAdvance(alphabet) / alphabet.size() / 4.0;
    unitY_ = metrics.height() / 8.0;
  }

  // Edges are mapped, not sizes, so that two controls that meet in dialog
  // units meet in pixels too rather than overlap by a rounded pixel.
  QRect ToPixels(int x, int y, int width, int height) const {
    const QPoint topLeft(qRound(x * unitX_), qRound(y * unitY_));
    const QPoint bottomRight(qRound((x + width) * unitX_), qRound((y + height) * unitY_));
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
  }

 private:
  double unitX_ = 0;
  double unitY_ = 0;
};

}  // namespace kitebar::app
