// The Intel HEX writer: whole files byte for byte, used lengths, boundaries, round trips.
#include "hexfile/hex_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "core/hex_text.h"
#include "hex_test_support.h"
#include "hexfile/hex_checksum.h"
#include "hexfile/hex_reader.h"

namespace tessaflex::hexfile {
namespace {

using testing::erased_images;
using testing::make_device;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t at = text.find("\r\n", from);
    if (at == std::string::npos) {
      ADD_FAILURE() << "text does not end in CR LF";
      out.push_back(text.substr(from));
      break;
    }
    out.push_back(text.substr(from, at - from));
    from = at + 2;
  }
  return out;
}

// Every line is ":" + upper-case body + hex_checksum(body), and ends in CR LF.
void expect_well_formed(const std::string& text) {
  for (const std::string& line : lines_of(text)) {
    ASSERT_GE(line.size(), 11u) << line;
    ASSERT_EQ(line[0], ':');
    const std::string body = line.substr(1, line.size() - 3);
    EXPECT_EQ(line.substr(line.size() - 2), hex_checksum(body)) << line;
    EXPECT_EQ(line.find_first_not_of(":0123456789ABCDEF"), std::string::npos) << line;
    EXPECT_EQ(body.size(), 8u + 2u * static_cast<std::size_t>(core::hex_to_byte(body.substr(0, 2)))) << line;
  }
}

TEST(HexWriter, SmallModelFileByteForByte) {
  devices::MemoryImages images = erased_images(make_device(64, 256));
  const std::uint8_t flash[] = {0x12, 0x34, 0x56, 0x78, 0x9A};
  std::copy(std::begin(flash), std::end(flash), images.flash_image.begin());
  for (int k = 0; k < 14; ++k) images.config_image[static_cast<std::size_t>(k)] = k + 1;
  images.eeprom_image[0] = 0x01;
  images.eeprom_image[1] = 0x02;
  EXPECT_EQ(hex_file_text(images),
            ":020000040000FA\r\n"
            ":06000000123456789AFF4D\r\n"
            ":020000040030CA\r\n"
            ":0E0000000102030405060708090A0B0C0D0E89\r\n"
            ":0200000400F00A\r\n"
            ":020000000102FB\r\n"
            ":00000001FF\r\n");
}

TEST(HexWriter, BlankImagesGiveThreeLines) {
  devices::MemoryImages images = erased_images(make_device(32768, 256, {0, 0x27, 0x0F, 0x0F, 0, 1, 0x85, 0, 0x0F,
                                                                        0xC0, 0x0F, 0xE0, 0x0F, 0x40}));
  EXPECT_EQ(hex_file_text(images),
            ":020000040030CA\r\n"
            ":0E00000000270F0F000185000FC00FE00F40" + hex_checksum("0E00000000270F0F000185000FC00FE00F40") +
                "\r\n"
            ":00000001FF\r\n");
}

TEST(HexWriter, UnknownConfigurationValueIsWrittenAsFF) {
  devices::MemoryImages images = erased_images(make_device(128, 0));
  images.config_image.fill(-1);
  const std::string body = "0E000000" + std::string(28, 'F');
  EXPECT_EQ(lines_of(hex_file_text(images)).at(1), ":" + body + hex_checksum(body));
}

struct UsedCase {
  const char* name;
  int last_used;       // address of the last non-blank byte, -1 for none
  std::size_t length;  // bytes written
};

class HexUsedLength : public ::testing::TestWithParam<UsedCase> {};

TEST_P(HexUsedLength, RoundsUpToWholeWords) {
  std::vector<std::uint8_t> image(256, 0xFF);
  if (GetParam().last_used >= 0) image[static_cast<std::size_t>(GetParam().last_used)] = 0;
  EXPECT_EQ(used_length(image), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Ends, HexUsedLength,
                         ::testing::Values(UsedCase{"blank", -1, 0}, UsedCase{"first", 0, 2}, UsedCase{"second", 1, 2},
                                           UsedCase{"even", 4, 6}, UsedCase{"odd", 5, 6},
                                           UsedCase{"thirty_two", 31, 32}, UsedCase{"thirty_three", 32, 34},
                                           UsedCase{"last", 255, 256}, UsedCase{"before_last", 254, 256}),
                         testing::ByName());

TEST(HexWriter, OddLastByteEndsTheFlashData) {
  devices::MemoryImages images = erased_images(make_device(128, 0));
  images.flash_image[5] = 0x11;
  EXPECT_EQ(lines_of(hex_file_text(images)).at(1), ":06000000FFFFFFFFFF11" + hex_checksum("06000000FFFFFFFFFF11"));
}

TEST(HexWriter, ThirtyTwoAndThirtyFourBytes) {
  devices::MemoryImages images = erased_images(make_device(128, 0));
  images.flash_image[31] = 0;
  std::vector<std::string> lines = lines_of(hex_file_text(images));
  ASSERT_EQ(lines.size(), 6u);  // base, 2 records, config base, config, end
  EXPECT_EQ(lines[1].substr(0, 9), ":10000000");
  EXPECT_EQ(lines[2].substr(0, 9), ":10001000");
  EXPECT_EQ(lines[3], ":020000040030CA");
  images.flash_image[32] = 0;
  lines = lines_of(hex_file_text(images));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[3], ":02002000" "00FF" + hex_checksum("0200200000FF"));
}

TEST(HexWriter, FlashBeyond64KGetsASecondBase) {
  devices::MemoryImages images = erased_images(make_device(0x20000, 0));
  images.flash_image[0x10011] = 0x42;
  const std::vector<std::string> lines = lines_of(hex_file_text(images));
  ASSERT_EQ(lines.size(), 1u + 4096u + 1u + 2u + 3u);
  EXPECT_EQ(lines[0], ":020000040000FA");
  EXPECT_EQ(lines[1], ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF" + hex_checksum("10000000" + std::string(32, 'F')));
  EXPECT_EQ(lines[4096].substr(0, 9), ":10FFF000");
  EXPECT_EQ(lines[4097], ":020000040001F9");
  EXPECT_EQ(lines[4098].substr(0, 9), ":10000000");
  EXPECT_EQ(lines[4099], ":02001000FF42" + hex_checksum("02001000FF42"));
  EXPECT_EQ(lines[4100], ":020000040030CA");
}

TEST(HexWriter, NoEepromOrBlankEepromWritesNoEepromRecords) {
  devices::MemoryImages no_eeprom = erased_images(make_device(128, 0));
  devices::MemoryImages blank = erased_images(make_device(128, 256));
  for (const auto* images : {&no_eeprom, &blank}) {
    const std::string text = hex_file_text(*images);
    EXPECT_EQ(text.find("00F0"), std::string::npos);
    EXPECT_EQ(lines_of(text).size(), 3u);
  }
}

TEST(HexWriter, EepromAddressesAreOffsetsUnderOneBase) {
  devices::MemoryImages images = erased_images(make_device(128, 1024));
  images.eeprom_image[0x3FF] = 0x77;
  const std::vector<std::string> lines = lines_of(hex_file_text(images));
  ASSERT_EQ(lines.size(), 3u + 1u + 64u);
  EXPECT_EQ(lines[2], ":0200000400F00A");
  EXPECT_EQ(lines[3].substr(0, 9), ":10000000");
  EXPECT_EQ(lines[66].substr(0, 9), ":1003F000");
  EXPECT_EQ(lines[66].substr(39, 2), "77");
  EXPECT_EQ(lines[67], ":00000001FF");
}

TEST(HexWriter, OddSizedImagesNeverNameAnAddressPastTheirEnd) {
  // Last byte used at an even address, which is also the last of the image: the count
  // stays odd rather than naming the address after the image.
  devices::MemoryImages images = erased_images(make_device(129, 65));
  images.flash_image[128] = 0x01;
  images.eeprom_image[64] = 0x02;
  const std::string text = hex_file_text(images);
  expect_well_formed(text);
  const std::vector<std::string> lines = lines_of(text);
  EXPECT_EQ(lines[9], ":01008000" "01" + hex_checksum("0100800001"));
  EXPECT_EQ(lines.back(), ":00000001FF");
  EXPECT_EQ(lines[lines.size() - 2], ":01004000" "02" + hex_checksum("0100400002"));
  // Read back without any out-of-range byte.
  devices::MemoryImages again = erased_images(make_device(129, 65));
  std::int32_t end = 0;
  const HexReadResult result = read_hex_text(text, again, end);
  EXPECT_TRUE(result.accepted());
  EXPECT_TRUE(result.messages.empty());
  EXPECT_EQ(again.flash_image, images.flash_image);
  EXPECT_EQ(again.eeprom_image, images.eeprom_image);
  EXPECT_EQ(end, 129);
}

TEST(HexWriter, EepromBeyond64KReadsBackAtItsOwnAddresses) {
  devices::MemoryImages images = erased_images(make_device(128, 0x10010));
  images.eeprom_image[0x10] = 0x10;
  images.eeprom_image[0x10005] = 0x55;
  const std::string text = hex_file_text(images);
  EXPECT_NE(text.find(":0200000400F1" + hex_checksum("0200000400F1") + "\r\n"), std::string::npos);
  devices::MemoryImages again = erased_images(make_device(128, 0x10010));
  std::int32_t end = 0;
  EXPECT_TRUE(read_hex_text(text, again, end).messages.empty());
  EXPECT_EQ(again.eeprom_image, images.eeprom_image);
}

TEST(HexWriter, WritesNothingOfItsOwnState) {
  devices::MemoryImages images = erased_images(make_device(128, 64));
  images.flash_image[7] = 1;
  const devices::MemoryImages before = images;
  EXPECT_EQ(hex_file_text(images), hex_file_text(images));
  EXPECT_EQ(images.flash_image, before.flash_image);
}

TEST(HexWriter, RandomImagesRoundTripThroughTheReader) {
  std::mt19937 random(7);
  const std::int32_t sizes[][2] = {{128, 0}, {4096, 64}, {32768, 256}, {65536, 1024}, {0x20000, 1024}, {524400, 256}};
  for (const auto& size : sizes) {
    const devices::CurrentDevice device = make_device(size[0], size[1], {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, -1});
    devices::MemoryImages images = erased_images(device);
    // Sparse bytes, some of them 255, and a last byte at a random place.
    for (int i = 0; i < 200; ++i) images.flash_image[random() % images.flash_image.size()] = static_cast<std::uint8_t>(random());
    for (int i = 0; i < 20 && !images.eeprom_image.empty(); ++i)
      images.eeprom_image[random() % images.eeprom_image.size()] = static_cast<std::uint8_t>(random());
    for (auto& c : images.config_image) c = static_cast<std::int32_t>(random() % 256);
    const std::string text = hex_file_text(images);
    expect_well_formed(text);
    devices::MemoryImages again = erased_images(device);
    std::int32_t end = 0;
    const HexReadResult result = read_hex_text(text, again, end);
    EXPECT_TRUE(result.accepted());
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(again.flash_image, images.flash_image);
    EXPECT_EQ(again.eeprom_image, images.eeprom_image);
    EXPECT_EQ(again.config_image, images.config_image);
    EXPECT_EQ(static_cast<std::size_t>(end), used_length(images.flash_image));
  }
}

}  // namespace
}  // namespace tessaflex::hexfile
