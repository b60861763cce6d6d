// Where the model picker puts its entries and buttons, in twips of the client area.
#include "ui/dialogs/picker_layout.h"

#include <algorithm>

namespace tessaflex::ui {
namespace {

constexpr int kDesignButtonsTop = 8640;
constexpr int kDesignClientHeight = 9075;

}  // namespace

int picker_shown_count(std::int32_t model_count) {
  return static_cast<int>(std::clamp<std::int32_t>(model_count, 0, kPickerEntries));
}

TwipsRect picker_entry(int index) {
  const int row = (index + 1) / 2;
  return {index % 2 == 1 ? 120 : 2340, 120 + 240 * (row - 1), 2115, 255};
}

int picker_buttons_top(int shown) {
  // An empty list never reaches the picker; it still gets the one-row layout.
  return picker_entry(std::clamp(shown, 1, kPickerEntries)).top + 360;
}

int picker_client_height(int shown) {
  return picker_buttons_top(shown) + (kDesignClientHeight - kDesignButtonsTop);
}

}  // namespace tessaflex::ui
