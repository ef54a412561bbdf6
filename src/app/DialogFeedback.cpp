#include "app/DialogFeedback.h"

#include <QLabel>
#include <QProgressBar>

#include "app/MessageBoxes.h"

namespace kitebar::app {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon ToBoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kStop:
      return QMessageBox::Critical;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

DialogFeedback::DialogFeedback(QWidget* owner, QProgressBar* progressBar, QLabel* messageLine)
    : owner_(owner), progressBar_(progressBar), messageLine_(messageLine) {}

// The operations run inside a command handler and block the event loop, so
// the controls are repainted at once rather than scheduled for later.
void DialogFeedback::SetProgress(int percent) {
  if (progressBar_ == nullptr)
    return;
  progressBar_->setValue(percent);
  progressBar_->repaint();
}

void DialogFeedback::AddMessageLine(std::string_view text) {
  if (messageLine_ == nullptr)
    return;
  messageLine_->setText(FromUtf8(text));
  messageLine_->repaint();
}

void DialogFeedback::ShowMessage(std::string_view text, MessageIcon icon) {
  MessageBoxes::Show(owner_, FromUtf8(text), ToBoxIcon(icon));
}

}  // namespace kitebar::app
