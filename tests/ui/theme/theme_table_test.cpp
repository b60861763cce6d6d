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

TEST(ThemeTable, RulesHoldAndEveryTextOfOurThemesIsReadable) {
  ASSERT_NEAR(contrast(rgb(119, 119, 119), rgb(255, 255, 255)), 4.48, 0.01);  // the formula itself
  // clang-format off
  const Slot texts[][2] = {{top_label_back, top_label_fore}, {highlight_back, highlight_fore},
                           {model_title_back, model_title_fore}, {value_back, value_fore},
                           {memory_title_back, memory_title_fore}, {model_name_back, model_name_fore},
                           {message_back, message_fore}};
  // clang-format on
  std::set<std::array<Colour, kSlots>> colour_sets;
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
    // The classics are kept exactly as they have always looked, whatever their contrast.
    if (is_original(row.name) || row.name == "Amethyst" || row.name == "Mono Dark") continue;
    for (const auto& pair : texts) {
      EXPECT_GE(contrast(row[pair[0]], row[pair[1]]), 4.5)
          << "text slot " << pair[1] + 1 << " on " << pair[0] + 1;
    }
  }

  const ThemeRow* berry = find_theme("Blueberry");
  const ThemeRow* cream = find_theme("Blueberry And Cream");
  ASSERT_TRUE(berry && cream);
  for (std::size_t slot = model_title_fore; slot < kSlots; ++slot) {
    EXPECT_EQ((*berry)[Slot(slot)], (*cream)[Slot(slot)]) << "slot " << slot + 1;
  }
}

}  // namespace
}  // namespace tessaflex::ui::theme
