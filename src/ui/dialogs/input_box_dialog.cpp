// The program's own input box window: a prompt, a one-line entry field, "OK" and "Cancel".
#include "ui/dialogs/input_box_dialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/dialogs/dialog_layout.h"
#include "ui/fonts.h"
#include "ui/theme/qt_colour.h"

namespace tessaflex::ui {

InputBoxDialog::InputBoxDialog(DialogExchange& exchange, float dialog_scale,
                               const theme::ThemeColours& colours, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      exchange_(exchange),
      dialog_scale_(dialog_scale),
      colours_(colours) {
  namespace d = input_box_design;
  setObjectName(QStringLiteral("Form07"));
  setFont(window_font(8.25));
  setFixedSize(to_pixels(d::kClientWidth, d::kClientHeight));

  lab_title_ = place(new QLabel(this), QStringLiteral("lab_title"), d::kPrompt);
  lab_title_->setWordWrap(true);
  lab_title_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lab_title_->setFont(window_font(9));

  txt_input_ = place(new QLineEdit(this), QStringLiteral("txt_input"), d::kField);
  txt_input_->setFont(window_font(9));

  command1_ = place(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("Command1"), d::kCommand1);
  command1_->setDefault(true);
  command2_ =
      place(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("Command2"), d::kCommand2);
  connect(command1_, &QPushButton::clicked, this, [this] {
    exchange_.box_input = txt_input_->text().toStdString();
    accept();
  });
  // Esc reaches reject() directly; the owner empties the reply for every close but "OK".
  connect(command2_, &QPushButton::clicked, this, [this] {
    exchange_.box_input.clear();
    reject();
  });

  setTabOrder(txt_input_, command1_);
  setTabOrder(command1_, command2_);
  txt_input_->setFocus();
  settheme();
}

void InputBoxDialog::prepare_display() {
  const int width = twips_to_pixels(input_box_design::kPrompt.width);
  lab_title_->setText(QString::fromStdString(exchange_.box_text));
  QCoreApplication::processEvents();
  const InputBoxLayout layout =
      input_box_layout(lab_title_->heightForWidth(width) * kTwipsPerLogicalPixel, dialog_scale_);
  lab_title_->setGeometry(to_pixels(layout.prompt));
  txt_input_->setGeometry(to_pixels(layout.field));
  command1_->setGeometry(to_pixels(layout.command1));
  command2_->setGeometry(to_pixels(layout.command2));
  setFixedSize(to_pixels(layout.client_width, layout.client_height));

  txt_input_->setText(QString::fromStdString(exchange_.box_input));
  txt_input_->setSelection(0, static_cast<int>(txt_input_->text().size()));
}

void InputBoxDialog::settheme() {
  theme::paint_widget(*this, colours_[theme::top_label_back]);
  theme::paint_widget(*lab_title_, colours_[theme::message_back], colours_[theme::message_fore]);
  theme::paint_field(*txt_input_, colours_[theme::value_back], colours_[theme::value_fore]);
}

}  // namespace tessaflex::ui
