#pragma once

#include <QDialog>

namespace kitebar::app {

// The about box: the program icon, "Kitebar Version 1.0" and OK.
class CAboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDialog(QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kitebar::app
