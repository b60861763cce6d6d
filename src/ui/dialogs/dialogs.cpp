// The program's message box, input box and model picker, shown through one modal seam.
#include "ui/dialogs/dialogs.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/dialogs/input_box_dialog.h"
#include "ui/dialogs/message_box_dialog.h"
#include "ui/dialogs/model_picker_dialog.h"
#include "ui/dialogs/theme_picker.h"
#include "ui/window_placement.h"

namespace tessaflex::ui {
namespace {

// A box stands in the middle of its parent's screen, or of the main screen before any window.
const QScreen* screen_of(QWidget* parent) {
  return parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
}

}  // namespace

Dialogs::Dialogs(ModalRunner& runner, const core::ProgramPaths& paths, const theme::ThemeColours& colours)
    : runner_(runner), paths_(paths), colours_(colours) {}

std::string Dialogs::caption_or_title(std::string_view caption) const {
  return caption.empty() ? paths_.program_title : std::string(caption);
}

core::BoxAnswer Dialogs::message_box(QWidget* parent, std::string_view text, core::BoxKind kind,
                                     std::string_view caption) {
  MessageBoxDialog box(exchange_, paths_.dialog_scale, colours_, parent);
  exchange_.box_text = text;
  exchange_.box_kind = kind;
  box.setWindowTitle(QString::fromStdString(caption_or_title(caption)));
  box.prepare_display();
  centre_on_screen(box, screen_of(parent));
  // A box the window system closed never returns an earlier box's answer; a question
  // closed that way keeps things as they are.
  if (runner_.run(box) != QDialog::Accepted) {
    exchange_.box_result = kind == core::BoxKind::question ? core::BoxAnswer::no : core::BoxAnswer::ok;
  }
  return exchange_.box_result;
}

std::string Dialogs::input_box(QWidget* parent, std::string_view prompt, std::string_view caption,
                               std::string_view default_text) {
  InputBoxDialog box(exchange_, paths_.dialog_scale, colours_, parent);
  exchange_.box_text = prompt;
  exchange_.box_input = default_text;
  box.setWindowTitle(QString::fromStdString(caption_or_title(caption)));
  box.prepare_display();
  centre_on_screen(box, screen_of(parent));
  if (runner_.run(box) != QDialog::Accepted) exchange_.box_input.clear();
  return exchange_.box_input;
}

void Dialogs::model_picker(QWidget* parent, const devices::DeviceList& list, devices::CurrentDevice& device,
                           const core::SettingsStore& settings) {
  ModelPickerDialog picker(list, device, settings, colours_, parent);
  if (runner_.run(picker) != QDialog::Accepted) device.model_index = picker.opened_model_index();
}

void Dialogs::theme_picker(QWidget* parent, const core::SettingsStore& settings, theme::ThemeColours& colours,
                           std::function<void()> repaint_main) {
  ThemePicker picker(parent, settings, colours, std::move(repaint_main));
  runner_.run(picker);
}

}  // namespace tessaflex::ui
