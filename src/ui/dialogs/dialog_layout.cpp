// The layout arithmetic of the dialogs, in twips of the client area.
#include "ui/dialogs/dialog_layout.h"

#include <algorithm>
#include <utility>

#include "core/decimal.h"

namespace tessaflex::ui {

int scaled_twips(int twips, float dialog_scale) {
  return static_cast<int>(core::round_half_even(static_cast<double>(twips) * dialog_scale));
}

MessageBoxLayout message_box_layout(int text_height, bool question, float dialog_scale) {
  namespace d = message_box_design;
  // What lies below the buttons' top and right of their right edge stays as designed.
  constexpr int kBottomGap = d::kClientHeight - d::kCommand1.top;
  constexpr int kRightMargin = d::kClientWidth - d::kCommand1.left - d::kCommand1.width;
  constexpr int kOkOffset = d::kClientWidth - d::kCommand1.left;
  constexpr int kNoOffset = d::kClientWidth - d::kCommand2.left;

  MessageBoxLayout out;
  out.text = d::kText;
  out.text.height = text_height + scaled_twips(60, dialog_scale);
  const int buttons_top = out.text.top + out.text.height + scaled_twips(105, dialog_scale);
  out.client_height = buttons_top + kBottomGap;
  out.client_width = out.text.left + out.text.width + kRightMargin;
  out.command1 = {out.client_width - kOkOffset, buttons_top, d::kCommand1.width, d::kCommand1.height};
  out.command2 = {out.client_width - kNoOffset, buttons_top, d::kCommand2.width, d::kCommand2.height};
  if (question) std::swap(out.command1.left, out.command2.left);
  return out;
}

InputBoxLayout input_box_layout(int prompt_height, float dialog_scale) {
  namespace d = input_box_design;
  constexpr int kBottomGap = d::kClientHeight - d::kCommand1.top;

  InputBoxLayout out;
  out.prompt = d::kPrompt;
  out.prompt.height = prompt_height + scaled_twips(60, dialog_scale);
  const int below_prompt = out.prompt.top + out.prompt.height;
  out.field = d::kField;
  out.field.top = below_prompt + scaled_twips(105, dialog_scale);
  out.command1 = d::kCommand1;
  out.command2 = d::kCommand2;
  out.command1.top = out.command2.top = below_prompt + scaled_twips(525, dialog_scale);
  out.client_width = d::kClientWidth;
  out.client_height = out.command1.top + kBottomGap;
  return out;
}

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
