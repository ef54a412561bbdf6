#include "app/CMainFrame.h"

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QWindow>
#include <array>

#include "app/CKitebarApp.h"
#include "app/CKitebarDoc.h"
#include "app/CKitebarView.h"
#include "app/LockIndicators.h"
#include "app/Resources.h"
#include "app/StatusMessagePane.h"

namespace kitebar::app {
namespace {

// Title bar, system menu, minimise and close box; no maximise box. The fixed
// size removes the sizing border; on Windows the thin border of a fixed-size
// window says so to the window system itself, where a sizing border would
// still let the window be dragged larger or maximised (under Wine).
constexpr Qt::WindowFlags kFrameFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

struct Accelerator {
  QKeyCombination keys;
  int command;
};

// The standard shortcuts that have a handler. Undo, cut, copy and paste and
// the pane keys F6 and Shift+F6 have none in this window and are not bound.
constexpr std::array kAccelerators{
    Accelerator{Qt::CTRL | Qt::Key_N, command::kFileNew},
    Accelerator{Qt::CTRL | Qt::Key_O, command::kFileOpen},
    Accelerator{Qt::CTRL | Qt::Key_S, command::kFileSave},
    Accelerator{Qt::CTRL | Qt::Key_P, command::kFilePrint},
};

}  // namespace

CMainFrame::CMainFrame(CKitebarApp& app, CKitebarDoc& document)
    : QMainWindow(nullptr, kFrameFlags), app_(app), document_(document) {
  setObjectName(QStringLiteral("mainFrame"));
  setWindowTitle(ApplicationTitle());
  setWindowIcon(QIcon(ProgramIconPath()));
  view_ = new CKitebarView(app_, this);
  setCentralWidget(view_);
  BuildMenu();
  BuildAccelerators();
  BuildStatusBar();
  KeepOuterSize();
  PlaceAtQuarterOfScreen();
}

CommandTarget* CMainFrame::RouteCommand(int command) {
  const std::array<CommandTarget*, 4> receivers{view_, &document_, this, &app_};
  for (CommandTarget* receiver : receivers) {
    if (receiver->OnCmdMsg(command))
      return receiver;
  }
  return nullptr;
}

bool CMainFrame::OnCmdMsg(int command) {
  if (command != command::kAppExit)
    return false;
  close();
  return true;
}

bool CMainFrame::event(QEvent* event) {
  if (event->type() != QEvent::StatusTip)
    return QMainWindow::event(event);
  messagePane_->SetMessage(static_cast<QStatusTipEvent*>(event)->tip());
  return true;
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  KeepOuterSize();
}

// A window manager frames the window a moment after it is shown, and moves
// its inside by the frame's size: the outer size is kept from then on, also
// while a message box of the start-up keeps the window from being activated.
void CMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  KeepOuterSize();
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !isActiveWindow())
    return;
  // A window manager tells the frame's size only after the first show.
  KeepOuterSize();
  view_->OnActivateView();
}

void CMainFrame::BuildMenu() {
  QMenuBar& bar = *menuBar();
  AddCommand(bar, QStringLiteral("予想開始"), command::kPredictionStart, QStringLiteral("予想開始"),
             QStringLiteral("predictionStartAction"));

  QMenu& settings = *bar.addMenu(QStringLiteral("基本設定"));
  settings.setObjectName(QStringLiteral("settingsMenu"));
  AddCommand(settings, QStringLiteral("当選データ管理"), command::kWinningDataManagement,
             QStringLiteral("当選番号を更新する"), QStringLiteral("winningDataAction"));
  AddCommand(settings, QStringLiteral("CSV ファイルから取り込み..."), command::kImportCsvFile,
             QStringLiteral("結果の CSV ファイルから当選番号を取り込みます。"),
             QStringLiteral("importCsvAction"));
  AddCommand(settings, QStringLiteral("貼り付けて取り込み..."), command::kPasteResults,
             QStringLiteral("コピーした結果の表を貼り付けて、当選番号を取り込みます。"),
             QStringLiteral("pasteResultsAction"));
  settings.addSeparator();
  AddCommand(settings, QStringLiteral("シミュレート基本設定"), command::kSimulationSettings,
             QStringLiteral("電動風車のシミュレートに必要な設定を行ないます。"),
             QStringLiteral("simulationSettingsAction"));
  settings.addSeparator();
  AddCommand(settings, QStringLiteral("成績の検証"), command::kEvaluation,
             QStringLiteral("予想が偶然より当たっているかを検証します。"),
             QStringLiteral("evaluationAction"));
  settings.addSeparator();
  AddCommand(settings, QStringLiteral("データのフォルダーを開く"), command::kOpenDataFolder,
             QStringLiteral("当選番号や設定のファイルがあるフォルダーを開きます。"),
             QStringLiteral("openDataFolderAction"));

  QMenu& help = *bar.addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  help.setObjectName(QStringLiteral("helpMenu"));
  AddCommand(help, QStringLiteral("Kitebar のﾊﾞｰｼﾞｮﾝ情報(&A)..."), command::kAppAbout,
             QStringLiteral("ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示"),
             QStringLiteral("aboutAction"));

  AddCommand(bar, QStringLiteral("終了"), command::kAppExit,
             QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示"), QStringLiteral("exitAction"));
}

void CMainFrame::BuildAccelerators() {
  for (const Accelerator& accelerator : kAccelerators) {
    auto* action = new QAction(this);
    action->setShortcut(QKeySequence(accelerator.keys));
    action->setShortcutContext(Qt::WindowShortcut);
    const int command = accelerator.command;
    connect(action, &QAction::triggered, this, [this, command] { RouteCommand(command); });
    addAction(action);
  }
  auto* menuKey = new QAction(this);
  menuKey->setObjectName(QStringLiteral("menuBarKey"));
  menuKey->setShortcut(QKeySequence(Qt::Key_F10));
  menuKey->setShortcutContext(Qt::WindowShortcut);
  connect(menuKey, &QAction::triggered, this, &CMainFrame::EnterMenuBar);
  addAction(menuKey);
}

// F10 does what Alt pressed and released alone does: the menu bar takes the
// keyboard, its first item highlighted. The menu bar watches the window for
// exactly that pair of events.
void CMainFrame::EnterMenuBar() {
  QKeyEvent altPressed(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
  QCoreApplication::sendEvent(this, &altPressed);
  QKeyEvent altReleased(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
  QCoreApplication::sendEvent(this, &altReleased);
}

void CMainFrame::BuildStatusBar() {
  QStatusBar& bar = *statusBar();
  bar.setSizeGripEnabled(false);
  bar.setContentsMargins(0, 0, 2, 0);
  messagePane_ = new StatusMessagePane(&bar);
  bar.addWidget(messagePane_, 1);
  new LockIndicators(bar);
}

void CMainFrame::AddCommand(QWidget& owner, const QString& text, int command, const QString& prompt,
                            const QString& objectName) {
  auto* action = new QAction(text, this);
  action->setObjectName(objectName);
  action->setData(command);
  action->setStatusTip(prompt);
  // The menu is closed once its command runs: back to the idle text, also
  // for a top-level item whose prompt would otherwise stay while hovered.
  connect(action, &QAction::triggered, this, [this, command] {
    messagePane_->SetMessage({});
    RouteCommand(command);
  });
  owner.addAction(action);
}

// Integer division of the primary screen's size, as the window's outer corner.
void CMainFrame::PlaceAtQuarterOfScreen() {
  const QSize screen = QGuiApplication::primaryScreen()->size();
  move(screen.width() / 4, screen.height() / 4);
}

// The outer size includes the title bar and borders, which belong to the
// window system; the client area gets what remains of 308 x 146.
void CMainFrame::KeepOuterSize() {
  const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  if (frame == appliedFrameMargins_ && minimumSize() == maximumSize())
    return;
  appliedFrameMargins_ = frame;
  setFixedSize(kOuterSize.shrunkBy(frame));
}

}  // namespace kitebar::app
