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

TEST(TableText, EightLinesOfAddressAndBytes) {
  const std::string flash = flash_table_text(std::vector<std::uint8_t>(32768, 0xFF), 2040);
  EXPECT_EQ(flash.size(), 454u);
  const auto rows = lines(flash);
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[0], "007F80: FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF");
  EXPECT_EQ(rows[7].substr(0, 7), "007FF0:");

  const std::string eeprom = eeprom_table_text(counting(256), 1);
  EXPECT_EQ(eeprom.size(), 246u);
  EXPECT_EQ(lines(eeprom)[0], "0008: 08 09 0A 0B 0C 0D 0E 0F");
  EXPECT_EQ(lines(eeprom)[7], "0040: 40 41 42 43 44 45 46 47");
}

TEST(TableText, NeverReadsPastTheImage) {
  EXPECT_EQ(eeprom_table_text({}, 0), "");
  EXPECT_EQ(flash_table_text(counting(128), -1), "");
  // A first line left over from a larger image draws what exists and stops there.
  EXPECT_EQ(lines(flash_table_text(counting(128), 5)).size(), 3u);
  EXPECT_EQ(flash_table_text(counting(128), 8), "");
  EXPECT_EQ(lines(eeprom_table_text(counting(70), 0)).size(), 8u);
  EXPECT_EQ(lines(eeprom_table_text(counting(70), 1)).size(), 7u);
}

TEST(TableText, SizesLine) {
  EXPECT_EQ(sizes_text(32768, 256), "FLASH: 32768,  EEPROM: 256");
  EXPECT_EQ(sizes_text(4096, 0), "FLASH: 4096,  EEPROM: 0");
}

TEST(ScrollArithmetic, MaximumEndsAtTheLastLine) {
  struct Case {
    std::int32_t size, per_line, maximum;
  };
  for (const Case& c : {Case{32768, 16, 2040}, Case{256, 8, 24}, Case{65536, 16, 4088}, Case{1024, 8, 120},
                        Case{0, 8, 0}, Case{128, 16, 0}, Case{524400, 16, 32767}, Case{600000, 16, 32767}}) {
    EXPECT_EQ(scroll_maximum(c.size, c.per_line), c.maximum) << c.size << '/' << c.per_line;
  }
}

TEST(ScrollArithmetic, WheelMovesThreeLinesWithinTheRange) {
  struct Case {
    std::int32_t value, rotation, maximum, expected;
  };
  for (const Case& c : {Case{0, 120, 2040, 0}, Case{0, -120, 2040, 3}, Case{2039, -120, 2040, 2040},
                        Case{10, 0, 2040, 7}, Case{1, 120, 2040, 0}, Case{0, -120, 0, 0},
                        // The maximum is applied first: a maximum below the minimum gives the minimum.
                        Case{5, -120, -3, 0}}) {
    EXPECT_EQ(wheel_value(c.value, c.rotation, 0, c.maximum), c.expected) << c.value << ' ' << c.rotation;
  }
}

TEST(ScrollArithmetic, SmallWheelStepsAddUpToWholeNotches) {
  WheelAccumulator wheel;
  EXPECT_EQ(wheel.add(120), 1);
  EXPECT_EQ(wheel.add(-240), -2);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(wheel.add(15), 0) << i;
  EXPECT_EQ(wheel.add(15), 1);
  EXPECT_EQ(wheel.add(60), 0);
  EXPECT_EQ(wheel.add(-60), 0) << "a turn back drops the half notch collected";
  EXPECT_EQ(wheel.add(-60), -1);
}

TEST(OptionsTexts, ProgrammingTimeReplies) {
  using Outcome = ProgTimeReply::Outcome;
  struct Case {
    const char* reply;
    Outcome outcome;
    std::int32_t ms;
  };
  for (const Case& c :
       {Case{"12", Outcome::accepted, 12}, Case{"12ms", Outcome::accepted, 12},
        Case{"&H1E", Outcome::accepted, 30}, Case{"1", Outcome::accepted, 1},
        Case{"1.5", Outcome::accepted, 2}, Case{"2.5", Outcome::accepted, 2},
        Case{"29.5", Outcome::accepted, 30}, Case{"0.5", Outcome::wrong, 0}, Case{"30.4", Outcome::wrong, 0},
        Case{"31", Outcome::wrong, 0}, Case{"abc", Outcome::wrong, 0}, Case{"", Outcome::unchanged, 0}}) {
    const ProgTimeReply read = read_programming_time(c.reply);
    EXPECT_EQ(read.outcome, c.outcome) << c.reply;
    if (c.outcome == Outcome::accepted) {
      EXPECT_EQ(read.milliseconds, c.ms) << c.reply;
    }
  }
}

TEST(OptionsTexts, AboutHasEightLinesEachEndedByALineEnd) {
  const std::string text = about_text("Tessaflex");
  const auto rows = lines(text);
  ASSERT_EQ(rows.size(), 9u) << "eight lines, then the empty rest after the last line end";
  EXPECT_EQ(rows[0], "Tessaflex");
  EXPECT_EQ(rows[2], "");
  EXPECT_EQ(rows[3],
            "This software is supplied as is in goodwill that it will successfully serve its purpose, but "
            "without any warranties.");
  EXPECT_EQ(rows[5], "");
  EXPECT_EQ(rows[6], "Send bug reports and suggestions to:");
  EXPECT_EQ(rows[8], "");
  for (int line : {1, 4, 7}) EXPECT_FALSE(rows[static_cast<std::size_t>(line)].empty()) << line;
}

TEST(TableCell, TheByteUnderThePointer) {
  struct Case {
    const TableGeometry& table;
    double x, y;
    std::int32_t first, size;
    std::optional<std::int32_t> address;
  };
  for (const Case& c : {
           Case{kFlashGeometry, 1000, 200, 2, 4096, 48},
           Case{kFlashGeometry, 959, 0, 0, 4096, std::nullopt},
           Case{kFlashGeometry, 960, 0, 0, 4096, 0},
           Case{kFlashGeometry, 960 + 16 * 360, 0, 0, 4096, std::nullopt},
           Case{kFlashGeometry, 960 + 16 * 360 - 1, 7 * 195, 0, 4096, 127},
           Case{kFlashGeometry, 1000, 8 * 195, 0, 4096, std::nullopt},
           Case{kFlashGeometry, 1000, -1, 0, 4096, std::nullopt},
           Case{kFlashGeometry, 1000, 195, 255, 4096, std::nullopt},  // past the image's end
           Case{kEepromGeometry, 720 + 7 * 360 + 10, 0, 0, 256, 7},
           Case{kEepromGeometry, 720 + 7 * 360 + 10, 0, 0, 4, std::nullopt},
           Case{kEepromGeometry, 720, 0, 0, 0, std::nullopt},
       }) {
    const auto cell = cell_under_pointer(c.table, c.x, c.y, c.first, c.size);
    EXPECT_EQ(cell ? std::optional(cell->address) : std::nullopt, c.address) << c.x << ',' << c.y;
  }
  const auto cell = cell_under_pointer(kFlashGeometry, 1000, 200, 2, 4096);
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->row, 1);
  EXPECT_EQ(cell->column, 0);
}

TEST(TableCell, TypedByte) {
  for (const auto& [text, value] :
       std::initializer_list<std::pair<const char*, std::optional<int>>>{{"ff", 255},
                                                                         {"000A", 10},
                                                                         {"100FF", 255},
                                                                         {"3c", 60},
                                                                         {"5", 5},
                                                                         {"", std::nullopt},
                                                                         {"G1", std::nullopt},
                                                                         {" 5", std::nullopt},
                                                                         {"1FF", std::nullopt},
                                                                         {"100", std::nullopt}}) {
    const auto typed = typed_byte(text);
    EXPECT_EQ(typed ? std::optional<int>(*typed) : std::nullopt, value) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace tessaflex::ui
