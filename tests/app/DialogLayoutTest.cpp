// The dialogs as they are drawn with the fonts and the style of this machine:
// every control inside the frame that surrounds it, captions with room to
// spare, no control over another, lists without a horizontal scroll bar or a
// half row, and each dialog over the main window and on the screen.
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionGroupBox>
#include <QTableWidget>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>

#include "app/CAboutDialog.h"
#include "app/CKitebarDoc.h"
#include "app/CMainFrame.h"
#include "app/DesktopStyle.h"
#include "app/DialogUnits.h"
#include "app/MessageBoxes.h"
#include "app/PasteResultsDialog.h"
#include "app/Resources.h"
#include "app/SimulationSettingsDialog.h"
#include "app/WinningNumberDialog.h"
#include "history/DrawHistory.h"
#include "support/AppTestSupport.h"

namespace kitebar::app::test {
namespace {

// Room that a caption keeps to the edges of its control.
constexpr int kButtonCaptionMargin = 6;

QString Describe(const QRect& r) {
  return QStringLiteral("(%1, %2, %3 x %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString Describe(const QWidget& control) {
  const QRect r = control.geometry();
  QString name = control.objectName();
  if (const auto* label = qobject_cast<const QLabel*>(&control); label != nullptr && name.isEmpty())
    name = label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&control);
      button != nullptr && name.isEmpty())
    name = button->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(&control);
      group != nullptr && name.isEmpty())
    name = group->title();
  return name + u' ' + Describe(r);
}

// The dialog's own controls as the user sees them: shown, not a frame.
QList<QWidget*> VisibleControls(QWidget& dialog) {
  QList<QWidget*> controls;
  for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isVisible() && qobject_cast<QGroupBox*>(child) == nullptr)
      controls << child;
  }
  return controls;
}

int CaptionWidth(const QWidget& control, const QString& text) {
  return control.fontMetrics().horizontalAdvance(text);
}

bool DiffersFrom(QRgb pixel, QRgb ground) {
  return qAbs(qRed(pixel) - qRed(ground)) + qAbs(qGreen(pixel) - qGreen(ground)) +
             qAbs(qBlue(pixel) - qBlue(ground)) >
         24;
}

// The first pixel along a straight path through `image` that differs from
// the window's ground: where a frame line is drawn. -1 when there is none.
int FirstLine(const QImage& image, QPoint from, QPoint step, QRgb ground) {
  for (int i = 0; QRect(QPoint(), image.size()).contains(from + i * step); ++i) {
    const QPoint at = from + i * step;
    if (DiffersFrom(image.pixel(at), ground))
      return at.x() * qAbs(step.x()) + at.y() * qAbs(step.y());
  }
  return -1;
}

// The area within the frame lines as the group box is drawn, found by walking
// in from the middle of each side of a picture of the box alone (the top
// walk runs down near the right end, where no caption stands), in the
// coordinates of the dialog.
QRect DrawnInside(QGroupBox& group) {
  const QImage image = group.grab().toImage();
  const QRgb ground = group.palette().color(QPalette::Window).rgb();
  const int w = image.width();
  const int h = image.height();
  const int top = FirstLine(image, {w - 6, 0}, {0, 1}, ground);
  const int bottom = FirstLine(image, {w / 2, h - 1}, {0, -1}, ground);
  const int left = FirstLine(image, {0, h / 2}, {1, 0}, ground);
  const int right = FirstLine(image, {w - 1, h / 2}, {-1, 0}, ground);
  if (top < 0 || bottom < 0 || left < 0 || right < 0)
    return {};
  return QRect(QPoint(left + 1, top + 1), QPoint(right - 1, bottom - 1))
      .translated(group.geometry().topLeft());
}

// Where the group's style puts its caption, in the coordinates of the dialog.
QRect CaptionOf(const QGroupBox& group) {
  if (group.title().isEmpty())
    return {};
  QStyleOptionGroupBox option;
  option.initFrom(&group);
  option.text = group.title();
  option.lineWidth = 1;
  option.textAlignment = group.alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  return group.style()
      ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &group)
      .translated(group.geometry().topLeft());
}

}  // namespace

class DialogLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
    UseDesktopStyle();
  }
  void init() {
    folder_ = std::make_unique<WorkingFolder>();
    MessageBoxes::ResetTestHook();
    WriteFile(QStringLiteral("kitebarnum.dat"), HistoryText(7088));
    QVERIFY(history_.Load().ok());
  }
  void cleanup() {
    started_ = {};
    folder_.reset();
  }

  // The font the dialogs were laid out for where it is installed, else the
  // nearest in line height: on a Japanese Windows never the Linux fonts.
  void dialogFontIsTheNearestInstalled_data() {
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("japanese windows")
        << QStringList{QStringLiteral("Yu Gothic UI"), QStringLiteral("MS UI Gothic"),
                       QStringLiteral("MS PGothic"), QStringLiteral("Meiryo UI")}
        << QStringLiteral("MS PGothic");
    QTest::newRow("japanese name")
        << QStringList{QStringLiteral("ＭＳ Ｐゴシック")} << QStringLiteral("ＭＳ Ｐゴシック");
    QTest::newRow("windows without supplemental fonts")
        << QStringList{QStringLiteral("Meiryo UI"), QStringLiteral("MS UI Gothic"),
                       QStringLiteral("Yu Gothic UI")}
        << QStringLiteral("MS UI Gothic");
    QTest::newRow("windows 11 core fonts")
        << QStringList{QStringLiteral("Segoe UI"), QStringLiteral("Meiryo UI"),
                       QStringLiteral("yu gothic ui")}
        << QStringLiteral("Yu Gothic UI");
    QTest::newRow("debian") << QStringList{QStringLiteral("Noto Sans CJK JP"),
                                           QStringLiteral("IPAPGothic"),
                                           QStringLiteral("IPAGothic")}
                            << QStringLiteral("IPAPGothic");
    // A Japanese profile lists the fonts by their Japanese names.
    QTest::newRow("debian, japanese profile")
        << QStringList{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPA Pゴシック"),
                       QStringLiteral("IPAゴシック")}
        << QStringLiteral("IPA Pゴシック");
    QTest::newRow("no japanese font") << QStringList{QStringLiteral("DejaVu Sans")} << QString();
  }
  void dialogFontIsTheNearestInstalled() {
    QFETCH(QStringList, installed);
    QFETCH(QString, chosen);
    QCOMPARE(DialogFontFamily([&installed](const QString& family) {
               return installed.contains(family, Qt::CaseInsensitive);
             }),
             chosen);
  }

  void controlsLieInsideTheirFrames_data() { AddDialogRows(); }
  void controlsLieInsideTheirFrames() {
    const std::unique_ptr<QDialog> dialog = ShownDialog();
    const QList<QGroupBox*> groups = dialog->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
    int framed = 0;
    for (const QWidget* control : VisibleControls(*dialog)) {
      QVERIFY2(dialog->rect().contains(control->geometry()), qPrintable(Describe(*control)));
      for (QGroupBox* group : groups) {
        if (!group->geometry().contains(control->geometry().center()))
          continue;
        const QRect inside = DrawnInside(*group);
        const QString where = Describe(*control) + QStringLiteral(" in ") + Describe(*group) +
                              QStringLiteral(", inside %1, %2 to %3, %4")
                                  .arg(inside.left())
                                  .arg(inside.top())
                                  .arg(inside.right())
                                  .arg(inside.bottom());
        QVERIFY2(inside.contains(control->geometry()), qPrintable(where));
        QVERIFY2(!CaptionOf(*group).intersects(control->geometry()), qPrintable(where));
        ++framed;
      }
    }
    QVERIFY(framed > 0 || groups.isEmpty());
  }

  void captionsHaveRoom_data() { AddDialogRows(); }
  void captionsHaveRoom() {
    const std::unique_ptr<QDialog> dialog = ShownDialog();
    for (const QWidget* control : VisibleControls(*dialog)) {
      if (const auto* label = qobject_cast<const QLabel*>(control);
          label != nullptr && !label->wordWrap() && !label->text().isEmpty()) {
        QVERIFY2(CaptionWidth(*label, label->text()) <= label->contentsRect().width(),
                 qPrintable(Describe(*label)));
      }
      if (const auto* button = qobject_cast<const QPushButton*>(control); button != nullptr) {
        QVERIFY2(
            CaptionWidth(*button, button->text()) + 2 * kButtonCaptionMargin <= button->width(),
            qPrintable(Describe(*button)));
      }
      if (qobject_cast<const QRadioButton*>(control) != nullptr ||
          qobject_cast<const QCheckBox*>(control) != nullptr) {
        QVERIFY2(control->sizeHint().width() <= control->width(), qPrintable(Describe(*control)));
      }
    }
  }

  void noControlCoversAnother_data() { AddDialogRows(); }
  void noControlCoversAnother() {
    const std::unique_ptr<QDialog> dialog = ShownDialog();
    const QList<QWidget*> controls = VisibleControls(*dialog);
    for (qsizetype a = 0; a < controls.size(); ++a) {
      for (qsizetype b = a + 1; b < controls.size(); ++b) {
        QVERIFY2(
            !controls[a]->geometry().intersects(controls[b]->geometry()),
            qPrintable(Describe(*controls[a]) + QStringLiteral(" and ") + Describe(*controls[b])));
      }
    }
  }

  // Both draw lists: every column within the visible width, so no horizontal
  // scroll bar; whole rows only; each heading fits its column.
  void drawListsShowWholeColumnsAndRows_data() {
    QTest::addColumn<QString>("dialog");
    QTest::newRow("当選番号編集") << QStringLiteral("winning");
    QTest::newRow("シミュレート設定") << QStringLiteral("settings");
  }
  void drawListsShowWholeColumnsAndRows() {
    const std::unique_ptr<QDialog> dialog = ShownDialog();
    QTableWidget& list = *dialog->findChild<QTableWidget*>(QStringLiteral("drawList"));
    QVERIFY(list.verticalScrollBar()->isVisible());
    int columns = 0;
    for (int column = 0; column < list.columnCount(); ++column) {
      columns += list.columnWidth(column);
      const QString heading = list.horizontalHeaderItem(column)->text();
      QVERIFY2(CaptionWidth(list, heading) + 8 <= list.columnWidth(column), qPrintable(heading));
    }
    QVERIFY2(columns <= list.viewport()->width(),
             qPrintable(QStringLiteral("%1 > %2").arg(columns).arg(list.viewport()->width())));
    QVERIFY(!list.horizontalScrollBar()->isVisible());
    const int rowHeight = list.verticalHeader()->defaultSectionSize();
    QCOMPARE(list.viewport()->height() % rowHeight, 0);
    // Scrolled to the end, the last row is whole.
    list.scrollToBottom();
    const QRect last = list.visualItemRect(list.item(list.rowCount() - 1, 0));
    QVERIFY(list.viewport()->rect().contains(last));
  }

  void aboutIconStandsLevelWithItsText() {
    CAboutDialog about(nullptr);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QLabel& icon = *about.findChild<QLabel*>(QStringLiteral("programIcon"));
    const QLabel& text = *about.findChild<QLabel*>(QStringLiteral("versionText"));
    QVERIFY2(qAbs(icon.geometry().center().y() - text.geometry().center().y()) <= 2,
             qPrintable(Describe(icon) + QStringLiteral(" beside ") + Describe(text)));
  }

  // Each command's dialog opens with its middle on the main window's middle,
  // or as near to it as keeps the whole dialog on the screen.
  void dialogsOpenOverTheMainWindow_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QPoint>("mainWindowAt");
    const std::pair<const char*, int> commands[] = {
        {"当選データ管理", command::kWinningDataManagement},
        {"シミュレート基本設定", command::kSimulationSettings},
        {"バージョン情報", command::kAppAbout},
        {"開く", command::kFileOpen},
        {"名前を付けて保存", command::kFileSave},
        {"CSV ファイルから取り込み", command::kImportCsvFile},
        {"貼り付けて取り込み", command::kPasteResults},
    };
    const std::pair<const char*, QPoint> places[] = {
        {"at a quarter of the screen", QPoint(1024 / 4, 768 / 4)},
        {"at the top left corner", QPoint(0, 0)},
        {"at the bottom right corner", QPoint(1024 - 308, 768 - 146)},
    };
    for (const auto& [name, command] : commands) {
      for (const auto& [where, at] : places)
        QTest::addRow("%s, main window %s", name, where) << command << at;
    }
  }
  void dialogsOpenOverTheMainWindow() {
    QFETCH(int, command);
    QFETCH(QPoint, mainWindowAt);
    started_ = StartApp();
    QVERIFY(started_.started);
    CMainFrame& frame = *started_.app->mainFrame();
    frame.move(mainWindowAt);
    QTRY_COMPARE(frame.frameGeometry().topLeft(), mainWindowAt);
    const std::optional<QRect> shown = FrameOfDialogOpenedBy(frame, command);
    QVERIFY(shown.has_value());
    const QRect opened = *shown;

    const QRect screen = frame.screen()->availableGeometry();
    QVERIFY2(screen.contains(opened), qPrintable(Describe(opened)));
    QRect centred = opened;
    centred.moveCenter(frame.frameGeometry().center());
    if (screen.contains(centred)) {
      QVERIFY(qAbs(opened.center().x() - frame.frameGeometry().center().x()) <= 1);
      QVERIFY(qAbs(opened.center().y() - frame.frameGeometry().center().y()) <= 1);
    } else {
      // Moved no further than needed to come onto the screen.
      QVERIFY(opened.left() == screen.left() || opened.right() == screen.right() ||
              opened.center().x() == centred.center().x());
      QVERIFY(opened.top() == screen.top() || opened.bottom() == screen.bottom() ||
              opened.center().y() == centred.center().y());
    }
  }

  // A screen smaller than the file dialog's wanted size (a small one, or a
  // large scale): the dialog shrinks to it, its buttons on the screen.
  void fileDialogsFitASmallScreen_data() {
    QTest::addColumn<int>("command");
    QTest::newRow("開く") << command::kFileOpen;
    QTest::newRow("名前を付けて保存") << command::kFileSave;
    QTest::newRow("CSV ファイルから取り込み") << command::kImportCsvFile;
  }
  void fileDialogsFitASmallScreen() {
    QFETCH(int, command);
    started_ = StartApp();
    QVERIFY(started_.started);
    CMainFrame& frame = *started_.app->mainFrame();
    const QScreen& small = *QGuiApplication::screens().constLast();
    frame.move(small.geometry().topLeft() + QPoint(100, 100));
    QTRY_COMPARE(frame.screen(), &small);
    const std::optional<QRect> shown = FrameOfDialogOpenedBy(frame, command);
    QVERIFY(shown.has_value());
    const QRect opened = *shown;

    QVERIFY2(small.availableGeometry().contains(opened), qPrintable(Describe(opened)));
  }

 private:
  // The frame of the dialog that `command` opens, as it is first shown.
  static std::optional<QRect> FrameOfDialogOpenedBy(CMainFrame& frame, int command) {
    QRect opened;
    WhenModalOpens([&opened](QWidget& modal) {
      QTRY_VERIFY(modal.isVisible());
      opened = modal.frameGeometry();
      modal.close();
    });
    if (frame.RouteCommand(command) == nullptr)
      return std::nullopt;
    return opened;
  }

  void AddDialogRows() {
    QTest::addColumn<QString>("dialog");
    QTest::newRow("当選番号編集") << QStringLiteral("winning");
    QTest::newRow("シミュレート設定") << QStringLiteral("settings");
    QTest::newRow("バージョン情報") << QStringLiteral("about");
    QTest::newRow("貼り付けて取り込み") << QStringLiteral("paste");
  }

  std::unique_ptr<QDialog> ShownDialog() {
    QFETCH(QString, dialog);
    std::unique_ptr<QDialog> shown;
    if (dialog == QLatin1String("winning"))
      shown = std::make_unique<WinningNumberDialog>(history_, opener_);
    else if (dialog == QLatin1String("settings"))
      shown = std::make_unique<SimulationSettingsDialog>(history_);
    else if (dialog == QLatin1String("paste"))
      shown = std::make_unique<PasteResultsDialog>();
    else
      shown = std::make_unique<CAboutDialog>(nullptr);
    shown->show();
    if (!QTest::qWaitForWindowExposed(shown.get()))
      qWarning("dialog not exposed");
    return shown;
  }

  std::unique_ptr<WorkingFolder> folder_;
  DrawHistory history_;
  RecordingPageOpener opener_;
  StartedApp started_;
};

}  // namespace kitebar::app::test

QTEST_MAIN(kitebar::app::test::DialogLayoutTest)
#include "DialogLayoutTest.moc"
