// The theme table's rules over every row, and the readability of the themes designed here.
#include "ui/theme/theme_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string_view>

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

bool is_original(std::string_view name) { return name == "Original Lite" || name == "Original Dark"; }
// Kept exactly as they have always looked, whatever their contrast.
bool is_classic(std::string_view name) {
  return is_original(name) || name == "Amethyst" || name == "Mono Dark";
}

TEST(ThemeTable, RulesHoldAndEveryTextOfOurThemesIsReadable) {
  ASSERT_NEAR(contrast(rgb(119, 119, 119), rgb(255, 255, 255)), 4.48, 0.01);  // the formula itself
  const Slot texts[][2] = {{top_label_back, top_label_fore},
                           {highlight_back, highlight_fore},
                           {model_title_back, model_title_fore},
                           {value_back, value_fore},
                           {memory_title_back, memory_title_fore},
                           {model_name_back, model_name_fore},
                           {message_back, message_fore}};
  std::set<std::array<Colour, kSlots>> colour_sets;
  double lowest = 21;
  std::string_view lowest_theme;
  for (const ThemeRow& row : theme_table()) {
    SCOPED_TRACE(row.name);
    EXPECT_TRUE(colour_sets.insert(row.values()).second) << "same colours as another theme";
    EXPECT_EQ(row[top_label_fore], row[highlight_fore]);
    EXPECT_EQ(row[model_title_fore], 0);
    if (is_original(row.name)) {
      for (const auto& pair : texts) EXPECT_EQ(row[pair[1]], 0) << "text slot " << pair[1] + 1;
    } else {
      EXPECT_EQ(row[top_label_back], row[highlight_back]);
    }
    if (is_classic(row.name)) continue;
    for (const auto& pair : texts) {
      const double ratio = contrast(row[pair[0]], row[pair[1]]);
      EXPECT_GE(ratio, 4.5) << "text slot " << pair[1] + 1 << " on slot " << pair[0] + 1;
      if (ratio < lowest) lowest = ratio, lowest_theme = row.name;
    }
  }
  EXPECT_EQ(original_lite().name, "Original Lite");
  EXPECT_EQ(original_lite()[window_back], 13297367);  // 215, 230, 202 as R + 256 G + 65536 B

  const ThemeRow* berry = find_theme("Blueberry");
  const ThemeRow* cream = find_theme("Blueberry And Cream");
  ASSERT_TRUE(berry && cream);
  for (std::size_t slot = model_title_fore; slot < kSlots; ++slot) {
    EXPECT_EQ((*berry)[Slot(slot)], (*cream)[Slot(slot)]) << "slot " << slot + 1;
  }
  std::printf("lowest contrast among our themes: %.2f (%s)\n", lowest, std::string(lowest_theme).c_str());
}

}  // namespace
}  // namespace tessaflex::ui::theme
