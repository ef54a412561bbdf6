#include "app/CAboutDialog.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "app/DialogUnits.h"
#include "app/Resources.h"
#include "app/ScreenFit.h"
#include "app/WindowPlacement.h"

namespace kitebar::app {

CAboutDialog::CAboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QStringLiteral("Kitebarのﾊﾞｰｼﾞｮﾝ情報"));
  setFont(SettingsDialogFont());
  const DialogUnits units(font());
  setFixedSize(units.ToPixels(0, 0, 235, 55).size());

  auto* version = new QLabel(QStringLiteral("Kitebar Version 1.0"), this);
  version->setObjectName(QStringLiteral("versionText"));
  version->setGeometry(units.ToPixels(40, 10, 119, 8));

  // The icon stands level with the one line of text beside it.
  constexpr int kIconSize = 32;
  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("programIcon"));
  icon->setPixmap(QIcon(ProgramIconPath()).pixmap(kIconSize, kIconSize));
  icon->setGeometry(units.ToPixels(11, 0, 0, 0).x(),
                    version->geometry().center().y() - kIconSize / 2, kIconSize, kIconSize);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  ok->setGeometry(units.ToPixels(178, 7, 50, 14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CAboutDialog::showEvent(QShowEvent* event) {
  FitToScreen(*this);
  PlaceOverOwner(*this);
  QDialog::showEvent(event);
}

}  // namespace kitebar::app
