#include <QImage>
#include <QPainter>
#include <QtTest>

#include "app/CKitebarView.h"
#include "app/CMainFrame.h"
#include "app/MessageBoxes.h"
#include "app/Resources.h"
#include "common/ShiftJis.h"
#include "support/AppTestSupport.h"

namespace kitebar::app::test {
namespace {

const QString kPage = QStringLiteral("showyosou.html");

QByteArray ShiftJis(const char* utf8) {
  const Result<std::string> converted = Utf8ToShiftJis(utf8);
  return converted.ok() ? QByteArray::fromStdString(converted.value()) : QByteArray();
}

}  // namespace

class ViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
  void init() {
    folder_ = std::make_unique<WorkingFolder>();
    MessageBoxes::ResetTestHook();
  }
  void cleanup() {
    started_ = {};
    folder_.reset();
  }

  void predictionStartWritesPageForNextDrawAndOpensIt() {
    Start(HistoryText(12));
    Action(QStringLiteral("predictionStartAction")).trigger();

    QVERIFY(MessageBoxes::shown().empty());
    const QByteArray page = ReadFile(kPage);
    QVERIFY(page.contains(ShiftJis("<td bgcolor=#006600><b>第13回</B></td>\r\n")));
    QCOMPARE(page.count("<B><FONT color=#ffffff>"), 10);
    QCOMPARE(started_.opener->opened.size(), std::size_t{1});
    QCOMPARE(started_.opener->opened.front(), std::filesystem::path("showyosou.html"));
    // Shown before draw 13 is held: recorded once, however often it is shown.
    Action(QStringLiteral("predictionStartAction")).trigger();
    const QList<QByteArray> record = ReadFile(QStringLiteral("kitebar-record.csv")).split('\n');
    QCOMPARE(record.size(), 2);
    QVERIFY(record.front().contains(",predict,13,1,"));
  }

  // A record that cannot take the prediction leaves the page shown and says so.
  void predictionShownWhenTheRecordRefusesIt() {
    Start(HistoryText(12));
    QVERIFY(QDir().mkdir(QStringLiteral("kitebar-record.csv")));
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    Action(QStringLiteral("predictionStartAction")).trigger();
    QCOMPARE(started_.opener->opened.size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Warning);
    QVERIFY(MessageBoxes::shown().front().text.contains(QStringLiteral("kitebar-record.csv")));
  }

  // A winning number registered elsewhere reaches the next prediction once the
  // main window is active again.
  void predictionFollowsHistoryChangedWhileInactive() {
    Start(HistoryText(12));
    QWidget dialog;
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(20));
    started_.app->mainFrame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(started_.app->mainFrame()));
    QTRY_COMPARE(started_.app->history().count, 20);

    Action(QStringLiteral("predictionStartAction")).trigger();
    QVERIFY(ReadFile(kPage).contains(ShiftJis("第21回")));
  }

  // A winning number registered elsewhere while the window was idle (no
  // repaint since) is never turned back into a pending line.
  void predictionActsOnTheFileAsItIsNow() {
    Start(HistoryText(12));
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(13));
    Action(QStringLiteral("predictionStartAction")).trigger();
    QVERIFY(MessageBoxes::shown().empty());
    QVERIFY(ReadFile(kPage).contains(ShiftJis("<b>第14回</B>")));
    QVERIFY(ReadFile(QStringLiteral("kitebarnum.dat")).startsWith(HistoryText(13)));
  }

  void failedRunShowsStopMessageAndNoPage() {
    Start(QByteArray());
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    Action(QStringLiteral("predictionStartAction")).trigger();

    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    const MessageBoxes::Shown& box = MessageBoxes::shown().front();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.caption, ApplicationTitle());
    QVERIFY(!box.text.isEmpty());
    QVERIFY(!QFile::exists(kPage));
    QVERIFY(started_.opener->opened.empty());
  }

  void drawingReloadsHistoryAndCopiesPictureToTopLeft() {
    Start(HistoryText(3));
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(4));
    QImage target(300, 100, QImage::Format_RGB32);
    target.fill(Qt::black);
    QPainter painter(&target);
    started_.app->mainFrame()->view()->OnDraw(painter);
    painter.end();

    QCOMPARE(started_.app->history().count, 4);
    const QImage picture = QImage(TitlePicturePath()).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(picture.size(), QSize(300, 80));
    QCOMPARE(target.copy(0, 0, 300, 80), picture);
  }

 private:
  void Start(const QByteArray& history) {
    WriteFile(QStringLiteral("kitebarnum.dat"), history);
    started_ = StartApp();
    QVERIFY(started_.started);
    started_.app->mainFrame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(started_.app->mainFrame()));
  }
  QAction& Action(const QString& objectName) {
    return *started_.app->mainFrame()->findChild<QAction*>(objectName);
  }

  std::unique_ptr<WorkingFolder> folder_;
  StartedApp started_;
};

}  // namespace kitebar::app::test

QTEST_MAIN(kitebar::app::test::ViewTest)
#include "ViewTest.moc"
