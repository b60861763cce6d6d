// Reading the device list file into models and algorithm tables.
#include "devices/device_list.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace tessaflex::devices {
namespace {

const std::string kFixtures = TESSAFLEX_FIXTURES_DIR;

std::string slot(const DeviceList& list, AlgorithmKind kind, std::size_t n) {
  return list.algorithm_definitions[static_cast<std::size_t>(kind)][n];
}

class EveryRuleFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const DeviceListLoad load = load_device_list(kFixtures + "/devicelists/every_rule.txt");
    ASSERT_EQ(load.error, "");
    list = load.list;
  }
  DeviceList list;
};

TEST_F(EveryRuleFixture, ModelsAreNumberedFromOneAfterTheHiddenEntry) {
  ASSERT_EQ(list.model_count, 3);
  ASSERT_EQ(list.device_list.size(), 4u);
  EXPECT_EQ(list.device_list[0].flash, "1024");  // key lines above the first model
  EXPECT_EQ(list.device_list[0].progtime, "9");
  EXPECT_EQ(list.device_list[1].model, "PIC18F452");
  EXPECT_EQ(list.device_list[2].model, " Second Model ");  // two blanks after the colon
  EXPECT_EQ(list.device_list[3].model, "Third");
}

TEST_F(EveryRuleFixture, ValuesKeepTheirTextAndTheLaterKeyWins) {
  const DeviceModel& m = list.device_list[1];
  EXPECT_EQ(m.flash, "16384");
  EXPECT_EQ(m.eeprom, "256");
  EXPECT_EQ(m.configerased, "00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40");
  EXPECT_EQ(m.voltageseq, "VddVpp");
  EXPECT_EQ(m.progtime, "5");
  EXPECT_EQ(m.pagesize, "8");
  EXPECT_EQ(list.device_list[3].flash, "");  // "flash 999" has no colon: a comment
}

TEST_F(EveryRuleFixture, AlgorithmKeysCopyTheTextTheirSlotHoldsAtThatLine) {
  const DeviceModel& first = list.device_list[1];
  EXPECT_EQ(first.algorithm(AlgorithmKind::erase), "Begin,S00-0000,End");       // erasealg: 21 ignored
  EXPECT_EQ(first.algorithm(AlgorithmKind::program), "begin,setprogtime,end");  // 2.5 -> slot 2
  EXPECT_EQ(first.algorithm(AlgorithmKind::read), "egin,end");                  // no blank after the colon
  EXPECT_EQ(first.algorithm(AlgorithmKind::blankcheck), "");                    // never defined
  EXPECT_EQ(first.algorithm(AlgorithmKind::verify), "");  // slot 0 is defined for erase only
  const DeviceModel& second = list.device_list[2];
  EXPECT_EQ(second.algorithm(AlgorithmKind::erase), "redefined");
  EXPECT_EQ(second.algorithm(AlgorithmKind::program), "begin,setprogtime,end");  // 1.5 -> slot 2
}

TEST_F(EveryRuleFixture, OutOfRangeAndColonlessDefinitionsStoreNothing) {
  for (std::size_t n = 0; n < kAlgorithmSlots; ++n) {
    EXPECT_NE(slot(list, AlgorithmKind::verify, n), "never stored");
    EXPECT_NE(slot(list, AlgorithmKind::blankcheck, n), "never stored");
  }
  EXPECT_EQ(slot(list, AlgorithmKind::blankcheck, 4), "");
}

TEST(DeviceList, AllThreeLineEndsSeparateLines) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    const std::string text =
        std::string("model: A") + end + "flash: 128" + end + end + "model: B" + end + "eeprom: 64";
    const DeviceList list = parse_device_list(text);
    ASSERT_EQ(list.model_count, 2) << "line end " << static_cast<int>(end[0]);
    EXPECT_EQ(list.device_list[1].model, "A");
    EXPECT_EQ(list.device_list[1].flash, "128");
    EXPECT_EQ(list.device_list[2].eeprom, "64");
  }
}

TEST(DeviceList, AByteOrderMarkAtTheStartIsSkipped) {
  const DeviceList list = parse_device_list("\xEF\xBB\xBFmodel: A\r\nflash: 128\r\n");
  ASSERT_EQ(list.model_count, 1);
  EXPECT_EQ(list.device_list[1].model, "A");
  EXPECT_EQ(list.device_list[1].flash, "128");
}

TEST(DeviceList, LinesThatCarryNoModelGiveNone) {
  const char* texts[] = {"",
                         "\r\n\r\n",
                         "erasealgdef 0: begin,end\r\n; comment\r\n",
                         "model:X\r\n",
                         "models: X\r\n",
                         " model: X\r\n"};
  for (const char* text : texts) EXPECT_EQ(parse_device_list(text).model_count, 0) << text;
}

TEST(DeviceList, NumbersTooLargeForTheSlotsAreIgnored) {
  const DeviceList list = parse_device_list(
      "erasealgdef 99999999999: huge\nerasealgdef 20: last\nerasealgdef 20.5: even\n"
      "model: A\nerasealg: 99999999999\nprogramalg: 20\n");
  EXPECT_EQ(slot(list, AlgorithmKind::erase, 20), "even");  // 20.5 goes to 20
  EXPECT_EQ(list.device_list[1].algorithm(AlgorithmKind::erase), "");
}

TEST(DeviceList, MoreThanSeventyModelsAreAllKept) {
  std::string text;
  for (int i = 1; i <= 75; ++i) text += "model: M" + std::to_string(i) + "\n";
  const DeviceList list = parse_device_list(text);
  EXPECT_EQ(list.model_count, 75);
  EXPECT_EQ(list.device_list[75].model, "M75");
}

TEST(DeviceList, AMissingFileSaysWhy) {
  const DeviceListLoad load = load_device_list(kFixtures + "/devicelists/no-such-file.txt");
  EXPECT_NE(load.error.find("no-such-file.txt"), std::string::npos);
  EXPECT_NE(load.error.find("No such file"), std::string::npos);
  EXPECT_EQ(load.list.model_count, 0);
}

}  // namespace
}  // namespace tessaflex::devices
