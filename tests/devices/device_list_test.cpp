// Reading the device list file into models and algorithm tables.
#include "devices/device_list.h"

#include <gtest/gtest.h>

namespace tessaflex::devices {
namespace {

std::string slot(const DeviceList& list, AlgorithmKind kind, std::size_t n) {
  return list.algorithm_definitions[static_cast<std::size_t>(kind)][n];
}

// The fixture holds every line rule once; see its comments for what each line tries.
TEST(DeviceList, EveryRuleOfTheFixture) {
  const DeviceListLoad load = load_device_list(TESSAFLEX_FIXTURES_DIR "/devicelists/every_rule.txt");
  ASSERT_EQ(load.error, "");
  const DeviceList& list = load.list;
  ASSERT_EQ(list.model_count, 3);
  ASSERT_EQ(list.device_list.size(), 4u);
  // Key lines above the first model go to the hidden entry 0; values keep their text and
  // blanks; the later key wins; "flash 999" has no colon and is a comment.
  EXPECT_EQ(std::tuple(list.device_list[0].flash, list.device_list[0].progtime), std::tuple("1024", "9"));
  const DeviceModel& m = list.device_list[1];
  EXPECT_EQ(std::tuple(m.model, m.flash, m.eeprom, m.voltageseq, m.progtime, m.pagesize),
            std::tuple("PIC18F452", "16384", "256", "VddVpp", "5", "8"));
  EXPECT_EQ(m.configerased, "00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40");
  EXPECT_EQ(list.device_list[2].model, " Second Model ");
  EXPECT_EQ(std::tuple(list.device_list[3].model, list.device_list[3].flash), std::tuple("Third", ""));
  // An algorithm key copies the text its slot holds at that line: slot 21 is none, 2.5 is slot
  // 2, the character after the colon is dropped whatever it is, slot 0 holds an erase only.
  EXPECT_EQ(m.algorithm(AlgorithmKind::erase), "Begin,S00-0000,End");
  EXPECT_EQ(m.algorithm(AlgorithmKind::program), "begin,setprogtime,end");
  EXPECT_EQ(m.algorithm(AlgorithmKind::read), "egin,end");
  EXPECT_EQ(m.algorithm(AlgorithmKind::blankcheck) + m.algorithm(AlgorithmKind::verify), "");
  EXPECT_EQ(list.device_list[2].algorithm(AlgorithmKind::erase), "redefined");
  EXPECT_EQ(list.device_list[2].algorithm(AlgorithmKind::program), "begin,setprogtime,end");  // 1.5 -> 2
  for (std::size_t n = 0; n < kAlgorithmSlots; ++n)
    EXPECT_NE(slot(list, AlgorithmKind::verify, n) + slot(list, AlgorithmKind::blankcheck, n),
              "never stored");
  EXPECT_EQ(slot(list, AlgorithmKind::blankcheck, 4), "");
}

TEST(DeviceList, LineEndsByteOrderMarkAndLinesWithoutAModel) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    const DeviceList list = parse_device_list(std::string("\xEF\xBB\xBFmodel: A") + end + "flash: 128" + end +
                                              end + "model: B" + end + "eeprom: 64");
    ASSERT_EQ(list.model_count, 2) << "line end " << static_cast<int>(end[0]);
    EXPECT_EQ(std::tuple(list.device_list[1].model, list.device_list[1].flash, list.device_list[2].eeprom),
              std::tuple("A", "128", "64"));
  }
  for (const char* text : {"", "\r\n\r\n", "erasealgdef 0: begin,end\r\n; comment\r\n", "model:X\r\n",
                           "models: X\r\n", " model: X\r\n"})
    EXPECT_EQ(parse_device_list(text).model_count, 0) << text;
}

TEST(DeviceList, LimitsOfSlotsAndModels) {
  std::string text = "erasealgdef 99999999999: huge\nerasealgdef 20: last\nerasealgdef 20.5: even\n";
  for (int i = 1; i <= 75; ++i) text += "model: M" + std::to_string(i) + "\n";
  const DeviceList list = parse_device_list(text + "erasealg: 99999999999\nprogramalg: 20\n");
  EXPECT_EQ(slot(list, AlgorithmKind::erase, 20), "even");  // 20.5 goes to 20
  EXPECT_EQ(list.device_list[75].algorithm(AlgorithmKind::erase), "");
  EXPECT_EQ(list.model_count, 75);  // more than the picker shows are all kept
  EXPECT_EQ(list.device_list[75].model, "M75");
}

TEST(DeviceList, AMissingFileSaysWhy) {
  const DeviceListLoad load = load_device_list(TESSAFLEX_FIXTURES_DIR "/devicelists/no-such-file.txt");
  EXPECT_NE(load.error.find("no-such-file.txt: No such file"), std::string::npos) << load.error;
  EXPECT_EQ(load.list.model_count, 0);
}

}  // namespace
}  // namespace tessaflex::devices
