#include "support/AppTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "app/MessageBoxes.h"

namespace kitebar::app::test {
namespace {

constexpr int kModalPollMilliseconds = 10;
constexpr int kModalPollLimit = 1000;

void PollForModal(std::function<void(QWidget&)> answer, int round) {
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr) {
    answer(*modal);
    return;
  }
  if (round >= kModalPollLimit) {
    QFAIL("no modal window opened");
    return;
  }
  QTimer::singleShot(kModalPollMilliseconds, qApp,
                     [answer = std::move(answer), round] { PollForModal(answer, round + 1); });
}

// The controls that the focus passes through when `key` is pressed again and
// again from `start`, by object name, up to `start` or `limit` of them.
QStringList FocusCycle(QWidget& start, Qt::Key key, qsizetype limit) {
  QStringList names;
  QWidget* focus = &start;
  while (names.size() < limit) {
    QTest::keyClick(focus, key);
    focus = QApplication::focusWidget();
    if (focus == nullptr)
      break;
    names << focus->objectName();
    if (focus == &start)
      break;
  }
  return names;
}

}  // namespace

WorkingFolder::WorkingFolder() : previous_(QDir::currentPath()) {
  if (!folder_.isValid() || !QDir::setCurrent(folder_.path()))
    qFatal("cannot make a temporary working folder");
}

WorkingFolder::~WorkingFolder() {
  QDir::setCurrent(previous_);
}

Status RecordingPageOpener::Open(const std::filesystem::path& page) {
  opened.push_back(page);
  return Status::Ok();
}

void AnswerMessageBoxesWithOk() {
  for (int box = 0; box < 8; ++box)
    MessageBoxes::SetNextAnswer(QMessageBox::Ok);
}

void WriteFile(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
    qFatal("cannot write a test file");
}

QByteArray ReadFile(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray HistoryText(int draws) {
  QByteArray text;
  for (int draw = 1; draw <= draws; ++draw) {
    text += QByteArray::number(draw).rightJustified(4, '0') + ',' +
            QByteArray::number(draw * 137 % 1000).rightJustified(3, '0') + "\r\n";
  }
  return text;
}

StartedApp StartApp(const QStringList& arguments, std::optional<StartFolder> startFolder,
                    const QString& launchProblem) {
  StartedApp started;
  started.app = std::make_unique<CKitebarApp>();
  if (startFolder)
    started.app->SetStartFolder(std::move(*startFolder));
  started.app->SetLaunchProblem(launchProblem);
  auto opener = std::make_unique<RecordingPageOpener>();
  started.opener = opener.get();
  started.app->SetPageOpener(std::move(opener));
  started.started = started.app->InitInstance(arguments);
  return started;
}

void WhenModalOpens(std::function<void(QWidget&)> answer) {
  QTimer::singleShot(0, qApp, [answer = std::move(answer)] { PollForModal(answer, 0); });
}

std::vector<QWidget*> CloseModalWindowsDuring(const std::function<void()>& command) {
  std::vector<QWidget*> owners;
  QTimer closer;
  closer.setInterval(kModalPollMilliseconds);
  QObject::connect(&closer, &QTimer::timeout, [&owners] {
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr) {
      owners.push_back(modal->parentWidget());
      if (auto* dialog = qobject_cast<QDialog*>(modal); dialog != nullptr)
        dialog->reject();
      else
        modal->close();
    }
  });
  closer.start();
  command();
  return owners;
}

void CommitFromInputMethod(QWidget& field, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(&field, &event);
}

void VerifyKeyboardNavigation(QWidget& dialog, const QStringList& stops) {
  dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  const auto* list = dialog.findChild<QTableWidget*>(QStringLiteral("drawList"));
  QVERIFY(list != nullptr);
  const QModelIndex current = list->currentIndex();
  QStringList expected = stops;
  expected.sort();
  for (const QString& name : stops) {
    QWidget& start = *dialog.findChild<QWidget*>(name);
    start.setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), &start);
    const QStringList forward = FocusCycle(start, Qt::Key_Tab, stops.size() + 1);
    QStringList visited = forward;
    visited.sort();
    QVERIFY2(visited == expected, qPrintable(name + u':' + forward.join(u' ')));
    QStringList back(forward.rbegin() + 1, forward.rend());
    back << name;
    QCOMPARE(FocusCycle(start, Qt::Key_Backtab, stops.size() + 1), back);
    QCOMPARE(list->currentIndex(), current);
    QVERIFY(list->selectionModel()->selectedRows().isEmpty());
  }
}

}  // namespace kitebar::app::test
