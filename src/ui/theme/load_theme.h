// Loading the colour theme named in the settings into the slots.
#pragma once

#include <string_view>

#include "core/settings_store.h"
#include "ui/theme/theme_colours.h"

namespace tessaflex::ui::theme {

// Sets colours.theme_name to the "Color Theme" setting exactly as stored (writing
// "Original Lite" there first when it is missing) and fills all fifteen slots from the
// theme of that name. A name no theme has, in any other case or spacing included, gives
// "Original Lite"'s colours while theme_name keeps the stored text; the empty name changes
// no slot. Never fails: a store that cannot be read yields the default.
void load_theme(const core::SettingsStore& settings, ThemeColours& colours);

}  // namespace tessaflex::ui::theme
