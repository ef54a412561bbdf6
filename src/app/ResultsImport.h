#pragma once

#include <QString>
#include <string_view>

class QWidget;

namespace kitebar {
class DrawHistory;
}

namespace kitebar::app {

// Brings in results that the user keeps: a CSV file chosen in the file
// dialog, or a table pasted into a small dialog. What they hold is shown
// first, in a confirmation (取り込む / キャンセル); only then are the new draws
// stored, on the history file as it is at that moment. A refused file or a
// damaged history is explained, and nothing is stored.
class ResultsImport {
 public:
  ResultsImport(DrawHistory& history, QWidget* owner);

  // "CSV ファイルから取り込み...". Returns whether draws were stored.
  bool FromFile();
  // "貼り付けて取り込み...". Returns whether draws were stored.
  bool FromPastedText();

 private:
  // The confirmation and the store of `bytes`, read from `source`; false
  // when refused, cancelled or when there was nothing new.
  bool Confirm(std::string_view bytes, const QString& source);

  DrawHistory& history_;
  QWidget* owner_;
};

}  // namespace kitebar::app
