// Reading the device list file into models and algorithm tables.
#include "devices/device_list.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tessaflex::devices {
namespace {

// Every field of a model, '|' between them.
std::string fields(const DeviceModel& m) {
  std::string s = m.model + '|' + m.flash + '|' + m.eeprom + '|' + m.configerased + '|' + m.voltageseq + '|' +
                  m.progtime + '|' + m.pagesize;
  for (const std::string& algorithm : m.algorithms) s += '|' + algorithm;
  return s;
}

// The fixture holds every line rule once; see its comments for what each line tries.
TEST(DeviceList, EveryRuleOfTheFixture) {
  const DeviceListLoad load = load_device_list(TESSAFLEX_FIXTURES_DIR "/devicelists/every_rule.txt");
  ASSERT_EQ(std::tuple(load.error, load.list.model_count, load.list.device_list.size()),
            std::tuple("", 3, 4u));
  std::vector<std::string> models;
  for (const DeviceModel& m : load.list.device_list) models.push_back(fields(m));
  // Key lines above the first model go to the hidden entry 0; values keep their text and blanks; the
  // later key wins. An algorithm key copies the text its slot holds at that line: slot 21 is none, 1.5
  // is slot 2, the character after the colon is dropped whatever it is, slot 0 holds an erase only.
  EXPECT_EQ(models,
            (std::vector<std::string>{
                "|1024||||9||||||",
                "PIC18F452|16384|256|00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40|VddVpp|5|8|Begin,S00-0000,End|"
                "begin,setprogtime,end|egin,end||",
                " Second Model |||||||redefined|begin,setprogtime,end|||", "Third|||||||||||"}));
  for (const auto& table : load.list.algorithm_definitions)
    EXPECT_EQ(std::count(table.begin(), table.end(), "never stored"), 0);
}

TEST(DeviceList, LineEndsByteOrderMarkAndLinesWithoutAModel) {
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    const DeviceList list = parse_device_list("\xEF\xBB\xBFmodel: A" + end + "flash: 128" + end + end +
                                              "model: B" + end + "eeprom: 64");
    ASSERT_EQ(list.model_count, 2) << "line end " << int(end[0]);
    EXPECT_EQ(std::tuple(list.device_list[1].model, list.device_list[1].flash, list.device_list[2].eeprom),
              std::tuple("A", "128", "64"));
  }
  for (const char* text : {"model:X\r\n", "models: X\r\n", " model: X\r\n"})
    EXPECT_EQ(parse_device_list(text).model_count, 0) << text;
}

// 20.5 goes to slot 20, the last; more models than the picker shows are all kept.
TEST(DeviceList, LimitsOfSlotsAndModels) {
  std::string text = "erasealgdef 99999999999: huge\nerasealgdef 20.5: last\n";
  for (int i = 1; i <= 75; ++i) text += "model: M" + std::to_string(i) + "\n";
  const DeviceList list = parse_device_list(text + "erasealg: 99999999999\n");
  EXPECT_EQ(std::tuple(list.algorithm_definitions[0][20], list.model_count, fields(list.device_list[75])),
            std::tuple("last", 75, "M75|||||||||||"));
}

}  // namespace
}  // namespace tessaflex::devices
