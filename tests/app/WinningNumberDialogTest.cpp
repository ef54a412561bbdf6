#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>

#include "../history/HttpTestServer.h"
#include "app/CKitebarDoc.h"
#include "app/CMainFrame.h"
#include "app/DesktopStyle.h"
#include "app/MessageBoxes.h"
#include "app/Resources.h"
#include "app/WinningNumberDialog.h"
#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "common/ShiftJis.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"
#include "support/AppTestSupport.h"

namespace kitebar::app::test {
namespace {

const QString kHistoryFile = QStringLiteral("kitebarnum.dat");
const QString kBackTestFile = QStringLiteral("Kitebard.dat");

// The controls that Tab reaches, from the entry on: of the two radio buttons
// the checked one, the arrow keys reach the other.
const QStringList kTabOrder{
    QStringLiteral("numberEntry"),      QStringLiteral("modifyButton"),
    QStringLiteral("registerButton"),   QStringLiteral("drawList"),
    QStringLiteral("hitsOnlyRadio"),    QStringLiteral("recentHistoryButton"),
    QStringLiteral("hitHistoryButton"), QStringLiteral("importButton"),
    QStringLiteral("closeButton")};

// Named by the build: __FILE__ may be relative (a compiler cache rewrites it).
std::filesystem::path SampleCsv() {
  return KITEBAR_SAMPLE_CSV;
}

// The first line of each message box shown.
QStringList ShownHeadlines() {
  QStringList headlines;
  for (const MessageBoxes::Shown& box : MessageBoxes::shown())
    headlines << box.text.section(u'\n', 0, 0);
  return headlines;
}

QStringList ShownTexts() {
  QStringList texts;
  for (const MessageBoxes::Shown& box : MessageBoxes::shown())
    texts << box.text;
  return texts;
}

QByteArray Sjis(const char* utf8) {
  const Result<std::string> converted = Utf8ToShiftJis(utf8);
  if (!converted.ok())
    qFatal("cannot convert to Shift_JIS");
  return QByteArray::fromStdString(*converted);
}

// A result site's pages in Shift_JIS: an index page whose recent links lie
// before the past-data marker (read newest link last), and recent pages with
// one heading per draw.
std::string IndexPage(const QStringList& recentKeys) {
  QByteArray html = "<HTML><BODY>\r\n";
  for (const QString& key : recentKeys)
    html += "<A href=\"num3-h" + key.toLatin1() + ".html\">" + key.toLatin1() + "</A><BR>\r\n";
  html += Sjis("<H2>★過去のデータ★</H2>\r\n") + "</BODY></HTML>\r\n";
  return html.toStdString();
}

std::string RecentPage(int firstDraw, int draws) {
  QByteArray html = "<HTML><BODY>\r\n";
  for (int draw = firstDraw; draw < firstDraw + draws; ++draw) {
    html += Sjis("<TABLE><TR><TH><B>第") + QByteArray::number(draw) + Sjis("回</b></TH></TR>") +
            "<TR><TD><B>" + QByteArray::number(draw % 1000).rightJustified(3, '0') +
            "</B></TD></TR></TABLE>\r\n";
  }
  return (html + "</BODY></HTML>\r\n").toStdString();
}

// A site whose newest draw is 2013, read in two pages: num3-h2011.html with
// draw 2011, then num3-h2012.html with 2012 and 2013.
std::map<std::string, std::string> RecentSite() {
  return {{"/numbers/numtop01.html", IndexPage({QStringLiteral("2012"), QStringLiteral("2011")})},
          {"/numbers/num3-h2011.html", RecentPage(2011, 1)},
          {"/numbers/num3-h2012.html", RecentPage(2012, 2)}};
}

void PointImportAt(kitebar::test::PageServer& server) {
  WriteFile(QStringLiteral("base.ini"),
            "[TvalUrl]\r\nBaseURL=" + QByteArray::fromStdString(server.BaseUrl()) + "\r\n");
}

// What the dialog showed at one pause of the import.
struct PauseView {
  int progress = 0;
  QString messageLine;
  bool waitCursor = false;
};

}  // namespace

class WinningNumberDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
    UseDesktopStyle();
  }
  void init() {
    folder_ = std::make_unique<WorkingFolder>();
    MessageBoxes::ResetTestHook();
    AnswerMessageBoxesWithOk();
  }
  void cleanup() {
    dialog_.reset();
    history_.reset();
    folder_.reset();
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void opensWithTwoThousandDraws() {
    Open(HistoryText(2000));
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("当選番号編集"));
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 2001 回"));
    QCOMPARE(dialog_->targetDraw, 2001);
    QCOMPARE(List().rowCount(), 2000);
    QCOMPARE(List().horizontalHeaderItem(0)->text(), QStringLiteral("回数"));
    QCOMPARE(List().horizontalHeaderItem(1)->text(), QStringLiteral("番号"));
    QCOMPARE(List().item(1999, 0)->text(), QStringLiteral("2000"));
    QCOMPARE(List().item(1999, 1)->text(), QStringLiteral("000"));  // 2000 * 137 % 1000
    QCOMPARE(List().item(0, 1)->text(), QStringLiteral("137"));
    const QRect lastRow = List().visualItemRect(List().item(1999, 1));
    QVERIFY(List().viewport()->rect().contains(lastRow));
    QVERIFY(Radio("hitsOnlyRadio").isChecked());
    QVERIFY(!Radio("allDrawsRadio").isChecked());
    QCOMPARE(Child<QProgressBar>("progressBar").value(), 0);
    QCOMPARE(Label("messageLine").text(), QStringLiteral("当選番号の読取を始めます。"));
    QVERIFY(Button("closeButton").isDefault());
  }

  void registeringInAppendMode_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("stored");  // empty: nothing stored
    QTest::newRow("5") << QStringLiteral("5") << QByteArray("005");
    // Nothing typed is not 000, a number that the user types.
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("1a") << QStringLiteral("1a") << QByteArray();
  }
  void registeringInAppendMode() {
    QFETCH(QString, entry);
    QFETCH(QByteArray, stored);
    Open(HistoryText(5));
    const QByteArray before = ReadFile(kHistoryFile);
    Entry().setText(entry);
    Button("registerButton").click();
    if (stored.isEmpty()) {
      QCOMPARE(history_->count, 5);
      QCOMPARE(ReadFile(kHistoryFile), before);
      QVERIFY(!QFile::exists(kBackTestFile));
    } else {
      QCOMPARE(history_->count, 6);
      QCOMPARE(QByteArray::fromStdString(std::string(history_->record(6).digitsText())), stored);
      // The back-test's prediction gave the new draw an estimated position.
      QVERIFY(ReadFile(kHistoryFile).startsWith(before + "0006," + stored + ","));
      QVERIFY(ReadFile(kBackTestFile).startsWith("6\r\n"));
      QCOMPARE(ReadFile(kBackTestFile).count('\n'), 2);
    }
    const int count = history_->count;
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 %1 回").arg(count + 1));
    QCOMPARE(dialog_->targetDraw, count + 1);
    QCOMPARE(List().rowCount(), count);
    QCOMPARE(Entry().text(), QString());
    QVERIFY(MessageBoxes::shown().empty());
  }

  // Enter pressed again on 登録>>, which keeps the focus after a click, stores
  // no 000 for the next draw.
  void enterAfterRegisteringStoresNothingMore() {
    Open(HistoryText(5));
    Entry().setText(QStringLiteral("5"));
    Button("registerButton").setFocus();
    QTest::mouseClick(&Button("registerButton"), Qt::LeftButton);
    QTest::keyClick(&Button("registerButton"), Qt::Key_Return);
    QCOMPARE(history_->count, 6);
    QVERIFY(ReadFile(kHistoryFile).contains("0006,005"));
    QVERIFY(!ReadFile(kHistoryFile).contains("0007,"));
  }

  void modifyingRowTenCorrectsDrawTenWithoutBackTest() {
    Open(HistoryText(12));
    Button("modifyButton").click();
    QCOMPARE(ShownTexts(),
             QStringList{QStringLiteral("右のリストから修正する番号を選択してください。")});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::NoIcon);
    QCOMPARE(dialog_->targetDraw, 13);
    List().selectRow(9);
    Button("modifyButton").click();
    QCOMPARE(Entry().text(), QStringLiteral("370"));  // 10 * 137 % 1000
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 10 回"));
    QCOMPARE(dialog_->targetDraw, 10);
    Entry().setText(QStringLiteral("456"));
    Button("registerButton").click();
    QCOMPARE(history_->record(10).digitsText(), std::string_view("456"));
    QCOMPARE(history_->count, 12);
    QVERIFY(ReadFile(kHistoryFile).contains("\r\n0010,456\r\n0011,"));
    QVERIFY(!QFile::exists(kBackTestFile));
    QCOMPARE(List().item(9, 1)->text(), QStringLiteral("456"));
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 13 回"));
    QCOMPARE(dialog_->targetDraw, 13);
    QCOMPARE(Entry().text(), QString());
  }

  void pendingRecordKeepsItsPosition() {
    Open(HistoryText(5) + "0006,,123,1\r\n");
    QCOMPARE(List().rowCount(), 5);
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 6 回"));
    Entry().setText(QStringLiteral("789"));
    Button("registerButton").click();
    QVERIFY(ReadFile(kHistoryFile).endsWith("0005,685\r\n0006,789,123,1\r\n"));
    QCOMPARE(history_->count, 6);
    QCOMPARE(List().rowCount(), 6);
  }

  void unwritableBackTestFileIsReportedAndStoresNothing() {
    Open(HistoryText(5));
    QVERIFY(QDir().mkdir(kBackTestFile));
    Entry().setText(QStringLiteral("5"));
    Button("registerButton").click();
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Critical);
    QVERIFY(MessageBoxes::shown().front().text.contains(kBackTestFile));
    QCOMPARE(history_->count, 5);
    QVERIFY(!ReadFile(kHistoryFile).contains("0006,005"));
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 6 回"));
    QCOMPARE(Entry().text(), QStringLiteral("005"));  // kept for another try
  }

  // Draws registered elsewhere while the dialog was open: the draw it showed as
  // the next one is taken, so the entry is refused and the list follows the file.
  void registrationOfADrawTakenMeanwhileIsRefused() {
    Open(HistoryText(5));
    WriteFile(kHistoryFile, HistoryText(7));
    Entry().setText(QStringLiteral("555"));
    Button("registerButton").click();
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QVERIFY(MessageBoxes::shown().front().text.contains(
        QStringLiteral("第 6 回の当選番号は登録しませんでした")));
    QCOMPARE(ReadFile(kHistoryFile), HistoryText(7));
    QVERIFY(!QFile::exists(kBackTestFile));
    QCOMPARE(List().rowCount(), 7);
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 8 回"));
  }

  void unwritableHistoryFileLeavesTheDialogAsItWas() {
    Open(HistoryText(5));
    QVERIFY(QFile::remove(kHistoryFile));
    QVERIFY(QDir().mkdir(kHistoryFile));
    Entry().setText(QStringLiteral("42"));
    Button("registerButton").click();
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QVERIFY(MessageBoxes::shown().front().text.contains(kHistoryFile));
    QCOMPARE(history_->count, 5);
    QCOMPARE(List().rowCount(), 5);
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 6 回"));
  }

  void importReadsThePagesAndShowsItsProgress() {
    kitebar::test::PageServer server(RecentSite());
    PointImportAt(server);
    Open(HistoryText(2010));
    std::vector<PauseView> pauses;
    dialog_->pauseBeforeRequest = [this, &pauses] {
      const QCursor* cursor = QApplication::overrideCursor();
      pauses.push_back({Child<QProgressBar>("progressBar").value(), Label("messageLine").text(),
                        cursor != nullptr && cursor->shape() == Qt::WaitCursor});
    };
    Button("importButton").click();
    QCOMPARE(pauses.size(), std::size_t{2});
    QCOMPARE(pauses[0].progress, 5);
    QCOMPARE(pauses[1].progress, 12);
    QCOMPARE(pauses[0].messageLine,
             QStringLiteral("第 2010 回　～　からの当選番号を処理しています。Web:0"));
    QCOMPARE(pauses[1].messageLine,
             QStringLiteral("第 2011 回　～　からの当選番号を処理しています。Web:1"));
    QVERIFY(pauses[0].waitCursor && pauses[1].waitCursor);
    QCOMPARE(Child<QProgressBar>("progressBar").value(), 100);
    QCOMPARE(Label("messageLine").text(), QStringLiteral("完了しました。"));
    QCOMPARE(history_->count, 2013);
    QVERIFY(ReadFile(kHistoryFile).endsWith("2011,011\r\n2012,012\r\n2013,013\r\n"));
    QVERIFY(ReadFile(QStringLiteral("base.ini")).contains("EndURL=num3-h2012.html"));
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 2014 回"));
    QCOMPARE(dialog_->targetDraw, 2014);
    QCOMPARE(List().rowCount(), 2013);
    QCOMPARE(List().item(2012, 1)->text(), QStringLiteral("013"));
    QVERIFY(MessageBoxes::shown().empty());
  }

  // However the draws came in, the row of the newest one is in view.
  void newestDrawIsInViewAfterAdding_data() {
    QTest::addColumn<QStringList>("pages");  // first draw and count, per page
    QTest::addColumn<int>("typedDraws");
    QTest::newRow("import, one page of one draw") << QStringList{QStringLiteral("2011:1")} << 0;
    QTest::newRow("import, one page of three draws") << QStringList{QStringLiteral("2011:3")} << 0;
    QTest::newRow("import, two pages of one and two draws")
        << QStringList{QStringLiteral("2011:1"), QStringLiteral("2012:2")} << 0;
    QTest::newRow("import, three pages of two draws")
        << QStringList{QStringLiteral("2011:2"), QStringLiteral("2013:2"), QStringLiteral("2015:2")}
        << 0;
    QTest::newRow("one draw typed in") << QStringList{} << 1;
    QTest::newRow("three draws typed in") << QStringList{} << 3;
  }
  void newestDrawIsInViewAfterAdding() {
    QFETCH(QStringList, pages);
    QFETCH(int, typedDraws);
    std::map<std::string, std::string> site;
    QStringList keys;
    for (const QString& page : pages) {
      const QString first = page.section(QLatin1Char(':'), 0, 0);
      site["/numbers/num3-h" + first.toStdString() + ".html"] =
          RecentPage(first.toInt(), page.section(QLatin1Char(':'), 1).toInt());
      keys.prepend(first);
    }
    site["/numbers/numtop01.html"] = IndexPage(keys);
    kitebar::test::PageServer server(site);
    PointImportAt(server);
    Open(HistoryText(2010));
    dialog_->pauseBeforeRequest = [] {};
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    QVERIFY(RowInView(2009));

    if (!pages.isEmpty())
      Button("importButton").click();
    for (int typed = 0; typed < typedDraws; ++typed) {
      Entry().setText(QStringLiteral("123"));
      Button("registerButton").click();
    }
    QVERIFY(history_->count > 2010);
    QCOMPARE(List().rowCount(), history_->count);
    QVERIFY2(RowInView(history_->count - 1),
             qPrintable(QStringLiteral("draw %1 is not in view").arg(history_->count)));
  }

  // The stop message says why after its fixed first line, and the message
  // line no longer says that the run has started.
  void importWithoutIndexPageReportsAndChangesNothing() {
    kitebar::test::PageServer server({});
    PointImportAt(server);
    Open(HistoryText(20));
    const QByteArray before = ReadFile(kHistoryFile);
    Button("importButton").click();
    QCOMPARE(ShownHeadlines(), QStringList{HistoryLoadFailedText()});
    QVERIFY(ShownTexts().front().contains(QStringLiteral("numtop01.html")));
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Critical);
    QCOMPARE(Label("messageLine").text(), QStringLiteral("取り込みを中止しました。"));
    QCOMPARE(Child<QProgressBar>("progressBar").value(), 0);
    QCOMPARE(ReadFile(kHistoryFile), before);
  }

  void importFailingAtTheSecondPageKeepsTheFirst() {
    std::map<std::string, std::string> site = RecentSite();
    site.erase("/numbers/num3-h2012.html");
    kitebar::test::PageServer server(site);
    PointImportAt(server);
    Open(HistoryText(2010));
    dialog_->pauseBeforeRequest = [] {};
    Button("importButton").click();
    QCOMPARE(ShownHeadlines(), QStringList{HistoryLoadFailedText()});
    QCOMPARE(history_->count, 2011);
    QVERIFY(ReadFile(kHistoryFile).endsWith("2011,011\r\n"));
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 2012 回"));
    QCOMPARE(List().rowCount(), 2011);
    QCOMPARE(Child<QProgressBar>("progressBar").value(), 12);
  }

  // The real pause: the event loop runs (timers fire, windows repaint) while
  // clicks and keys on the dialog are dropped.
  void pauseKeepsPaintingButTakesNoInput() {
    std::map<std::string, std::string> site = RecentSite();
    site["/numbers/numtop01.html"] = IndexPage({QStringLiteral("2011")});
    kitebar::test::PageServer server(site);
    PointImportAt(server);
    Open(HistoryText(2010));
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    bool pokedDuringPause = false;
    const std::function<void()> realPause = dialog_->pauseBeforeRequest;
    dialog_->pauseBeforeRequest = [&] {
      QTimer::singleShot(0, dialog_.get(), [&] {
        QTest::keyClicks(&Entry(), QStringLiteral("7"));
        QTest::mouseClick(&Button("registerButton"), Qt::LeftButton);
        QTest::mouseClick(&Button("closeButton"), Qt::LeftButton);
        QTest::keyClick(dialog_.get(), Qt::Key_Escape);
        pokedDuringPause = true;
      });
      realPause();
    };
    Button("importButton").click();
    QVERIFY(pokedDuringPause);
    QVERIFY(dialog_->isVisible());
    QCOMPARE(dialog_->result(), 0);
    QCOMPARE(Entry().text(), QString());
    QCOMPARE(history_->count, 2011);
    QVERIFY(!QFile::exists(kBackTestFile));
    QCOMPARE(Label("messageLine").text(), QStringLiteral("完了しました。"));
    // Input is taken again once the run has ended.
    QTest::keyClicks(&Entry(), QStringLiteral("7"));
    QCOMPARE(Entry().text(), QStringLiteral("7"));
  }

  // A slow result site: while the fetcher waits for the answer, timers fire
  // and the window repaints.
  void slowSiteKeepsTheWindowPainting() {
    std::map<std::string, std::string> site = RecentSite();
    site["/numbers/numtop01.html"] = IndexPage({QStringLiteral("2011")});
    kitebar::test::PageServer server(site, std::chrono::milliseconds(300));
    PointImportAt(server);
    Open(HistoryText(2010));
    dialog_->pauseBeforeRequest = [] {};
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(20);
    // Windows's coarse timers would tick every 31 ms.
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start();
    Button("importButton").click();
    ticker.stop();
    QCOMPARE(history_->count, 2011);
    QVERIFY2(ticks >= 10, qPrintable(QStringLiteral("ticks: %1").arg(ticks)));
  }

  void hitHistoryButtonShowsTheRunningRecord() {
    Open(HistoryText(8));
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    Button("hitHistoryButton").click();  // no record yet: says so, and how it fills
    QVERIFY(opener_.opened.empty());
    QVERIFY(!QFile::exists(QStringLiteral("Kitebar.html")));
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QVERIFY(MessageBoxes::shown().front().text.startsWith(
        QStringLiteral("表示する当選履歴はまだありません。")));
    QVERIFY(MessageBoxes::shown().front().text.contains(QStringLiteral("［登録>>］")));
    MessageBoxes::ResetTestHook();
    WriteFile(kBackTestFile, "7\r\n13\r\n8\r\n00\r\n");
    Button("hitHistoryButton").click();
    QCOMPARE(opener_.opened, std::vector<std::filesystem::path>{"Kitebar.html"});
    QVERIFY(!ReadFile(QStringLiteral("Kitebar.html")).contains(Sjis("総合")));
    QVERIFY(!ReadFile(QStringLiteral("Kitebar.html")).contains(Sjis("第8回")));
    Radio("allDrawsRadio").click();
    Button("hitHistoryButton").click();
    QVERIFY(ReadFile(QStringLiteral("Kitebar.html")).contains(Sjis("総合")));
    QVERIFY(ReadFile(QStringLiteral("Kitebar.html")).contains(Sjis("ハズレ")));
    QVERIFY(MessageBoxes::shown().empty());
  }

  void recentHistoryButtonBackTestsAndKeepsTheTargetDraw() {
    Open(HistoryText(30));
    List().selectRow(4);
    Button("modifyButton").click();
    Radio("allDrawsRadio").click();
    Button("recentHistoryButton").click();
    const QByteArray record = ReadFile(QStringLiteral("Kitebard_100.dat"));
    QCOMPARE(record.count('\n'), 2 * 29);  // draws 2 to 30
    QVERIFY(record.startsWith("2\r\n"));
    QCOMPARE(opener_.opened, std::vector<std::filesystem::path>{"Kitebar_100.html"});
    const QByteArray page = ReadFile(QStringLiteral("Kitebar_100.html"));
    QVERIFY(page.contains(Sjis("総合")));
    QVERIFY(page.contains(Sjis("第30回")));
    QCOMPARE(dialog_->targetDraw, 5);
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 5 回"));
    QVERIFY(!QFile::exists(kBackTestFile));
  }

  void unwritableRecentRecordIsReported() {
    Open(HistoryText(10));
    QVERIFY(QDir().mkdir(QStringLiteral("Kitebard_100.dat")));
    Button("recentHistoryButton").click();
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Critical);
    QVERIFY(MessageBoxes::shown().front().text.contains(QStringLiteral("Kitebard_100.dat")));
    QVERIFY(opener_.opened.empty());
  }

  void commandOpensTheDialogAndPredictionFollowsIt() {
    WriteFile(kHistoryFile, HistoryText(4));
    StartedApp started = StartApp();
    QVERIFY(started.started);
    QString title;
    WhenModalOpens([&title](QWidget& modal) {
      title = modal.windowTitle();
      QVERIFY(modal.isModal());
      QCOMPARE(modal.findChild<QLabel*>(QStringLiteral("drawLabel"))->text(),
               QStringLiteral("第 5 回"));
      modal.findChild<QLineEdit*>(QStringLiteral("numberEntry"))->setText(QStringLiteral("321"));
      modal.findChild<QPushButton*>(QStringLiteral("registerButton"))->click();
      modal.findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    });
    QVERIFY(started.app->document()->OnCmdMsg(command::kWinningDataManagement));
    QCOMPARE(title, QStringLiteral("当選番号編集"));
    QCOMPARE(started.app->history().count, 5);
    QVERIFY(started.app->mainFrame()->RouteCommand(command::kPredictionStart) != nullptr);
    QCOMPARE(started.app->history().record(6).status, '0');
    QVERIFY(ReadFile(kHistoryFile).contains("0005,321"));
  }

  // An input method types full-width digits, which look like ASCII ones in
  // the dialog font.
  void fullWidthDigitsRegisterAsTheDigitsTheyAre_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("three full-width digits") << QStringLiteral("１２３") << QByteArray("123");
    QTest::newRow("full-width and ASCII, padded") << QStringLiteral("9８") << QByteArray("098");
  }
  void fullWidthDigitsRegisterAsTheDigitsTheyAre() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    Open(HistoryText(5));
    CommitFromInputMethod(Entry(), typed);
    Button("registerButton").click();
    QVERIFY(ReadFile(kHistoryFile).contains("\r\n0006," + stored + ","));
  }

  // A settings file that cannot be read stops the registration, and the
  // message says so, not only what the start-up said about the file.
  void refusalForAnUnreadableSetFileSaysNothingWasRegistered() {
    Open(HistoryText(5));
    QVERIFY(QDir().mkdir(QStringLiteral("type3.ini")));
    QTest::keyClicks(&Entry(), QStringLiteral("123"));
    Button("registerButton").click();
    QCOMPARE(ShownTexts().size(), 1);
    QVERIFY(ShownTexts().constFirst().contains(QStringLiteral("type3.ini")));
    QVERIFY(ShownTexts().constFirst().endsWith(QStringLiteral("当選番号は登録されていません。")));
    QCOMPARE(ReadFile(kHistoryFile), HistoryText(5));
    QCOMPARE(Entry().text(), QStringLiteral("123"));
  }

  // Enter presses the default button "閉じる": a number typed and not
  // registered is not dropped without a question (answered by `answer`).
  void closingWithAnUnregisteredNumberAsks_data() {
    QTest::addColumn<int>("correctedDraw");  // 0: the next draw
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");  // 0: no question
    QTest::addColumn<bool>("closed");
    QTest::newRow("empty entry") << 0 << QString() << 0 << true;
    QTest::newRow("new number, No") << 0 << QStringLiteral("123") << int(QMessageBox::No) << false;
    QTest::newRow("new number, Yes") << 0 << QStringLiteral("123") << int(QMessageBox::Yes) << true;
    QTest::newRow("draw 3 as listed") << 3 << QString() << 0 << true;
  }
  void closingWithAnUnregisteredNumberAsks() {
    QFETCH(int, correctedDraw);
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    Open(HistoryText(5));
    MessageBoxes::ResetTestHook();
    if (answer != 0)
      MessageBoxes::SetNextAnswer(static_cast<QMessageBox::StandardButton>(answer));
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    if (correctedDraw != 0) {
      List().selectRow(correctedDraw - 1);
      Button("modifyButton").click();
    }
    QTest::keyClicks(&Entry(), typed);
    QTest::keyClick(&Entry(), Qt::Key_Return);
    QCOMPARE(ShownTexts().size(), answer != 0 ? 1 : 0);
    QCOMPARE(dialog_->isVisible(), !closed);
    QCOMPARE(history_->count, 5);
  }

  void keyboardReachesEveryControlAndLeavesTheList() {
    Open(HistoryText(40));
    VerifyKeyboardNavigation(*dialog_, kTabOrder);
  }

  void rendersTheRealSampleForReview() {
    DrawHistory loaded;
    const Result<std::string> csv = ReadWholeFile(SampleCsv(), kMaxResultsCsvBytes);
    QVERIFY(csv.ok());
    QVERIFY(MergeResultsCsv(loaded, *csv).ok());
    QVERIFY(loaded.Save().ok());
    Open(ReadFile(kHistoryFile));
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 %1 回").arg(loaded.count + 1));
    // Every numbered control lies inside the dialog.
    for (const QWidget* control : dialog_->findChildren<QWidget*>()) {
      if (control->property("controlId").isValid())
        QVERIFY2(dialog_->rect().contains(control->geometry()), qPrintable(control->objectName()));
    }
    const QString file = QDir(QCoreApplication::applicationDirPath())
                             .filePath(QStringLiteral("winning-number-dialog.png"));
    QVERIFY(dialog_->grab().save(file));
  }

 private:
  void Open(const QByteArray& history) {
    WriteFile(kHistoryFile, history);
    history_ = std::make_unique<DrawHistory>();
    QVERIFY(history_->Load().ok());
    opener_.opened.clear();
    dialog_ = std::make_unique<WinningNumberDialog>(*history_, opener_);
  }
  template <typename Widget>
  Widget& Child(const char* name) {
    Widget* child = dialog_->findChild<Widget*>(QString::fromLatin1(name));
    if (child == nullptr)
      qFatal("no control %s", name);
    return *child;
  }
  QLineEdit& Entry() { return Child<QLineEdit>("numberEntry"); }
  QLabel& Label(const char* name) { return Child<QLabel>(name); }
  QPushButton& Button(const char* name) { return Child<QPushButton>(name); }
  QRadioButton& Radio(const char* name) { return Child<QRadioButton>(name); }
  QTableWidget& List() { return Child<QTableWidget>("drawList"); }
  // The whole row lies within the list's visible area.
  bool RowInView(int row) {
    const QRect rect = List().visualItemRect(List().item(row, 0));
    return List().viewport()->rect().contains(rect);
  }

  std::unique_ptr<WorkingFolder> folder_;
  std::unique_ptr<DrawHistory> history_;
  RecordingPageOpener opener_;
  std::unique_ptr<WinningNumberDialog> dialog_;
};

}  // namespace kitebar::app::test

QTEST_MAIN(kitebar::app::test::WinningNumberDialogTest)
#include "WinningNumberDialogTest.moc"
