#pragma once

#include <QDialog>
#include <functional>

class QPlainTextEdit;

namespace kitebar::app {

// The small dialog "貼り付けて取り込み": a text box for a table of results
// copied from a results page or a spreadsheet, and "読み取る", which hands the
// text to `onRead`. The dialog stays open until `onRead` accepts it or the
// user cancels, so that a refused text can be corrected in place.
class PasteResultsDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit PasteResultsDialog(QWidget* parent = nullptr);

  std::function<void(const QString& text)> onRead;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QPlainTextEdit* text_ = nullptr;
};

}  // namespace kitebar::app
