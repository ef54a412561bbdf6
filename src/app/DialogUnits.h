#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

namespace kitebar::app {

// The fonts of the settings dialogs, best first: "ＭＳ Ｐゴシック" 9 point, as
// they were laid out, under its Japanese or English name; MS UI Gothic, the
// same letters with the same line height, which every Japanese Windows has;
// IPA P Gothic, made to its metrics, on Linux; then Yu Gothic UI and Meiryo
// UI (later Windows) and Noto Sans CJK, which space their lines half as much
// again, so that every dialog grows taller with them.
inline QStringList DialogFontFamilies() {
  return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
          QStringLiteral("MS UI Gothic"),    QStringLiteral("IPAPGothic"),
          QStringLiteral("IPA Pゴシック"),   QStringLiteral("Yu Gothic UI"),
          QStringLiteral("Meiryo UI"),       QStringLiteral("Noto Sans CJK JP")};
}

// The first of DialogFontFamilies() that `isInstalled` knows; empty when it
// knows none.
inline QString DialogFontFamily(const std::function<bool(const QString&)>& isInstalled) {
  for (const QString& family : DialogFontFamilies()) {
    if (isInstalled(family))
      return family;
  }
  return {};
}

// Whether the system has a font of `family` under that name or another of
// its names: the font list names a font in the user's language (「IPA Pゴシック」
// under a Japanese profile), but the font answers to its English name too.
inline bool IsFontInstalled(const QString& family) {
  return QFontDatabase::hasFamily(family);
}

// The dialogs' font from what the system has installed: left to the toolkit's
// substitution, a family missing from the list would give way to the system's
// default font rather than to the nearest one the list names.
inline QFont SettingsDialogFont() {
  QFont font;
  const QString family = DialogFontFamily(IsFontInstalled);
  font.setFamilies(family.isEmpty() ? DialogFontFamilies() : QStringList{family});
  font.setPointSize(9);
  return font;
}

// The message boxes' font: the dialogs' family at the system's size. The
// system's own face may be a Latin one (a serif one under Wine), beside
// which the Japanese letters would come from another font.
inline QFont MessageBoxFont(const QFont& systemFont) {
  QFont font = systemFont;
  const QString family = DialogFontFamily(IsFontInstalled);
  if (!family.isEmpty())
    font.setFamilies({family});
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
