// Turning a device list entry into the current device, and sizing the images for it.
#include "devices/current_device.h"

#include <gtest/gtest.h>

#include "devices/memory_images.h"

namespace tessaflex::devices {
namespace {

// The device after applying model, the only one of its list, over before.
CurrentDevice applied(const DeviceModel& model, CurrentDevice before = {}) {
  DeviceList list;
  list.device_list = {DeviceModel{}, model};
  list.model_count = 1;
  before.model_index = 1;
  EXPECT_TRUE(apply_selected_model(list, before));
  return before;
}

// Halves go to the even neighbour; nothing gives the smallest FLASH and no EEPROM; sizes are cut
// to whole 16- and 8-byte table lines within the limits.
TEST(ApplySelectedModel, SizesAreReadAndLimitedToWholeTableLines) {
  // clang-format off
  const std::tuple<const char*, const char*, std::int32_t, std::int32_t> cases[] = {
      {"32768.5", "256.5", 32768, 256}, {"&H8000", "&H100", 32768, 256}, {"", "", kMinFlashSize, 0},
      {"1000", "100", 992, 96}, {"-5", "-1", kMinFlashSize, 0}, {"64", "8", kMinFlashSize, kMinEepromSize},
      {"99999999999", "99999999999", kMaxFlashSize, kMaxEepromSize}, {"524416", "262208", 524400, 262200}};
  // clang-format on
  for (const auto& [flash, eeprom, flash_size, eeprom_size] : cases) {
    DeviceModel model;
    model.flash = flash, model.eeprom = eeprom;
    const CurrentDevice device = applied(model);
    EXPECT_EQ(std::pair(device.flash_size, device.eeprom_size), std::pair(flash_size, eeprom_size)) << flash;
  }
}

TEST(ApplySelectedModel, ConfigurationPairsStandAtEveryThirdCharacter) {
  const std::array<std::int32_t, kConfigBytes> f452 = {0, 0x27, 0x0F, 0x0F, 0,    1,    0x85,
                                                       0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  auto last_unread = f452, none = f452;
  last_unread[13] = -1;
  none.fill(-1);
  // clang-format off
  const std::pair<const char*, std::array<std::int32_t, kConfigBytes>> cases[] = {
      {"00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40", f452}, {"00,27,0f,0f,00,01,85,00,0f,c0,0f,e0,0f,40", f452},
      {"00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 4", last_unread}, {"00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F", last_unread},
      {"00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F XY", last_unread}, {"", none}};
  // clang-format on
  for (const auto& [text, expected] : cases) {
    DeviceModel model;
    model.configerased = text;
    EXPECT_EQ(applied(model).configerased, expected) << '"' << text << '"';
  }
}

TEST(ApplySelectedModel, PowerUpOrderNumbersAndIndex) {
  // Only the two exact words change the power-up order.
  const std::tuple<const char*, int, int> orders[] = {{"VDDVPP", 0, 1}, {"VppVdd", 1, 2},  {"vddvpp ", 2, 2},
                                                      {"", 2, 2},       {" vppvdd", 1, 1}, {"vdd", 0, 0}};
  for (const auto& [text, before, after] : orders) {
    DeviceModel model;
    model.voltageseq = text;
    CurrentDevice device;
    device.voltage_seq = before;
    EXPECT_EQ(applied(model, device).voltage_seq, after) << '"' << text << '"';
  }
  // Numbers beyond 32 bits are limited, not wrapped.
  DeviceModel model;
  model.progtime = "5", model.pagesize = "2.5";
  EXPECT_EQ(std::pair(applied(model).prog_time, applied(model).page_size), std::pair(5, 2));
  model.progtime = "99999999999", model.pagesize = "-99999999999";
  EXPECT_EQ(std::pair(applied(model).prog_time, applied(model).page_size), std::pair(INT32_MAX, INT32_MIN));
  // An index outside the list changes nothing.
  DeviceList list;
  list.device_list.push_back(model), list.model_count = 1;
  for (std::int32_t index : {0, 2, -1}) {
    CurrentDevice device;
    device.model_index = index, device.model_name = "before";
    EXPECT_FALSE(apply_selected_model(list, device) || device.model_name != "before");
  }
}

TEST(SplitStatements, CommasCutAndNothingIsTrimmed) {
  // clang-format off
  const std::pair<const char*, StatementList> cases[] = {
      {"Begin,S00-0000,End", {"begin", "s00-0000", "end"}}, {"Begin,S00-0000,End,", {"begin", "s00-0000", "end"}},
      {"begin, end", {"begin", " end"}}, {"begin,,end", {"begin", "", "end"}}, {"", {""}}, {",", {""}},
      {"W10 ", {"w10 "}}};
  // clang-format on
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(split_statements(text), expected) << '"' << text << '"';
}

TEST(EraseImages, ImagesTakeTheNewModelsSizesAndErasedValues) {
  DeviceModel big, small;
  big.flash = "32768", big.eeprom = "256", big.configerased = "00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F XX";
  small.flash = "4096", small.eeprom = "0";
  MemoryImages images;
  erase_images(applied(big), images);
  ASSERT_EQ(images.flash_image.size() + images.eeprom_image.size(), 32768u + 256u);
  EXPECT_EQ(std::pair(images.config_image[1], images.config_image[13]), std::pair(0x27, -1));
  images.flash_image[5] = 0, images.eeprom_image[7] = 1;
  erase_images(applied(small), images);
  EXPECT_EQ(std::tuple(images.flash_image, images.eeprom_image.size(), images.config_image[1]),
            std::tuple(std::vector<std::uint8_t>(4096, kErasedByte), 0u, -1));
}

}  // namespace
}  // namespace tessaflex::devices
