#include "app/WindmillSettingsPane.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "app/SettingsControls.h"
#include "app/SettingsPictures.h"

namespace kitebar::app {
namespace {

constexpr int kProfileX = 199;
constexpr int kProfileWidth = 110;
constexpr int kFirstPlaceY = 64;
constexpr int kPlaceHeight = 44;
constexpr int kPlaceGap = 2;

struct PlaceGroup {
  const char16_t* caption;
  int reachId;
  int hitId;
  int sliderId;
  int labelId;
};

constexpr std::array<PlaceGroup, kPlaceGroups> kPlaceGroupsTable{{
    {u"千桁", 1036, 1040, 1045, 1050},
    {u"百桁", 1037, 1041, 1046, 1051},
    {u"十桁", 1038, 1042, 1047, 1052},
    {u"一桁", 1039, 1043, 1048, 1053},
}};

QLineEdit* AddEntry(QWidget& dialog, const QString& objectName, int controlId,
                    const QRect& pixels) {
  return PlaceControl(new QLineEdit(&dialog), objectName, controlId, pixels);
}

void AddSpeedProfile(QWidget& dialog, const DialogUnits& units) {
  const QRect area = units.ToPixels(kProfileX, 14, kProfileWidth, 36);
  auto* picture = AddLabel(dialog, {}, area, QStringLiteral("speedProfilePicture"));
  picture->setPixmap(SpeedProfilePicture(area.size()));
  const std::array<std::pair<const char16_t*, double>, 3> points{
      {{u"開始点", kProfileStartAt}, {u"到達点", kProfileReachAt}, {u"的中点", kProfileHitAt}}};
  // As wide as the widest of the three captions, so that neighbours never meet.
  int labelWidth = 0;
  for (const auto& point : points) {
    labelWidth = std::max(
        labelWidth, picture->fontMetrics().horizontalAdvance(QString::fromUtf16(point.first)) + 4);
  }
  const int labelY = units.ToPixels(0, 51, 0, 0).y();
  for (const auto& [caption, at] : points) {
    // Under its point, but never past the ends of the picture.
    const int centre = area.left() + qRound(area.width() * at);
    const int left =
        std::clamp(centre - labelWidth / 2, area.left(), area.right() + 1 - labelWidth);
    auto* label = AddLabel(dialog, QString::fromUtf16(caption),
                           QRect(left, labelY, labelWidth, units.ToPixels(0, 0, 0, 9).height()));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  }
}

void AddPlaceGroup(QWidget& dialog, const DialogUnits& units, std::size_t place,
                   WindmillSettingsPane& pane) {
  const PlaceGroup& row = kPlaceGroupsTable[place];
  const int y = kFirstPlaceY + static_cast<int>(place) * (kPlaceHeight + kPlaceGap);
  const QString suffix = QString::number(place + 1);
  auto* group = new QGroupBox(QString::fromUtf16(row.caption), &dialog);
  group->setObjectName(QStringLiteral("placeGroup") + suffix);
  group->setGeometry(units.ToPixels(199, y, 167, kPlaceHeight));
  QWidget* controls[] = {
      group,
      AddLabel(dialog, QStringLiteral("開始→到達："), units.ToPixels(205, y + 13, 46, 9)),
      pane.reachEntries[place] = AddEntry(dialog, QStringLiteral("reachEntry") + suffix,
                                          row.reachId, units.ToPixels(251, y + 11, 28, 12)),
      AddLabel(dialog, QStringLiteral("開始→的中："), units.ToPixels(284, y + 13, 46, 9)),
      pane.hitEntries[place] = AddEntry(dialog, QStringLiteral("hitEntry") + suffix, row.hitId,
                                        units.ToPixels(330, y + 11, 28, 12)),
      AddLabel(dialog, QStringLiteral("速度："), units.ToPixels(205, y + 29, 24, 9)),
      pane.speedSliders[place] = CreateTrackBar(dialog, QStringLiteral("speedSlider") + suffix,
                                                row.sliderId, units.ToPixels(229, y + 25, 84, 15)),
      pane.speedLabels[place] =
          AddLabel(dialog, QStringLiteral("<低速>"), units.ToPixels(318, y + 29, 40, 9),
                   QStringLiteral("speedLabel") + suffix, row.labelId),
  };
  // The thousands place is carried in the files but no draw uses it.
  if (place == 0) {
    for (QWidget* control : controls)
      control->setEnabled(false);
  }
}

void AddUpdateGroup(QWidget& dialog, const DialogUnits& units, WindmillSettingsPane& pane) {
  auto* group = new QGroupBox(QStringLiteral("設定の更新"), &dialog);
  group->setGeometry(units.ToPixels(7, 168, 80, 68));
  AddLabel(dialog, QStringLiteral("設定の保存名："), units.ToPixels(13, 180, 70, 9));
  pane.settingsTypeCombo = PlaceControl(new QComboBox(&dialog), QStringLiteral("settingsTypeCombo"),
                                        1058, units.ToPixels(13, 191, 68, 13));
  AddSettingsTypeItems(*pane.settingsTypeCombo);
  pane.defaultsButton =
      PlaceControl(new QPushButton(QStringLiteral("デフォルト"), &dialog),
                   QStringLiteral("defaultsButton"), 1022, units.ToPixels(13, 208, 68, 12));
  pane.updateButton =
      PlaceControl(new QPushButton(QStringLiteral("更新"), &dialog),
                   QStringLiteral("updateWindmillButton"), 1021, units.ToPixels(13, 222, 68, 12));
}

}  // namespace

QString SpeedWord(int position) {
  static const std::array<QString, 5> kWords{QStringLiteral("最低速"), QStringLiteral("低速"),
                                             QStringLiteral("普通"), QStringLiteral("高速"),
                                             QStringLiteral("最高速")};
  return position >= 0 && position < static_cast<int>(kWords.size())
             ? kWords[static_cast<std::size_t>(position)]
             : QString();
}

void AddSettingsTypeItems(QComboBox& combo) {
  combo.addItems({QStringLiteral("タイプ１"), QStringLiteral("タイプ２"),
                  QStringLiteral("タイプ３"), QStringLiteral("タイプ４"),
                  QStringLiteral("タイプ５")});
}

QSlider* CreateTrackBar(QWidget& dialog, const QString& objectName, int controlId,
                        const QRect& pixels) {
  auto* slider = PlaceControl(new QSlider(Qt::Horizontal, &dialog), objectName, controlId, pixels);
  slider->setRange(0, 4);
  slider->setTickPosition(QSlider::TicksAbove);
  slider->setTickInterval(1);
  slider->setPageStep(1);
  return slider;
}

WindmillSettingsPane WindmillSettingsPane::Create(QWidget& dialog, const DialogUnits& units) {
  WindmillSettingsPane pane;
  auto* group = new QGroupBox(QStringLiteral("電動風車設定"), &dialog);
  group->setGeometry(units.ToPixels(193, 4, 179, 249));
  AddSpeedProfile(dialog, units);
  AddLabel(dialog, QStringLiteral("停止定数："), units.ToPixels(316, 20, 46, 9));
  pane.stopConstant =
      AddEntry(dialog, QStringLiteral("stopConstantEntry"), 1020, units.ToPixels(316, 32, 40, 12));
  for (std::size_t place = 0; place < kPlaceGroups; ++place)
    AddPlaceGroup(dialog, units, place, pane);
  AddUpdateGroup(dialog, units, pane);
  return pane;
}

}  // namespace kitebar::app
