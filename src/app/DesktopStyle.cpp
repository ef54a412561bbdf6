#include "app/DesktopStyle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <algorithm>
#include <map>
#include <string_view>
#include <utility>

#include "app/DialogUnits.h"

namespace kitebar::app {
namespace {

// The caption starts a little in from the frame's left corner and keeps a
// small gap to the line on either side.
constexpr int kCaptionIndent = 6;
constexpr int kCaptionGap = 2;

QRect CaptionRect(const QRect& box, const QFontMetrics& metrics, const QString& text) {
  if (text.isEmpty())
    return {};
  const int width = metrics.horizontalAdvance(text) + 2 * kCaptionGap;
  return QRect(box.left() + kCaptionIndent, box.top(),
               std::min(width, box.width() - 2 * kCaptionIndent), metrics.height());
}

// The frame line runs through the middle of the caption.
QRect FrameRect(const QRect& box, const QFontMetrics& metrics, bool hasCaption) {
  QRect frame = box;
  if (hasCaption)
    frame.setTop(box.top() + metrics.height() / 2);
  return frame;
}

// Fusion's own group frame would start below the caption whatever the frame
// rectangle says, so the frame is drawn here in Fusion's colours: a slightly
// darker field inside a thin rounded outline.
QColor FieldColour(const QPalette& palette) {
  return palette.window().color().darker(104);
}

void DrawFrame(QPainter& painter, const QRect& frame, const QPalette& palette) {
  const QColor window = palette.window().color();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(window.darker(140), 1));
  painter.setBrush(FieldColour(palette));
  painter.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
  painter.restore();
}

bool IsPlainGroupBox(const QStyleOptionComplex* option) {
  const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  return group != nullptr && !group->subControls.testFlag(QStyle::SC_GroupBoxCheckBox);
}

}  // namespace

DesktopStyle::DesktopStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {
  setObjectName(QStringLiteral("desktopStyle"));
}

int DesktopStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
  if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
    return 0;
  // Alt pressed and let go alone moves to the menu bar, as on Windows.
  if (hint == SH_MenuBar_AltKeyNavigation)
    return 1;
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

QRect DesktopStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                   SubControl subControl, const QWidget* widget) const {
  if (control != CC_GroupBox || !IsPlainGroupBox(option))
    return QProxyStyle::subControlRect(control, option, subControl, widget);
  const auto& group = *qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  const QRect caption = CaptionRect(group.rect, group.fontMetrics, group.text);
  const int line = proxy()->pixelMetric(PM_DefaultFrameWidth, option, widget);
  switch (subControl) {
    case SC_GroupBoxLabel:
      return caption;
    case SC_GroupBoxFrame:
      return FrameRect(group.rect, group.fontMetrics, !caption.isEmpty());
    case SC_GroupBoxContents: {
      // Laid-out contents start below the caption.
      QRect contents = group.rect.adjusted(line + 3, line + 3, -line - 3, -line - 3);
      if (!caption.isEmpty())
        contents.setTop(caption.bottom() + 1 + 3);
      return contents;
    }
    default:
      return QProxyStyle::subControlRect(control, option, subControl, widget);
  }
}

void DesktopStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const {
  if (control != CC_GroupBox || !IsPlainGroupBox(option)) {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    return;
  }
  const auto& group = *qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  DrawFrame(*painter, subControlRect(control, option, SC_GroupBoxFrame, widget), group.palette);
  const QRect caption = subControlRect(control, option, SC_GroupBoxLabel, widget);
  if (caption.isEmpty())
    return;
  // The caption interrupts the frame line: above it the window's colour,
  // below it the group's darker field, each continued under the letters.
  const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
  painter->fillRect(caption.intersected(QRect(caption.left(), caption.top(), caption.width(),
                                              frame.top() - caption.top() + 1)),
                    group.palette.window());
  painter->fillRect(caption.intersected(QRect(caption.left(), frame.top() + 1, caption.width(),
                                              caption.bottom() - frame.top())),
                    FieldColour(group.palette));
  proxy()->drawItemText(painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, group.palette,
                        group.state.testFlag(State_Enabled), group.text, QPalette::WindowText);
}

void DesktopStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
  QProxyStyle::drawControl(element, option, painter, widget);
  if (element != CE_ShapedFrame || qobject_cast<const QAbstractItemView*>(widget) == nullptr ||
      !option->state.testFlag(State_HasFocus))
    return;
  // The highlight inside the sunken frame, in the colour that marks the
  // focused entry field.
  painter->save();
  painter->setPen(QPen(option->palette.highlight().color(), 1));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
  painter->restore();
}

void UseDesktopStyle() {
  if (qobject_cast<DesktopStyle*>(QApplication::style()) == nullptr)
    QApplication::setStyle(new DesktopStyle);
  QApplication::setFont(MessageBoxFont(QApplication::font("QMessageBox")), "QMessageBox");
}

QString ToolkitTranslator::translate(const char* context, const char* sourceText,
                                     const char* disambiguation, int n) const {
  if (QString text = QTranslator::translate(context, sourceText, disambiguation, n);
      !text.isEmpty())
    return text;
  using Source = std::pair<std::string_view, std::string_view>;
  static const std::map<Source, QString> kMissing{
      {{"QAbstractFileIconProvider", "Drive"}, QStringLiteral("ドライブ")},
      {{"QAbstractFileIconProvider", "File Folder"}, QStringLiteral("ファイル フォルダー")},
      {{"QAbstractFileIconProvider", "Folder"}, QStringLiteral("フォルダー")},
      {{"QAbstractFileIconProvider", "Alias"}, QStringLiteral("エイリアス")},
      {{"QAbstractFileIconProvider", "Shortcut"}, QStringLiteral("ショートカット")},
      {{"QAbstractFileIconProvider", "Unknown"}, QStringLiteral("不明")},
      {{"QPrintSettingsOutput", "Pages"}, QStringLiteral("ページ指定")},
      {{"QPrintSettingsOutput", "Double Sided Printing"}, QStringLiteral("両面印刷")},
      {{"QPrintSettingsOutput", "Off"}, QStringLiteral("しない")},
      {{"QPrintSettingsOutput", "Long side binding"}, QStringLiteral("長辺とじ")},
      {{"QPrintSettingsOutput", "Short side binding"}, QStringLiteral("短辺とじ")}};
  const auto found = kMissing.find(Source(context, sourceText));
  return found != kMissing.end() ? found->second : QString();
}

bool LoadToolkitTranslation(QTranslator& translator) {
  return translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace kitebar::app
