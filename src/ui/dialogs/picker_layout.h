// Where the model picker puts its entries and buttons, in twips of the client area.
#pragma once

#include <cstdint>

#include "ui/twips.h"

namespace tessaflex::ui {

// The picker has this many entries; a longer device list shows its first ones.
inline constexpr int kPickerEntries = 70;
inline constexpr int kPickerClientWidth = 4575;

// How many entries a device list of model_count models fills: 0..kPickerEntries.
int picker_shown_count(std::int32_t model_count);

// Entry index (1..kPickerEntries): two columns numbered across, then down.
TwipsRect picker_entry(int index);

// The top of both buttons and the client height for shown entries (1..kPickerEntries):
// the buttons stand 360 twips below the top of the last used row, and the window keeps
// its designed depth below them.
int picker_buttons_top(int shown);
int picker_client_height(int shown);

}  // namespace tessaflex::ui
