// The Intel HEX writer: whole files byte for byte; round trips of the gpasm-built PIC18 fixtures
// through our reader and two peer tools (Python's intelhex and srec_cat).
#include "hexfile/hex_writer.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <sstream>

#include "hex_test_support.h"
#include "hexfile/hex_reader.h"

namespace tessaflex::hexfile {
namespace {

using testing::ByteMap;
using testing::changed_bytes;
using testing::erased_images;
using testing::make_device;

struct WholeFile {
  const char* name;
  std::int32_t flash_size, eeprom_size;
  std::array<std::int32_t, devices::kConfigBytes> config;  // the model's erased values
  ByteMap bytes;                                           // set before writing, at chip addresses
  std::string file;
};
void PrintTo(const WholeFile& c, std::ostream* out) { *out << c.name; }

class HexWholeFile : public ::testing::TestWithParam<WholeFile> {};

TEST_P(HexWholeFile, IsWrittenByteForByte) {
  const WholeFile& c = GetParam();
  devices::MemoryImages images = erased_images(make_device(c.flash_size, c.eeprom_size, c.config));
  testing::set_bytes(images, c.bytes);
  EXPECT_EQ(hex_file_text(images), c.file);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, HexWholeFile, ::testing::Values(
    WholeFile{"worked_example", 64, 256, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
              {{0, 0x12}, {1, 0x34}, {2, 0x56}, {3, 0x78}, {4, 0x9A}, {0xF00000, 0x01}, {0xF00001, 0x02}},
              ":020000040000FA\r\n:06000000123456789AFF4D\r\n:020000040030CA\r\n"
              ":0E0000000102030405060708090A0B0C0D0E89\r\n:0200000400F00A\r\n:020000000102FB\r\n:00000001FF\r\n"},
    WholeFile{"blank_images_give_three_lines", 32768, 256, {0, 0x27, 0x0F, 0x0F, 0, 1, 0x85, 0, 0x0F, 0xC0, 0x0F,
              0xE0, 0x0F, 0x40}, {},
              ":020000040030CA\r\n:0E00000000270F0F000185000FC00FE00F401A\r\n:00000001FF\r\n"},
    // The last used byte at an odd address (31) ends the data; 34 bytes need a short record.
    WholeFile{"thirty_two_bytes_two_full_records", 128, 0, {}, {{31, 0x00}},
              ":020000040000FA\r\n:10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"
              ":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00EF\r\n"
              ":020000040030CA\r\n:0E0000000000000000000000000000000000F2\r\n:00000001FF\r\n"},
    WholeFile{"thirty_four_bytes_and_a_short_record", 128, 0, {}, {{32, 0x00}},
              ":020000040000FA\r\n:10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"
              ":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0\r\n:0200200000FFDF\r\n"
              ":020000040030CA\r\n:0E0000000000000000000000000000000000F2\r\n:00000001FF\r\n"},
    // Odd-sized images whose last byte is used end at that byte, never past the image; a
    // configuration value of -1 is written as FF.
    WholeFile{"odd_sized_images_and_unknown_configuration", 3, 3, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
              -1, -1, -1}, {{2, 0x01}, {0xF00002, 0x02}},
              ":020000040000FA\r\n:03000000FFFF01FE\r\n:020000040030CA\r\n"
              ":0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n:0200000400F00A\r\n:03000000FFFF02FD\r\n:00000001FF\r\n"}),
  ::testing::PrintToStringParamName());
// clang-format on

TEST(HexWriter, FlashBeyond64KGetsASecondBaseAndEepromKeepsOne) {
  devices::MemoryImages images = erased_images(make_device(0x20000, 1024));
  images.flash_image[0x10011] = 0x42;
  images.eeprom_image[0x3FF] = 0x77;
  std::istringstream text(hex_file_text(images));
  std::vector<std::string> lines;  // each still ends in its CR
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  // Base, 4096 records to 0xFFF0, base, 2 records, 2 configuration lines, base, 64 records, end.
  ASSERT_EQ(lines.size(), 4168u);
  EXPECT_EQ(lines[0], ":020000040000FA\r");
  EXPECT_EQ(std::vector(lines.begin() + 4096, lines.begin() + 4104),
            (std::vector<std::string>{":10FFF000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF11\r", ":020000040001F9\r",
                                      ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r", ":02001000FF42AD\r",
                                      ":020000040030CA\r", ":0E0000000000000000000000000000000000F2\r",
                                      ":0200000400F00A\r", ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r"}));
  EXPECT_EQ(lines[4166], ":1003F000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF7795\r");
  EXPECT_EQ(lines[4167], ":00000001FF\r");
}

// ---- round trips ------------------------------------------------------------------------

// Runs program with arguments; its standard output, or a test failure and "".
std::string run_tool(const std::string& program, const std::vector<std::string>& arguments) {
  QStringList args;
  for (const std::string& a : arguments) args << QString::fromStdString(a);
  QProcess process;
  process.start(QString::fromStdString(program), args);
  if (!process.waitForStarted(30000) || !process.waitForFinished(120000) ||
      process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    ADD_FAILURE() << program << " failed (scripts/install-deps.sh installs it): "
                  << process.readAllStandardError().toStdString();
    return {};
  }
  return process.readAllStandardOutput().toStdString();
}

// What a file our writer wrote holds: FLASH and EEPROM up to their used lengths, and the
// 14 configuration bytes.
ByteMap expected_bytes(const devices::MemoryImages& images) {
  ByteMap bytes;
  const std::size_t flash_used = used_length(images.flash_image),
                    eeprom_used = used_length(images.eeprom_image);
  for (std::size_t a = 0; a < flash_used; ++a) bytes[a] = images.flash_image[a];
  for (std::size_t k = 0; k < devices::kConfigBytes; ++k)
    bytes[0x300000 + k] = static_cast<std::uint8_t>(images.config_image[k] & 0xFF);
  for (std::size_t a = 0; a < eeprom_used; ++a) bytes[0xF00000 + a] = images.eeprom_image[a];
  return bytes;
}

// The bytes that Python's intelhex (/usr/bin/python3, Debian python3-intelhex) and srec_cat
// (Debian srecord) read from the file.
ByteMap intelhex_bytes(const std::string& path) {
  // The system interpreter: a python3 earlier on PATH (a pyenv one) may lack intelhex.
  const std::string script =
      "import sys\nfrom intelhex import IntelHex\nh = IntelHex(sys.argv[1])\n"
      "for a in sorted(h.addresses()): print('%X %X' % (a, h[a]))\n";
  std::istringstream lines(run_tool("/usr/bin/python3", {"-c", script, path}));
  ByteMap bytes;
  std::string address, value;
  while (lines >> address >> value)
    bytes[std::stoull(address, nullptr, 16)] = static_cast<std::uint8_t>(std::stoul(value, nullptr, 16));
  return bytes;
}

// srec_cat reads the file and writes it again in its own form, which intelhex reads.
ByteMap srec_cat_bytes(const std::string& path) {
  run_tool("srec_cat", {path, "-Intel", "-o", path + ".srec_cat", "-Intel"});
  return intelhex_bytes(path + ".srec_cat");
}

// Writes images to a temporary file, reads it back into erased ones; the file's bytes by
// both peers must be what the writer promises.
void expect_round_trip(const devices::MemoryImages& images, const devices::MemoryImages& erased) {
  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/saved.hex";
  LocalFileAccess files;
  ASSERT_FALSE(write_hex_file(path, images, files).failed());
  devices::MemoryImages again = erased;
  std::int32_t end = 0;
  const HexReadResult result = read_hex_file(path, files, again, end);
  EXPECT_TRUE(result.accepted() && result.messages.empty());
  EXPECT_EQ(changed_bytes(again, erased), changed_bytes(images, erased));
  EXPECT_EQ(static_cast<std::size_t>(end), used_length(images.flash_image));
  EXPECT_EQ(intelhex_bytes(path), expected_bytes(images));
  EXPECT_EQ(srec_cat_bytes(path), expected_bytes(images));
}

struct Fixture {
  const char* name;  // tests/fixtures/hex/<name>.hex
  std::int32_t flash_size, eeprom_size;
  std::array<std::int32_t, devices::kConfigBytes> configerased;  // the model's, from the device list
};
void PrintTo(const Fixture& f, std::ostream* out) { *out << f.name; }

class GpasmFixture : public ::testing::TestWithParam<Fixture> {};

TEST_P(GpasmFixture, LoadsAsIntelhexReadsItAndRoundTrips) {
  const Fixture& f = GetParam();
  const std::string path = std::string(TESSAFLEX_FIXTURES_DIR) + "/hex/" + f.name + ".hex";
  const devices::MemoryImages erased =
      erased_images(make_device(f.flash_size, f.eeprom_size, f.configerased));
  devices::MemoryImages images = erased;
  std::int32_t end = 0;
  LocalFileAccess files;
  const HexReadResult result = read_hex_file(path, files, images, end);
  ASSERT_TRUE(result.accepted());
  EXPECT_TRUE(result.messages.empty());  // nothing out of range
  EXPECT_EQ(end, f.flash_size);          // the sources fill FLASH to its last byte

  // Byte by byte what Python's intelhex reads, with the eight ID locations dropped.
  ByteMap peer = intelhex_bytes(path);
  for (std::uint64_t a = 0x200000; a <= 0x200007; ++a) EXPECT_EQ(peer.erase(a), 1u) << std::hex << a;
  devices::MemoryImages expected = erased;
  testing::set_bytes(expected, peer);
  EXPECT_EQ(changed_bytes(images, erased), changed_bytes(expected, erased));
  expect_round_trip(images, erased);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pic18, GpasmFixture, ::testing::Values(
    Fixture{"pic18f452_fxx2", 32768, 256, {0, 0x27, 0x0F, 0x0F, 0, 0x01, 0x85, 0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}},
    Fixture{"pic18f1320_x220", 8192, 256, {0, 0xCF, 0x0F, 0x1F, 0, 0x80, 0x85, 0, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40}},
    Fixture{"pic18f4520_2xxx", 32768, 256, {0, 0x07, 0x1F, 0x1F, 0, 0x83, 0x85, 0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}},
    Fixture{"pic18f4620_2xxx", 65536, 1024, {0, 0x07, 0x1F, 0x1F, 0, 0x83, 0x85, 0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}},
    Fixture{"pic18f45k20_k20", 32768, 256, {0, 0x07, 0x1F, 0x1F, 0, 0x8B, 0x85, 0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}},
    Fixture{"pic18f45k22_k22", 32768, 256, {0, 0x25, 0x1F, 0x3F, 0, 0xBF, 0x85, 0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}}),
  ::testing::PrintToStringParamName());
// clang-format on

}  // namespace
}  // namespace tessaflex::hexfile
