#pragma once

#include <QProxyStyle>
#include <QRect>
#include <QTranslator>

namespace kitebar::app {

// The look of every window of the program, over the toolkit's Fusion style:
// - a group box's caption sits on its frame line, with the line through the
//   caption's middle, as the dialogs' layouts in dialog units expect (a
//   control a few units below the box's top is then inside the frame);
// - push buttons of the standard dialogs and message boxes carry text only;
// - a list that has the keyboard focus shows it in its frame, as an entry
//   field does;
// - Alt pressed and released alone moves to the menu bar.
class DesktopStyle final : public QProxyStyle {
  Q_OBJECT

 public:
  DesktopStyle();

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override;
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl subControl, const QWidget* widget) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
};

// Makes DesktopStyle the style of the running application, and gives the
// message boxes the dialogs' font family (MessageBoxFont).
void UseDesktopStyle();

// The toolkit's translation, with the texts that its Japanese catalogue lacks
// added: the file dialog's kinds of entries (such as "Folder") and the print
// dialog's page range and double-sided printing.
class ToolkitTranslator final : public QTranslator {
 public:
  QString translate(const char* context, const char* sourceText, const char* disambiguation,
                    int n) const override;
};

// Loads the toolkit's own texts (standard buttons, file and print dialogs) in
// Japanese into `translator`; false when the translation is not installed.
bool LoadToolkitTranslation(QTranslator& translator);

}  // namespace kitebar::app
