#pragma once

#include <QLabel>
#include <QString>

namespace kitebar::app {

// The message pane of the status bar: the idle text, or the prompt of the menu
// item under the cursor. A message wider than the pane is cut at a character
// boundary and ends with "…", never in the middle of a character. The pane
// takes whatever width the status bar leaves it.
class StatusMessagePane final : public QLabel {
  Q_OBJECT

 public:
  explicit StatusMessagePane(QWidget* parent);

  // Shows `message`, or the idle text when it is empty.
  void SetMessage(const QString& message);
  // The whole message, of which text() may show only the beginning.
  const QString& message() const { return message_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowElided();

  QString message_;
};

}  // namespace kitebar::app
