#include "app/WinningNumberControls.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>

#include "app/ListGeometry.h"
#include "app/SettingsControls.h"

namespace kitebar::app {
namespace {

// The frames come first, so that they lie beneath the controls they frame.
void AddFrames(QWidget& dialog, const DialogUnits& units) {
  const struct {
    QString caption;
    QString objectName;
    QRect rect;
  } frames[] = {
      {QStringLiteral("当選番号登録（手動）"), QStringLiteral("manualGroup"),
       units.ToPixels(7, 7, 165, 79)},
      {QStringLiteral("当選履歴"), QStringLiteral("historyGroup"), units.ToPixels(7, 90, 165, 48)},
      {QStringLiteral("当選番号登録（自動）"), QStringLiteral("importGroup"),
       units.ToPixels(7, 141, 165, 102)},
      {QString(), QStringLiteral("importFrame"), units.ToPixels(13, 163, 152, 78)},
  };
  for (const auto& frame : frames)
    PlaceControl(new QGroupBox(frame.caption, &dialog), frame.objectName, 0, frame.rect);
}

QTableWidget* AddDrawList(QWidget& dialog, const DialogUnits& units) {
  auto* list = PlaceControl(new QTableWidget(&dialog), QStringLiteral("drawList"), 1006,
                            units.ToPixels(102, 14, 64, 68));
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->verticalHeader()->hide();
  FitListToWholeRows(*list, list->fontMetrics().height() + 4);
  list->setWordWrap(false);
  list->setTabKeyNavigation(false);
  return list;
}

// The substitute font may be wider than the one the dialog was laid out for:
// a one-line caption then grows to the right, up to `rightLimit`, rather than
// lose its end; when even that is too narrow, its letters get smaller.
void FitCaption(QLabel& label, int rightLimit) {
  const int needed = label.fontMetrics().horizontalAdvance(label.text()) + 2;
  if (needed <= label.width())
    return;
  const int available = rightLimit - label.x();
  label.resize(std::min(needed, available), label.height());
  if (needed <= available)
    return;
  QFont smaller = label.font();
  smaller.setPixelSize(QFontInfo(smaller).pixelSize() * available / needed);
  label.setFont(smaller);
}

QRadioButton* AddRadio(QWidget& dialog, const QString& caption, const QString& objectName,
                       int controlId, const QRect& pixels) {
  return PlaceControl(new QRadioButton(caption, &dialog), objectName, controlId, pixels);
}

QPushButton* AddButton(QWidget& dialog, const QString& caption, const QString& objectName,
                       int controlId, const QRect& pixels) {
  return PlaceControl(new QPushButton(caption, &dialog), objectName, controlId, pixels);
}

}  // namespace

WinningNumberControls WinningNumberControls::Create(QWidget& dialog, const DialogUnits& units) {
  AddFrames(dialog, units);
  WinningNumberControls c;
  c.drawLabel = AddLabel(dialog, QStringLiteral("0000"), units.ToPixels(19, 27, 37, 8),
                         QStringLiteral("drawLabel"), 1008);
  c.drawLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  c.numberEntry = PlaceControl(new QLineEdit(&dialog), QStringLiteral("numberEntry"), 1001,
                               units.ToPixels(18, 43, 40, 14));
  c.numberEntry->setMaxLength(3);
  c.modifyButton = AddButton(dialog, QStringLiteral("<<修正"), QStringLiteral("modifyButton"), 1000,
                             units.ToPixels(65, 23, 28, 14));
  c.registerButton = AddButton(dialog, QStringLiteral("登録>>"), QStringLiteral("registerButton"),
                               1007, units.ToPixels(65, 50, 28, 14));
  c.drawList = AddDrawList(dialog, units);
  // Between the entry and the list.
  for (QPushButton* button : {c.modifyButton, c.registerButton})
    FitButtonToCaption(*button, units.ToPixels(60, 0, 0, 0).x(), units.ToPixels(99, 0, 0, 0).x());

  c.allDrawsRadio = AddRadio(dialog, QStringLiteral("すべて"), QStringLiteral("allDrawsRadio"),
                             1072, units.ToPixels(55, 102, 36, 10));
  c.hitsOnlyRadio = AddRadio(dialog, QStringLiteral("当選のみ"), QStringLiteral("hitsOnlyRadio"),
                             1073, units.ToPixels(96, 102, 43, 10));
  c.recentHistoryButton =
      AddButton(dialog, QStringLiteral("過去300回の履歴"), QStringLiteral("recentHistoryButton"),
                1022, units.ToPixels(17, 115, 56, 14));
  c.hitHistoryButton =
      AddButton(dialog, QStringLiteral("当選履歴の表示"), QStringLiteral("hitHistoryButton"), 1021,
                units.ToPixels(108, 115, 53, 14));
  // Each keeps to its half of the group "当選履歴".
  const int middle = units.ToPixels(90, 0, 0, 0).x();
  FitButtonToCaption(*c.recentHistoryButton, units.ToPixels(11, 0, 0, 0).x(), middle - 2);
  FitButtonToCaption(*c.hitHistoryButton, middle + 2, units.ToPixels(168, 0, 0, 0).x());

  FitCaption(*AddLabel(dialog, QStringLiteral("自動的にWebページから当選番号を読み込みます。"),
                       units.ToPixels(14, 155, 150, 8)),
             units.ToPixels(168, 0, 0, 0).x());
  FitCaption(*AddLabel(dialog, QStringLiteral("メッセージ："), units.ToPixels(19, 173, 34, 8)),
             units.ToPixels(159, 0, 0, 0).x());
  c.messageLine = AddLabel(dialog, QStringLiteral("当選番号の読取を始めます。"),
                           units.ToPixels(19, 185, 140, 17), QStringLiteral("messageLine"), 1011);
  c.messageLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  c.messageLine->setWordWrap(true);
  c.progressBar = PlaceControl(new QProgressBar(&dialog), QStringLiteral("progressBar"), 1010,
                               units.ToPixels(18, 209, 141, 10));
  c.progressBar->setTextVisible(false);
  c.importButton = AddButton(dialog, QStringLiteral("開始"), QStringLiteral("importButton"), 1009,
                             units.ToPixels(107, 221, 50, 14));

  c.closeButton = AddButton(dialog, QStringLiteral("閉じる"), QStringLiteral("closeButton"), 1,
                            units.ToPixels(7, 246, 50, 14));
  c.closeButton->setDefault(true);
  return c;
}

}  // namespace kitebar::app
