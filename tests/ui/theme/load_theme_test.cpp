// Loading the theme named in the settings: every name, the empty name, names no theme has.
#include "ui/theme/load_theme.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/temp_settings.h"
#include "ui/theme/theme_table.h"

namespace tessaflex::ui::theme {
namespace {

constexpr Colour kStale = rgb(1, 2, 3);  // in no theme: shows which slots a load left alone

TEST(LoadTheme, EveryNameLoadsItsOwnColours) {
  testing::TempSettings settings;
  ThemeColours colours;
  for (const ThemeRow& row : theme_table()) {
    colours.values.fill(kStale);
    settings.store().save_setting(kThemeSetting, row.name);
    load_theme(settings.store(), colours);
    EXPECT_EQ(colours.theme_name, row.name);
    EXPECT_EQ(colours.values, row.values()) << row.name;
  }
}

// A missing name is written as the default; a name no theme has (case and blanks count) loads
// the default's colours and keeps its text; the empty name leaves the colours as they are
// (black at start-up, else the theme on screen).
TEST(LoadTheme, OddNamesGiveTheRightColoursAndKeepTheText) {
  const std::string lite = "Original Lite";
  // stored (nullopt: no value), a theme on screen before (nullptr: start-up), the name kept,
  // the colours afterwards (nullopt: as before)
  const std::tuple<std::optional<std::string>, const char*, std::string, std::optional<std::string>> cases[] =
      {{std::nullopt, nullptr, lite, lite},
       {"original dark", "Amethyst", "original dark", lite},
       {"Amethyst ", nullptr, "Amethyst ", lite},
       {"", nullptr, "", std::nullopt},
       {"", "Citrus", "", std::nullopt}};
  for (const auto& [stored, before, kept, loaded] : cases) {
    testing::TempSettings settings;
    ThemeColours colours;
    if (before != nullptr) colours.values = find_theme(before)->values();
    const ThemeColours was = colours;
    if (stored) settings.store().save_setting(kThemeSetting, *stored);
    load_theme(settings.store(), colours);
    EXPECT_EQ(colours.theme_name, kept);
    EXPECT_EQ(settings.store().get_setting(kThemeSetting, "(none)"), kept);
    EXPECT_EQ(colours.values, loaded ? find_theme(*loaded)->values() : was.values) << kept;
  }
}

}  // namespace
}  // namespace tessaflex::ui::theme
