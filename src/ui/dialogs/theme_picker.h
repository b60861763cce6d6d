// The theme picker: every colour theme's name in a grid; a click applies that theme at once.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "core/settings_store.h"
#include "ui/theme/theme_colours.h"
#include "ui/theme/theme_table.h"

class QLabel;

namespace tessaflex::ui {

// Form34, "Change Color Theme". Built ready to show: painted in the current theme with the
// current theme's entry highlighted, and the theme at that moment remembered for Cancel.
// Every change is saved in the "Color Theme" setting, loaded into colours and painted on
// the main window through repaint_main.
class ThemePicker final : public QDialog {
  Q_OBJECT

 public:
  ThemePicker(QWidget* parent, const core::SettingsStore& settings, theme::ThemeColours& colours,
              std::function<void()> repaint_main);

  // Paints the picker's own background from the current slots; the entries are painted by
  // the highlight.
  void settheme();

  // Esc, the close box and any other close request act as Cancel.
  void reject() override;

 private:
  void highlight_current_theme();
  void entry_clicked(std::size_t cell);
  // Select and Cancel end alike: hide, let the screen catch up, save and load the theme
  // now named, repaint the main window, close with result.
  void finish(int result);

  const core::SettingsStore& settings_;
  theme::ThemeColours& colours_;
  std::function<void()> repaint_main_;
  std::string opened_theme_name_;
  std::array<QLabel*, theme::kThemeCount> opcija_{};
  bool finishing_ = false;
};

}  // namespace tessaflex::ui
