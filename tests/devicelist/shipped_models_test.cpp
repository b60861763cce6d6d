// Every model of the shipped device list, run end to end on the virtual programmer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "devices/current_device.h"
#include "devices/device_list.h"
#include "devices/memory_images.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "engine/statement_table.h"
#include "hexfile/hex_reader.h"
#include "link/report_layer.h"
#include "sim/virtual_programmer.h"
#include "support/recording_host.h"

namespace tessaflex::devicelist::testing {
namespace {

using tessaflex::sim::ChipDevice;
using tessaflex::sim::VirtualProgrammer;
using tessaflex::testing::RecordingHost;

const devices::DeviceList& shipped_list() {
  static const devices::DeviceList list = [] {
    devices::DeviceListLoad load = devices::load_device_list(TESSAFLEX_DEVICE_LIST);
    if (!load.error.empty()) ADD_FAILURE() << load.error;
    return load.list;
  }();
  return list;
}

std::vector<std::int32_t> shipped_model_numbers() {
  std::vector<std::int32_t> numbers;
  for (std::int32_t m = 1; m <= shipped_list().model_count; ++m) numbers.push_back(m);
  return numbers;
}

std::string model_name(std::int32_t number) {
  return shipped_list().device_list[static_cast<std::size_t>(number)].model;
}

// "PIC18F452" -> "pic18f452"
std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// One model of the file, a programmer holding that part and an engine between them.
class ShippedModel : public ::testing::TestWithParam<std::int32_t> {
 protected:
  void SetUp() override {
    workspace.current_device.model_index = GetParam();
    ASSERT_TRUE(devices::apply_selected_model(shipped_list(), workspace.current_device));
    devices::erase_images(workspace.current_device, workspace.memory_images);
    host.on_sleep = programmer.sleep_hook();
    programmer.connect();
  }

  const ChipDevice& chip() const { return programmer.device(); }
  devices::MemoryImages& images() { return workspace.memory_images; }

  // The gpasm-built fixture of the part, loaded into erased images.
  void load_fixture() {
    devices::erase_images(workspace.current_device, images());
    const std::string path = std::string(TESSAFLEX_FIXTURES_DIR) + "/devicelist/" +
                             lower(workspace.current_device.model_name) + ".hex";
    const std::string text = read_text(path);
    ASSERT_FALSE(text.empty()) << path;
    std::int32_t loaded_end = -1;
    const hexfile::HexReadResult result = hexfile::read_hex_text(text, images(), loaded_end);
    ASSERT_TRUE(result.accepted()) << path;
    ASSERT_EQ(result.out_of_range, 0u) << path;
    fixture = images();
  }

  void expect_clean_protocol(const char* after) {
    EXPECT_TRUE(programmer.violations().empty()) << after << ":\n" << programmer.violations_text();
    EXPECT_FALSE(programmer.powered()) << after;
  }

  void expect_status(const char* prefix) { EXPECT_TRUE(host.status().starts_with(prefix)) << host.status(); }

  // The chip holds the fixture: FLASH and EEPROM byte for byte, every implemented
  // configuration byte as the image gives it, the unimplemented ones 00.
  void expect_chip_holds_fixture() {
    EXPECT_EQ(programmer.flash(), fixture.flash_image);
    EXPECT_EQ(programmer.eeprom(), fixture.eeprom_image);
    for (std::size_t i = 0; i < devices::kConfigBytes; ++i) {
      const std::int32_t expected = chip().config_mask[i] != 0 ? fixture.config_image[i] : 0;
      EXPECT_EQ(programmer.config()[i], expected) << "CONFIG byte " << i;
    }
  }

  std::string last_box() const { return host.boxes.empty() ? std::string() : host.boxes.back().text; }

  devices::Workspace workspace;
  RecordingHost host;
  VirtualProgrammer programmer{model_name(GetParam())};
  link::ReportLayer reports{programmer};
  engine::Engine engine{workspace, reports, programmer, host, "Tessaflex"};
  devices::MemoryImages fixture;
};

TEST_P(ShippedModel, FieldsMatchThePart) {
  const devices::CurrentDevice& d = workspace.current_device;
  EXPECT_EQ(d.flash_size, chip().flash_size);
  EXPECT_EQ(d.eeprom_size, chip().eeprom_size);
  EXPECT_EQ(d.page_size, chip().write_buffer);
  EXPECT_EQ(d.voltage_seq, 1);
  for (std::size_t i = 0; i < devices::kConfigBytes; ++i) {
    EXPECT_EQ(d.configerased[i], chip().config_erased[i]) << "CONFIG byte " << i;
  }
  // Configuration bytes of K20/K22 need P9A = 5 ms, the others P9 = 1 ms.
  const bool k_family =
      chip().family == tessaflex::sim::Family::k20 || chip().family == tessaflex::sim::Family::k22;
  EXPECT_GE(d.prog_time, k_family ? 5 : 1);
  EXPECT_LE(d.prog_time, 255);
}

// Statements the interpreter knows but that no shipped algorithm may send.
struct Forbidden {
  std::string_view prefix;
  const char* why;
};
constexpr Forbidden kForbidden[] = {
    {"waitwr", "polls WR with no NOP between MOVWF TABLAT and the shift-out, which silicon may need"},
    {"s0e-", "command 1110 is a post-decrement write on FXX2/X220 but starts programming on the others"},
};

// A statement the interpreter does not know ends the whole program, and one in a branch that
// no end-to-end run takes (an ifpage block, an EEPROM loop) would only show up on a user's chip.
TEST_P(ShippedModel, AlgorithmsUseOnlyKnownSafeStatements) {
  for (std::size_t kind = 0; kind < devices::kAlgorithmKinds; ++kind) {
    for (const std::string& s : workspace.current_device.instructions[kind]) {
      EXPECT_NE(engine::find_statement_form(s), nullptr) << "algorithm kind " << kind << ": '" << s << "'";
      for (const Forbidden& f : kForbidden) {
        EXPECT_FALSE(s.starts_with(f.prefix)) << "algorithm kind " << kind << ": " << s << " " << f.why;
      }
    }
  }
}

TEST(ShippedList, FitsTheModelPicker) {
  EXPECT_GE(shipped_list().model_count, 1);
  EXPECT_LE(shipped_list().model_count, 70);
}

TEST_P(ShippedModel, EraseAllLeavesABlankChip) {
  for (std::int32_t a = 0; a < chip().flash_size; a += 97) programmer.set_flash(a, 0x00);
  for (std::int32_t a = 0; a < chip().eeprom_size; a += 13) programmer.set_eeprom(a, 0x5A);
  programmer.set_config(1, 0x00);
  programmer.set_config(11, 0x00);  // WRTC, WRTB, WRTD: only a bulk erase clears them

  engine.blank_check();
  expect_status("Chip is not blank. ");

  engine.erase_all();
  expect_status("Chip erased. ");
  expect_clean_protocol("erase all");
  EXPECT_TRUE(
      std::all_of(programmer.flash().begin(), programmer.flash().end(), [](auto b) { return b == 0xFF; }));
  EXPECT_TRUE(
      std::all_of(programmer.eeprom().begin(), programmer.eeprom().end(), [](auto b) { return b == 0xFF; }));
  EXPECT_EQ(programmer.config(), chip().config_erased);

  programmer.clear_log();
  host.boxes.clear();
  engine.blank_check();
  expect_status("Chip is blank. ");
  EXPECT_TRUE(host.boxes.empty()) << last_box();
  expect_clean_protocol("blank check");
}

// Program all starts from a dirty chip with every code, data and write protection bit
// programmed (CONFIG5L..CONFIG7H all 0), which only its bulk erase can undo.
TEST_P(ShippedModel, ProgramAllOverAProtectedChipThenReadAndVerify) {
  for (std::int32_t a = 0; a < chip().flash_size; a += 61) programmer.set_flash(a, 0x00);
  for (std::int32_t a = 0; a < chip().eeprom_size; a += 7) programmer.set_eeprom(a, 0x00);
  for (std::int32_t i = 8; i < 14; ++i) programmer.set_config(i, 0x00);
  load_fixture();
  engine.program_all();
  expect_status("Chip programmed. ");
  expect_clean_protocol("program all over a protected chip");
  expect_chip_holds_fixture();

  devices::erase_images(workspace.current_device, images());
  engine.read_all();
  expect_status("Chip read. ");
  expect_clean_protocol("read all");
  EXPECT_EQ(images().flash_image, fixture.flash_image);
  EXPECT_EQ(images().eeprom_image, fixture.eeprom_image);
  for (std::size_t i = 0; i < devices::kConfigBytes; ++i) {
    const std::int32_t expected = chip().config_mask[i] != 0 ? fixture.config_image[i] : 0;
    EXPECT_EQ(images().config_image[i], expected) << "CONFIG byte " << i;
  }

  // A flipped FLASH bit in the last page, an EEPROM byte (past EEADRH 0 on the 1 KB parts) and a
  // configuration bit: verify names exactly these locations, in the order it reads them, so
  // every other byte of every memory verified clean.
  images() = fixture;
  auto hex2 = [](unsigned v) {
    char t[8];
    std::snprintf(t, sizeof t, "%02Xh", v & 0xFF);
    return std::string(t);
  };
  auto line = [](const std::string& location, const std::string& read, const std::string& expected) {
    return location + ",   " + read + ",   " + expected + ",\r\n";
  };
  std::string expected_lines;
  std::int32_t corruptions = 0;

  const std::int32_t flash_at = chip().flash_size - 3;
  const std::uint8_t flash_was = programmer.flash()[static_cast<std::size_t>(flash_at)];
  programmer.set_flash(flash_at, static_cast<std::uint8_t>(flash_was & 0xEF));
  char location[32];
  std::snprintf(location, sizeof location, "FLASH Byte %06Xh", static_cast<unsigned>(flash_at));
  expected_lines += line(location, hex2(flash_was & 0xEFu), hex2(flash_was));
  ++corruptions;

  const std::uint8_t config2h_was = programmer.config()[3];
  programmer.set_config(3, static_cast<std::uint8_t>(config2h_was ^ 0x01));
  expected_lines += line("CONF Byte 300003h", hex2(config2h_was ^ 0x01u), hex2(config2h_was));
  ++corruptions;

  if (chip().eeprom_size > 0) {
    const std::int32_t eeprom_at = chip().eeprom_size > 256 ? 0x103 : 0x03;
    const std::uint8_t eeprom_was = programmer.eeprom()[static_cast<std::size_t>(eeprom_at)];
    programmer.set_eeprom(eeprom_at, static_cast<std::uint8_t>(eeprom_was ^ 0x81));
    std::snprintf(location, sizeof location, "EEPROM Byte %04Xh", static_cast<unsigned>(eeprom_at));
    expected_lines += line(location, hex2(eeprom_was ^ 0x81u), hex2(eeprom_was));
    ++corruptions;
  }

  host.boxes.clear();
  programmer.clear_log();
  engine.verify_chip();
  expect_status("Chip verify failed. ");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(engine.mismatch_state().mismatch_count, corruptions) << last_box();
  EXPECT_TRUE(last_box().ends_with("Expected,\r\n" + expected_lines)) << last_box();
  expect_clean_protocol("verify of a corrupted chip");
}

INSTANTIATE_TEST_SUITE_P(Models, ShippedModel, ::testing::ValuesIn(shipped_model_numbers()),
                         [](const ::testing::TestParamInfo<std::int32_t>& param) {
                           return model_name(param.param);
                         });

// Transfers (reports) and simulated wire time of whole-memory runs on the largest part of each
// family. The FLASH rows must cost their data words, the programming NOP and the two reads that
// step TBLPTR, and nothing per row beyond that: an address reload per row would show here.
struct LargestPart {
  const char* model;
  std::int32_t row_overhead;  // reports per row besides the data words
};

class TransferCounts : public ::testing::TestWithParam<LargestPart> {};

TEST_P(TransferCounts, FlashRowsCostTheirWordsAndAFixedStep) {
  const devices::DeviceList& list = shipped_list();
  std::int32_t number = 0;
  for (std::int32_t m = 1; m <= list.model_count; ++m) {
    if (model_name(m) == GetParam().model) number = m;
  }
  ASSERT_NE(number, 0) << GetParam().model;
  devices::Workspace workspace;
  workspace.current_device.model_index = number;
  ASSERT_TRUE(devices::apply_selected_model(list, workspace.current_device));
  const devices::CurrentDevice& d = workspace.current_device;
  auto run = [&](bool flash_full, bool eeprom_full, void (engine::Engine::*operation)(),
                 std::int64_t& reports, double& ms) {
    RecordingHost host;
    VirtualProgrammer programmer{GetParam().model};
    host.on_sleep = programmer.sleep_hook();
    programmer.connect();
    link::ReportLayer layer{programmer};
    engine::Engine engine{workspace, layer, programmer, host, "Tessaflex"};
    devices::erase_images(d, workspace.memory_images);
    auto& images = workspace.memory_images;
    if (flash_full) {
      for (std::size_t a = 0; a < images.flash_image.size(); ++a)
        images.flash_image[a] = static_cast<std::uint8_t>(a * 7);
    }
    if (eeprom_full) {
      for (std::size_t a = 0; a < images.eeprom_image.size(); ++a)
        images.eeprom_image[a] = static_cast<std::uint8_t>(a * 3);
    }
    (engine.*operation)();
    EXPECT_TRUE(programmer.violations().empty()) << programmer.violations_text();
    reports = static_cast<std::int64_t>(programmer.reports().size());
    ms = programmer.now_ms();
  };
  std::int64_t one_page = 0, flash_full = 0, eeprom_full = 0, everything = 0, read = 0;
  double ms = 0, program_ms = 0, read_ms = 0;
  run(false, false, &engine::Engine::program_all, one_page, ms);
  run(true, false, &engine::Engine::program_all, flash_full, ms);
  run(false, true, &engine::Engine::program_all, eeprom_full, ms);
  run(true, true, &engine::Engine::program_all, everything, program_ms);
  run(false, false, &engine::Engine::read_all, read, read_ms);

  const std::int64_t rows = d.flash_size / d.page_size;
  EXPECT_EQ(flash_full - one_page, (rows - 1) * (d.page_size + GetParam().row_overhead));
  const double kb = d.flash_size / 1024.0;
  const double rows_kb = static_cast<double>(d.flash_size - d.page_size) / 1024.0;
  std::printf(
      "%-12s program FLASH %.0f reports/KB, EEPROM %.1f reports/byte, full program %lld reports "
      "%.1f s; read all %lld reports (%.0f/KB of FLASH) %.1f s\n",
      GetParam().model, static_cast<double>(flash_full - one_page) / rows_kb,
      static_cast<double>(eeprom_full - one_page) / d.eeprom_size, static_cast<long long>(everything),
      program_ms / 1000.0, static_cast<long long>(read), static_cast<double>(read) / kb, read_ms / 1000.0);
}

// The data words of a row are page_size reports (command and operand per word); the
// programming NOP is one report and the two stepping reads are two reports each.
INSTANTIATE_TEST_SUITE_P(Families, TransferCounts,
                         ::testing::Values(LargestPart{"PIC18F452", 5}, LargestPart{"PIC18F4320", 5},
                                           LargestPart{"PIC18F4620", 5}, LargestPart{"PIC18F46K20", 5},
                                           LargestPart{"PIC18F46K22", 5}),
                         [](const ::testing::TestParamInfo<LargestPart>& param) {
                           return std::string(param.param.model);
                         });

}  // namespace
}  // namespace tessaflex::devicelist::testing
