// The layout arithmetic of the message box, the input box and the model picker.
#include <gtest/gtest.h>

#include "ui/dialogs/box_layout.h"
#include "ui/dialogs/picker_layout.h"

namespace tessaflex::ui {
namespace {

// Heights in twips; 1.5 times 105 and 525 end in a half, which goes to the even neighbour.
struct BoxCase {
  const char* name;
  int text_height;
  float scale;
  int label_height, field_top, buttons_top, client_height;  // field_top: input box only
};

class MessageBoxLayout : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxLayout, FitsTheText) {
  const BoxCase& c = GetParam();
  for (const bool question : {false, true}) {
    const auto layout = message_box_layout(c.text_height, question, c.scale);
    EXPECT_EQ(layout.text, (TwipsRect{900, 120, 5655, c.label_height}));
    EXPECT_EQ(layout.command1, (TwipsRect{question ? 4800 : 5700, c.buttons_top, 855, 315}));
    EXPECT_EQ(layout.command2, (TwipsRect{question ? 5700 : 4800, c.buttons_top, 855, 315}));
    EXPECT_EQ(layout.client_height, c.client_height);
    EXPECT_EQ(layout.client_width, 6615);
  }
}

INSTANTIATE_TEST_SUITE_P(Heights, MessageBoxLayout,
                         ::testing::Values(BoxCase{"AsDesigned", 255, 1.0f, 315, 0, 540, 915},
                                           BoxCase{"TwoLines", 450, 1.0f, 510, 0, 735, 1110},
                                           BoxCase{"ScaledGaps", 225, 1.5f, 315, 0, 593, 968}),
                         [](const auto& row) { return std::string(row.param.name); });

class InputBoxLayout : public ::testing::TestWithParam<BoxCase> {};

TEST_P(InputBoxLayout, FitsThePrompt) {
  const BoxCase& c = GetParam();
  const auto layout = input_box_layout(c.text_height, c.scale);
  EXPECT_EQ(layout.prompt, (TwipsRect{120, 120, 4455, c.label_height}));
  EXPECT_EQ(layout.field, (TwipsRect{180, c.field_top, 4335, 315}));
  EXPECT_EQ(layout.command1, (TwipsRect{3660, c.buttons_top, 855, 315}));
  EXPECT_EQ(layout.command2, (TwipsRect{2760, c.buttons_top, 855, 315}));
  EXPECT_EQ(layout.client_height, c.client_height);
  EXPECT_EQ(layout.client_width, 4695);
}

INSTANTIATE_TEST_SUITE_P(Heights, InputBoxLayout,
                         ::testing::Values(BoxCase{"AsDesigned", 255, 1.0f, 315, 540, 960, 1335},
                                           BoxCase{"ScaledGaps", 225, 1.5f, 315, 593, 1223, 1598}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PickerLayout, EntriesRunAcrossThenDown) {
  EXPECT_EQ(picker_entry(2), (TwipsRect{2340, 120, 2115, 255}));
  EXPECT_EQ(picker_entry(3), (TwipsRect{120, 360, 2115, 255}));
  EXPECT_EQ(picker_entry(70), (TwipsRect{2340, 8280, 2115, 255}));
}

TEST(PickerLayout, FitsTheWindowToTheModels) {
  struct Row {
    std::int32_t model_count;
    int shown, buttons_top, client_height;
  };
  for (const Row& r : {Row{0, 0, 480, 915}, Row{1, 1, 480, 915}, Row{2, 2, 480, 915}, Row{3, 3, 720, 1155},
                       Row{70, 70, 8640, 9075}, Row{71, 70, 8640, 9075}}) {
    const int shown = picker_shown_count(r.model_count);
    EXPECT_EQ(shown, r.shown) << r.model_count;
    EXPECT_EQ(picker_buttons_top(shown), r.buttons_top) << r.model_count;
    EXPECT_EQ(picker_client_height(shown), r.client_height) << r.model_count;
  }
}

}  // namespace
}  // namespace tessaflex::ui
