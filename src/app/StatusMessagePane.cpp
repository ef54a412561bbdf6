#include "app/StatusMessagePane.h"

#include <QResizeEvent>

#include "app/Resources.h"

namespace kitebar::app {

StatusMessagePane::StatusMessagePane(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("messagePane"));
  // Lines the text up with the left edge of the panes' frames.
  setContentsMargins(4, 0, 0, 0);
  // The width comes from the status bar, never from the length of a message.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  SetMessage({});
}

void StatusMessagePane::SetMessage(const QString& message) {
  message_ = message.isEmpty() ? IdlePrompt() : message;
  ShowElided();
}

void StatusMessagePane::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  ShowElided();
}

void StatusMessagePane::ShowElided() {
  setText(fontMetrics().elidedText(message_, Qt::ElideRight, contentsRect().width()));
}

}  // namespace kitebar::app
