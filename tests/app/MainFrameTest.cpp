#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableWidget>
#include <QTextBoundaryFinder>
#include <QtTest>
#include <filesystem>

#include "app/CAboutDialog.h"
#include "app/CKitebarDoc.h"
#include "app/CKitebarView.h"
#include "app/CMainFrame.h"
#include "app/LockIndicators.h"
#include "app/MessageBoxes.h"
#include "app/Resources.h"
#include "app/StatusMessagePane.h"
#include "support/AppTestSupport.h"

namespace kitebar::app::test {
namespace {

struct MenuEntry {
  QString text;
  int command;  // 0 for a popup or a separator
  QString prompt;
};

// The menu as the user sees it, depth first: top-level items, and the items
// of each popup right after it.
std::vector<MenuEntry> MenuEntries(const QList<QAction*>& actions) {
  std::vector<MenuEntry> entries;
  for (const QAction* action : actions) {
    entries.push_back({action->isSeparator() ? QStringLiteral("-") : action->text(),
                       action->data().toInt(), action->statusTip()});
    if (action->menu() != nullptr) {
      const std::vector<MenuEntry> items = MenuEntries(action->menu()->actions());
      entries.insert(entries.end(), items.begin(), items.end());
    }
  }
  return entries;
}

QAction* FindAction(CMainFrame& frame, const QString& objectName) {
  return frame.findChild<QAction*>(objectName);
}

// The pane shows `message` whole, or a beginning of it that ends between two
// characters (a voiced mark stays with its kana) followed by "…", or nothing
// when not even that fits; what it shows fits its width.
void VerifyShownWholeOrCutAtBoundary(const StatusMessagePane& pane, const QString& message) {
  const QString shown = pane.text();
  QVERIFY2(pane.fontMetrics().horizontalAdvance(shown) <= std::max(0, pane.contentsRect().width()),
           qPrintable(shown));
  if (shown == message || shown.isEmpty())
    return;
  QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
  const QString kept = shown.chopped(1);
  QVERIFY2(message.startsWith(kept), qPrintable(shown));
  QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, message);
  characters.setPosition(static_cast<int>(kept.size()));
  QVERIFY2(characters.isAtBoundary(), qPrintable(shown));
}
// Stands in for the browser and notes whether the wait cursor was up when the
// page was handed over.
class CursorNotingOpener final : public PageOpener {
 public:
  Status Open(const std::filesystem::path& page) override {
    const QCursor* cursor = QApplication::overrideCursor();
    opened.push_back({page, cursor != nullptr && cursor->shape() == Qt::WaitCursor});
    return Status::Ok();
  }
  struct Opened {
    std::filesystem::path page;
    bool underWaitCursor = false;
  };
  std::vector<Opened> opened;
};

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
  void init() {
    folder_ = std::make_unique<WorkingFolder>();
    MessageBoxes::ResetTestHook();
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(5));
    started_ = StartApp();
    QVERIFY(started_.started);
    frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame()));
  }
  void cleanup() {
    started_ = {};
    folder_.reset();
  }

  void fixedOuterSizeAtQuarterOfScreen() {
    QCOMPARE(frame().frameGeometry(), QRect(1024 / 4, 768 / 4, 308, 146));
    QCOMPARE(frame().minimumSize(), frame().maximumSize());
    const Qt::WindowFlags flags = frame().windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    // Windows gives it a border that cannot be dragged.
    QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    QCOMPARE(frame().windowTitle(), QStringLiteral("Kitebar -ナンバーズシミュレータ-"));
  }

  void menuItemsInOrderWithCommandsAndPrompts() {
    const std::vector<MenuEntry> expected{
        {QStringLiteral("予想開始"), 32771, QStringLiteral("予想開始")},
        {QStringLiteral("基本設定"), 0, {}},
        {QStringLiteral("当選データ管理"), 32775, QStringLiteral("当選番号を更新する")},
        {QStringLiteral("CSV ファイルから取り込み..."), 32777,
         QStringLiteral("結果の CSV ファイルから当選番号を取り込みます。")},
        {QStringLiteral("貼り付けて取り込み..."), 32778,
         QStringLiteral("コピーした結果の表を貼り付けて、当選番号を取り込みます。")},
        {QStringLiteral("-"), 0, {}},
        {QStringLiteral("シミュレート基本設定"), 32772,
         QStringLiteral("電動風車のシミュレートに必要な設定を行ないます。")},
        {QStringLiteral("-"), 0, {}},
        {QStringLiteral("成績の検証"), 32776,
         QStringLiteral("予想が偶然より当たっているかを検証します。")},
        {QStringLiteral("-"), 0, {}},
        {QStringLiteral("データのフォルダーを開く"), 32779,
         QStringLiteral("当選番号や設定のファイルがあるフォルダーを開きます。")},
        {QStringLiteral("ﾍﾙﾌﾟ(&H)"), 0, {}},
        {QStringLiteral("Kitebar のﾊﾞｰｼﾞｮﾝ情報(&A)..."), 57664,
         QStringLiteral("ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示")},
        {QStringLiteral("終了"), 57665, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示")},
    };
    const std::vector<MenuEntry> actual = MenuEntries(frame().menuBar()->actions());
    QCOMPARE(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      QCOMPARE(actual[i].text, expected[i].text);
      QCOMPARE(actual[i].command, expected[i].command);
      QCOMPARE(actual[i].prompt, expected[i].prompt);
    }
  }

  void statusBarHasFivePanesInOrder() {
    // Every pane shows while its key's state is unknown, whatever this
    // machine's keys are.
    Indicators().SetStateQuery([](LockKey) { return std::optional<bool>(); });
    QList<QLabel*> panes = frame().statusBar()->findChildren<QLabel*>();
    std::sort(panes.begin(), panes.end(),
              [](const QLabel* a, const QLabel* b) { return a->x() < b->x(); });
    QStringList texts;
    for (const QLabel* pane : panes)
      texts << pane->text();
    QCOMPARE(texts,
             (QStringList{QStringLiteral("ﾚﾃﾞｨ"), QStringLiteral("ｶﾅ"), QStringLiteral("CAP"),
                          QStringLiteral("NUM"), QStringLiteral("SCRL")}));
    // The offscreen platform does not tell the lock keys' state.
    for (const QLabel* indicator : panes.mid(1))
      QVERIFY(!indicator->isEnabled());
  }

  void promptOfItemUnderCursorWhileMenuIsOpen() {
    QMenu& settings = *frame().findChild<QMenu*>(QStringLiteral("settingsMenu"));
    QVERIFY(MessagePane().isVisible());

    QTest::mouseClick(frame().menuBar(), Qt::LeftButton, {},
                      frame().menuBar()->actionGeometry(settings.menuAction()).center());
    QTRY_VERIFY(settings.isVisible());
    QAction* item = FindAction(frame(), QStringLiteral("simulationSettingsAction"));
    QTest::mouseMove(&settings, settings.actionGeometry(item).center());
    QTRY_COMPARE(MessagePane().message(),
                 QStringLiteral("電動風車のシミュレートに必要な設定を行ないます。"));
    // The prompt is the pane's own text; the status bar draws nothing over it.
    QCOMPARE(frame().statusBar()->currentMessage(), QString());
    QVERIFY(MessagePane().isVisible());

    settings.hide();
    QTRY_COMPARE(MessagePane().message(), QStringLiteral("ﾚﾃﾞｨ"));
    QCOMPARE(MessagePane().text(), QStringLiteral("ﾚﾃﾞｨ"));
  }

  void topLevelCommandShowsPromptWhilePressedThenIdleText() {
    QMenuBar& bar = *frame().menuBar();
    const QPoint item =
        bar.actionGeometry(FindAction(frame(), QStringLiteral("predictionStartAction"))).center();
    QTest::mousePress(&bar, Qt::LeftButton, {}, item);
    QTRY_COMPARE(MessagePane().message(), QStringLiteral("予想開始"));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, item);

    QCOMPARE(started_.opener->opened.size(), std::size_t{1});
    QCOMPARE(MessagePane().message(), QStringLiteral("ﾚﾃﾞｨ"));
  }

  // Every prompt of the menu, with the lock panes taking their room (the
  // platform does not tell the keys' state) and with every key off.
  void promptsAreCutAtCharacterBoundaries_data() {
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("keysOff");
    const QString prompts[] = {
        QStringLiteral("予想開始"),
        QStringLiteral("当選番号を更新する"),
        QStringLiteral("結果の CSV ファイルから当選番号を取り込みます。"),
        QStringLiteral("コピーした結果の表を貼り付けて、当選番号を取り込みます。"),
        QStringLiteral("電動風車のシミュレートに必要な設定を行ないます。"),
        QStringLiteral("ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示"),
        QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示"),
    };
    for (const bool keysOff : {false, true}) {
      for (const QString& prompt : prompts) {
        QTest::addRow("%s, %s", qPrintable(prompt), keysOff ? "keys off" : "key state unknown")
            << prompt << keysOff;
      }
    }
  }
  void promptsAreCutAtCharacterBoundaries() {
    QFETCH(QString, prompt);
    QFETCH(bool, keysOff);
    if (keysOff)
      Indicators().SetStateQuery([](LockKey) { return std::optional<bool>(false); });
    QStatusTipEvent tip(prompt);
    QApplication::sendEvent(&frame(), &tip);
    QTRY_COMPARE(MessagePane().message(), prompt);
    VerifyShownWholeOrCutAtBoundary(MessagePane(), prompt);
  }

  // A pane as wide as it is given, the longest prompt with its half-width
  // voiced marks, at widths from nothing to more than the prompt needs.
  void narrowPaneNeverSplitsACharacter() {
    const QString prompt = QStringLiteral("ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示");
    StatusMessagePane pane(nullptr);
    pane.SetMessage(prompt);
    pane.show();
    const int whole = pane.fontMetrics().horizontalAdvance(prompt) + 8;
    int cut = 0;
    for (int width = 0; width <= whole; width += 3) {
      pane.resize(width, 20);
      QCOMPARE(pane.message(), prompt);
      VerifyShownWholeOrCutAtBoundary(pane, prompt);
      if (!pane.text().isEmpty() && pane.text() != prompt)
        ++cut;
    }
    QVERIFY(cut > 10);
    QCOMPARE(pane.text(), prompt);
  }

  void lockPanesTakeRoomOnlyWhileTheirKeyIsOn_data() {
    QTest::addColumn<bool>("capsOn");
    QTest::newRow("every key off") << false;
    QTest::newRow("caps lock on") << true;
  }
  void lockPanesTakeRoomOnlyWhileTheirKeyIsOn() {
    QFETCH(bool, capsOn);
    // From every pane shown (the keys' state unknown), whatever this
    // machine's keys are.
    Indicators().SetStateQuery([](LockKey) { return std::optional<bool>(); });
    QTRY_VERIFY(frame().statusBar()->findChild<QLabel*>(QStringLiteral("kanaPane"))->isVisible());
    const int before = MessagePane().width();
    Indicators().SetStateQuery(
        [capsOn](LockKey key) { return std::optional<bool>(capsOn && key == LockKey::kCaps); });
    QStatusBar& bar = *frame().statusBar();
    for (const char* name : {"kanaPane", "numPane", "scrollPane"})
      QTRY_VERIFY2(!bar.findChild<QLabel*>(QString::fromLatin1(name))->isVisible(), name);
    const QLabel& caps = *bar.findChild<QLabel*>(QStringLiteral("capsPane"));
    QTRY_COMPARE(caps.isVisible(), capsOn);
    if (capsOn) {
      QCOMPARE(caps.text(), QStringLiteral("CAP"));
      QVERIFY(caps.isEnabled());
    }
    // The message pane gets the room of the blank panes.
    const int others = capsOn ? caps.width() : 0;
    QTRY_VERIFY(MessagePane().width() > before);
    QVERIFY2(MessagePane().width() >= bar.width() - others - 16,
             qPrintable(QStringLiteral("%1 of %2").arg(MessagePane().width()).arg(bar.width())));
  }

  void settingsCommandsReachDocument_data() {
    QTest::addColumn<int>("command");
    QTest::newRow("シミュレート基本設定") << command::kSimulationSettings;
    QTest::newRow("当選データ管理") << command::kWinningDataManagement;
  }
  void settingsCommandsReachDocument() {
    QFETCH(int, command);
    CommandTarget* receiver = nullptr;
    const std::vector<QWidget*> owners =
        CloseModalWindowsDuring([&] { receiver = frame().RouteCommand(command); });

    QCOMPARE(receiver, static_cast<CommandTarget*>(started_.app->document()));
    // A dialog that the command opens is modal over the main window.
    for (QWidget* owner : owners)
      QCOMPARE(owner, static_cast<QWidget*>(&frame()));
    QVERIFY(MessageBoxes::shown().empty());
  }

  // The whole history with the prediction's set, under the wait cursor; the
  // history and the settings keep their bytes.
  void evaluationItemWritesThePageAndOpensIt() {
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(300));
    WriteFile(QStringLiteral("base.ini"), "[StartIndex]\r\nindex=3\r\n");
    QVERIFY(started_.app->history().Load());
    auto opener = std::make_unique<CursorNotingOpener>();
    CursorNotingOpener& browser = *opener;
    started_.app->SetPageOpener(std::move(opener));

    FindAction(frame(), QStringLiteral("evaluationAction"))->trigger();

    QVERIFY(MessageBoxes::shown().empty());
    QCOMPARE(browser.opened.size(), std::size_t{1});
    QCOMPARE(browser.opened.front().page, std::filesystem::path("Kitebar_kensho.html"));
    QVERIFY(browser.opened.front().underWaitCursor);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    const QString page = QString::fromUtf8(ReadFile(QStringLiteral("Kitebar_kensho.html")));
    QVERIFY(page.contains(QStringLiteral("タイプ４の設定で、第2回から第300回までの 299 回")));
    QCOMPARE(ReadFile(QStringLiteral("kitebarnum.dat")), HistoryText(300));
    QCOMPARE(ReadFile(QStringLiteral("base.ini")), QByteArray("[StartIndex]\r\nindex=3\r\n"));
  }

  void evaluationWithoutTwoDrawsShowsStopMessageAndNoPage() {
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(1));
    QVERIFY(started_.app->history().Load());
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);

    QCOMPARE(frame().RouteCommand(command::kEvaluation),
             static_cast<CommandTarget*>(started_.app->document()));

    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Critical);
    QVERIFY(MessageBoxes::shown().front().text.contains(QStringLiteral("2 回分以上")));
    QVERIFY(!QFile::exists(QStringLiteral("Kitebar_kensho.html")));
    QVERIFY(started_.opener->opened.empty());
  }

  // The file chosen and its summary confirmed, the new draws are stored and
  // the program works on them; cancelled, nothing changes.
  void csvItemShowsTheSummaryThenStores_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("取り込む") << int(QMessageBox::Ok);
    QTest::newRow("キャンセル") << int(QMessageBox::Cancel);
  }
  void csvItemShowsTheSummaryThenStores() {
    QFETCH(int, answer);
    QString dialogName;
    ChooseInFileDialog(QStringLiteral("results.csv"),
                       "回別,抽せん日,本数字\r\n第8回,1994/11/25,96\r\n第7回,1994/11/18,959\r\n"
                       "第6回,1994/11/11,822\r\n",
                       &dialogName);
    MessageBoxes::SetNextAnswer(static_cast<QMessageBox::StandardButton>(answer));
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    FindAction(frame(), QStringLiteral("importCsvAction"))->trigger();

    QCOMPARE(dialogName, QStringLiteral("csvFileDialog"));
    const MessageBoxes::Shown& confirmation = MessageBoxes::shown().front();
    QVERIFY2(confirmation.text.contains(QStringLiteral("新しい回: 3 回分（第 6 回〜第 8 回）")),
             qPrintable(confirmation.text));
    QVERIFY(confirmation.text.contains(QStringLiteral("0 を補った当選番号: 1 個")));
    QCOMPARE(confirmation.buttons,
             (QStringList{QStringLiteral("取り込む"), QStringLiteral("キャンセル")}));
    const bool stored = answer == QMessageBox::Ok;
    QCOMPARE(ReadFile(QStringLiteral("kitebarnum.dat")), stored ? HistoryText(8) : HistoryText(5));
    QCOMPARE(started_.app->history().count, stored ? 8 : 5);
  }

  void refusedCsvSaysWhyAndStoresNothing() {
    ChooseInFileDialog(QStringLiteral("results.csv"),
                       "回,当せん番号\r\n第5回,999\r\n第6回,822\r\n");
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    FindAction(frame(), QStringLiteral("importCsvAction"))->trigger();

    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Critical);
    QVERIFY2(MessageBoxes::shown().front().text.contains(QStringLiteral("第 5 回（履歴 685")),
             qPrintable(MessageBoxes::shown().front().text));
    QCOMPARE(ReadFile(QStringLiteral("kitebarnum.dat")), HistoryText(5));
  }

  // A refused text leaves the dialog open to be corrected; the corrected one
  // is stored and closes it.
  void pasteDialogReadsTheTextAndStores() {
    QString dialogName;
    bool openAfterRefusal = false;
    WhenModalOpens([&](QWidget& modal) {
      dialogName = modal.objectName();
      auto* text = modal.findChild<QPlainTextEdit*>(QStringLiteral("resultsText"));
      auto* read = modal.findChild<QPushButton*>(QStringLiteral("readButton"));
      text->setPlainText(
          QStringLiteral("回\t抽せん日\t当せん番号\n第6回\t1994年11月11日(金)\t1234\n"));
      QTest::mouseClick(read, Qt::LeftButton);
      openAfterRefusal = modal.isVisible();
      text->setPlainText(QStringLiteral("第6回\t1994年11月11日(金)\t822\n"));
      QTest::mouseClick(read, Qt::LeftButton);
    });
    for (int box = 0; box < 3; ++box)
      MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    FindAction(frame(), QStringLiteral("pasteResultsAction"))->trigger();

    QCOMPARE(dialogName, QStringLiteral("pasteResultsDialog"));
    QVERIFY(openAfterRefusal);
    QVERIFY(MessageBoxes::shown().front().text.contains(QStringLiteral("4 桁以上")));
    QCOMPARE(ReadFile(QStringLiteral("kitebarnum.dat")), HistoryText(6));
    QCOMPARE(started_.app->history().count, 6);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void commandWithoutHandlerReachesNobody() {
    constexpr int kEditCopy = 57634;
    QCOMPARE(frame().RouteCommand(kEditCopy), nullptr);
  }

  void aboutItemShowsAboutBox() {
    QString title;
    QString version;
    bool hasIcon = false;
    WhenModalOpens([&](QWidget& modal) {
      title = modal.windowTitle();
      version = modal.findChild<QLabel*>(QStringLiteral("versionText"))->text();
      const QLabel* icon = modal.findChild<QLabel*>(QStringLiteral("programIcon"));
      hasIcon = !icon->pixmap().isNull();
      QTest::mouseClick(modal.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    FindAction(frame(), QStringLiteral("aboutAction"))->trigger();

    QCOMPARE(title, QStringLiteral("Kitebarのﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(version, QStringLiteral("Kitebar Version 1.0"));
    QVERIFY(hasIcon);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void exitItemClosesMainWindow() {
    QCOMPARE(frame().RouteCommand(command::kAppExit), static_cast<CommandTarget*>(&frame()));
    QVERIFY(!frame().isVisible());
  }

  void ctrlNShowsNothing() {
    QTest::keyClick(&frame(), Qt::Key_N, Qt::ControlModifier);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(MessageBoxes::shown().empty());
    QCOMPARE(frame().windowTitle(), ApplicationTitle());
  }

  void ctrlOOpensFileAsDocumentUnreadAndKeepsTitle() {
    WriteFile(QStringLiteral("chosen.kit"), "0001,999\r\n");
    const QString chosen = QDir::current().absoluteFilePath(QStringLiteral("chosen.kit"));
    QString dialogName;
    WhenModalOpens([&](QWidget& modal) {
      dialogName = modal.objectName();
      auto& dialog = static_cast<QFileDialog&>(modal);
      dialog.selectFile(chosen);
      static_cast<QDialog&>(dialog).accept();
    });
    QTest::keyClick(&frame(), Qt::Key_O, Qt::ControlModifier);

    QCOMPARE(dialogName, QStringLiteral("openDialog"));
    QCOMPARE(started_.app->document()->pathName(), chosen);
    QCOMPARE(frame().windowTitle(), ApplicationTitle());
    QCOMPARE(started_.app->history().count, 5);
  }

  void ctrlSWritesEmptyFileUnderChosenName() {
    const QString chosen = QDir::current().absoluteFilePath(QStringLiteral("saved.kit"));
    WhenModalOpens([&](QWidget& modal) {
      auto& dialog = static_cast<QFileDialog&>(modal);
      dialog.selectFile(chosen);
      static_cast<QDialog&>(dialog).accept();
    });
    QTest::keyClick(&frame(), Qt::Key_S, Qt::ControlModifier);

    QVERIFY(QFile::exists(chosen));
    QCOMPARE(QFileInfo(chosen).size(), 0);
    QVERIFY(MessageBoxes::shown().empty());
  }

  void ctrlSNeverEmptiesTheOpenedFileUnasked() {
    WriteFile(QStringLiteral("opened.kit"), "keep me");
    QVERIFY(started_.app->document()->OnOpenDocument(QStringLiteral("opened.kit")));
    bool asked = false;
    WhenModalOpens([&](QWidget& modal) {
      asked = true;
      static_cast<QDialog&>(modal).reject();
    });
    QTest::keyClick(&frame(), Qt::Key_S, Qt::ControlModifier);

    QVERIFY(asked);
    QCOMPARE(ReadFile(QStringLiteral("opened.kit")), QByteArray("keep me"));
  }

  // Empty documents never land on the program's own files, whatever path the
  // user took to them; the refusal names the file.
  void ctrlSRefusesTheProgramsOwnFiles_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("file");
    const QString history = QStringLiteral("kitebarnum.dat");
    QTest::newRow("history by its name") << history << history;
#ifndef _WIN32
    // On Windows QFile::link makes a shortcut, which the file system does not
    // follow: a file of its own.
    QTest::newRow("history through a link") << QStringLiteral("link.dat") << history;
    QTest::newRow("history through a linked folder")
        << QStringLiteral("alias/") + history << history;
#endif
    QTest::newRow("history through ..") << QStringLiteral("sub/../") + history << history;
    QTest::newRow("set file not there yet, in capitals")
        << QStringLiteral("TYPE3.INI") << QStringLiteral("type3.ini");
    for (const char* page : {"showyosou.html", "Kitebar_kensho.html", "kitebar.lock", "tmp.dat"})
      QTest::newRow(page) << QString::fromLatin1(page) << QString::fromLatin1(page);
  }
  void ctrlSRefusesTheProgramsOwnFiles() {
    QFETCH(QString, chosen);
    QFETCH(QString, file);
    QVERIFY(QFile::link(QStringLiteral("kitebarnum.dat"), QStringLiteral("link.dat")));
    QVERIFY(QFile::link(QDir::currentPath(), QStringLiteral("alias")));
    QVERIFY(QDir().mkdir(QStringLiteral("sub")));
    WhenModalOpens([path = QDir::currentPath() + u'/' + chosen](QWidget& modal) {
      auto& dialog = static_cast<QFileDialog&>(modal);
      // As if the user had answered はい to replacing the file.
      dialog.setOption(QFileDialog::DontConfirmOverwrite);
      dialog.selectFile(path);
      static_cast<QDialog&>(dialog).accept();
    });
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    QTest::keyClick(&frame(), Qt::Key_S, Qt::ControlModifier);

    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QVERIFY(MessageBoxes::shown().front().text.contains(QStringLiteral("「%1」").arg(file)));
    QCOMPARE(ReadFile(QStringLiteral("kitebarnum.dat")), HistoryText(5));
    QVERIFY(!QFileInfo::exists(QStringLiteral("TYPE3.INI")));
  }

  // A command that reads the history reads the file as it is when it runs,
  // not as the window last drew it: here another program has added draws.
  void commandsReadTheHistoryAsItIsNow_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("seen");
    QTest::newRow("evaluation") << int(command::kEvaluation)
                                << QStringLiteral("第2回から第12回までの 11 回");
    QTest::newRow("winning-number dialog")
        << int(command::kWinningDataManagement) << QStringLiteral("第 13 回");
    QTest::newRow("simulation settings dialog")
        << int(command::kSimulationSettings) << QStringLiteral("第 13 回");
  }
  void commandsReadTheHistoryAsItIsNow() {
    QFETCH(int, command);
    QFETCH(QString, seen);
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(12));
    QString shown;
    if (command != command::kEvaluation) {
      WhenModalOpens([&](QWidget& modal) {
        shown = modal.findChild<QLabel*>(QStringLiteral("drawLabel"))->text();
        static_cast<QDialog&>(modal).reject();
      });
    }
    frame().RouteCommand(command);
    if (command == command::kEvaluation)
      shown = QString::fromUtf8(ReadFile(QStringLiteral("Kitebar_kensho.html")));
    QVERIFY(shown.contains(seen));
  }

  // An open dialog follows the file when another program changes it: the
  // list (in the simulation settings with the pending draw 8) and the next
  // draw.
  void openDialogsFollowTheFile_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("rows");
    QTest::newRow("winning-number dialog") << int(command::kWinningDataManagement) << 7;
    QTest::newRow("simulation settings dialog") << int(command::kSimulationSettings) << 8;
  }
  void openDialogsFollowTheFile() {
    QFETCH(int, command);
    QFETCH(int, rows);
    int listed = 0;
    WhenModalOpens([&](QWidget& modal) {
      const auto* label = modal.findChild<QLabel*>(QStringLiteral("drawLabel"));
      WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(7) + "0008,,123,0\r\n");
      if (QTest::qWaitFor([&] { return label->text() == QStringLiteral("第 8 回"); }, 5000))
        listed = modal.findChild<QTableWidget*>(QStringLiteral("drawList"))->rowCount();
      static_cast<QDialog&>(modal).reject();
    });
    frame().RouteCommand(command);
    QCOMPARE(listed, rows);
  }

  // The data folder, where the history and the settings are, goes to the
  // file manager the way pages go to the browser.
  void openDataFolderItemOpensTheWorkingFolder() {
    FindAction(frame(), QStringLiteral("openDataFolderAction"))->trigger();
    QCOMPARE(started_.opener->opened.size(), std::size_t{1});
    QVERIFY(std::filesystem::equivalent(started_.opener->opened.front(),
                                        QDir::currentPath().toStdU16String()));
    QVERIFY(MessageBoxes::shown().empty());
  }

  // F10, or Alt pressed and let go alone, gives the menu bar the keyboard with
  // its first item chosen; the arrow keys then move along it and Esc leaves.
  void menuKeysEnterTheMenuBar_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("F10") << int(Qt::Key_F10);
    QTest::newRow("Alt") << int(Qt::Key_Alt);
  }
  void menuKeysEnterTheMenuBar() {
    QFETCH(int, key);
    QMenuBar& bar = *frame().menuBar();
    QTest::keyClick(&frame(), static_cast<Qt::Key>(key));
    QTRY_VERIFY(bar.hasFocus());
    QCOMPARE(bar.activeAction(), FindAction(frame(), QStringLiteral("predictionStartAction")));
    QTest::keyClick(&bar, Qt::Key_Right);
    QCOMPARE(bar.activeAction()->text(), QStringLiteral("基本設定"));
    QTest::keyClick(&bar, Qt::Key_Escape);
    QCOMPARE(bar.activeAction(), nullptr);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(started_.opener->opened.empty());
  }

  // With no printer, Windows' print dialog would show nothing at all: the
  // user is told; the toolkit's own dialog offers a PDF file, if wanted.
  void ctrlPWithoutPrinterSaysSo() {
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
      QSKIP("a printer is installed here");
    MessageBoxes::SetNextAnswer(QMessageBox::No);
    QTest::keyClick(&frame(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QVERIFY2(MessageBoxes::shown().front().text.startsWith(
                 QStringLiteral("プリンターがインストールされていません。")),
             qPrintable(MessageBoxes::shown().front().text));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  // Printing to a file goes through the same refusal as saving: the page
  // never lands on a file of the program.
  void ctrlPToAFileNeverReplacesAProgramFile_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("refused");
    QTest::newRow("history") << QStringLiteral("kitebarnum.dat") << true;
    QTest::newRow("prediction page") << QStringLiteral("showyosou.html") << true;
    QTest::newRow("lock") << QStringLiteral("kitebar.lock") << true;
    QTest::newRow("a file of the user's") << QStringLiteral("page.pdf") << false;
  }
  void ctrlPToAFileNeverReplacesAProgramFile() {
#ifdef _WIN32
    QSKIP("Windows shows its own print dialog, which is no Qt widget");
#endif
    QFETCH(QString, chosen);
    QFETCH(bool, refused);
    WriteFile(QStringLiteral("showyosou.html"), "page");
    WriteFile(QStringLiteral("kitebar.lock"), "");
    const QByteArray before = ReadFile(QStringLiteral("kitebarnum.dat"));
    WhenModalOpens([path = QDir::current().absoluteFilePath(chosen)](QWidget& modal) {
      // As the user would: the printer "Print to File (PDF)", then the name.
      auto* printers = modal.findChild<QComboBox*>(QStringLiteral("printers"));
      printers->setCurrentIndex(printers->count() - 1);
      modal.findChild<QLineEdit*>(QStringLiteral("filename"))->setText(path);
      static_cast<QDialog&>(modal).accept();
    });
    // Without a printer, the PDF file is taken when offered.
    const std::size_t noPrinter = QPrinterInfo::availablePrinterNames().isEmpty() ? 1 : 0;
    if (noPrinter != 0)
      MessageBoxes::SetNextAnswer(QMessageBox::Yes);
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
    QTest::keyClick(&frame(), Qt::Key_P, Qt::ControlModifier);

    QCOMPARE(MessageBoxes::shown().size(), noPrinter + (refused ? 1 : 0));
    QCOMPARE(ReadFile(QStringLiteral("kitebarnum.dat")), before);
    QCOMPARE(ReadFile(QStringLiteral("showyosou.html")), QByteArray("page"));
    if (!refused)
      QVERIFY(ReadFile(chosen).startsWith("%PDF"));
  }

  void ctrlPShowsPrintDialog() {
#ifdef _WIN32
    QSKIP("Windows shows its own print dialog, which is no Qt widget");
#endif
    // Without a printer, to a PDF file.
    MessageBoxes::SetNextAnswer(QMessageBox::Yes);
    QString dialogName;
    QString title;
    QStringList english;
    WhenModalOpens([&](QWidget& modal) {
      dialogName = modal.objectName();
      title = modal.windowTitle();
      for (const QAbstractButton* button : modal.findChildren<QAbstractButton*>()) {
        if (button->text().contains(QRegularExpression(QStringLiteral("^[A-Z][a-z]"))))
          english << button->text();
      }
      static_cast<QDialog&>(modal).reject();
    });
    QTest::keyClick(&frame(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(dialogName, QStringLiteral("printDialog"));
    // The toolkit's own dialog speaks Japanese too, its options included.
    QCOMPARE(title, QStringLiteral("印刷"));
    QCOMPARE(english, QStringList());
  }

  void activationReloadsHistory() {
    QCOMPARE(started_.app->history().count, 5);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(8));

    frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame()));
    QTRY_COMPARE(started_.app->history().count, 8);
  }

  void deletedHistoryLeavesCountZeroWithoutMessage() {
    QVERIFY(QFile::remove(QStringLiteral("kitebarnum.dat")));
    frame().view()->repaint();
    QCOMPARE(started_.app->history().count, 0);
    QVERIFY(MessageBoxes::shown().empty());
  }

 private:
  // Writes `name` and picks it in the next file dialog; notes the dialog's name.
  static void ChooseInFileDialog(const QString& name, const QByteArray& bytes,
                                 QString* dialogName = nullptr) {
    WriteFile(name, bytes);
    WhenModalOpens([dialogName, chosen = QDir::current().absoluteFilePath(name)](QWidget& modal) {
      if (dialogName != nullptr)
        *dialogName = modal.objectName();
      auto& dialog = static_cast<QFileDialog&>(modal);
      dialog.selectFile(chosen);
      static_cast<QDialog&>(dialog).accept();
    });
  }

  CMainFrame& frame() {
    return *started_.app->mainFrame();
  }
  StatusMessagePane& MessagePane() {
    return *frame().findChild<StatusMessagePane*>(QStringLiteral("messagePane"));
  }
  LockIndicators& Indicators() {
    return *frame().statusBar()->findChild<LockIndicators*>(QStringLiteral("lockIndicators"));
  }

  std::unique_ptr<WorkingFolder> folder_;
  StartedApp started_;
};

}  // namespace kitebar::app::test

QTEST_MAIN(kitebar::app::test::MainFrameTest)
#include "MainFrameTest.moc"
