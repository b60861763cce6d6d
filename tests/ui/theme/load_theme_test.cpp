// Loading the theme named in the settings: every name, the empty name, names no theme has.
#include "ui/theme/load_theme.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/temp_settings.h"
#include "ui/theme/theme_table.h"

namespace tessaflex::ui::theme {
namespace {

constexpr Colour kStale = rgb(1, 2, 3);  // in no theme: shows which slots a load left alone

TEST(LoadTheme, EveryNameLoadsItsOwnColours) {
  testing::TempSettings settings;
  ThemeColours colours;
  for (const ThemeRow& row : theme_table()) {
    SCOPED_TRACE(row.name);
    colours.values.fill(kStale);
    settings.store().save_setting(kThemeSetting, row.name);
    load_theme(settings.store(), colours);
    EXPECT_EQ(colours.theme_name, row.name);
    EXPECT_EQ(colours.values, row.values());
  }
}

struct OddName {
  const char* label;
  std::optional<std::string> stored;  // nullopt: no value at all
  const char* loaded_before;          // a theme already on screen, or nullptr for start-up
  std::string expected_setting;
  std::optional<std::string> expected_colours;  // a theme's name; nullopt: the slots as before
};

class LoadThemeOddName : public ::testing::TestWithParam<OddName> {};

TEST_P(LoadThemeOddName, GivesTheRightColoursAndKeepsTheText) {
  const OddName& c = GetParam();
  testing::TempSettings settings;
  ThemeColours colours;
  if (c.loaded_before != nullptr) colours.values = find_theme(c.loaded_before)->values();
  const ThemeColours before = colours;
  if (c.stored) settings.store().save_setting(kThemeSetting, *c.stored);

  load_theme(settings.store(), colours);

  EXPECT_EQ(colours.theme_name, c.expected_setting);
  EXPECT_EQ(settings.store().get_setting(kThemeSetting, "(none)"), c.expected_setting);
  EXPECT_EQ(colours.values, c.expected_colours ? find_theme(*c.expected_colours)->values() : before.values);
}

INSTANTIATE_TEST_SUITE_P(
    Names, LoadThemeOddName,
    ::testing::Values(
        OddName{"missing_is_written_as_the_default", std::nullopt, nullptr, "Original Lite", "Original Lite"},
        OddName{"small_letters_match_nothing", "original dark", "Amethyst", "original dark", "Original Lite"},
        OddName{"trailing_blank_matches_nothing", "Amethyst ", nullptr, "Amethyst ", "Original Lite"},
        OddName{"empty_at_start_up_leaves_black", "", nullptr, "", std::nullopt},
        OddName{"empty_keeps_the_theme_on_screen", "", "Citrus", "", std::nullopt}),
    [](const auto& p) { return std::string(p.param.label); });

}  // namespace
}  // namespace tessaflex::ui::theme
