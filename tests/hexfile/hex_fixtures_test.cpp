// gpasm-built PIC18 fixtures: loaded byte by byte, saved, reloaded, and read back by peers.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>

#include "hex_test_support.h"
#include "hexfile/file_access.h"
#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"

namespace tessaflex::hexfile {
namespace {

using testing::ByteMap;
using testing::erased_images;
using testing::make_device;

struct Fixture {
  const char* file;  // under tests/fixtures/hex, without ".hex"
  std::int32_t flash_size;
  std::int32_t eeprom_size;
  std::array<std::int32_t, devices::kConfigBytes> configerased;  // unimplemented bytes read 00
  std::array<std::int32_t, devices::kConfigBytes> config;         // what the source's CONFIG line gives
  const char* eeprom_text;                                         // de "EE ...", 0 at 0xF00000
};

void PrintTo(const Fixture& f, std::ostream* out) { *out << f.file; }

const Fixture kFixtures[] = {
    {"pic18f452_fxx2", 32768, 256,
     {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40},
     {0x00, 0x22, 0x0C, 0x0E, 0x00, 0x01, 0x81, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}, "EE 18F452"},
    {"pic18f1320_x220", 8192, 256,
     {0x00, 0xCF, 0x0F, 0x1F, 0x00, 0x80, 0x85, 0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40},
     {}, "EE 18F1320"},
    {"pic18f4520_2xxx", 32768, 256,
     {0x00, 0x07, 0x1F, 0x1F, 0x00, 0x83, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40},
     {}, "EE 18F4520"},
    {"pic18f4620_2xxx", 65536, 1024,
     {0x00, 0x07, 0x1F, 0x1F, 0x00, 0x83, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40},
     {}, "EE 18F4620"},
    {"pic18f45k20_k20", 32768, 256,
     {0x00, 0x07, 0x1F, 0x1F, 0x00, 0x8B, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40},
     {}, "EE 18F45K20"},
    {"pic18f45k22_k22", 32768, 256,
     {0x00, 0x25, 0x1F, 0x3F, 0x00, 0xBF, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40},
     {}, "EE 18F45K22"},
};

std::string fixture_path(const Fixture& f) { return std::string(TESSAFLEX_FIXTURES_DIR) + "/hex/" + f.file + ".hex"; }

// The images that the peer's bytes give when laid over erased images by the address map;
// every address must be FLASH, configuration, EEPROM or an ID location.
devices::MemoryImages images_from(const ByteMap& bytes, const devices::CurrentDevice& device) {
  devices::MemoryImages images = erased_images(device);
  for (const auto& [address, value] : bytes) {
    if (address < images.flash_image.size()) {
      images.flash_image[address] = value;
    } else if (address >= 0x300000 && address <= 0x30000D) {
      images.config_image[address - 0x300000] = value;
    } else if (address >= 0xF00000 && address - 0xF00000 < images.eeprom_image.size()) {
      images.eeprom_image[address - 0xF00000] = value;
    } else {
      EXPECT_TRUE(address >= 0x200000 && address <= 0x200007) << std::hex << address;
    }
  }
  return images;
}

void expect_same_images(const devices::MemoryImages& actual, const devices::MemoryImages& expected) {
  ASSERT_EQ(actual.flash_image.size(), expected.flash_image.size());
  for (std::size_t a = 0; a < actual.flash_image.size(); ++a)
    ASSERT_EQ(actual.flash_image[a], expected.flash_image[a]) << "FLASH at " << std::hex << a;
  ASSERT_EQ(actual.eeprom_image.size(), expected.eeprom_image.size());
  for (std::size_t a = 0; a < actual.eeprom_image.size(); ++a)
    ASSERT_EQ(actual.eeprom_image[a], expected.eeprom_image[a]) << "EEPROM at " << std::hex << a;
  EXPECT_EQ(actual.config_image, expected.config_image);
}

class GpasmFixture : public ::testing::TestWithParam<Fixture> {};

TEST_P(GpasmFixture, LoadsByteByByteAsPythonIntelhexReadsIt) {
  const Fixture& f = GetParam();
  const devices::CurrentDevice device = make_device(f.flash_size, f.eeprom_size, f.configerased);
  devices::MemoryImages images = erased_images(device);
  std::int32_t end = 0;
  LocalFileAccess files;
  const HexReadResult result = read_hex_file(fixture_path(f), files, images, end);
  ASSERT_TRUE(result.accepted());
  EXPECT_TRUE(result.messages.empty());  // ID locations dropped, nothing out of range

  const ByteMap peer = testing::intelhex_bytes(fixture_path(f));
  ASSERT_FALSE(peer.empty());
  expect_same_images(images, images_from(peer, device));
  // All eight ID locations are in the file, and dropped.
  for (std::uint64_t a = 0x200000; a <= 0x200007; ++a) EXPECT_EQ(peer.count(a), 1u);

  // What the sources say, independently of any reader.
  const std::vector<std::uint8_t> reset = {0x80, 0xEF, 0x00, 0xF0};  // goto 0x100
  EXPECT_TRUE(std::equal(reset.begin(), reset.end(), images.flash_image.begin()));
  EXPECT_EQ(images.flash_image[static_cast<std::size_t>(f.flash_size - 1)], 0x5A);
  EXPECT_EQ(images.flash_image[static_cast<std::size_t>(f.flash_size - 16)], 0xF0);
  EXPECT_EQ(end, f.flash_size);
  const std::string eeprom(images.eeprom_image.begin(), images.eeprom_image.begin() + std::strlen(f.eeprom_text));
  EXPECT_EQ(eeprom, f.eeprom_text);
  EXPECT_EQ(images.eeprom_image[static_cast<std::size_t>(f.eeprom_size - 1)], 0xA5);
  if (f.config[1] != 0) {
    EXPECT_EQ(images.config_image, f.config);
  }
}

TEST_P(GpasmFixture, SavedAndLoadedAgainGivesTheSameImages) {
  const Fixture& f = GetParam();
  const devices::CurrentDevice device = make_device(f.flash_size, f.eeprom_size, f.configerased);
  devices::MemoryImages images = erased_images(device);
  std::int32_t end = 0;
  LocalFileAccess files;
  ASSERT_TRUE(read_hex_file(fixture_path(f), files, images, end).accepted());

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string saved = dir.path().toStdString() + "/" + f.file + ".hex";
  ASSERT_FALSE(write_hex_file(saved, images, files).failed());

  devices::MemoryImages again = erased_images(device);
  std::int32_t end_again = 0;
  const HexReadResult result = read_hex_file(saved, files, again, end_again);
  ASSERT_TRUE(result.accepted());
  EXPECT_TRUE(result.messages.empty());
  expect_same_images(again, images);
  EXPECT_EQ(end_again, end);

  // Both peers read our file back to the same bytes at the same addresses.
  const ByteMap expected = testing::expected_bytes(images);
  EXPECT_EQ(testing::intelhex_bytes(saved), expected);
  EXPECT_EQ(testing::srec_cat_bytes(saved), expected);
}

INSTANTIATE_TEST_SUITE_P(Pic18, GpasmFixture, ::testing::ValuesIn(kFixtures),
                         testing::ByFile());

// The largest images the models allow, across the 64 KB boundary, with an odd-sized EEPROM.
TEST(PeerTools, ReadOurLargeImagesBackAtTheSameAddresses) {
  std::mt19937 random(11);
  struct Size {
    std::int32_t flash, eeprom;
  };
  for (const Size size : {Size{131072, 1024}, Size{524400, 262200}, Size{4096, 65}}) {
    const devices::CurrentDevice device = make_device(size.flash, size.eeprom);
    devices::MemoryImages images = erased_images(device);
    for (auto& b : images.flash_image) b = static_cast<std::uint8_t>(random());
    for (auto& b : images.eeprom_image) b = static_cast<std::uint8_t>(random());
    images.flash_image.back() = 0xFF;  // a blank last byte in a used word
    for (auto& c : images.config_image) c = static_cast<std::int32_t>(random() % 256);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/large.hex";
    LocalFileAccess files;
    ASSERT_FALSE(write_hex_file(path, images, files).failed());
    const ByteMap expected = testing::expected_bytes(images);
    EXPECT_EQ(testing::intelhex_bytes(path), expected) << size.flash;
    EXPECT_EQ(testing::srec_cat_bytes(path), expected) << size.flash;
  }
}

}  // namespace
}  // namespace tessaflex::hexfile
