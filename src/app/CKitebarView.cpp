#include "app/CKitebarView.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "app/CKitebarApp.h"
#include "app/DesktopPlatform.h"
#include "app/MessageBoxes.h"
#include "app/Resources.h"
#include "app/ScreenFit.h"
#include "common/AtomicFile.h"
#include "engine/PredictionRecord.h"
#include "engine/PredictionRun.h"
#include "reports/PredictionReport.h"

namespace kitebar::app {

CKitebarView::CKitebarView(CKitebarApp& app, QWidget* parent) : QWidget(parent), app_(app) {
  setObjectName(QStringLiteral("view"));
}

bool CKitebarView::OnCmdMsg(int command) {
  switch (command) {
    case command::kPredictionStart:
      OnPredictionStart();
      return true;
    case command::kFilePrint:
      OnFilePrint();
      return true;
    default:
      return false;
  }
}

void CKitebarView::OnPredictionStart() {
  // A page that cannot be written (made read-only by the user) leaves the
  // previous one in place, unopened and without a message; the history is
  // then not written either.
  if (!CheckReplaceable(kPredictionPage).ok())
    return;
  // The next draw of the history file as it is now, not as last painted.
  const Result<Prediction> prediction = PredictNextDraw(app_.history());
  if (!prediction.ok()) {
    MessageBoxes::ShowStop(this, QString::fromStdString(prediction.message()));
    return;
  }
  if (!WritePredictionPage(kPredictionPage, prediction->drawNumber, prediction->candidates).ok())
    return;
  const Result<RecordOutcome> recorded = RecordShownPrediction(app_.history(), *prediction);
  // Whether a browser took the page is not examined.
  app_.pageOpener().Open(kPredictionPage);
  // The page stands; the record that could not take it is said after it.
  if (!recorded.ok())
    MessageBoxes::Show(this, QString::fromStdString(recorded.message()), QMessageBox::Warning);
}

bool CKitebarView::PrinterInstalledOrFileChosen() {
  if (!QPrinterInfo::availablePrinterNames().isEmpty())
    return true;
  const QString missing = QStringLiteral("プリンターがインストールされていません。");
  if (!PrintDialogOffersFiles()) {
    MessageBoxes::ShowInformation(
        this, missing + QStringLiteral("Windows の設定の「プリンターとスキャナー」でプリンターを"
                                       "追加してから、もう一度印刷してください。"));
    return false;
  }
  return MessageBoxes::Show(this, missing + QStringLiteral("PDF ファイルに印刷しますか？"),
                            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::Yes) == QMessageBox::Yes;
}

void CKitebarView::OnFilePrint() {
  if (!PrinterInstalledOrFileChosen())
    return;
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  dialog.setObjectName(QStringLiteral("printDialog"));
  KeepFittedToScreen(dialog);
  if (dialog.exec() != QDialog::Accepted)
    return;
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    PrintToChosenFile(printer);
    return;
  }
  QPainter painter(&printer);
  if (painter.isActive())
    OnDraw(painter);
}

// The toolkit would write the file itself, over whatever the user named: the
// page is printed into a file of our own first, and then written through the
// same door as every file, which refuses the program's own files.
void CKitebarView::PrintToChosenFile(QPrinter& printer) {
  const QString chosen = printer.outputFileName();
  const QTemporaryDir scratch;
  const QString printed = scratch.filePath(QStringLiteral("page.pdf"));
  printer.setOutputFileName(printed);
  {
    QPainter painter(&printer);
    if (!painter.isActive())
      return;
    OnDraw(painter);
  }
  QFile file(printed);
  const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  const Status written = WriteUserChosenFile(
      QFile::encodeName(chosen).toStdString(),
      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
      std::filesystem::path("."));
  if (!written.ok())
    MessageBoxes::ShowStop(this, QString::fromStdString(written.message()));
}

void CKitebarView::OnActivateView() {
  update();
}

void CKitebarView::OnDraw(QPainter& painter) {
  // A history that cannot be read leaves count at 0 until a later paint
  // succeeds; nothing is reported.
  app_.history().Load();
  // A screen at scale 2 gets the picture drawn at that scale, not doubled.
  QImage picture(painter.device()->devicePixelRatioF() > 1 ? TitlePictureAt2xPath()
                                                           : TitlePicturePath());
  picture.setDevicePixelRatio(picture.width() / 300.0);
  painter.drawImage(QPoint(0, 0), picture);
}

void CKitebarView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  OnDraw(painter);
}

}  // namespace kitebar::app
