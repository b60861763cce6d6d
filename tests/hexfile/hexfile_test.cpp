// The Intel HEX reader and writer, and the Open and Save commands around them.
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "core/hex_text.h"
#include "devices/current_device.h"
#include "devices/memory_images.h"
#include "hexfile/command_texts.h"
#include "hexfile/hex_checksum.h"
#include "hexfile/hex_file_commands.h"
#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"
#include "support/recording_host.h"
#include "support/temp_settings.h"

namespace tessaflex::hexfile {
namespace {

using Config = std::array<std::int32_t, devices::kConfigBytes>;

// Images erased for a model with these sizes and erased configuration values.
devices::MemoryImages erased_images(std::int32_t flash_size, std::int32_t eeprom_size,
                                    const Config& configerased = {}) {
  devices::CurrentDevice device;
  device.flash_size = flash_size;
  device.eeprom_size = eeprom_size;
  device.configerased = configerased;
  devices::MemoryImages images;
  devices::erase_images(device, images);
  return images;
}

// ":" + body + its checksum: a record that always passes the checksum test.
std::string record(std::string_view body) {
  std::string line = ":";  // appended, not ":" + string: g++ 12 warns wrongly on that in release builds
  return line.append(body).append(hexfile::hex_checksum(body));
}

// CR LF ended data records for n bytes from address field first (first + n <= 0x10000), per a record.
std::string records(int first, int n, int per, char fill) {
  std::string text;
  for (int a = 0; a < n; a += per) {
    const auto count = std::min(per, n - a);
    text += record(core::byte_to_hex(count) + core::word_to_hex(first + a) + "00" +
                   std::string(2 * static_cast<std::size_t>(count), fill)) +
            "\r\n";
  }
  return text;
}

// Address -> byte, in chip addresses: FLASH from 0, configuration at 0x300000, EEPROM at 0xF00000.
using ByteMap = std::map<std::uint64_t, std::uint8_t>;

// The bytes of images that differ from erased.
ByteMap changed_bytes(const devices::MemoryImages& images, const devices::MemoryImages& erased) {
  ByteMap bytes;
  for (std::size_t a = 0; a < images.flash_image.size(); ++a)
    if (images.flash_image[a] != erased.flash_image.at(a)) bytes[a] = images.flash_image[a];
  for (std::size_t k = 0; k < devices::kConfigBytes; ++k)
    if (images.config_image[k] != erased.config_image[k])
      bytes[0x300000 + k] = static_cast<std::uint8_t>(images.config_image[k]);
  for (std::size_t a = 0; a < images.eeprom_image.size(); ++a)
    if (images.eeprom_image[a] != erased.eeprom_image.at(a)) bytes[0xF00000 + a] = images.eeprom_image[a];
  return bytes;
}

// Sets each byte at its chip address in images; one at no address of theirs is dropped.
void set_bytes(devices::MemoryImages& images, const ByteMap& bytes) {
  for (const auto& [a, value] : bytes) {
    if (a < images.flash_image.size()) images.flash_image[a] = value;
    if (a - 0x300000 < devices::kConfigBytes) images.config_image[a - 0x300000] = value;
    if (a - 0xF00000 < images.eeprom_image.size()) images.eeprom_image[a - 0xF00000] = value;
  }
}

// Reads text into erased images of a 32 KB FLASH, 256-byte EEPROM model: "<address>=<byte>" for each changed
// byte, "| end <n>" (hex), then "| reason <n>, line <n>" (an error box) or "| <count>: <list>" (a warning).
std::string outcome(std::string_view text) {
  const devices::MemoryImages erased = erased_images(32768, 256);
  devices::MemoryImages images = erased;
  std::int32_t end = 0;
  const HexReadResult result = read_hex_text(text, images, end);
  std::ostringstream out;
  out << std::uppercase << std::hex;
  for (const auto& [address, value] : changed_bytes(images, erased)) out << address << "=" << +value << " ";
  out << "| end " << end << std::dec;
  if (result.status == HexReadStatus::refused)
    out << " | reason " << static_cast<int>(result.reason) << ", line " << result.line;
  for (const HexMessage& message : result.messages) {
    EXPECT_EQ(message.kind, result.accepted() ? core::BoxKind::information : core::BoxKind::error);
    const std::string list = message.text.substr(message.text.find("range:\r\n") + 8);
    if (result.accepted()) out << " | " << result.out_of_range << ": " << list.substr(0, list.size() - 2);
  }
  EXPECT_EQ(result.messages.size(), result.accepted() && result.out_of_range == 0 ? 0u : 1u);
  return out.str();
}

// The outcome of n out-of-range bytes from first, "..., " after the entry at cut, going on at resume.
std::string listed(int n, int cut = -1, int resume = 0, int first = 0xA000) {
  std::string out = "| end 0 | " + std::to_string(n) + ": ";
  for (int i = 0; i < n; i = (i == cut ? resume : i + 1))
    out += core::addr_to_hex(first + i) + (i == cut ? ", ..., " : ", ");
  return out.substr(0, out.size() - 2) + ".";
}

TEST(HexReader, Reads) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
    // Refused, with the first failure's reason and line; bytes stored before it stay. Only blanks
    // end a line short (a tab stays); lower-case hex is no hex.
    {"X00000001FF", "| end 0 | reason 1, line 1"}, {" :00000001FF", "| end 0 | reason 1, line 1"},
    {":0000000FF", "| end 0 | reason 2, line 1"}, {":00000001F   ", "| end 0 | reason 2, line 1"},
    {":00000001FE", "| end 0 | reason 3, line 1"}, {":0100000017e8", "| end 0 | reason 3, line 1"},
    {":00000001FF\t", "| end 0 | reason 3, line 1"}, {":0400000300000000F9", "| end 0 | reason 4, line 1"},
    {":0000000G01", "| end 0 | reason 4, line 1"}, {":020010040030BA", "| end 0 | reason 5, line 1"},
    {":030000040030FFCA", "| end 0 | reason 5, line 1"}, {":0G00G0000101", "| end 0 | reason 6, line 1"},
    {":0200G00001FE", "| end 0 | reason 7, line 1"}, {":04000000010203F6", "| end 0 | reason 10, line 1"},
    {":0200000001020FB", "| end 0 | reason 10, line 1"}, {":01000000ab00", "| end 0 | reason 11, line 1"},
    {":030010001122G3BB", "10=11 11=22 | end 12 | reason 11, line 1"},
    {":020000040020DA\n:010007000GF9", "| end 0 | reason 11, line 2"},
    {":020000021234B6", "| end 0 | reason 13, line 1"}, {":0100000210ED", "| end 0 | reason 13, line 1"},
    {":020010021230AA", "| end 0 | reason 13, line 1"},
    {":00000003FD\n:00000001FE\nX", "| end 0 | reason 4, line 1"},
    {":0100000011EE\n:0100030044B8\n:0200000003FB", "0=11 3=44 | end 4 | reason 10, line 3"},
    // Line numbers: a run of k line-end characters counts as ceil(k / 4) lines.
    {":00000005FB\rX", "| end 0 | reason 1, line 2"}, {":00000005FB\n\n\n\nX", "| end 0 | reason 1, line 2"},
    {":00000005FB\r\n\r\n\r\nX", "| end 0 | reason 1, line 3"},
    {":00000005FB\n\n\n\n\nX", "| end 0 | reason 1, line 3"},
    {":00000005FB\n; note\n   \nX", "| end 0 | reason 1, line 4"},
    // Accepted: blank and comment lines, no end record, nothing read after it, data records without data.
    {"", "| end 0"}, {"\r\n   \r\n; a comment\r\n;:garbage  \n\n\n\n\n\n  ", "| end 0"},
    {":020000001234B8\n:010010005699", "0=12 1=34 10=56 | end 11"},
    {":020000001234B8\n:00000001FF\nX\n:010010005699", "0=12 1=34 | end 2"},
    {":FF000005G1G2FE\n:0100000012ED\n:07123401ZZB3", "0=12 | end 1"},
    {":10000000F0\n:0000000000\n:GGGGGG0003", "| end 0"},
    // The address map.
    {":0101000011ED\n:01010F0022CD\n:0100200033AC", "20=33 100=11 10F=22 | end 110"},
    {":047FFE000102030475", "7FFE=1 7FFF=2 | end 8000 | 2: 008000, 008001."},
    {":020000040030CA\n:0100000011EE\n:02000D0022339C", "300000=11 30000D=22 | end 0 | 1: 30000E."},
    {":0200000400F00A\n:0100000055AA\n:0300FE006677889A",
     "F00000=55 F000FE=66 F000FF=77 | end 0 | 1: F00100."},
    {":020000040020DA\n:080000000102030405060708D4\n:02000004003FBB\n:02FFFE00AABB9C", "| end 0"},
    {":020000040020DA\n:020007000102F4\n:02000004003FBB\n:02FFFD000102FF", "| end 0 | 2: 200008, 3FFFFD."},
    {":020000021000EC\n:020000040001F9\n:02000000ABCD86", "| end 0 | 2: 020000, 020001."},
    {":02000004FFFFFC\n:020000021000EC\n:0100000042BD", "| end 0 | 1: 000000."},
    {":02000004FFFFFC\n:02000002FFF00D\n:01FFFF00G102", "| end 0 | 1: 0FFEFF."},
    // The out-of-range list: up to 24 entries, else the first 16, "...", the last 8.
    {records(0xA000, 24, 16, 'G'), listed(24)}, {records(0xA000, 25, 16, 'G'), listed(25, 15, 17)},
    {":01A00000015E\n:01A00000025D\n:01A00000035C", "| end 0 | 3: 00A000, 00A000, 00A000."},
    {":01900000AAC5\n:027FFF0001027D\n:01900100BBB3", "7FFF=1 | end 8000 | 3: 009000, 008000, 009001."}};
  // clang-format on
  for (const auto& [text, expected] : cases) EXPECT_EQ(outcome(text), expected) << text;
}

TEST(HexReader, MillionsOfOutOfRangeBytesKeepAShortBox) {
  std::string text;  // 2^16 records of 16 bytes from 0x100000: 1,048,576 bytes out of range
  for (int block = 0x10; block < 0x20; ++block)
    text += record("02000004" + core::word_to_hex(block)) + "\r\n" + records(0, 65536, 16, '7');
  EXPECT_EQ(outcome(text), listed(1 << 20, 15, (1 << 20) - 8, 0x100000));
}

const std::string kBase0 = ":020000040000FA\r\n", kConfigBase = ":020000040030CA\r\n",
                  kEnd = ":00000001FF\r\n", kEepromBase = ":0200000400F00A\r\n";
const std::string kEmpty16 = ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n";
const std::string kZeroConfig = ":0E0000000000000000000000000000000000F2\r\n";

TEST(HexWriter, WholeFiles) {
  const struct {
    std::int32_t flash_size, eeprom_size;
    Config config;  // the model's erased values
    ByteMap bytes;  // set before writing, at chip addresses
    std::string file;
  } cases[] = {
      // clang-format off
      // Blank images give three lines.
      {32768, 256, {0, 0x27, 0x0F, 0x0F, 0, 1, 0x85, 0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}, {},
       kConfigBase + ":0E00000000270F0F000185000FC00FE00F401A\r\n" + kEnd},
      // The last used byte at an even address (32) ends its pair.
      {128, 0, {}, {{32, 0x00}},
       kBase0 + kEmpty16 + ":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0\r\n:0200200000FFDF\r\n" +
           kConfigBase + kZeroConfig + kEnd},
      // Odd-sized images end at their last byte, never past it; a configuration value of -1 is FF.
      {3, 3, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, {{2, 0x01}, {0xF00002, 0x02}},
       kBase0 + ":03000000FFFF01FE\r\n" + kConfigBase + ":0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n" +
           kEepromBase + ":03000000FFFF02FD\r\n" + kEnd},
      // clang-format on
  };
  for (const auto& c : cases) {
    devices::MemoryImages images = erased_images(c.flash_size, c.eeprom_size, c.config);
    set_bytes(images, c.bytes);
    EXPECT_EQ(hex_file_text(images), c.file);
  }
}

TEST(HexWriter, FlashBeyond64KGetsASecondBase) {
  devices::MemoryImages images = erased_images(0x20000, 1024);
  images.flash_image[0x10011] = 0x42;
  images.eeprom_image[0x3FF] = 0x77;
  EXPECT_NE(hex_file_text(images).find(":10FFF000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF11\r\n:020000040001F9\r\n" +
                                       kEmpty16 + ":02001000FF42AD\r\n" + kConfigBase + kZeroConfig +
                                       kEepromBase + kEmpty16),
            std::string::npos);
}

// Runs a program with its arguments (no shell, so paths may hold blanks) and returns its output.
std::string output_of(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  const bool ran = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
                   process.exitCode() == 0;
  EXPECT_TRUE(ran) << program.toStdString() << " failed (scripts/install-deps.sh installs it): "
                   << process.readAllStandardError().toStdString();
  return process.readAllStandardOutput().toStdString();
}

// The bytes Python's intelhex reads from the HEX file at path, or (srec_cat) from the file srec_cat writes
// from it in its own Intel form, which a bad record or checksum fails.
ByteMap intelhex_bytes(const std::string& path, bool srec_cat = false) {
  const QString file = QString::fromStdString(srec_cat ? path + ".srec_cat" : path);
  if (srec_cat) output_of("srec_cat", {QString::fromStdString(path), "-Intel", "-o", file, "-Intel"});
  std::istringstream lines(output_of(
      "/usr/bin/python3",
      {"-c",
       "import sys, intelhex\nh = intelhex.IntelHex(sys.argv[1])\nfor a in h.addresses(): print(a, h[a])",
       file}));
  ByteMap bytes;
  for (unsigned long long a = 0, v = 0; lines >> a >> v;) bytes[a] = static_cast<std::uint8_t>(v);
  return bytes;
}

// Each gpasm fixture loads as intelhex reads it (the ID locations dropped); from a file we write from it,
// srec_cat and intelhex read FLASH and EEPROM up to their used lengths and the 14 configuration bytes.
TEST(HexWriter, GpasmFixturesLoadAsIntelhexReadsThemAndWrittenFilesPassSrecCat) {
  const std::tuple<const char*, std::int32_t, std::int32_t> fixtures[] = {
      {"pic18f452_fxx2", 32768, 256},   {"pic18f1320_x220", 8192, 256},  {"pic18f4520_2xxx", 32768, 256},
      {"pic18f4620_2xxx", 65536, 1024}, {"pic18f45k20_k20", 32768, 256}, {"pic18f45k22_k22", 32768, 256}};
  QTemporaryDir dir;
  LocalFileAccess files;
  for (const auto& [name, flash_size, eeprom_size] : fixtures) {
    const std::string path = TESSAFLEX_FIXTURES_DIR "/hex/" + std::string(name) + ".hex";
    const devices::MemoryImages erased = erased_images(flash_size, eeprom_size);
    devices::MemoryImages images = erased;
    devices::MemoryImages expected = erased;
    std::int32_t end = 0;
    EXPECT_TRUE(read_hex_file(path, files, images, end).messages.empty()) << name;
    set_bytes(expected, intelhex_bytes(path));
    EXPECT_EQ(changed_bytes(images, erased), changed_bytes(expected, erased)) << name;
    ByteMap written;
    for (std::size_t a = 0; a < used_length(images.flash_image); ++a) written[a] = images.flash_image[a];
    for (std::size_t k = 0; k < devices::kConfigBytes; ++k)
      written[0x300000 + k] = static_cast<std::uint8_t>(images.config_image[k]);
    for (std::size_t a = 0; a < used_length(images.eeprom_image); ++a)
      written[0xF00000 + a] = images.eeprom_image[a];
    ASSERT_FALSE(write_hex_file(dir.filePath(name).toStdString(), images, files).failed());
    EXPECT_EQ(intelhex_bytes(dir.filePath(name).toStdString(), true), written) << name;
  }
}

using Events = std::vector<std::string>;

TEST(CommandTexts, KFigureAndShortenedPath) {
  const std::pair<std::int64_t, const char*> table[] = {
      {0, "0"},        {512, ".5"},    {1000, ".976"}, {1234, "1.20"},   {10500, "10.2"},
      {131072, "128"}, {1280, "1.25"}, {1024, "1"},    {524400, "512."}, {10240000, "1000"},
      {103, ".100"},   {102, ".099"},  {1, ".000"}};
  for (const auto& [n, k] : table) EXPECT_EQ(k_figure(n), k) << "n = " << n;
  // The last seventy characters, not bytes: a two-byte character is never cut.
  const std::string seventy = "/" + std::string(69, 'a'), accented = "\xC3\xA9" + std::string(69, 'x');
  EXPECT_EQ(std::tuple(shorten_path(seventy), shorten_path("b" + seventy), shorten_path(accented),
                       shorten_path("\xC3\xA9" + accented)),
            std::tuple(seventy, "... " + seventy, accented, "... " + accented));
}

// The window, logging every call in order, and an in-memory file system whose replace can fail at one stage.
class HexCommands : public ::testing::Test, public test::RecordingHost, public FileAccess {
 protected:
  HexCommands() {
    workspace.current_device.flash_size = 32768;
    workspace.current_device.eeprom_size = 256;
    devices::erase_images(workspace.current_device, workspace.memory_images);
  }
  void set_status(std::string_view text) override { events.push_back("status:" + std::string(text)); }
  void disable() override { events.emplace_back("disable"); }
  void enable() override { events.emplace_back("enable"); }
  void updatedisplay() override { events.emplace_back("redraw"); }
  core::BoxAnswer message_box(std::string_view text, core::BoxKind kind, std::string_view caption) override {
    events.push_back("box:" + std::to_string(int(kind)) + ":" + std::string(caption) + ":" +
                     std::string(text));
    return answer;
  }
  bool exists(const std::string& path) override { return files.count(path) > 0; }
  FileError read_all(const std::string& path, std::string& contents) override {
    contents = exists(path) ? files[path] : "";
    return exists(path) ? FileError{} : FileError{FileError::Stage::read, "No such file or directory"};
  }
  FileError replace(const std::string& path, std::string_view contents) override {
    if (fail_at == FileError::Stage::none) files[path] = contents;
    return {fail_at, fail_at == FileError::Stage::none ? "" : "No space left on device"};
  }

  HexFileCommands commands(FileAccess& with) {
    return HexFileCommands(workspace, settings.store(), *this, with,
                           [this](std::string_view text) { events.push_back("label:" + std::string(text)); });
  }
  std::string last_path_setting() const { return settings.store().get_setting("Last Path", "(none)"); }
  ByteMap changed() const { return changed_bytes(workspace.memory_images, erased_images(32768, 256)); }

  devices::Workspace workspace;
  test::TempSettings settings;
  Events events;
  core::BoxAnswer answer = core::BoxAnswer::yes;
  std::map<std::string, std::string> files;
  FileError::Stage fail_at = FileError::Stage::none;
};

TEST_F(HexCommands, OpenErasesLoadsWarnsAndReportsTheBytesUpToTheEnd) {
  // All reset by the load: a byte, a configuration value and the loaded end.
  workspace.memory_images.flash_image[0x7000] = 0;
  workspace.memory_images.config_image[1] = 0x99;
  workspace.flash_loaded_end = 99999;
  const std::string folder = "/" + std::string(80, 'f') + "/", path = folder + "a.hex";  // the label shows 70
  files[path] = records(0, 0x500, 16, '1') + record("0180000001");                       // 1 beyond 32K
  EXPECT_TRUE(commands(*this).open(path));
  EXPECT_EQ(events,
            (Events{"disable",
                    "box:64::Warning!\r\nInput program file in Intel Hex Format contains errors.\r\n"
                    "There are data for 1 addresses out of range:\r\n008000.\r\n",
                    "redraw", "label:... " + path.substr(17),
                    "status:Operation completed. Total 1280 (1.25K) program bytes loaded.", "enable"}));
  EXPECT_EQ(std::tuple(workspace.last_path, last_path_setting(), changed().size()),
            std::tuple(folder, folder, 1280u));
}

TEST_F(HexCommands, RefusedFileLeavesEverythingErasedAndItsFolderStoredFirst) {
  files["/work/bad.hex"] = records(0, 6 * 16, 16, '0') + record("00000003");  // line 7
  EXPECT_FALSE(commands(*this).open("/work/bad.hex"));
  EXPECT_EQ(events, (Events{"disable",
                            "box:16::Input program file in Intel Hex Format contains errors.\r\n"
                            "Line number 7: Invalid 'record type' field in the record.",
                            "redraw", "label:", "status:HEX file not loaded!", "enable"}));
  EXPECT_EQ(std::tuple(changed(), last_path_setting()), std::tuple(ByteMap{}, "/work/"));
}

TEST_F(HexCommands, SaveWritesAndAsksBeforeOverwriting) {
  workspace.memory_images.flash_image[0] = 0x12;
  workspace.flash_loaded_end = 77;
  EXPECT_FALSE(commands(*this).open("") || commands(*this).save(""));  // cancelled dialogs change nothing
  EXPECT_TRUE(files.empty() && last_path_setting() == "(none)");
  EXPECT_TRUE(commands(*this).save("/out/a.hex"));
  EXPECT_EQ(events, (Events{"disable", "label:/out/a.hex", "enable", "status:HEX file saved."}));
  EXPECT_EQ(std::tuple(files.at("/out/a.hex"), last_path_setting(), workspace.flash_loaded_end, changed()),
            std::tuple(hex_file_text(workspace.memory_images), "/out/", 77, ByteMap{{0, 0x12}}));
  events.clear();
  files["/out/b.hex"] = "old";
  answer = core::BoxAnswer::no;
  EXPECT_FALSE(commands(*this).save("/out/b.hex"));
  EXPECT_EQ(std::pair(events, files.at("/out/b.hex")),
            std::pair(Events{"box:4::Do you want to overwrite file /out/b.hex?"}, std::string("old")));
  answer = core::BoxAnswer::ok;  // any answer but No replaces the file
  EXPECT_TRUE(commands(*this).save("/out/b.hex"));
  EXPECT_EQ(files.at("/out/b.hex"), hex_file_text(workspace.memory_images));
}

TEST_F(HexCommands, SaveFailuresReachTheUserAndKeepTheOldFile) {
  files["/out/old.hex"] = "old";
  using enum FileError::Stage;
  for (const auto& [stage, what] :
       {std::pair{create, "created"}, {write, "written"}, {replace, "replaced"}}) {
    events.clear();
    fail_at = stage;
    EXPECT_FALSE(commands(*this).save("/out/old.hex"));
    EXPECT_EQ(events, (Events{"box:4::Do you want to overwrite file /out/old.hex?", "disable",
                              "box:16::The file /out/old.hex cannot be " + std::string(what) +
                                  ":\r\nNo space left on device\r\n"
                                  "The buffer was not saved; a file that was there before is unchanged.",
                              "enable", "status:HEX file not saved!"}));
  }
}

TEST_F(HexCommands, OnDiskASaveIntoAReadOnlyFolderKeepsTheOldFile) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/locked folder", path = folder + "/old.hex";
  ASSERT_EQ(chmod(dir.path().toStdString().c_str(), 0755) | mkdir(folder.c_str(), 0755), 0);
  std::ofstream(path, std::ios::binary) << "old contents\r\n";
  // The old file is writable by anyone, the folder by no one: only a write in place could succeed.
  ASSERT_EQ(chmod(path.c_str(), 0666) | chmod(folder.c_str(), 0555), 0);
  LocalFileAccess local;
  // Root passes every permission check, so this thread saves as nobody (a no-op for anyone else).
  setfsuid(65534);
  setfsgid(65534);
  EXPECT_FALSE(commands(local).save(path));
  setfsuid(0);
  setfsgid(0);
  EXPECT_EQ((std::ostringstream() << std::ifstream(path).rdbuf()).str(), "old contents\r\n");
  EXPECT_TRUE(events.at(2).starts_with("box:16::The file " + path + " cannot be created:\r\n") &&
              events.back() == "status:HEX file not saved!");
  // Once the folder is writable the save leaves no temporary file; a missing file or a folder is unreadable.
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  EXPECT_TRUE(commands(local).save(path));
  EXPECT_EQ(QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden).size(), 1);
  for (const std::string& unreadable : {folder + "/none.hex", folder}) {
    EXPECT_FALSE(commands(local).open(unreadable));
    EXPECT_TRUE(events.end()[-5].starts_with("box:16::The file " + unreadable + " cannot be read:\r\n") &&
                events.end()[-2] == "status:HEX file not loaded! The file cannot be read.");
  }
}

}  // namespace
}  // namespace tessaflex::hexfile
