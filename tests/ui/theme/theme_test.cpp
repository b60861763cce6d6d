// The theme table's rules, and loading the theme the settings name.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "core/setting_names.h"
#include "support/temp_settings.h"
#include "ui/theme/load_theme.h"
#include "ui/theme/theme_table.h"

namespace tessaflex::ui::theme {
namespace {

TEST(ThemeTable, RulesHold) {
  std::set<std::array<Colour, kSlots>> colour_sets;
  for (const ThemeRow& row : theme_table()) {
    SCOPED_TRACE(row.name);
    const bool original = row.name.starts_with("Original ");
    EXPECT_TRUE(colour_sets.insert(row.values()).second) << "same colours as another theme";
    EXPECT_EQ(std::pair(row[top_label_fore], row[model_title_fore]), std::pair(row[highlight_fore], 0));
    EXPECT_TRUE(original || row[top_label_back] == row[highlight_back]);
    // The classics keep every text black.
    for (const Slot fore : {top_label_fore, highlight_fore, model_title_fore, value_fore, memory_title_fore,
                            model_name_fore, message_fore})
      EXPECT_TRUE(!original || row[fore] == 0) << "text slot " << fore + 1;
  }
  const auto berry = find_theme("Blueberry")->values(), cream = find_theme("Blueberry And Cream")->values();
  EXPECT_TRUE(std::equal(berry.begin() + model_title_fore, berry.end(), cream.begin() + model_title_fore));
}

// A name no theme has (case and blanks count) loads the default's colours; the empty name none.
TEST(LoadTheme, EachNameGivesTheRightColoursAndKeepsItsText) {
  const std::string lite = "Original Lite";
  // stored (nullopt: none), the theme on screen before, the name kept, the colours after (nullopt: as before)
  std::vector<std::tuple<std::optional<std::string>, const char*, std::string, std::optional<std::string>>>
      cases = {{std::nullopt, nullptr, lite, lite},
               {"original dark", "Amethyst", "original dark", lite},
               {"Amethyst ", nullptr, "Amethyst ", lite},
               {"", nullptr, "", std::nullopt}};
  for (const ThemeRow& row : theme_table())
    cases.emplace_back(std::string(row.name), nullptr, row.name, row.name);
  for (const auto& [stored, before, kept, loaded] : cases) {
    test::TempSettings settings;
    ThemeColours colours;
    colours.values.fill(rgb(1, 2, 3));  // in no theme: shows a slot a load left alone
    if (before != nullptr) colours.values = find_theme(before)->values();
    const ThemeColours was = colours;
    if (stored) settings.store().save_setting(core::setting::kColorTheme, *stored);
    load_theme(settings.store(), colours);
    EXPECT_EQ(
        std::pair(colours.theme_name, settings.store().get_setting(core::setting::kColorTheme, "(none)")),
        std::pair(kept, kept));
    EXPECT_EQ(colours.values, loaded ? find_theme(*loaded)->values() : was.values) << kept;
  }
}

}  // namespace
}  // namespace tessaflex::ui::theme
