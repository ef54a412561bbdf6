#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace kitebar::app {

// Every message box of the program goes through here, so that each carries the
// application title as caption, and so that tests can answer a box in place of
// a person.
class MessageBoxes {
 public:
  struct Shown {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;  // the texts of a ShowChoice's buttons
  };
  // A standard button that reads `text`; the answer is still the button.
  struct Choice {
    QMessageBox::StandardButton button;
    QString text;
  };

  // The box that Show runs: the application title as caption, plain buttons.
  static std::unique_ptr<QMessageBox> Create(
      QWidget* parent, const QString& text, QMessageBox::Icon icon,
      QMessageBox::StandardButtons buttons = QMessageBox::Ok,
      QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
  static QMessageBox::StandardButton Show(
      QWidget* parent, const QString& text, QMessageBox::Icon icon,
      QMessageBox::StandardButtons buttons = QMessageBox::Ok,
      QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
  // A box with the buttons of `choices`, each reading its text.
  static QMessageBox::StandardButton ShowChoice(QWidget* parent, const QString& text,
                                                QMessageBox::Icon icon,
                                                const std::vector<Choice>& choices,
                                                QMessageBox::StandardButton defaultButton);
  // An error: the stop icon and an OK button.
  static void ShowStop(QWidget* parent, const QString& text);
  static void ShowInformation(QWidget* parent, const QString& text);

  // Test hook: the next box is not shown but answered at once with `answer`.
  // Several calls queue answers for the following boxes.
  static void SetNextAnswer(QMessageBox::StandardButton answer);
  // Every box asked for since the last reset, answered by the hook or not.
  static const std::vector<Shown>& shown();
  // Forgets the boxes shown and any answers not used yet.
  static void ResetTestHook();
};

}  // namespace kitebar::app
