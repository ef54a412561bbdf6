#include "app/LockIndicators.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>

namespace kitebar::app {
namespace {

QLabel* AddPane(QStatusBar& statusBar, const QString& text, const QString& objectName) {
  auto* label = new QLabel(text, &statusBar);
  label->setObjectName(objectName);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignCenter);
  label->setContentsMargins(3, 0, 3, 0);
  statusBar.addPermanentWidget(label);
  return label;
}

}  // namespace

LockIndicators::LockIndicators(QStatusBar& statusBar)
    : QObject(&statusBar),
      panes_{{
          {LockKey::kKana, QStringLiteral("ｶﾅ"), QStringLiteral("kanaPane")},
          {LockKey::kCaps, QStringLiteral("CAP"), QStringLiteral("capsPane")},
          {LockKey::kNum, QStringLiteral("NUM"), QStringLiteral("numPane")},
          {LockKey::kScroll, QStringLiteral("SCRL"), QStringLiteral("scrollPane")},
      }},
      query_(QueryLockKeyState) {
  setObjectName(QStringLiteral("lockIndicators"));
  for (Pane& pane : panes_)
    pane.label = AddPane(statusBar, pane.text, pane.objectName);
  qApp->installEventFilter(this);
  Refresh();
}

void LockIndicators::Refresh() {
  for (const Pane& pane : panes_) {
    const std::optional<bool> on = query_(pane.key);
    pane.label->setEnabled(on.has_value());
    pane.label->setVisible(on != false);
  }
}

void LockIndicators::SetStateQuery(StateQuery query) {
  query_ = std::move(query);
  Refresh();
}

bool LockIndicators::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ApplicationActivate)
    Refresh();
  return QObject::eventFilter(watched, event);
}

}  // namespace kitebar::app
