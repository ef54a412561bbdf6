#pragma once

#include <QPointer>

#include "common/Feedback.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace kitebar::app {

// What a long core operation tells the user, shown in the dialog that started
// it: its progress bar, its message line and message boxes owned by the
// dialog. Either control may be absent; updates to it are then dropped.
class DialogFeedback final : public Feedback {
 public:
  explicit DialogFeedback(QWidget* owner, QProgressBar* progressBar = nullptr,
                          QLabel* messageLine = nullptr);

  void SetProgress(int percent) override;
  // Replaces the text of the message line.
  void AddMessageLine(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;

 private:
  QPointer<QWidget> owner_;
  QPointer<QProgressBar> progressBar_;
  QPointer<QLabel> messageLine_;
};

}  // namespace kitebar::app
