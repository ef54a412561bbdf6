#include "app/LockIndicators.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>

namespace kitebar::app {
namespace {

// A pane whose letters sit in the middle of its sunken frame as they are
// drawn: a font with room for Japanese below the line would otherwise lift
// capitals, and a pane given less than its width would push them aside.
class LockPane final : public QLabel {
 public:
  using QLabel::QLabel;

  QSize sizeHint() const override {
    const QRect ink = fontMetrics().tightBoundingRect(text());
    const int frame = frameWidth();
    return {ink.width() + 2 * (kPadding + frame), fontMetrics().height() + 2 * frame};
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect ink = fontMetrics().tightBoundingRect(text());
    const QRect area = contentsRect();
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(area.left() + (area.width() - ink.width()) / 2 - ink.left(),
                     area.top() + (area.height() - ink.height()) / 2 - ink.top(), text());
  }

 private:
  static constexpr int kPadding = 3;
};

QLabel* AddPane(QStatusBar& statusBar, const QString& text, const QString& objectName) {
  auto* label = new LockPane(text, &statusBar);
  label->setObjectName(objectName);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
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
