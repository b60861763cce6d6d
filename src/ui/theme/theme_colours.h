// The current colour theme: its name and the fifteen colour slots every window paints from.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tessaflex::ui::theme {

// The slots in their order; each names what it colours. kSlots ends the list: it is no
// slot but their number, so a slot added above it counts everywhere.
enum Slot : std::size_t {
  window_back,
  top_label_back,
  top_label_fore,
  highlight_back,
  highlight_fore,
  model_title_back,
  model_title_fore,
  value_back,
  value_fore,
  memory_title_back,
  memory_title_fore,
  model_name_back,
  model_name_fore,
  message_back,
  message_fore,
  kSlots
};

// A colour as R + 256 * G + 65536 * B, each 0..255.
using Colour = std::int32_t;
constexpr Colour rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// Owned by the UI layer and handed by reference to every window; only load_theme
// writes it. Every slot is black until the first theme is loaded.
// (The array is not called "slots": Qt defines that word as a macro.)
struct ThemeColours {
  std::string theme_name;
  std::array<Colour, kSlots> values{};
  Colour operator[](Slot slot) const { return values[slot]; }
};

}  // namespace tessaflex::ui::theme
