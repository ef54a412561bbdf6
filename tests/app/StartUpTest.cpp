#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QtTest>
#include <filesystem>

#include "app/CKitebarDoc.h"
#include "app/CMainFrame.h"
#include "app/MessageBoxes.h"
#include "app/Resources.h"
#include "app/StartFolder.h"
#include "support/AppTestSupport.h"

namespace kitebar::app::test {

class StartUpTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // A closed main window must not end the test program itself.
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void init() {
    folder_ = std::make_unique<WorkingFolder>();
    MessageBoxes::ResetTestHook();
  }
  void cleanup() { folder_.reset(); }

  // The program then ends with status 1, as for every start-up that fails.
  void missingHistoryShowsStopMessageThenCloses() {
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    const StartedApp started = StartApp();

    QVERIFY(!started.started);
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    const MessageBoxes::Shown& box = MessageBoxes::shown().front();
    // The first sentence as always, then why, and how to make the file.
    QVERIFY2(box.text.startsWith(QStringLiteral("当選番号の取得に失敗しました。\n")),
             qPrintable(box.text));
    QVERIFY(box.text.contains(QStringLiteral("kitebarnum.dat")));
    QVERIFY(box.text.contains(QStringLiteral("kitebar-cli load-csv")));
    QVERIFY(box.text.contains(QStringLiteral("kitebar-cli import")));
    QCOMPARE(box.caption, QStringLiteral("Kitebar -ナンバーズシミュレータ-"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY(!started.app->mainFrame()->isVisible());
    QCOMPARE(started.app->history().count, 0);
  }

  // Each refusal says why; none reads the history of the current folder.
  void refusedStartUpSaysWhy_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("launchProblem");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--bogus")} << QString()
        << QStringList{QStringLiteral("「--bogus」というオプションはありません"),
                       QStringLiteral("--help")};
    QTest::newRow("missing document")
        << QStringList{QStringLiteral("no-such-file.kit")} << QString()
        << QStringList{QStringLiteral("ファイル no-such-file.kit を開けませんでした。"),
                       QStringLiteral("そのファイルはありません")};
    QTest::newRow("folder not prepared")
        << QStringList() << QStringLiteral("作業フォルダを用意できません: 原因")
        << QStringList{QStringLiteral("当選番号の取得に失敗しました。\n\n作業フォルダを用意でき"
                                      "ません: 原因")};
  }
  void refusedStartUpSaysWhy() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, launchProblem);
    QFETCH(QStringList, parts);
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(2));
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    const StartedApp started = StartApp(arguments, std::nullopt, launchProblem);

    QVERIFY(!started.started);
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    const MessageBoxes::Shown& box = MessageBoxes::shown().front();
    QCOMPARE(box.icon, QMessageBox::Critical);
    for (const QString& part : parts)
      QVERIFY2(box.text.contains(part), qPrintable(box.text));
    QVERIFY(!box.text.contains(QStringLiteral("load-csv")));
    QVERIFY(!started.app->mainFrame()->isVisible());
    QCOMPARE(started.app->history().count, 0);
  }

  // The data folder that the program prepares as it starts (on Windows): a
  // folder that is not ready is explained by its cause, the folder and what to
  // do; one that cannot be made ends the program, one that numbers3.csv cannot
  // fill leaves the ways to make a first history (closed here); a first start
  // says where the data lives.
  void startFolderIsExplained_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("csv");  // empty: none
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("says");
    const QByteArray csv = "1,123\n2,456\n3,789\n";
    QTest::newRow("first start") << QStringLiteral("data/Kitebar") << csv
                                 << int(QMessageBox::Information)
                                 << QStringList{
                                        QDir::toNativeSeparators(QStringLiteral("data/Kitebar")),
                                        QStringLiteral("「データのフォルダーを開く」")};
    QTest::newRow("folder not made")
        << QStringLiteral("blocker/Kitebar") << csv << int(QMessageBox::Critical)
        << QStringList{QStringLiteral("当選番号の取得に失敗しました。\n"),
                       QDir::toNativeSeparators(QStringLiteral("blocker/Kitebar")),
                       QStringLiteral("書き込めること")};
    QTest::newRow("no csv") << QStringLiteral("data/Kitebar") << QByteArray()
                            << int(QMessageBox::Warning)
                            << QStringList{QStringLiteral("numbers3.csv"),
                                           QStringLiteral("インストールし直して")};
    QTest::newRow("damaged csv") << QStringLiteral("data/Kitebar") << QByteArray("1,123\n2,45\n")
                                 << int(QMessageBox::Warning)
                                 << QStringList{QStringLiteral("numbers3.csv」の 2 行目"),
                                                QStringLiteral("インストールし直して")};
  }
  void startFolderIsExplained() {
    QFETCH(QString, folder);
    QFETCH(QByteArray, csv);
    QFETCH(int, icon);
    QFETCH(QStringList, says);
    WriteFile(QStringLiteral("blocker"), "a file where a folder should be");
    const QString sample = QDir::current().absoluteFilePath(QStringLiteral("numbers3.csv"));
    if (!csv.isEmpty())
      WriteFile(sample, csv);
    const StartFolder start = EnterStartFolder(std::filesystem::path(folder.toStdU16String()),
                                               std::filesystem::path(sample.toStdU16String()));
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    MessageBoxes::SetNextAnswer(QMessageBox::Close);
    const StartedApp started = StartApp({}, start);

    const MessageBoxes::Shown& box = MessageBoxes::shown().front();
    QCOMPARE(int(box.icon), icon);
    for (const QString& part : says)
      QVERIFY2(box.text.contains(part), qPrintable(part + QStringLiteral(" in ") + box.text));
    // A start that cannot go on ends with status 1.
    const bool ready = icon == QMessageBox::Information;
    QCOMPARE(started.started, ready);
    QCOMPARE(started.app->history().count, ready ? 3 : 0);
    QCOMPARE(started.app->mainFrame()->isVisible(), ready);
  }

  // Notepad's "UTF-16 LE": the readers would take every value for its
  // default without a word.
  void utf16SettingsFileIsNamedAtStartUp() {
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(3));
    WriteFile(QStringLiteral("type3.ini"), QByteArray("\xFF\xFE[\0E\0]\0", 8));
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    const StartedApp started = StartApp();

    QVERIFY(started.started);
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Warning);
    QVERIFY2(MessageBoxes::shown().front().text.contains(QStringLiteral("「type3.ini」は UTF-16")),
             qPrintable(MessageBoxes::shown().front().text));
  }

  // The first start offers to make the history from results the user keeps;
  // once made, the program runs on it.
  void missingHistoryIsMadeFromACsvFile() {
    WriteFile(QStringLiteral("results.csv"),
              "回,日付,番号\r\n1,1994-10-07,191\r\n2,1994-10-14,988\r\n");
    WhenModalOpens(
        [chosen = QDir::current().absoluteFilePath(QStringLiteral("results.csv"))](QWidget& modal) {
          auto& dialog = static_cast<QFileDialog&>(modal);
          dialog.selectFile(chosen);
          static_cast<QDialog&>(dialog).accept();
        });
    for (const QMessageBox::StandardButton answer :
         {QMessageBox::Open, QMessageBox::Ok, QMessageBox::Ok})
      MessageBoxes::SetNextAnswer(answer);
    const StartedApp started = StartApp();

    QVERIFY(started.started);
    QCOMPARE(MessageBoxes::shown().front().buttons,
             (QStringList{QStringLiteral("CSV ファイルから取り込み..."),
                          QStringLiteral("貼り付けて取り込み..."), QStringLiteral("終了")}));
    QCOMPARE(ReadFile(QStringLiteral("kitebarnum.dat")), QByteArray("0001,191\r\n0002,988\r\n"));
    QCOMPARE(started.app->history().count, 2);
    QTest::qWait(0);
    QVERIFY(started.app->mainFrame()->isVisible());
  }

  void historyFileDecidesCount_data() {
    QTest::addColumn<QByteArray>("history");
    QTest::addColumn<int>("count");
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("three draws") << HistoryText(3) << 3;
    QTest::newRow("pending line") << HistoryText(3) + "0004,,123,0\r\n" << 3;
  }
  void historyFileDecidesCount() {
    QFETCH(QByteArray, history);
    QFETCH(int, count);
    WriteFile(QStringLiteral("kitebarnum.dat"), history);
    const StartedApp started = StartApp();

    QVERIFY(started.started);
    QVERIFY(MessageBoxes::shown().empty());
    QCOMPARE(started.app->history().count, count);
    QTest::qWait(0);
    QVERIFY(started.app->mainFrame()->isVisible());
  }

  void fileOnCommandLineOpensEmptyDocumentWithFixedTitle() {
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(2));
    WriteFile(QStringLiteral("notes.txt"), "not read");
    const StartedApp started = StartApp({QStringLiteral("notes.txt")});

    QVERIFY(started.started);
    QVERIFY(MessageBoxes::shown().empty());
    QCOMPARE(started.app->document()->pathName(), QStringLiteral("notes.txt"));
    QCOMPARE(started.app->mainFrame()->windowTitle(), ApplicationTitle());
    QCOMPARE(started.app->history().count, 2);
    QCOMPARE(ReadFile(QStringLiteral("notes.txt")), QByteArray("not read"));
  }

  void unopenableFileOnCommandLineEndsStartUp() {
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(2));
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    const StartedApp started = StartApp({QStringLiteral("no-such-file.kit")});

    QVERIFY(!started.started);
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Critical);
    QVERIFY(MessageBoxes::shown().front().text.contains(QStringLiteral("no-such-file.kit")));
    QVERIFY(!started.app->mainFrame()->isVisible());
  }

  // Once started, the toolkit's own texts are Japanese and its standard
  // buttons carry text only, in the program's message boxes and elsewhere.
  void standardButtonsReadJapaneseWithoutIcons_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("OK") << int(QMessageBox::Ok) << QStringLiteral("OK");
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << QStringLiteral("キャンセル");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << QStringLiteral("はい(&Y)");
    QTest::newRow("No") << int(QMessageBox::No) << QStringLiteral("いいえ(&N)");
    QTest::newRow("Open") << int(QMessageBox::Open) << QStringLiteral("開く");
    QTest::newRow("Close") << int(QMessageBox::Close) << QStringLiteral("閉じる");
  }
  void standardButtonsReadJapaneseWithoutIcons() {
    QFETCH(int, button);
    QFETCH(QString, text);
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(2));
    const StartedApp started = StartApp();
    QVERIFY(started.started);
    const auto standard = static_cast<QMessageBox::StandardButton>(button);
    const std::unique_ptr<QMessageBox> box = MessageBoxes::Create(
        started.app->mainFrame(), QStringLiteral("確認"), QMessageBox::NoIcon, standard);
    QCOMPARE(box->button(standard)->text(), text);
    QVERIFY(box->button(standard)->icon().isNull());
    QCOMPARE(box->style()->styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons), 0);
    const QDialogButtonBox buttons{QDialogButtonBox::StandardButtons(button)};
    QCOMPARE(buttons.button(QDialogButtonBox::StandardButton(button))->text(), text);
  }

  void fileDialogSpeaksJapanese() {
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(2));
    const StartedApp started = StartApp();
    QVERIFY(started.started);
    QFileDialog dialog(started.app->mainFrame());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(),
             QStringLiteral("ファイル名(&N):"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("fileTypeLabel"))->text(),
             QStringLiteral("ファイルの種類:"));
  }

 private:
  std::unique_ptr<WorkingFolder> folder_;
};

}  // namespace kitebar::app::test

QTEST_MAIN(kitebar::app::test::StartUpTest)
#include "StartUpTest.moc"
