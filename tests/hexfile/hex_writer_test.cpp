// The Intel HEX writer: whole files byte for byte; round trips of the gpasm-built PIC18 fixtures
// through our reader and two peer tools (Python's intelhex and srec_cat).
#include "hexfile/hex_writer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <sstream>

#include "hex_test_support.h"
#include "hexfile/hex_reader.h"

namespace tessaflex::hexfile {
namespace {

using testing::ByteMap;
using testing::changed_bytes;
using testing::erased_images;

const std::string kBase0 = ":020000040000FA\r\n", kConfigBase = ":020000040030CA\r\n",
                  kEnd = ":00000001FF\r\n", kEepromBase = ":0200000400F00A\r\n";
const std::string kEmpty16 = ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n";
const std::string kZeroConfig = ":0E0000000000000000000000000000000000F2\r\n";

TEST(HexWriter, WholeFiles) {
  const struct {
    std::int32_t flash_size, eeprom_size;
    testing::Config config;  // the model's erased values
    ByteMap bytes;           // set before writing, at chip addresses
    std::string file;
  } cases[] = {
      // clang-format off
      {64, 256, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
       {{0, 0x12}, {1, 0x34}, {2, 0x56}, {3, 0x78}, {4, 0x9A}, {0xF00000, 0x01}, {0xF00001, 0x02}},
       kBase0 + ":06000000123456789AFF4D\r\n" + kConfigBase + ":0E0000000102030405060708090A0B0C0D0E89\r\n" +
           kEepromBase + ":020000000102FB\r\n" + kEnd},
      // Blank images give three lines.
      {32768, 256, {0, 0x27, 0x0F, 0x0F, 0, 1, 0x85, 0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}, {},
       kConfigBase + ":0E00000000270F0F000185000FC00FE00F401A\r\n" + kEnd},
      // The last used byte at an odd address (31) ends the data; at an even one (32) the pair does.
      {128, 0, {}, {{31, 0x00}},
       kBase0 + kEmpty16 + ":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00EF\r\n" + kConfigBase + kZeroConfig + kEnd},
      {128, 0, {}, {{32, 0x00}},
       kBase0 + kEmpty16 + ":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0\r\n:0200200000FFDF\r\n" + kConfigBase +
           kZeroConfig + kEnd},
      // Odd-sized images end at their last byte, never past it; a configuration value of -1 is FF.
      {3, 3, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, {{2, 0x01}, {0xF00002, 0x02}},
       kBase0 + ":03000000FFFF01FE\r\n" + kConfigBase + ":0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n" +
           kEepromBase + ":03000000FFFF02FD\r\n" + kEnd},
      // clang-format on
  };
  for (const auto& c : cases) {
    devices::MemoryImages images = erased_images(c.flash_size, c.eeprom_size, c.config);
    testing::set_bytes(images, c.bytes);
    EXPECT_EQ(hex_file_text(images), c.file);
  }
}

TEST(HexWriter, FlashBeyond64KGetsASecondBaseAndEepromKeepsOne) {
  devices::MemoryImages images = erased_images(0x20000, 1024);
  images.flash_image[0x10011] = 0x42, images.eeprom_image[0x3FF] = 0x77;
  std::istringstream text(hex_file_text(images));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line + "\n");  // line still ends in CR
  // Base, 4096 records to 0xFFF0, base, 2 records, 2 configuration lines, base, 64 records, end.
  ASSERT_EQ(lines.size(), 4168u);
  EXPECT_EQ(std::vector(lines.begin() + 4096, lines.begin() + 4104),
            (std::vector<std::string>{":10FFF000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF11\r\n",
                                      ":020000040001F9\r\n", kEmpty16, ":02001000FF42AD\r\n", kConfigBase,
                                      kZeroConfig, kEepromBase, kEmpty16}));
  EXPECT_EQ(lines[0] + lines[4166] + lines[4167],
            kBase0 + ":1003F000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF7795\r\n" + kEnd);
}

// The bytes that Python's intelhex (/usr/bin/python3, Debian python3-intelhex: a python3
// earlier on PATH may lack it) reads from the file, after srec_cat (Debian srecord) has
// rewritten it in its own form when through_srec_cat.
ByteMap peer_bytes(QString file, bool through_srec_cat) {
  const auto run = [](const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode())
      ADD_FAILURE() << program.toStdString() << " failed (scripts/install-deps.sh installs it): "
                    << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput().toStdString();
  };
  if (through_srec_cat) run("srec_cat", {file, "-Intel", "-o", file += ".srec_cat", "-Intel"});
  std::istringstream lines(
      run("/usr/bin/python3", {"-c",
                               "import sys\nfrom intelhex import IntelHex\n"
                               "h = IntelHex(sys.argv[1])\nfor a in sorted(h.addresses()): "
                               "print('%X %X' % (a, h[a]))\n",
                               file}));
  ByteMap bytes;
  for (std::string address, value; lines >> address >> value;)
    bytes[std::stoull(address, nullptr, 16)] = static_cast<std::uint8_t>(std::stoul(value, nullptr, 16));
  return bytes;
}

// Each fixture loads with nothing out of range, filling FLASH to its last byte, as intelhex
// reads it (the eight ID locations dropped); what we write from it reads back the same through
// our reader, and both peers read the bytes the writer promises.
TEST(HexWriter, GpasmFixturesLoadAsIntelhexReadsThemAndRoundTrip) {
  const std::tuple<const char*, std::int32_t, std::int32_t> fixtures[] = {
      // tests/fixtures/hex/<name>.hex
      {"pic18f452_fxx2", 32768, 256},   {"pic18f1320_x220", 8192, 256},  {"pic18f4520_2xxx", 32768, 256},
      {"pic18f4620_2xxx", 65536, 1024}, {"pic18f45k20_k20", 32768, 256}, {"pic18f45k22_k22", 32768, 256}};
  QTemporaryDir dir;
  LocalFileAccess files;
  for (const auto& [name, flash_size, eeprom_size] : fixtures) {
    SCOPED_TRACE(name);
    const std::string path = std::string(TESSAFLEX_FIXTURES_DIR) + "/hex/" + name + ".hex";
    const devices::MemoryImages erased = erased_images(flash_size, eeprom_size);
    devices::MemoryImages images = erased, expected = erased, again = erased;
    std::int32_t end = 0;
    HexReadResult result = read_hex_file(path, files, images, end);
    ASSERT_TRUE(result.accepted() && result.messages.empty());
    EXPECT_EQ(end, flash_size);
    ByteMap peer = peer_bytes(QString::fromStdString(path), false);
    for (std::uint64_t a = 0x200000; a <= 0x200007; ++a) EXPECT_EQ(peer.erase(a), 1u) << std::hex << a;
    testing::set_bytes(expected, peer);
    EXPECT_EQ(changed_bytes(images, erased), changed_bytes(expected, erased));

    const std::string saved = dir.path().toStdString() + "/" + name + ".hex";
    ASSERT_FALSE(write_hex_file(saved, images, files).failed());
    result = read_hex_file(saved, files, again, end);
    EXPECT_TRUE(result.accepted() && result.messages.empty());
    EXPECT_EQ(changed_bytes(again, erased), changed_bytes(images, erased));
    EXPECT_EQ(static_cast<std::size_t>(end), used_length(images.flash_image));
    // A file we wrote holds FLASH and EEPROM up to their used lengths and all 14 configuration bytes.
    ByteMap written;
    for (std::size_t a = 0; a < used_length(images.flash_image); ++a) written[a] = images.flash_image[a];
    for (std::size_t k = 0; k < devices::kConfigBytes; ++k)
      written[0x300000 + k] = static_cast<std::uint8_t>(images.config_image[k]);
    for (std::size_t a = 0; a < used_length(images.eeprom_image); ++a)
      written[0xF00000 + a] = images.eeprom_image[a];
    EXPECT_EQ(peer_bytes(QString::fromStdString(saved), false), written);
    EXPECT_EQ(peer_bytes(QString::fromStdString(saved), true), written);
  }
}

}  // namespace
}  // namespace tessaflex::hexfile
