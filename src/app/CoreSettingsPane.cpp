#include "app/CoreSettingsPane.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "app/SettingsControls.h"
#include "app/WindmillSettingsPane.h"

namespace kitebar::app {

QString AdjustRateText(int position) {
  return QStringLiteral("< %1 >").arg(position);
}

CoreSettingsPane CoreSettingsPane::Create(QWidget& dialog, const DialogUnits& units) {
  auto* group = new QGroupBox(QStringLiteral("内部（コア部分）"), &dialog);
  group->setGeometry(units.ToPixels(91, 168, 96, 68));

  CoreSettingsPane pane;
  AddLabel(dialog, QStringLiteral("調整率："), units.ToPixels(97, 181, 29, 9));
  pane.adjustRateSlider = CreateTrackBar(dialog, QStringLiteral("adjustRateSlider"), 1033,
                                         units.ToPixels(126, 177, 40, 15));
  pane.adjustRateLabel = AddLabel(dialog, QStringLiteral("<1>"), units.ToPixels(167, 181, 18, 9),
                                  QStringLiteral("adjustRateLabel"), 1054);
  AddLabel(dialog, QStringLiteral("ステップ値："), units.ToPixels(97, 197, 60, 9));
  pane.stepNumEntry = PlaceControl(new QLineEdit(&dialog), QStringLiteral("stepNumEntry"), 1074,
                                   units.ToPixels(157, 195, 26, 12));
  AddLabel(dialog, QStringLiteral("マトの有効直径："), units.ToPixels(97, 211, 60, 9));
  pane.diameterEntry = PlaceControl(new QLineEdit(&dialog), QStringLiteral("diameterEntry"), 1075,
                                    units.ToPixels(157, 209, 26, 12));
  pane.updateButton =
      PlaceControl(new QPushButton(QStringLiteral("更新"), &dialog),
                   QStringLiteral("updateCoreButton"), 1071, units.ToPixels(147, 223, 36, 11));
  return pane;
}

}  // namespace kitebar::app
