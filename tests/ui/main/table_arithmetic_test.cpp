// What the main window computes without a widget: table text, scroll and wheel steps, typed values, replies.
#include "ui/main/table_arithmetic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "ui/main/options_texts.h"

namespace tessaflex::ui {
namespace {

TEST(TableText, EightLinesOfAddressAndBytesNeverPastTheImage) {
  const std::string flash = table_text(kFlashLayout, std::vector<std::uint8_t>(32768, 0xFF), 2040);
  EXPECT_EQ(flash.size(), 454u);
  EXPECT_TRUE(flash.starts_with("007F80: FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF\r\n")) << flash;
  std::vector<std::uint8_t> image(70);
  std::iota(image.begin(), image.end(), std::uint8_t{0});
  EXPECT_EQ(table_text(kFlashLayout, image, -1), "");
  // The line that would run past the image is left out, with the lines after it.
  const std::string eeprom = table_text(kEepromLayout, image, 1);
  EXPECT_TRUE(eeprom.ends_with("\r\n0038: 38 39 3A 3B 3C 3D 3E 3F")) << eeprom;
}

TEST(ScrollArithmetic, MaximumWheelAndNotches) {
  for (const auto& [size, per_line, maximum] :
       {std::array{32768, 16, 2040}, {256, 8, 24}, {0, 8, 0}, {600000, 16, 32767}})
    EXPECT_EQ(scroll_maximum(size, per_line), maximum) << size << '/' << per_line;
  // The maximum is applied first: a maximum below the minimum gives the minimum.
  // clang-format off
  for (const auto& [value, rotation, maximum, expected] :
       {std::array{0, 120, 2040, 0}, {0, -120, 2040, 3}, {2039, -120, 2040, 2040}, {10, 0, 2040, 7},
        {5, -120, -3, 0}}) {
    // clang-format on
    EXPECT_EQ(wheel_value(value, rotation, 0, maximum), expected) << value << ' ' << rotation;
  }
  // A turn back drops the part of a notch collected so far.
  WheelAccumulator wheel;
  for (const auto& [delta, notches] : {std::pair{-240, -2}, {105, 0}, {15, 1}, {60, 0}, {-60, 0}, {-60, -1}})
    EXPECT_EQ(wheel.add(delta), notches) << delta;
}

TEST(OptionsTexts, ProgrammingTimeReplies) {
  using enum ProgTimeReply::Outcome;
  // clang-format off
  for (const auto& [reply, outcome, ms] :
       {std::tuple{"12ms", accepted, 12}, {"&H1E", accepted, 30}, {"1", accepted, 1}, {"1.5", accepted, 2},
        {"2.5", accepted, 2}, {"0.5", wrong, 0}, {"30.4", wrong, 0}, {"abc", wrong, 0}, {"", unchanged, 0}}) {
    // clang-format on
    const ProgTimeReply read = read_programming_time(reply);
    EXPECT_EQ(std::pair(read.outcome, outcome == accepted ? read.milliseconds : 0), std::pair(outcome, ms))
        << reply;
  }
}

TEST(TableCell, TheByteUnderThePointerAndTheTypedValue) {
  const auto& f = kFlashLayout;
  const auto none = std::optional<std::int32_t>();
  // clang-format off
  for (const auto& [table, x, y, first, size, address] :
       {std::tuple<const TableLayout&, double, double, int, int, std::optional<std::int32_t>>{
            f, 1000, 200, 2, 4096, 48}, {f, 959, 0, 0, 4096, none}, {f, 960, 0, 0, 4096, 0},
        {f, 960 + 16 * 360, 0, 0, 4096, none}, {f, 960 + 16 * 360 - 1, 7 * 195, 0, 4096, 127},
        {f, 1000, 8 * 195, 0, 4096, none}, {f, 1000, -1, 0, 4096, none},
        {kEepromLayout, 720 + 3 * 360 + 10, 0, 0, 4, 3}, {kEepromLayout, 720 + 4 * 360, 0, 0, 4, none}}) {
    // clang-format on
    const auto cell = cell_under_pointer(table, x, y, first, size);
    EXPECT_EQ(cell ? std::optional(cell->address) : std::nullopt, address) << x << ',' << y;
  }
  for (const auto& [text, value] : std::initializer_list<std::pair<const char*, std::optional<std::uint8_t>>>{
           {"ff", 255}, {"100FF", 255}, {"5", 5}, {"", none}, {"G1", none}, {" 5", none}, {"1FF", none}})
    EXPECT_EQ(typed_byte(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace tessaflex::ui
