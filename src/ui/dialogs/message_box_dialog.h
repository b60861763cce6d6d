// The program's own message box window: a text, an icon, and "OK" or "Yes" and "No".
#pragma once

#include <QDialog>

#include "ui/dialogs/dialog_exchange.h"
#include "ui/theme/theme_colours.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace tessaflex::ui {

// Built in its design state and themed; prepare_display fits it to the exchange's
// box_text and box_kind. Its buttons and keys write box_result and close it with
// QDialog::Accepted; any other close leaves box_result alone.
class MessageBoxDialog final : public QDialog {
 public:
  MessageBoxDialog(DialogExchange& exchange, float dialog_scale, const theme::ThemeColours& colours,
                   QWidget* parent);

  // Lays the window out for box_text and box_kind: the text broken and measured with the
  // label's font at its width, the height fitted, the icon and the buttons of the kind.
  // Lets pending window events run once, between setting the text and measuring it.
  void prepare_display();

  // Paints the window and its text from the theme's slots.
  void settheme();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void answer_command1();
  void answer_command2();
  void copy_text() const;

  DialogExchange& exchange_;
  float dialog_scale_;
  const theme::ThemeColours& colours_;
  QLabel* img_info_;
  QLabel* img_err_;
  QLabel* img_ok_;
  QLabel* img_ask_;
  QLabel* lab_title_;
  QTextEdit* txt_title_;
  QPushButton* command1_;
  QPushButton* command2_;
};

}  // namespace tessaflex::ui
