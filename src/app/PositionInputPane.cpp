#include "app/PositionInputPane.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "app/ListGeometry.h"
#include "app/SettingsControls.h"
#include "app/SettingsPictures.h"

namespace kitebar::app {
namespace {

void AddLegend(QWidget& dialog, const DialogUnits& units) {
  const QPoint at = units.ToPixels(124, 124, 0, 0).topLeft();
  auto* picture = AddLabel(dialog, {}, QRect(at, QSize(kStatePictureSize, 3 * kStatePictureSize)),
                           QStringLiteral("legendPicture"));
  picture->setPixmap(LegendPicture());
  const QString captions[] = {QStringLiteral("：推定"), QStringLiteral("：未設定"),
                              QStringLiteral("：決定")};
  int row = 0;
  for (const QString& caption : captions) {
    const QPoint labelAt = at + QPoint(kStatePictureSize + 2, row * kStatePictureSize);
    AddLabel(dialog, caption,
             QRect(labelAt, QSize(units.ToPixels(0, 0, 44, 0).width(), kStatePictureSize)));
    ++row;
  }
}

QTableWidget* AddDrawList(QWidget& dialog, const DialogUnits& units) {
  auto* list = PlaceControl(new QTableWidget(&dialog), QStringLiteral("drawList"), 1006,
                            units.ToPixels(70, 13, 112, 101));
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->verticalHeader()->hide();
  FitListToWholeRows(*list, std::max(kStatePictureSize, list->fontMetrics().height()) + 2);
  list->setIconSize(QSize(kStatePictureSize, kStatePictureSize));
  list->setWordWrap(false);
  // Tab moves on to the next control, not down the list.
  list->setTabKeyNavigation(false);
  return list;
}

}  // namespace

PositionInputPane PositionInputPane::Create(QWidget& dialog, const DialogUnits& units) {
  auto* group = new QGroupBox(QStringLiteral("風車位置の入力："), &dialog);
  group->setGeometry(units.ToPixels(7, 4, 180, 162));
  auto* frame = new QGroupBox(&dialog);
  frame->setGeometry(units.ToPixels(13, 115, 168, 46));

  PositionInputPane pane;
  pane.drawLabel = AddLabel(dialog, QStringLiteral("第 %d 回"), units.ToPixels(10, 15, 55, 9),
                            QStringLiteral("drawLabel"), 1015);
  pane.winningNumberLabel =
      AddLabel(dialog, QStringLiteral("当選番号：?????"), units.ToPixels(10, 26, 55, 9),
               QStringLiteral("winningNumberLabel"), 1013);
  pane.positionEntry = PlaceControl(new QLineEdit(&dialog), QStringLiteral("positionEntry"), 1001,
                                    units.ToPixels(11, 40, 50, 12));
  pane.positionEntry->setAlignment(Qt::AlignCenter);
  pane.modifyButton =
      PlaceControl(new QPushButton(QStringLiteral("<<修正"), &dialog),
                   QStringLiteral("modifyButton"), 1000, units.ToPixels(11, 56, 50, 14));
  pane.registerButton =
      PlaceControl(new QPushButton(QStringLiteral("登録>>"), &dialog),
                   QStringLiteral("registerButton"), 1007, units.ToPixels(11, 73, 50, 14));
  pane.drawList = AddDrawList(dialog, units);
  pane.reanalyseCheck =
      PlaceControl(new QCheckBox(QStringLiteral("未設定を再解析(自動)"), &dialog),
                   QStringLiteral("reanalyseCheck"), 1017, units.ToPixels(19, 123, 100, 10));
  pane.progressBar = PlaceControl(new QProgressBar(&dialog), QStringLiteral("progressBar"), 1010,
                                  units.ToPixels(19, 140, 66, 9));
  pane.progressBar->setTextVisible(false);
  pane.analyseButton =
      PlaceControl(new QPushButton(QStringLiteral("解析"), &dialog),
                   QStringLiteral("analyseButton"), 1009, units.ToPixels(89, 137, 28, 14));
  AddLegend(dialog, units);
  return pane;
}

}  // namespace kitebar::app
