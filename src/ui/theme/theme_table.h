// The built-in colour themes as plain data: a name and one colour per slot for each theme.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ui/theme/theme_colours.h"

namespace tessaflex::ui::theme {

// One colour of a theme row. It has no default on purpose: a row that lists fewer colours than
// there are slots would leave the rest to the default and paint them black, so it does not compile.
struct Rgb {
  constexpr Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) : r(red), g(green), b(blue) {}
  std::uint8_t r, g, b;
};

struct ThemeRow {
  std::string_view name;
  std::array<Rgb, kSlots> colours;  // in slot order, window_back first

  // The colour of slot in the encoding the slots hold.
  constexpr Colour operator[](Slot slot) const {
    const Rgb c = colours[slot];
    return rgb(c.r, c.g, c.b);
  }

  // One colour per slot, ready for ThemeColours::values.
  constexpr std::array<Colour, kSlots> values() const {
    std::array<Colour, kSlots> out{};
    for (std::size_t slot = 0; slot < kSlots; ++slot) out[slot] = (*this)[static_cast<Slot>(slot)];
    return out;
  }
};

inline constexpr std::size_t kThemeCount = 46;

// Every theme in the order names are matched; "Original Dark" and "Original Lite" end it.
// The names are distinct, so the order decides nothing but the listing.
const std::array<ThemeRow, kThemeCount>& theme_table();

// The row whose name equals name over the whole text, case-sensitive; nullptr when none does.
const ThemeRow* find_theme(std::string_view name);

// "Original Lite": the theme unknown names fall back to and the colours windows are created in.
const ThemeRow& original_lite();

}  // namespace tessaflex::ui::theme
