#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "app/DesktopStyle.h"
#include "app/DialogFeedback.h"
#include "app/DialogUnits.h"
#include "app/MessageBoxes.h"
#include "app/Resources.h"
#include "support/AppTestSupport.h"

namespace kitebar::app::test {

class MessageBoxesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseDesktopStyle(); }
  void init() { MessageBoxes::ResetTestHook(); }

  void hookAnswersInOrderAndRecordsEachBox() {
    MessageBoxes::SetNextAnswer(QMessageBox::No);
    MessageBoxes::SetNextAnswer(QMessageBox::Yes);
    QCOMPARE(MessageBoxes::Show(nullptr, QStringLiteral("一"), QMessageBox::Question,
                                QMessageBox::Yes | QMessageBox::No),
             QMessageBox::No);
    QCOMPARE(MessageBoxes::Show(nullptr, QStringLiteral("二"), QMessageBox::Question,
                                QMessageBox::Yes | QMessageBox::No),
             QMessageBox::Yes);
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{2});
    QCOMPARE(MessageBoxes::shown()[1].text, QStringLiteral("二"));
    QCOMPARE(MessageBoxes::shown()[1].caption, ApplicationTitle());
  }

  void unansweredStopBoxShowsTitleAndStopIcon() {
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    WhenModalOpens([&](QWidget& modal) {
      auto& box = static_cast<QMessageBox&>(modal);
      caption = box.windowTitle();
      icon = box.icon();
      text = box.text();
      box.button(QMessageBox::Ok)->click();
    });
    MessageBoxes::ShowStop(nullptr, QStringLiteral("当選番号の取得に失敗しました。"));

    QCOMPARE(caption, QStringLiteral("Kitebar -ナンバーズシミュレータ-"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(text, QStringLiteral("当選番号の取得に失敗しました。"));
  }

  // A short message leaves the caption room in the title bar beside the
  // frame's icon and buttons, in the title bar's font; the text is one font.
  void shortBoxIsAsWideAsItsCaption() {
    const std::unique_ptr<QMessageBox> box =
        MessageBoxes::Create(nullptr, QStringLiteral("OK?"), QMessageBox::NoIcon);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    const QFontMetrics titleBar(QApplication::font("QMdiSubWindowTitleBar"));
    QVERIFY2(box->width() >= titleBar.horizontalAdvance(ApplicationTitle()) + 100,
             qPrintable(QString::number(box->width())));
    QCOMPARE(box->font().families(), MessageBoxFont(QApplication::font()).families());
  }

  void dialogFeedbackDrivesControlsAndBoxes_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("boxIcon");
    QTest::newRow("stop") << int(MessageIcon::kStop) << int(QMessageBox::Critical);
    QTest::newRow("information") << int(MessageIcon::kInformation) << int(QMessageBox::Information);
    QTest::newRow("none") << int(MessageIcon::kNone) << int(QMessageBox::NoIcon);
  }
  void dialogFeedbackDrivesControlsAndBoxes() {
    QFETCH(int, icon);
    QFETCH(int, boxIcon);
    QWidget dialog;
    auto* progress = new QProgressBar(&dialog);
    auto* messageLine = new QLabel(&dialog);
    DialogFeedback feedback(&dialog, progress, messageLine);

    feedback.SetProgress(42);
    feedback.AddMessageLine("処理を開始しました。");
    feedback.AddMessageLine("完了しました。");
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    feedback.ShowMessage("当選番号の取得に失敗しました。", static_cast<MessageIcon>(icon));

    QCOMPARE(progress->value(), 42);
    QCOMPARE(messageLine->text(), QStringLiteral("完了しました。"));
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().front().text, QStringLiteral("当選番号の取得に失敗しました。"));
    QCOMPARE(int(MessageBoxes::shown().front().icon), boxIcon);
  }

  void dialogFeedbackWithoutControlsOnlyShowsBoxes() {
    DialogFeedback feedback(nullptr);
    feedback.SetProgress(10);
    feedback.AddMessageLine("x");
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    feedback.ShowMessage("y", MessageIcon::kStop);
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
  }
};

}  // namespace kitebar::app::test

QTEST_MAIN(kitebar::app::test::MessageBoxesTest)
#include "MessageBoxesTest.moc"
