#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>

#include "app/CKitebarDoc.h"
#include "app/DesktopStyle.h"
#include "app/MessageBoxes.h"
#include "app/SettingsPictures.h"
#include "app/SimulationSettingsDialog.h"
#include "common/AtomicFile.h"
#include "common/FileLimits.h"
#include "history/DrawHistory.h"
#include "history/ResultsCsv.h"
#include "support/AppTestSupport.h"

namespace kitebar::app::test {
namespace {

const QString kHistoryFile = QStringLiteral("kitebarnum.dat");

// The controls that Tab reaches, from the position entry on. The first
// place's reach and hit points and speed are disabled.
const QStringList kTabOrder{QStringLiteral("positionEntry"),
                            QStringLiteral("modifyButton"),
                            QStringLiteral("registerButton"),
                            QStringLiteral("drawList"),
                            QStringLiteral("reanalyseCheck"),
                            QStringLiteral("analyseButton"),
                            QStringLiteral("settingsTypeCombo"),
                            QStringLiteral("stopConstantEntry"),
                            QStringLiteral("reachEntry2"),
                            QStringLiteral("reachEntry3"),
                            QStringLiteral("reachEntry4"),
                            QStringLiteral("hitEntry2"),
                            QStringLiteral("hitEntry3"),
                            QStringLiteral("hitEntry4"),
                            QStringLiteral("speedSlider2"),
                            QStringLiteral("speedSlider3"),
                            QStringLiteral("speedSlider4"),
                            QStringLiteral("defaultsButton"),
                            QStringLiteral("updateWindmillButton"),
                            QStringLiteral("adjustRateSlider"),
                            QStringLiteral("stepNumEntry"),
                            QStringLiteral("diameterEntry"),
                            QStringLiteral("updateCoreButton"),
                            QStringLiteral("closeButton")};

const QByteArray kDefaultSetFile =
    "[EndPoint]\r\nnum=238\r\n"
    "[Toutatu1]\r\nf=1.26\r\n[Toutatu2]\r\nf=1.26\r\n[Toutatu3]\r\nf=1.26\r\n"
    "[Toutatu4]\r\nf=1.26\r\n"
    "[Tekicyuten1]\r\nf=11.50\r\n[Tekicyuten2]\r\nf=11.50\r\n[Tekicyuten3]\r\nf=12.50\r\n"
    "[Tekicyuten4]\r\nf=13.50\r\n"
    "[SpeedRate1]\r\nnum=2\r\n[SpeedRate2]\r\nnum=2\r\n[SpeedRate3]\r\nnum=2\r\n"
    "[SpeedRate4]\r\nnum=2\r\n";

// Named by the build: __FILE__ may be relative (a compiler cache rewrites it).
std::filesystem::path SampleCsv() {
  return KITEBAR_SAMPLE_CSV;
}

// Texts of the message boxes shown since the last reset.
QStringList ShownTexts() {
  QStringList texts;
  for (const MessageBoxes::Shown& box : MessageBoxes::shown())
    texts << box.text;
  return texts;
}

bool SameImage(const QIcon& icon, StatePicture picture) {
  return icon.pixmap(kStatePictureSize, kStatePictureSize)
             .toImage()
             .convertToFormat(QImage::Format_ARGB32) ==
         StatePicturePixmap(picture).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class SimulationSettingsDialogTest : public QObject {
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
  }

  void opensWithEmptyHistoryAndDefaultsOfTheFiles() {
    Open(QByteArray());
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 1 回"));
    QCOMPARE(Label("winningNumberLabel").text(), QStringLiteral("当選番号：?????"));
    QCOMPARE(List().rowCount(), 0);
    QCOMPARE(dialog_->predictionDrawNumber, 1);
    QCOMPARE(Entry("stopConstantEntry").text(), QStringLiteral("238"));
    QCOMPARE(Entry("reachEntry2").text(), QStringLiteral("2"));
    QCOMPARE(Entry("hitEntry4").text(), QStringLiteral("11.5"));
    QCOMPARE(Entry("stepNumEntry").text(), QStringLiteral("40"));
    QCOMPARE(Entry("diameterEntry").text(), QStringLiteral("30"));
    QCOMPARE(Label("adjustRateLabel").text(), QStringLiteral("< 1 >"));
    QCOMPARE(Label("speedLabel3").text(), QStringLiteral("普通"));
    QCOMPARE(Combo("settingsTypeCombo").currentText(), QStringLiteral("タイプ１"));
    QVERIFY(!Entry("reachEntry1").isEnabled());
    QVERIFY(!Child<QSlider>("speedSlider1").isEnabled());
    QVERIFY(Entry("reachEntry2").isEnabled());
    QCOMPARE(List().horizontalHeaderItem(2)->text(), QStringLiteral("風車位置"));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("シミュレート設定"));
    QVERIFY(MessageBoxes::shown().empty());
  }

  void hiddenControlsStayHidden() {
    Open(HistoryText(3));
    dialog_->show();
    for (const char* name : {"setSelector1", "setSelector5", "predictButton", "resultBox"})
      QVERIFY2(!Child<QWidget>(name).isVisible(), name);
    QVERIFY(!Child<QWidget>("predictButton").isEnabled());
    QVERIFY(!Child<QWidget>("resultBox").isEnabled());
    QVERIFY(Child<QPushButton>("closeButton").isDefault());
  }

  void opensWithTheRealSample() {
    DrawHistory loaded;
    const Result<std::string> csv = ReadWholeFile(SampleCsv(), kMaxResultsCsvBytes);
    QVERIFY(csv.ok());
    QVERIFY(MergeResultsCsv(loaded, *csv).ok());
    QVERIFY(loaded.Save().ok());
    Open(ReadFile(kHistoryFile));
    QCOMPARE(List().rowCount(), 7088);
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 7089 回"));
    QCOMPARE(List().item(0, 1)->text(), QStringLiteral("191"));
    QCOMPARE(List().item(7087, 0)->text(), QStringLiteral("7088"));
    QVERIFY(SameImage(List().item(7087, 0)->icon(), kUnsetPicture));
  }

  void selectorsShowAndWriteTheirSets() {
    WriteFile(QStringLiteral("base.ini"), "[SysType2]\r\nindex=3\r\n[SysType4]\r\nindex=9\r\n");
    Open(QByteArray());
    QCOMPARE(Combo("setSelector2").currentIndex(), 3);
    QCOMPARE(Combo("setSelector4").currentIndex(), -1);
    Combo("setSelector5").setCurrentIndex(2);
    emit Combo("setSelector5").activated(2);
    QVERIFY(ReadFile(QStringLiteral("base.ini")).endsWith("[SysType5]\r\nindex=2\r\n"));
  }

  void registeringSevenStoresDecidedPosition() {
    Open(HistoryText(5));
    Entry("positionEntry").setText(QStringLiteral("7"));
    Button("registerButton").click();
    QCOMPARE(history_->record(6).positionText(), std::string_view("007"));
    QCOMPARE(history_->record(6).status, '1');
    QVERIFY(ReadFile(kHistoryFile).endsWith("0006,,007,1\r\n"));
    QCOMPARE(List().rowCount(), 6);
    QCOMPARE(List().item(5, 2)->text(), QStringLiteral("007"));
    QCOMPARE(List().item(5, 1)->text(), QString());
    QVERIFY(SameImage(List().item(5, 0)->icon(), kDecidedPicture));
    QCOMPARE(Entry("positionEntry").text(), QString());
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 6 回"));
  }

  void registeringOneAStoresNothing() {
    Open(HistoryText(5));
    const QByteArray before = ReadFile(kHistoryFile);
    Entry("positionEntry").setText(QStringLiteral("1a"));
    Button("registerButton").click();
    QVERIFY(!history_->record(6).exists());
    QCOMPARE(ReadFile(kHistoryFile), before);
    QCOMPARE(Entry("positionEntry").text(), QString());
    QCOMPARE(dialog_->predictionDrawNumber, 6);
    QVERIFY(MessageBoxes::shown().empty());
  }

  void modifyTakesTheSelectedDraw() {
    Open("0001,123\r\n0002,000,456,0\r\n0003,789\r\n");
    Button("modifyButton").click();
    QCOMPARE(ShownTexts(),
             QStringList{QStringLiteral("右のリストから修正する番号を選択してください。")});
    // The same plain box as in the winning-number dialog.
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::NoIcon);
    Entry("reachEntry2").setText(QStringLiteral("4.5"));
    List().selectRow(1);
    Button("modifyButton").click();
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 2 回"));
    QCOMPARE(Label("winningNumberLabel").text(), QStringLiteral("当選番号：?????"));
    QCOMPARE(Entry("positionEntry").text(), QStringLiteral("456"));
    QCOMPARE(dialog_->predictionDrawNumber, 2);
    QCOMPARE(Entry("reachEntry2").text(), QStringLiteral("2"));  // unsaved text is replaced
    List().selectRow(2);
    Button("modifyButton").click();
    QCOMPARE(Label("winningNumberLabel").text(), QStringLiteral("当選番号：789"));
    QCOMPARE(Entry("positionEntry").text(), QString());
  }

  void pendingDrawIsTheLastRow() {
    Open(HistoryText(3) + "0004,,123,0\r\n");
    QCOMPARE(List().rowCount(), 4);
    QCOMPARE(List().item(3, 0)->text(), QStringLiteral("4"));
    QCOMPARE(List().item(3, 1)->text(), QString());
    QCOMPARE(List().item(3, 2)->text(), QStringLiteral("123"));
    QVERIFY(SameImage(List().item(3, 0)->icon(), kEstimatedPicture));
    QCOMPARE(Label("drawLabel").text(), QStringLiteral("第 4 回"));
  }

  void closingChecksEveryField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("reach point 6") << QStringLiteral("reachEntry2") << QStringLiteral("6")
                                   << QStringLiteral("0 から 5 までの数字を入力してください。");
    QTest::newRow("reach point text") << QStringLiteral("reachEntry3") << QStringLiteral("abc")
                                      << QStringLiteral("数字を入力してください。");
    QTest::newRow("hit point 16") << QStringLiteral("hitEntry4") << QStringLiteral("16")
                                  << QStringLiteral("10 から 15 までの数字を入力してください。");
    QTest::newRow("step 0") << QStringLiteral("stepNumEntry") << QStringLiteral("0")
                            << QStringLiteral("1 から 300 までの整数を入力してください。");
    QTest::newRow("step 1.5") << QStringLiteral("stepNumEntry") << QStringLiteral("1.5")
                              << QStringLiteral("整数を入力してください。");
    QTest::newRow("diameter 75") << QStringLiteral("diameterEntry") << QStringLiteral("75")
                                 << QStringLiteral("20 から 50 までの数字を入力してください。");
  }
  void closingChecksEveryField() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Open(QByteArray());
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    QLineEdit& entry = *dialog_->findChild<QLineEdit*>(field);
    entry.setText(text);
    Button("closeButton").click();
    QCOMPARE(ShownTexts(), QStringList{message});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Warning);
    QVERIFY(dialog_->isVisible());
    QVERIFY(entry.hasFocus());
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
  }

  void takingStopsAtTheFirstFailure() {
    Open(QByteArray());
    Entry("reachEntry2").setText(QStringLiteral("x"));
    Entry("hitEntry3").setText(QStringLiteral("16"));
    Entry("stepNumEntry").setText(QStringLiteral("77"));
    QVERIFY(!dialog_->TakeValues());
    QCOMPARE(ShownTexts(), QStringList{QStringLiteral("数字を入力してください。")});
    QCOMPARE(dialog_->data.startToReach[1], 2.0f);
    QCOMPARE(dialog_->data.startToHit[2], 11.5f);
    QCOMPARE(dialog_->data.stepNum, 40);
  }

  void enterInAnEntryClosesWhenEverythingPasses() {
    Open(HistoryText(2));
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    Entry("stepNumEntry").setFocus();
    Entry("stepNumEntry").setText(QStringLiteral("55"));
    QTest::keyClick(&Entry("stepNumEntry"), Qt::Key_Return);
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QVERIFY(!QFile::exists(QStringLiteral("base.ini")));
    QVERIFY(MessageBoxes::shown().empty());
  }

  void defaultsThenUpdateWriteTheSecondSet() {
    Open(QByteArray());
    Combo("settingsTypeCombo").setCurrentIndex(1);
    emit Combo("settingsTypeCombo").activated(1);
    Button("defaultsButton").click();
    QCOMPARE(Entry("reachEntry3").text(), QStringLiteral("1.26"));
    QCOMPARE(Entry("hitEntry4").text(), QStringLiteral("13.5"));
    QCOMPARE(Label("adjustRateLabel").text(), QStringLiteral("< 2 >"));
    QVERIFY(!QFile::exists(QStringLiteral("type2.ini")));
    Button("updateWindmillButton").click();
    QCOMPARE(ReadFile(QStringLiteral("type2.ini")), kDefaultSetFile);
    QVERIFY(!QFile::exists(QStringLiteral("base.ini")));  // the adjustment rate is not saved
    QCOMPARE(ShownTexts(),
             (QStringList{QStringLiteral("デフォルトです。"), QStringLiteral("更新しました。")}));
  }

  void windmillUpdateRoundsWarnsAndSaves() {
    Open(QByteArray());
    Entry("reachEntry2").setText(QStringLiteral("1.234"));
    Entry("hitEntry3").setText(QStringLiteral("16"));
    Button("updateWindmillButton").click();
    const QByteArray file = ReadFile(QStringLiteral("type1.ini"));
    QVERIFY(file.contains("[Toutatu2]\r\nf=1.23\r\n"));
    QVERIFY(file.contains("[Tekicyuten3]\r\nf=16.00\r\n"));
    QCOMPARE(Entry("reachEntry2").text(), QStringLiteral("1.23"));
    QCOMPARE(Entry("hitEntry3").text(), QStringLiteral("16"));
    QCOMPARE(ShownTexts(), (QStringList{QStringLiteral("10 から 15 までの数字を入力してください。"),
                                        QStringLiteral("更新しました。")}));
  }

  void overlongStopConstantFromTheFileIsRefused() {
    WriteFile(QStringLiteral("type1.ini"), "[EndPoint]\r\nnum=23885\r\n");
    Open(QByteArray());
    QCOMPARE(Entry("stopConstantEntry").text(), QStringLiteral("23885"));
    Button("updateWindmillButton").click();
    QCOMPARE(ShownTexts(), (QStringList{QStringLiteral("3 文字以内で入力してください。"),
                                        QStringLiteral("異常：停止定数の文字数が長すぎます。")}));
    QCOMPARE(ReadFile(QStringLiteral("type1.ini")), QByteArray("[EndPoint]\r\nnum=23885\r\n"));
  }

  // Typing stops at three characters, also over a longer value from a set
  // file, which is shown whole. In `keys`, "^" selects all, "<" is Backspace,
  // ">" End and "~" undo; any other character is typed.
  void typingStopsAtThreeCharacters_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("stopConstant");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    const QString stop = QStringLiteral("stopConstantEntry");
    QTest::newRow("23885 shown, all typed over with 12345")
        << stop << QByteArray("23885") << QStringLiteral("^12345") << QStringLiteral("123");
    QTest::newRow("23885 shown, 9 added at the end")
        << stop << QByteArray("23885") << QStringLiteral(">9") << QStringLiteral("23885");
    QTest::newRow("23885 shown, one deleted, 1 typed")
        << stop << QByteArray("23885") << QStringLiteral("><1") << QStringLiteral("2388");
    QTest::newRow("23885 shown, two deleted, 1 typed")
        << stop << QByteArray("23885") << QStringLiteral("><<1") << QStringLiteral("238");
    QTest::newRow("23885 shown, typed over and undone, 9 added")
        << stop << QByteArray("23885") << QStringLiteral("^1~>9") << QStringLiteral("23885");
    QTest::newRow("238 shown, all typed over with 4567")
        << stop << QByteArray("238") << QStringLiteral("^4567") << QStringLiteral("456");
    QTest::newRow("238 shown, 9 added at the end")
        << stop << QByteArray("238") << QStringLiteral(">9") << QStringLiteral("238");
    QTest::newRow("position entry, 12345 typed")
        << QStringLiteral("positionEntry") << QByteArray("238") << QStringLiteral("12345")
        << QStringLiteral("123");
  }
  void typingStopsAtThreeCharacters() {
    QFETCH(QString, field);
    QFETCH(QByteArray, stopConstant);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    WriteFile(QStringLiteral("type1.ini"), "[EndPoint]\r\nnum=" + stopConstant + "\r\n");
    Open(QByteArray());
    QLineEdit& entry = Entry(qPrintable(field));
    for (const QChar key : keys) {
      if (key == QLatin1Char('^'))
        QTest::keyClick(&entry, Qt::Key_A, Qt::ControlModifier);
      else if (key == QLatin1Char('~'))
        QTest::keyClick(&entry, Qt::Key_Z, Qt::ControlModifier);
      else if (key == QLatin1Char('<'))
        QTest::keyClick(&entry, Qt::Key_Backspace);
      else if (key == QLatin1Char('>'))
        QTest::keyClick(&entry, Qt::Key_End);
      else
        QTest::keyClicks(&entry, QString(key));
    }
    QCOMPARE(entry.text(), expected);
  }

  void outOfRangeSpeedShowsNormalAndIsSavedAsTwo() {
    WriteFile(QStringLiteral("type3.ini"), "[SpeedRate3]\r\nnum=9\r\n");
    Open(QByteArray());
    Combo("settingsTypeCombo").setCurrentIndex(2);
    emit Combo("settingsTypeCombo").activated(2);
    QCOMPARE(Child<QSlider>("speedSlider3").value(), 2);
    QCOMPARE(Label("speedLabel3").text(), QStringLiteral("普通"));
    Child<QSlider>("speedSlider4").setValue(4);
    QCOMPARE(Label("speedLabel4").text(), QStringLiteral("最高速"));
    Button("updateWindmillButton").click();
    const QByteArray file = ReadFile(QStringLiteral("type3.ini"));
    QVERIFY(file.startsWith("[SpeedRate3]\r\nnum=2\r\n"));
    QVERIFY(file.endsWith("[SpeedRate4]\r\nnum=4\r\n"));
  }

  void coreUpdateReplacesStepAndDiameter_data() {
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("diameter");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("shownStep");
    QTest::addColumn<QString>("shownDiameter");
    // A step value that fails its check ends the taking: the diameter field is
    // then not taken and keeps the value read at opening.
    QTest::newRow("step 0") << QStringLiteral("0") << QStringLiteral("5")
                            << QByteArray("num=40\r\n[Diameter]\r\nf=30.0\r\n")
                            << QStringLiteral("40") << QStringLiteral("30");
    QTest::newRow("step -3") << QStringLiteral("-3") << QStringLiteral("30")
                             << QByteArray("num=40\r\n[Diameter]\r\nf=30.0\r\n")
                             << QStringLiteral("40") << QStringLiteral("30");
    QTest::newRow("diameter 5") << QStringLiteral("40") << QStringLiteral("5")
                                << QByteArray("num=40\r\n[Diameter]\r\nf=10.0\r\n")
                                << QStringLiteral("40") << QStringLiteral("10");
    QTest::newRow("diameter 75") << QStringLiteral("40") << QStringLiteral("75")
                                 << QByteArray("num=40\r\n[Diameter]\r\nf=50.0\r\n")
                                 << QStringLiteral("40") << QStringLiteral("50");
    QTest::newRow("in range") << QStringLiteral("120") << QStringLiteral("25.5")
                              << QByteArray("num=120\r\n[Diameter]\r\nf=25.5\r\n")
                              << QStringLiteral("120") << QStringLiteral("25.5");
  }
  void coreUpdateReplacesStepAndDiameter() {
    QFETCH(QString, step);
    QFETCH(QString, diameter);
    QFETCH(QByteArray, file);
    QFETCH(QString, shownStep);
    QFETCH(QString, shownDiameter);
    Open(QByteArray());
    Entry("stepNumEntry").setText(step);
    Entry("diameterEntry").setText(diameter);
    Child<QSlider>("adjustRateSlider").setValue(3);
    QCOMPARE(Label("adjustRateLabel").text(), QStringLiteral("< 3 >"));
    Button("updateCoreButton").click();
    QCOMPARE(ReadFile(QStringLiteral("base.ini")),
             QByteArray("[EndRate]\r\nnum=3\r\n[StepNum]\r\n") + file);
    QCOMPARE(Entry("stepNumEntry").text(), shownStep);
    QCOMPARE(Entry("diameterEntry").text(), shownDiameter);
    QCOMPARE(ShownTexts().constLast(), QStringLiteral("更新しました。"));
  }

  void adjustRateOutOfRangeShowsTwo() {
    WriteFile(QStringLiteral("base.ini"), "[EndRate]\r\nnum=9\r\n");
    Open(QByteArray());
    QCOMPARE(Child<QSlider>("adjustRateSlider").value(), 2);
    QCOMPARE(Label("adjustRateLabel").text(), QStringLiteral("< 2 >"));
  }

  void automaticAnalysisStoresAndListsEstimates() {
    Open("0001,123\r\n0002,456\r\n");
    Child<QCheckBox>("reanalyseCheck").setChecked(true);
    Button("analyseButton").click();
    QCOMPARE(history_->record(2).positionText(), std::string_view("466"));
    QCOMPARE(history_->record(3).positionText(), std::string_view("799"));
    QCOMPARE(history_->record(3).status, '0');
    QCOMPARE(ReadFile(kHistoryFile), QByteArray("0001,123\r\n0002,456,466,0\r\n0003,,799,0\r\n"));
    QCOMPARE(ResultText(), QStringLiteral("1: 466 \n2: 799 \n"));
    QCOMPARE(Child<QProgressBar>("progressBar").value(), 100);
    QCOMPARE(List().rowCount(), 3);
    QVERIFY(SameImage(List().item(1, 0)->icon(), kEstimatedPicture));
    QCOMPARE(Entry("positionEntry").text(), QString());
  }

  void singleAnalysisOffersTheEstimate() {
    Open("0001,123\r\n0002,456\r\n");
    const QByteArray before = ReadFile(kHistoryFile);
    Button("analyseButton").click();
    QCOMPARE(Entry("positionEntry").text(), QStringLiteral("799"));
    QCOMPARE(ResultText(), QStringLiteral("1: 000 \n2: 799 \n"));
    QCOMPARE(ReadFile(kHistoryFile), before);
    QVERIFY(!history_->record(3).exists());
    QCOMPARE(Child<QProgressBar>("progressBar").value(), 100);
  }

  void failedAnalysisIsReportedAndLeavesProgressAtTen() {
    Open(QByteArray());
    Button("analyseButton").click();
    QCOMPARE(MessageBoxes::shown().size(), std::size_t{1});
    QCOMPARE(MessageBoxes::shown().front().icon, QMessageBox::Critical);
    QCOMPARE(Child<QProgressBar>("progressBar").value(), 10);
  }

  void predictListsTenCandidates() {
    Open("0001,123\r\n");
    dialog_->OnPredict();
    QVERIFY(ResultText().startsWith(QStringLiteral("1: 911 \n2: 842 \n")));
    QVERIFY(ResultText().endsWith(QStringLiteral("10: 080 \n")));
    QCOMPARE(dialog_->predictedCandidates[1][0], std::uint16_t{'9'});
    QCOMPARE(history_->record(2).status, '0');
  }

  // Full-width digits, typed with an input method, count as the digits they
  // look like in the settings fields; `saved` is what reaches the file.
  void fullWidthDigitsAreTakenInEveryNumericField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("stop constant")
        << QStringLiteral("stopConstantEntry") << QStringLiteral("２４０")
        << QStringLiteral("type1.ini") << QByteArray("num=240\r\n");
    QTest::newRow("reach point") << QStringLiteral("reachEntry2") << QStringLiteral("４．５")
                                 << QStringLiteral("type1.ini") << QByteArray("f=4.50\r\n");
    QTest::newRow("step number") << QStringLiteral("stepNumEntry") << QStringLiteral("１２０")
                                 << QStringLiteral("base.ini") << QByteArray("num=120\r\n");
  }
  void fullWidthDigitsAreTakenInEveryNumericField() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, file);
    QFETCH(QByteArray, saved);
    Open(QByteArray());
    Entry(qPrintable(field)).clear();
    CommitFromInputMethod(Entry(qPrintable(field)), typed);
    Button(file == QStringLiteral("base.ini") ? "updateCoreButton" : "updateWindmillButton")
        .click();
    QVERIFY2(ReadFile(file).contains(saved), ReadFile(file).constData());
    QCOMPARE(ShownTexts(), QStringList{QStringLiteral("更新しました。")});
  }

  void keyboardReachesEveryControlAndLeavesTheList() {
    Open(HistoryText(40));
    VerifyKeyboardNavigation(*dialog_, kTabOrder);
  }

  void commandOpensTheDialogModally() {
    WriteFile(kHistoryFile, HistoryText(4));
    StartedApp started = StartApp();
    QVERIFY(started.started);
    QString title;
    WhenModalOpens([&title](QWidget& modal) {
      title = modal.windowTitle();
      QVERIFY(modal.isModal());
      QCOMPARE(modal.findChild<QLabel*>(QStringLiteral("drawLabel"))->text(),
               QStringLiteral("第 5 回"));
      QTest::keyClick(&modal, Qt::Key_Escape);
    });
    QVERIFY(started.app->document()->OnCmdMsg(32772));
    QCOMPARE(title, QStringLiteral("シミュレート設定"));
  }

  void rendersForReview() {
    Open(HistoryText(30) + "0031,,123,1\r\n");
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    const QString file = QDir(QCoreApplication::applicationDirPath())
                             .filePath(QStringLiteral("simulation-settings-dialog.png"));
    QVERIFY(dialog_->grab().save(file));
  }

 private:
  void Open(const QByteArray& history) {
    WriteFile(kHistoryFile, history);
    history_ = std::make_unique<DrawHistory>();
    QVERIFY(history_->Load().ok());
    dialog_ = std::make_unique<SimulationSettingsDialog>(*history_);
  }
  template <typename Widget>
  Widget& Child(const char* name) {
    Widget* child = dialog_->findChild<Widget*>(QString::fromLatin1(name));
    if (child == nullptr)
      qFatal("no control %s", name);
    return *child;
  }
  QLineEdit& Entry(const char* name) { return Child<QLineEdit>(name); }
  QLabel& Label(const char* name) { return Child<QLabel>(name); }
  QComboBox& Combo(const char* name) { return Child<QComboBox>(name); }
  QPushButton& Button(const char* name) { return Child<QPushButton>(name); }
  QTableWidget& List() { return Child<QTableWidget>("drawList"); }
  QString ResultText() { return Child<QPlainTextEdit>("resultBox").toPlainText(); }

  std::unique_ptr<WorkingFolder> folder_;
  std::unique_ptr<DrawHistory> history_;
  std::unique_ptr<SimulationSettingsDialog> dialog_;
};

}  // namespace kitebar::app::test

QTEST_MAIN(kitebar::app::test::SimulationSettingsDialogTest)
#include "SimulationSettingsDialogTest.moc"
