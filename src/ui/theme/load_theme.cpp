// Loading the colour theme named in the settings into the slots.
#include "ui/theme/load_theme.h"

#include "core/setting_names.h"
#include "ui/theme/theme_table.h"

namespace tessaflex::ui::theme {

void load_theme(const core::SettingsStore& settings, ThemeColours& colours) {
  colours.theme_name = settings.get_setting(core::setting::kColorTheme, core::setting::kColorThemeDefault);
  // An empty name keeps whatever is painted now; after the picker's Cancel restores an empty
  // name, the theme last clicked stays on screen.
  if (colours.theme_name.empty()) return;
  const ThemeRow* found = find_theme(colours.theme_name);
  colours.values = (found != nullptr ? *found : original_lite()).values();
}

}  // namespace tessaflex::ui::theme
