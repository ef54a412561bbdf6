#include "app/PasteResultsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/DialogUnits.h"
#include "app/WindowPlacement.h"

namespace kitebar::app {

PasteResultsDialog::PasteResultsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("pasteResultsDialog"));
  setWindowTitle(QStringLiteral("貼り付けて取り込み"));
  setModal(true);
  setFont(SettingsDialogFont());
  auto* layout = new QVBoxLayout(this);
  auto* explanation = new QLabel(
      QStringLiteral("結果のページや表計算ソフトからコピーした当選番号の表を貼り付けてください"
                     "（Ctrl+V）。\n1 行に 1 回分です。回（第6380回 など）と当せん番号の列があれ"
                     "ば、日付やほかの列、見出しの行があってもかまいません。"),
      this);
  explanation->setObjectName(QStringLiteral("explanation"));
  explanation->setWordWrap(true);
  layout->addWidget(explanation);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("resultsText"));
  text_->setTabChangesFocus(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(text_, 1);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* read = buttons->addButton(QStringLiteral("読み取る"), QDialogButtonBox::ActionRole);
  read->setObjectName(QStringLiteral("readButton"));
  read->setDefault(true);
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  layout->addWidget(buttons);
  connect(read, &QPushButton::clicked, this, [this] {
    if (onRead)
      onRead(text_->toPlainText());
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  const DialogUnits units(font());
  resize(units.ToPixels(0, 0, 300, 180).size());
}

void PasteResultsDialog::showEvent(QShowEvent* event) {
  PlaceOverOwner(*this);
  QDialog::showEvent(event);
}

}  // namespace kitebar::app
