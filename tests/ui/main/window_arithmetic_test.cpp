// What the main window computes without a widget: table text, sizes, scroll and wheel steps,
// the programming-time reply and the About text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/main/options_texts.h"
#include "ui/main/scroll_arithmetic.h"
#include "ui/main/table_cell.h"
#include "ui/main/table_text.h"

namespace tessaflex::ui {
namespace {

std::vector<std::uint8_t> counting(std::size_t size) {
  std::vector<std::uint8_t> image(size);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<std::uint8_t>(i);
  return image;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find("\r\n", start), text.size());
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

TEST(TableText, EightLinesOfAddressAndBytesNeverPastTheImage) {
  const std::string flash = flash_table_text(std::vector<std::uint8_t>(32768, 0xFF), 2040);
  EXPECT_EQ(flash.size(), 454u);
  EXPECT_EQ(lines(flash)[0], "007F80: FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF");
  const std::string eeprom = eeprom_table_text(counting(256), 1);
  EXPECT_EQ(eeprom.size(), 246u);
  EXPECT_EQ(lines(eeprom)[7], "0040: 40 41 42 43 44 45 46 47");

  EXPECT_EQ(eeprom_table_text({}, 0), "");
  EXPECT_EQ(flash_table_text(counting(128), -1), "");
  // A first line left over from a larger image draws what exists and stops there.
  EXPECT_EQ(lines(flash_table_text(counting(128), 5)).size(), 3u);
  EXPECT_EQ(flash_table_text(counting(128), 8), "");
  EXPECT_EQ(lines(eeprom_table_text(counting(70), 1)).size(), 7u);
  EXPECT_EQ(sizes_text(4096, 0), "FLASH: 4096,  EEPROM: 0");
}

TEST(ScrollArithmetic, MaximumEndsAtTheLastLine) {
  for (const auto& [size, per_line, maximum] :
       {std::array{32768, 16, 2040}, {256, 8, 24}, {128, 16, 0}, {524400, 16, 32767}, {600000, 16, 32767}}) {
    EXPECT_EQ(scroll_maximum(size, per_line), maximum) << size << '/' << per_line;
  }
}

TEST(ScrollArithmetic, WheelMovesThreeLinesWithinTheRange) {
  // The maximum is applied first: a maximum below the minimum gives the minimum.
  // clang-format off
  for (const auto& [value, rotation, maximum, expected] :
       {std::array{0, 120, 2040, 0}, {0, -120, 2040, 3}, {2039, -120, 2040, 2040}, {10, 0, 2040, 7},
        {5, -120, -3, 0}}) {
    // clang-format on
    EXPECT_EQ(wheel_value(value, rotation, 0, maximum), expected) << value << ' ' << rotation;
  }
  WheelAccumulator wheel;
  EXPECT_EQ(wheel.add(-240), -2);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(wheel.add(15), 0) << i;
  EXPECT_EQ(wheel.add(15), 1);
  EXPECT_EQ(wheel.add(60), 0);
  EXPECT_EQ(wheel.add(-60), 0) << "a turn back drops the half notch collected";
  EXPECT_EQ(wheel.add(-60), -1);
}

TEST(OptionsTexts, ProgrammingTimeRepliesAndAbout) {
  using enum ProgTimeReply::Outcome;
  // clang-format off
  for (const auto& [reply, outcome, ms] :
       {std::tuple{"12ms", accepted, 12}, {"&H1E", accepted, 30}, {"1", accepted, 1}, {"1.5", accepted, 2},
        {"2.5", accepted, 2}, {"29.5", accepted, 30}, {"0.5", wrong, 0}, {"30.4", wrong, 0},
        {"abc", wrong, 0}, {"", unchanged, 0}}) {
    // clang-format on
    const ProgTimeReply read = read_programming_time(reply);
    EXPECT_EQ(read.outcome, outcome) << reply;
    EXPECT_EQ(outcome == accepted ? read.milliseconds : 0, ms) << reply;
  }
  const auto rows = lines(about_text("Tessaflex"));
  ASSERT_EQ(rows.size(), 9u) << "eight lines, then the empty rest after the last line end";
  EXPECT_EQ(rows[0], "Tessaflex");
  EXPECT_EQ(rows[6], "Send bug reports and suggestions to:");
  for (int line : {2, 5, 8}) EXPECT_EQ(rows[static_cast<std::size_t>(line)], "") << line;
}

TEST(TableCell, TheByteUnderThePointer) {
  const auto& f = kFlashGeometry;
  const auto& e = kEepromGeometry;
  const auto none = std::optional<std::int32_t>();
  // clang-format off
  for (const auto& [table, x, y, first, size, address] :
       {std::tuple<const TableGeometry&, double, double, int, int, std::optional<std::int32_t>>{
            f, 1000, 200, 2, 4096, 48}, {f, 959, 0, 0, 4096, none}, {f, 960, 0, 0, 4096, 0},
        {f, 960 + 16 * 360, 0, 0, 4096, none}, {f, 960 + 16 * 360 - 1, 7 * 195, 0, 4096, 127},
        {f, 1000, 8 * 195, 0, 4096, none}, {f, 1000, -1, 0, 4096, none},
        {e, 720 + 3 * 360 + 10, 0, 0, 4, 3},  // the image's last byte
        {e, 720 + 7 * 360 + 10, 0, 0, 4, none}, {e, 720, 0, 0, 0, none}}) {
    // clang-format on
    const auto cell = cell_under_pointer(table, x, y, first, size);
    EXPECT_EQ(cell ? std::optional(cell->address) : std::nullopt, address) << x << ',' << y;
  }
}

TEST(TableCell, TypedByte) {
  const auto none = std::optional<int>();
  // clang-format off
  for (const auto& [text, value] : std::initializer_list<std::pair<const char*, std::optional<int>>>{
           {"ff", 255}, {"000A", 10}, {"100FF", 255}, {"3c", 60}, {"5", 5}, {"", none}, {"G1", none},
           {" 5", none}, {"1FF", none}, {"100", none}}) {
    // clang-format on
    const auto typed = typed_byte(text);
    EXPECT_EQ(typed ? std::optional<int>(*typed) : std::nullopt, value) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace tessaflex::ui
