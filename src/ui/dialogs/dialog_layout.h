// The layout arithmetic of the dialogs (message box, input box, model picker), in twips of
// the client area.
#pragma once

#include <cstdint>

#include "ui/twips.h"

namespace tessaflex::ui {

// The message box as designed.
namespace message_box_design {
inline constexpr int kClientWidth = 6615;
inline constexpr int kClientHeight = 915;
inline constexpr TwipsRect kIcon{60, 60, 720, 720};
inline constexpr TwipsRect kText{900, 120, 5655, 315};
inline constexpr TwipsRect kCommand1{5700, 540, 855, 315};
inline constexpr TwipsRect kCommand2{4800, 540, 855, 315};
}  // namespace message_box_design

// The input box as designed.
namespace input_box_design {
inline constexpr int kClientWidth = 4695;
inline constexpr int kClientHeight = 1335;
inline constexpr TwipsRect kPrompt{120, 120, 4455, 315};
inline constexpr TwipsRect kField{180, 540, 4335, 315};
inline constexpr TwipsRect kCommand1{3660, 960, 855, 315};
inline constexpr TwipsRect kCommand2{2760, 960, 855, 315};
}  // namespace input_box_design

// A design distance (60, 105 or 525 twips) times the dialogs' scale, in whole twips.
int scaled_twips(int twips, float dialog_scale);

struct MessageBoxLayout {
  TwipsRect text;      // the label and the text field over it
  TwipsRect command1;  // "OK", or "Yes" in the question box
  TwipsRect command2;  // "No", shown only in the question box
  int client_width = 0;
  int client_height = 0;
};

// The message box fitted to its text, whose wrapped lines measure text_height twips at
// the label's design width. The width stays as designed, so the buttons keep their
// distances from the right edge; the question box has "Yes" where "No" would stand
// and "No" where "OK" stands in the other kinds.
MessageBoxLayout message_box_layout(int text_height, bool question, float dialog_scale);

struct InputBoxLayout {
  TwipsRect prompt;
  TwipsRect field;
  TwipsRect command1;  // "OK"
  TwipsRect command2;  // "Cancel"
  int client_width = 0;
  int client_height = 0;
};

// The input box fitted to its prompt, whose wrapped lines measure prompt_height twips at
// the label's design width. Only tops and the height change.
InputBoxLayout input_box_layout(int prompt_height, float dialog_scale);

// The model picker.
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
