#include "app/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLayout>
#include <deque>

#include "app/Resources.h"
#include "app/WindowPlacement.h"

namespace kitebar::app {
namespace {

std::deque<QMessageBox::StandardButton>& QueuedAnswers() {
  static std::deque<QMessageBox::StandardButton> answers;
  return answers;
}

std::vector<MessageBoxes::Shown>& ShownBoxes() {
  static std::vector<MessageBoxes::Shown> boxes;
  return boxes;
}

// The window system sets the caption in its title bar's font beside the
// frame's icon and buttons; a box only as wide as its text would cut the
// caption short ("Kitebar -… ミュレータ-").
constexpr int kTitleBarControlsWidth = 128;

int TitleBarWidth(const QString& title) {
  const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
  return metrics.horizontalAdvance(title) + kTitleBarControlsWidth;
}

// The button box spans the box's whole width: at least as wide as the
// caption needs, the box is too.
void MakeRoomForTitle(QMessageBox& box) {
  auto* buttons = box.findChild<QDialogButtonBox*>();
  if (buttons == nullptr || box.layout() == nullptr)
    return;
  const QMargins margins = box.layout()->contentsMargins();
  buttons->setMinimumWidth(TitleBarWidth(box.windowTitle()) - margins.left() - margins.right());
}

// The box takes its final size only as it is shown, after the toolkit centred
// it at the size it had before: centred again then, as every dialog is.
class CentredMessageBox final : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    PlaceOverOwner(*this);
  }
};

}  // namespace

std::unique_ptr<QMessageBox> MessageBoxes::Create(QWidget* parent, const QString& text,
                                                  QMessageBox::Icon icon,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton) {
  auto box = std::make_unique<CentredMessageBox>(icon, ApplicationTitle(), text, buttons, parent);
  box->setDefaultButton(defaultButton);
  MakeRoomForTitle(*box);
  return box;
}

QMessageBox::StandardButton MessageBoxes::Show(QWidget* parent, const QString& text,
                                               QMessageBox::Icon icon,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton) {
  ShownBoxes().push_back({ApplicationTitle(), text, icon, {}});
  if (!QueuedAnswers().empty()) {
    const QMessageBox::StandardButton answer = QueuedAnswers().front();
    QueuedAnswers().pop_front();
    return answer;
  }
  return static_cast<QMessageBox::StandardButton>(
      Create(parent, text, icon, buttons, defaultButton)->exec());
}

QMessageBox::StandardButton MessageBoxes::ShowChoice(QWidget* parent, const QString& text,
                                                     QMessageBox::Icon icon,
                                                     const std::vector<Choice>& choices,
                                                     QMessageBox::StandardButton defaultButton) {
  QStringList texts;
  QMessageBox::StandardButtons buttons;
  for (const Choice& choice : choices) {
    texts << choice.text;
    buttons |= choice.button;
  }
  ShownBoxes().push_back({ApplicationTitle(), text, icon, texts});
  if (!QueuedAnswers().empty()) {
    const QMessageBox::StandardButton answer = QueuedAnswers().front();
    QueuedAnswers().pop_front();
    return answer;
  }
  const std::unique_ptr<QMessageBox> box = Create(parent, text, icon, buttons, defaultButton);
  for (const Choice& choice : choices)
    box->button(choice.button)->setText(choice.text);
  return static_cast<QMessageBox::StandardButton>(box->exec());
}

void MessageBoxes::ShowStop(QWidget* parent, const QString& text) {
  Show(parent, text, QMessageBox::Critical);
}

void MessageBoxes::ShowInformation(QWidget* parent, const QString& text) {
  Show(parent, text, QMessageBox::Information);
}

void MessageBoxes::SetNextAnswer(QMessageBox::StandardButton answer) {
  QueuedAnswers().push_back(answer);
}

const std::vector<MessageBoxes::Shown>& MessageBoxes::shown() {
  return ShownBoxes();
}

void MessageBoxes::ResetTestHook() {
  ShownBoxes().clear();
  QueuedAnswers().clear();
}

}  // namespace kitebar::app
