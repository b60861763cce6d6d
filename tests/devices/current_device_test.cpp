// Turning a device list entry into the current device, and sizing the images for it.
#include "devices/current_device.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "devices/memory_images.h"

namespace tessaflex::devices {
namespace {

DeviceList one_model(DeviceModel model) {
  DeviceList list;
  list.device_list.push_back(std::move(model));
  list.model_count = 1;
  return list;
}

CurrentDevice applied(DeviceModel model) {
  CurrentDevice device;
  device.model_index = 1;
  EXPECT_TRUE(apply_selected_model(one_model(std::move(model)), device));
  return device;
}

TEST(ApplySelectedModel, SizesAreReadAndLimitedToWholeTableLines) {
  struct Case {
    const char* flash;
    const char* eeprom;
    std::int32_t flash_size;
    std::int32_t eeprom_size;
  };
  const Case cases[] = {
      {"32768", "256", 32768, 256},
      {"32768.5", "256.5", 32768, 256},  // halves to the even neighbour
      {"&H8000", "&H100", 32768, 256},
      {"", "", kMinFlashSize, 0},  // nothing: the smallest FLASH, no EEPROM
      {"1000", "100", 992, 96},   // cut to whole 16- and 8-byte lines
      {"-5", "-1", kMinFlashSize, 0},
      {"99999999999", "99999999999", kMaxFlashSize, kMaxEepromSize},
      {"524400", "262200", 524400, 262200},
      {"524416", "262208", 524400, 262200},
      {"64", "8", kMinFlashSize, kMinEepromSize},
  };
  for (const auto& c : cases) {
    DeviceModel model;
    model.flash = c.flash;
    model.eeprom = c.eeprom;
    const CurrentDevice device = applied(model);
    EXPECT_EQ(device.flash_size, c.flash_size) << c.flash;
    EXPECT_EQ(device.eeprom_size, c.eeprom_size) << c.eeprom;
    // The tables' scroll bars hold size/16 - 8 and size/8 - 8 in 16 bits.
    EXPECT_LE(device.flash_size / 16 - 8, 32767);
    EXPECT_LE(device.eeprom_size / 8 - 8, 32767);
  }
}

TEST(ApplySelectedModel, ConfigurationPairsStandAtEveryThirdCharacter) {
  struct Case {
    const char* text;
    std::array<std::int32_t, kConfigBytes> expected;
  };
  const std::array<std::int32_t, kConfigBytes> f452 = {0, 0x27, 0x0F, 0x0F, 0, 1, 0x85,
                                                      0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  auto with_last = [&](std::int32_t last) {
    auto v = f452;
    v[13] = last;
    return v;
  };
  std::array<std::int32_t, kConfigBytes> none;
  none.fill(-1);
  const Case cases[] = {
      {"00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40", f452},
      {"00,27,0f,0f,00,01,85,00,0f,c0,0f,e0,0f,40", f452},
      {"00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 4", with_last(-1)},  // 40 characters
      {"00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F", with_last(-1)},    // 38 characters
      {"00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F XY", with_last(-1)},
      {"", none},
  };
  for (const auto& c : cases) {
    DeviceModel model;
    model.configerased = c.text;
    EXPECT_EQ(applied(model).configerased, c.expected) << '"' << c.text << '"';
  }
}

TEST(ApplySelectedModel, OnlyTheTwoExactWordsChangeThePowerUpOrder) {
  struct Case {
    const char* text;
    std::int32_t before;
    std::int32_t after;
  };
  const Case cases[] = {{"VDDVPP", 0, 1}, {"VppVdd", 1, 2}, {"vddvpp ", 2, 2},
                        {"", 2, 2},       {" vppvdd", 1, 1}, {"vdd", 0, 0}};
  for (const auto& c : cases) {
    CurrentDevice device;
    device.model_index = 1;
    device.voltage_seq = c.before;
    DeviceModel model;
    model.voltageseq = c.text;
    ASSERT_TRUE(apply_selected_model(one_model(model), device));
    EXPECT_EQ(device.voltage_seq, c.after) << '"' << c.text << '"';
  }
}

TEST(ApplySelectedModel, NumbersBeyondThirtyTwoBitsAreLimitedNotWrapped) {
  DeviceModel model;
  model.progtime = "5";
  model.pagesize = "2.5";
  CurrentDevice device = applied(model);
  EXPECT_EQ(device.prog_time, 5);
  EXPECT_EQ(device.page_size, 2);
  model.progtime = "99999999999";
  model.pagesize = "-99999999999";
  device = applied(model);
  EXPECT_EQ(device.prog_time, INT32_MAX);
  EXPECT_EQ(device.page_size, INT32_MIN);
}

TEST(ApplySelectedModel, AnIndexOutsideTheListChangesNothing) {
  DeviceModel model;
  model.model = "A";
  const DeviceList list = one_model(model);
  for (std::int32_t index : {0, 2, -1}) {
    CurrentDevice device;
    device.model_index = index;
    device.model_name = "before";
    EXPECT_FALSE(apply_selected_model(list, device));
    EXPECT_EQ(device.model_name, "before");
  }
}

TEST(SplitStatements, CommasCutAndNothingIsTrimmed) {
  struct Case {
    const char* text;
    StatementList expected;
  };
  const Case cases[] = {
      {"Begin,S00-0000,End", {"begin", "s00-0000", "end"}},
      {"Begin,S00-0000,End,", {"begin", "s00-0000", "end"}},
      {"begin, end", {"begin", " end"}},
      {"begin,,end", {"begin", "", "end"}},
      {"", {""}},
      {",", {""}},
      {"W10 ", {"w10 "}},
  };
  for (const auto& c : cases) EXPECT_EQ(split_statements(c.text), c.expected) << '"' << c.text << '"';
}

TEST(EraseImages, ImagesTakeTheNewModelsSizesAndErasedValues) {
  DeviceModel big;
  big.flash = "32768";
  big.eeprom = "256";
  big.configerased = "00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F XX";
  DeviceModel small;
  small.flash = "4096";
  small.eeprom = "0";
  MemoryImages images;
  CurrentDevice device = applied(big);
  erase_images(device, images);
  ASSERT_EQ(images.flash_image.size(), 32768u);
  ASSERT_EQ(images.eeprom_image.size(), 256u);
  EXPECT_EQ(images.config_image[1], 0x27);
  EXPECT_EQ(images.config_image[13], -1);
  images.flash_image[5] = 0;
  images.eeprom_image[7] = 1;

  device = applied(small);
  erase_images(device, images);
  EXPECT_EQ(images.flash_image.size(), 4096u);
  EXPECT_TRUE(images.eeprom_image.empty());
  EXPECT_TRUE(std::all_of(images.flash_image.begin(), images.flash_image.end(),
                          [](std::uint8_t b) { return b == kErasedByte; }));
  EXPECT_EQ(images.config_image[1], -1);
}

}  // namespace
}  // namespace tessaflex::devices
