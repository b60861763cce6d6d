// The program's own input box window: a prompt, a one-line entry field, "OK" and "Cancel".
#pragma once

#include <QDialog>

#include "ui/dialogs/dialog_exchange.h"
#include "ui/theme/theme_colours.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessaflex::ui {

// Built in its design state and themed; prepare_display fits it to the exchange's
// box_text and fills the field from box_input. "OK" (also Enter) writes the field's
// text to box_input, "Cancel" (also Esc) empties it; both close the window.
class InputBoxDialog final : public QDialog {
 public:
  InputBoxDialog(DialogExchange& exchange, float dialog_scale, const theme::ThemeColours& colours,
                 QWidget* parent);

  // Lays the window out for the prompt box_text, wrapped at spaces and measured with the
  // label's font at its width; puts box_input in the field, wholly selected. Lets
  // pending window events run once, between setting the prompt and measuring it.
  void prepare_display();

  // Paints the window, the prompt and the field from the theme's slots.
  void settheme();

 private:
  DialogExchange& exchange_;
  float dialog_scale_;
  const theme::ThemeColours& colours_;
  QLabel* lab_title_;
  QLineEdit* txt_input_;
  QPushButton* command1_;
  QPushButton* command2_;
};

}  // namespace tessaflex::ui
