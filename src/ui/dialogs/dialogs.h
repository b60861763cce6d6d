// The program's message box, input box, model picker and theme picker, shown through one modal seam.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/host.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "devices/current_device.h"
#include "devices/device_list.h"
#include "ui/dialogs/dialog_exchange.h"
#include "ui/dialogs/modal_runner.h"
#include "ui/theme/theme_colours.h"

class QWidget;

namespace tessaflex::ui {

// Owns the dialog exchange block. Every dialog is built afresh for each call, in the
// theme current at that moment, shown through the runner, and gone when the call
// returns. The runner, the paths and the colours must outlive this object.
class Dialogs {
 public:
  Dialogs(ModalRunner& runner, const core::ProgramPaths& paths, const theme::ThemeColours& colours);

  // Shows text with the icon and buttons of kind (any value; kinds other than plain,
  // question, error and information show no icon and "OK") under caption, or the
  // program title when caption is empty, and returns the answer: ok, or yes / no for a
  // question (the keys N and Y or Z answer no and ok/yes in every kind). A box closed
  // by any other means answers no for a question and ok otherwise.
  core::BoxAnswer message_box(QWidget* parent, std::string_view text, core::BoxKind kind,
                              std::string_view caption);

  // Asks for one line of text under prompt, offering default_text wholly selected, and
  // returns the text after "OK", or "" after "Cancel" or any other close.
  std::string input_box(QWidget* parent, std::string_view prompt, std::string_view caption,
                        std::string_view default_text);

  // Lets the user choose device.model_index among list's models (the first 70 of a
  // longer list). When "Select" closes it with a changed index, the index is stored as
  // the setting "Microcontroller Model" and applied to device; "Cancel" or any other
  // close puts the index back as it was.
  void model_picker(QWidget* parent, const devices::DeviceList& list, devices::CurrentDevice& device,
                    const core::SettingsStore& settings);

  // Shows the theme picker and returns when it has closed; by then the theme kept (the
  // last one clicked on Select, the one current at opening on Cancel) is saved, loaded
  // into colours and painted on the main window through repaint_main.
  void theme_picker(QWidget* parent, const core::SettingsStore& settings, theme::ThemeColours& colours,
                    std::function<void()> repaint_main);

 private:
  std::string caption_or_title(std::string_view caption) const;

  ModalRunner& runner_;
  const core::ProgramPaths& paths_;
  const theme::ThemeColours& colours_;
  DialogExchange exchange_;
};

}  // namespace tessaflex::ui
