// Every dialog on the common laptop screens at 100, 150 and 200 %: on the
// screen, every button in view or brought into view by scrolling, and the
// designed layout untouched where it fits. The screens (offscreen-
// DialogFitTest.json) are 1280 x 800, 1366 x 768 and 1024 x 768 less a
// taskbar of 48 pixels at each scale, as Windows leaves them to windows.
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QTranslator>
#include <QtTest>
#include <memory>

#include "app/CAboutDialog.h"
#include "app/DesktopStyle.h"
#include "app/ScreenFit.h"
#include "app/SimulationSettingsDialog.h"
#include "app/WinningNumberDialog.h"
#include "history/DrawHistory.h"
#include "support/AppTestSupport.h"

namespace kitebar::app::test {
namespace {

QScreen* ScreenNamed(const QString& name) {
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen->name() == name)
      return screen;
  }
  return nullptr;
}

QString Describe(const QRect& r) {
  return QStringLiteral("(%1, %2, %3 x %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The button as the user can see it: in the dialog, or scrolled into the
// scroll area's view.
bool Reachable(QDialog& dialog, QAbstractButton& button) {
  auto* area = dialog.findChild<QScrollArea*>(QStringLiteral("screenFitArea"));
  if (area != nullptr && area->widget()->isAncestorOf(&button)) {
    area->ensureWidgetVisible(&button, 0, 0);
    const QRect view(area->viewport()->mapTo(&dialog, QPoint()), area->viewport()->size());
    return view.contains(QRect(button.mapTo(&dialog, QPoint()), button.size()));
  }
  return dialog.rect().contains(QRect(button.mapTo(&dialog, QPoint()), button.size()));
}

}  // namespace

class DialogFitTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
    UseDesktopStyle();
    if (translator_.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      QCoreApplication::installTranslator(&translator_);
  }
  void init() {
    folder_ = std::make_unique<WorkingFolder>();
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(7088));
    QVERIFY(history_.Load().ok());
  }
  void cleanup() {
    owner_.reset();
    folder_.reset();
  }

  void everyButtonIsReachable_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("screen");
    QStringList dialogs{QStringLiteral("当選番号編集"), QStringLiteral("シミュレート設定"),
                        QStringLiteral("バージョン情報")};
#ifndef _WIN32
    // Windows shows its own print dialog, which is no Qt widget.
    dialogs << QStringLiteral("印刷");
#endif
    for (const QString& dialog : dialogs) {
      for (const QScreen* screen : QGuiApplication::screens())
        QTest::addRow("%s on %s", qPrintable(dialog), qPrintable(screen->name()))
            << dialog << screen->name();
    }
  }
  void everyButtonIsReachable() {
    QFETCH(QString, dialog);
    QFETCH(QString, screen);
    QScreen* target = ScreenNamed(screen);
    QVERIFY(target != nullptr);
    const std::unique_ptr<QDialog> shown = ShowOn(*target, dialog);
    QVERIFY(shown != nullptr);
    const QRect area = target->availableGeometry();
    QTRY_VERIFY2(
        area.contains(shown->frameGeometry()),
        qPrintable(Describe(shown->frameGeometry()) + QStringLiteral(" on ") + Describe(area)));
    int buttons = 0;
    for (QAbstractButton* button : shown->findChildren<QAbstractButton*>()) {
      if (!button->isVisibleTo(shown.get()))
        continue;
      QVERIFY2(Reachable(*shown, *button), qPrintable(button->text()));
      ++buttons;
    }
    QVERIFY(buttons > 0);
    // A button box stays in view, below what scrolls.
    if (const auto* box = shown->findChild<QDialogButtonBox*>(); box != nullptr) {
      QVERIFY(shown->rect().contains(QRect(box->mapTo(shown.get(), QPoint()), box->size())));
    }
    // Where the dialog fits as it was designed, it is left as it was.
    if (target->name() == QStringLiteral("1280x800@100"))
      QVERIFY(shown->findChild<QScrollArea*>(QStringLiteral("screenFitArea")) == nullptr);
  }

 private:
  // `name`'s dialog over a window on `screen`; the print dialog with its
  // options open, as large as it gets.
  std::unique_ptr<QDialog> ShowOn(QScreen& screen, const QString& name) {
    owner_ = std::make_unique<QWidget>();
    owner_->resize(308, 146);
    owner_->move(screen.availableGeometry().topLeft() + QPoint(40, 40));
    owner_->show();
    if (!QTest::qWaitForWindowExposed(owner_.get()) ||
        !QTest::qWaitFor([this, &screen] { return owner_->screen() == &screen; }))
      return nullptr;
    std::unique_ptr<QDialog> dialog;
    if (name == QStringLiteral("当選番号編集")) {
      dialog = std::make_unique<WinningNumberDialog>(history_, opener_, owner_.get());
    } else if (name == QStringLiteral("シミュレート設定")) {
      dialog = std::make_unique<SimulationSettingsDialog>(history_, owner_.get());
    } else if (name == QStringLiteral("バージョン情報")) {
      dialog = std::make_unique<CAboutDialog>(owner_.get());
    } else {
      dialog = std::make_unique<QPrintDialog>(&printer_, owner_.get());
      KeepFittedToScreen(*dialog);
    }
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
      return nullptr;
    if (auto* box = dialog->findChild<QDialogButtonBox*>(); box != nullptr) {
      for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QDialogButtonBox::ResetRole)
          button->click();
      }
    }
    return dialog;
  }

  std::unique_ptr<WorkingFolder> folder_;
  std::unique_ptr<QWidget> owner_;
  DrawHistory history_;
  RecordingPageOpener opener_;
  QPrinter printer_;
  QTranslator translator_;
};

}  // namespace kitebar::app::test

QTEST_MAIN(kitebar::app::test::DialogFitTest)
#include "DialogFitTest.moc"
