// Reading the device list into models and algorithms, and an entry into the current device and its images.
#include "devices/device_list.h"

#include <gtest/gtest.h>

#include "devices/current_device.h"
#include "devices/memory_images.h"

namespace tessaflex::devices {
namespace {

// Every field of a model, '|' between them.
std::string fields(const DeviceModel& m) {
  std::string s = m.model + '|' + m.flash + '|' + m.eeprom + '|' + m.configerased + '|' + m.voltageseq + '|' +
                  m.progtime + '|' + m.pagesize;
  for (const std::string& algorithm : m.algorithms) s += '|' + algorithm;
  return s;
}

TEST(DeviceList, EveryRuleOfTheFixture) {
  const DeviceListLoad load = load_device_list(TESSAFLEX_FIXTURES_DIR "/device_lists/every_rule.txt");
  ASSERT_EQ(std::tuple(load.error, load.list.model_count), std::tuple("", 3));
  std::vector<std::string> models;
  for (const DeviceModel& m : load.list.device_list) models.push_back(fields(m));
  // Key lines above the first model go to entry 0; values keep their text, blanks and colons (the first
  // colon ends a key or number); the later key wins. An algorithm key copies its slot's text at that line,
  // of its kind: slot 21 is none, 1.5 is slot 2, 20.5 slot 20, the character after the colon goes, 0 counts.
  EXPECT_EQ(models,
            (std::vector<std::string>{
                "|1024||||9||||||",
                "PIC18F452|16384|256|00:27:0F:0F:00:01:85:00:0F:C0:0F:E0:0F:40|VddVpp|5|8|Begin,S00-0000,End|"
                "begin,setprogtime,end|egin,end||",
                " Second Model |||||||redefined|begin,setprogtime,end||Blank|Verify,End",
                "Third|||||||begin,end|last:one|||"}));
}

TEST(DeviceList, LineEndsAndByteOrderMark) {
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    const DeviceList list = parse_device_list("\xEF\xBB\xBFmodel: A" + end + "flash: 128" + end + end +
                                              "model: B" + end + "eeprom: 64");
    ASSERT_EQ(list.model_count, 2) << "line end " << int(end[0]);
    EXPECT_EQ(std::tuple(list.device_list[1].model, list.device_list[1].flash, list.device_list[2].eeprom),
              std::tuple("A", "128", "64"));
  }
}

TEST(DeviceList, MoreModelsThanThePickerShowsAreAllKept) {
  std::string text;
  for (int i = 1; i <= 75; ++i) text += "model: M" + std::to_string(i) + "\n";
  EXPECT_EQ(fields(parse_device_list(text).device_list.at(75)), "M75|||||||||||");
}

// The device after applying the model of lines, the only one of its list, to one whose order was voltage_seq.
CurrentDevice applied(const std::string& lines, std::int32_t voltage_seq = 0) {
  CurrentDevice device;
  device.model_index = 1;
  device.voltage_seq = voltage_seq;
  EXPECT_TRUE(apply_selected_model(parse_device_list("model: M\n" + lines), device));
  return device;
}

// Halves go to the even neighbour; nothing gives the smallest FLASH and no EEPROM; sizes are cut to
// whole 16- and 8-byte table lines within the limits; numbers beyond 32 bits are limited, not wrapped.
TEST(ApplySelectedModel, NumbersAreReadAndLimited) {
  // clang-format off
  const std::pair<const char*, std::array<std::int32_t, 4>> cases[] = {  // flash, eeprom, progtime, pagesize
      {"flash: 32768.5\neeprom: 8\nprogtime: 5\npagesize: 2.5", {32768, 64, 5, 2}},
      {"", {128, 0, 0, 0}},
      {"flash: 1000\neeprom: 100\nprogtime: 99999999999\npagesize: -99999999999", {992, 96, INT32_MAX, INT32_MIN}},
      {"flash: 99999999999\neeprom: 99999999999", {524400, 262200, 0, 0}}};
  // clang-format on
  for (const auto& [lines, expected] : cases) {
    const CurrentDevice d = applied(lines);
    EXPECT_EQ((std::array{d.flash_size, d.eeprom_size, d.prog_time, d.page_size}), expected) << lines;
  }
}

// Pairs stand at every third character, whatever separates them; -1 where one is cut short.
TEST(ApplySelectedModel, ConfigurationPairsStandAtEveryThirdCharacter) {
  const std::string f452 = "configerased: 00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 4";
  const std::array<std::int32_t, kConfigBytes> values = {0, 0x27, 0x0F, 0x0F, 0,    1,    0x85,
                                                         0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  EXPECT_EQ(applied(f452 + "0").configerased, values);
  EXPECT_EQ(applied("configerased: 00,27,0f,0f,00,01,85,00,0f,c0,0f,e0,0f,40").configerased, values);
  EXPECT_EQ(std::pair(applied(f452).configerased[13], applied(f452.substr(0, 52)).configerased[13]),
            std::pair(-1, -1));
}

// Only the two exact words change the power-up order; an index outside the list changes nothing.
TEST(ApplySelectedModel, PowerUpOrderAndIndex) {
  const std::tuple<std::string, int, int> orders[] = {
      {"VDDVPP", 0, 1}, {"VppVdd", 1, 2}, {"vddvpp ", 2, 2}, {" vppvdd", 1, 1}};
  for (const auto& [text, before, after] : orders)
    EXPECT_EQ(applied("voltageseq: " + text, before).voltage_seq, after) << text;
  for (std::int32_t index : {0, 2, -1}) {
    CurrentDevice device;
    device.model_index = index;
    EXPECT_FALSE(apply_selected_model(parse_device_list("model: M"), device) || !device.model_name.empty());
  }
}

TEST(SplitStatements, CommasCutAndNothingIsTrimmed) {
  // clang-format off
  const std::pair<const char*, StatementList> cases[] = {
      {"Begin,S00-0000,End", {"begin", "s00-0000", "end"}}, {"Begin,End,", {"begin", "end"}},
      {"begin, end", {"begin", " end"}}, {"begin,,end", {"begin", "", "end"}}, {"", {""}}, {",", {""}}};
  // clang-format on
  for (const auto& [text, expected] : cases) EXPECT_EQ(split_statements(text), expected) << text;
}

TEST(EraseImages, ImagesTakeTheModelsSizesAndErasedValues) {
  MemoryImages images{std::vector<std::uint8_t>(32768, 0), std::vector<std::uint8_t>(256, 0), {}};
  erase_images(applied("flash: 4096\neeprom: 0\nconfigerased: 00 27"), images);
  EXPECT_TRUE(images.flash_image == std::vector<std::uint8_t>(4096, kErasedByte) &&
              images.eeprom_image.empty() && images.config_image[1] == 0x27 && images.config_image[2] == -1);
}

}  // namespace
}  // namespace tessaflex::devices
