// The theme table's rules and readability, and loading the theme the settings name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <set>

#include "core/setting_names.h"
#include "support/temp_settings.h"
#include "ui/theme/load_theme.h"
#include "ui/theme/theme_table.h"

namespace tessaflex::ui::theme {
namespace {

// WCAG 2 relative luminance and contrast ratio.
double luminance(Colour c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) + 0.0722 * channel((c >> 16) & 0xFF);
}
double contrast(Colour a, Colour b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(ThemeTable, RulesHoldAndEveryTextOfOurThemesIsReadable) {
  ASSERT_NEAR(contrast(rgb(119, 119, 119), rgb(255, 255, 255)), 4.48, 0.01);  // the formula itself
  // clang-format off
  const Slot texts[][2] = {{top_label_back, top_label_fore}, {highlight_back, highlight_fore},
                           {model_title_back, model_title_fore}, {value_back, value_fore},
                           {memory_title_back, memory_title_fore}, {model_name_back, model_name_fore},
                           {message_back, message_fore}};
  // clang-format on
  std::set<std::array<Colour, kSlots>> colour_sets;
  std::pair<double, std::string_view> lowest{21, ""};
  for (const ThemeRow& row : theme_table()) {
    SCOPED_TRACE(row.name);
    const bool original = row.name.starts_with("Original ");
    EXPECT_TRUE(colour_sets.insert(row.values()).second) << "same colours as another theme";
    EXPECT_EQ(std::pair(row[top_label_fore], row[model_title_fore]), std::pair(row[highlight_fore], 0));
    EXPECT_TRUE(original || row[top_label_back] == row[highlight_back]);
    for (const auto& pair : texts) {
      // The classics are kept exactly as they have always looked, whatever their contrast.
      EXPECT_TRUE(!original || row[pair[1]] == 0) << "text slot " << pair[1] + 1;
      if (!original && row.name != "Amethyst" && row.name != "Mono Dark")
        lowest = std::min(lowest, std::pair(contrast(row[pair[0]], row[pair[1]]), row.name));
    }
  }
  std::printf("lowest contrast among our themes: %.2f (%s)\n", lowest.first,
              std::string(lowest.second).c_str());
  EXPECT_GE(lowest.first, 4.5) << lowest.second;
  const ThemeRow* berry = find_theme("Blueberry");
  const ThemeRow* cream = find_theme("Blueberry And Cream");
  ASSERT_TRUE(berry && cream);
  for (std::size_t slot = model_title_fore; slot < kSlots; ++slot)
    EXPECT_EQ((*berry)[Slot(slot)], (*cream)[Slot(slot)]) << "slot " << slot + 1;
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
    testing::TempSettings settings;
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
