// Every model of the shipped device list, run end to end on the virtual programmer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "devices/current_device.h"
#include "devices/device_list.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "engine/statement_table.h"
#include "hexfile/hex_reader.h"
#include "link/report_layer.h"
#include "sim/virtual_programmer.h"
#include "support/recording_host.h"

namespace tessaflex::devicelist::testing {
namespace {

using sim::Family;

const devices::DeviceList& shipped_list() {
  static const devices::DeviceList list = [] {
    devices::DeviceListLoad load = devices::load_device_list(TESSAFLEX_DEVICE_LIST);
    if (!load.error.empty()) ADD_FAILURE() << load.error;
    return load.list;
  }();
  return list;
}
std::string model_name(std::int32_t number) { return shipped_list().device_list[std::size_t(number)].model; }
bool all_ff(const std::vector<std::uint8_t>& m) {
  return std::all_of(m.begin(), m.end(), [](auto b) { return b == 0xFF; });
}

class ShippedModel : public ::testing::TestWithParam<std::int32_t> {
 protected:
  void SetUp() override {
    workspace.current_device.model_index = GetParam();
    ASSERT_TRUE(devices::apply_selected_model(shipped_list(), workspace.current_device));
    devices::erase_images(workspace.current_device, workspace.memory_images);
    host.on_sleep = programmer.sleep_hook();
    programmer.connect();
  }
  const sim::ChipDevice& chip() const { return programmer.device(); }
  devices::MemoryImages& images() { return workspace.memory_images; }
  // A run's result text, and a clean protocol that ended with the power off.
  void expect_run(const char* status) {
    EXPECT_TRUE(host.status().starts_with(status)) << host.status();
    EXPECT_TRUE(programmer.violations().empty() && !programmer.powered())
        << status << programmer.violations_text();
    programmer.clear_log();
  }
  // The configuration bytes the chip reads back for image: 00 where the part has none.
  std::vector<std::int32_t> implemented(const devices::MemoryImages& image) const {
    std::vector<std::int32_t> bytes;
    for (std::size_t i = 0; i < devices::kConfigBytes; ++i)
      bytes.push_back(chip().config_mask[i] != 0 ? image.config_image[i] : 0);
    return bytes;
  }

  devices::Workspace workspace;
  tessaflex::testing::RecordingHost host;
  sim::VirtualProgrammer programmer{model_name(GetParam())};
  link::ReportLayer reports{programmer};
  engine::Engine engine{workspace, reports, programmer, host, "Tessaflex"};
};

// Sizes, buffer and erased configuration agree with the chip table; K20/K22 configuration needs P9A = 5 ms.
TEST_P(ShippedModel, FieldsMatchThePart) {
  const devices::CurrentDevice& d = workspace.current_device;
  EXPECT_EQ(std::tuple(d.flash_size, d.eeprom_size, d.page_size, d.voltage_seq),
            std::tuple(chip().flash_size, chip().eeprom_size, chip().write_buffer, 1));
  EXPECT_TRUE(std::equal(d.configerased.begin(), d.configerased.end(), chip().config_erased.begin()));
  EXPECT_GE(d.prog_time, chip().family == Family::k20 || chip().family == Family::k22 ? 5 : 1);
  EXPECT_LE(shipped_list().model_count, 70);  // what the model picker shows
}

// An unknown statement in a branch no run here takes would end the program on a user's chip.
// waitwr sends no NOP between MOVWF TABLAT and the shift-out; 1110 differs per family.
TEST_P(ShippedModel, AlgorithmsUseOnlyKnownSafeStatements) {
  for (const devices::StatementList& statements : workspace.current_device.instructions) {
    for (const std::string& s : statements) {
      EXPECT_NE(engine::find_statement_form(s), nullptr) << s;
      EXPECT_FALSE(s.starts_with("waitwr") || s.starts_with("s0e-")) << s;
    }
  }
}

// From a dirty chip with the write protection bits programmed, which only a bulk erase clears.
TEST_P(ShippedModel, EraseAllLeavesABlankChip) {
  for (std::int32_t a = 0; a < chip().flash_size; a += 97) programmer.set_flash(a, 0x00);
  for (std::int32_t a = 0; a < chip().eeprom_size; a += 13) programmer.set_eeprom(a, 0x5A);
  programmer.set_config(1, 0x00), programmer.set_config(11, 0x00);
  engine.blank_check();
  EXPECT_TRUE(host.status().starts_with("Chip is not blank. ")) << host.status();
  programmer.clear_log();
  engine.erase_all();
  expect_run("Chip erased. ");
  EXPECT_TRUE(all_ff(programmer.flash()) && all_ff(programmer.eeprom()));
  EXPECT_EQ(programmer.config(), chip().config_erased);
  host.boxes.clear();
  engine.blank_check();
  expect_run("Chip is blank. ");
  EXPECT_TRUE(host.boxes.empty());
}

// Program all over CONFIG5L..CONFIG7H all 0, read all, and verify with three bits flipped.
TEST_P(ShippedModel, ProgramAllOverAProtectedChipThenReadAndVerify) {
  for (std::int32_t a = 0; a < chip().flash_size; a += 61) programmer.set_flash(a, 0x00);
  for (std::int32_t a = 0; a < chip().eeprom_size; a += 7) programmer.set_eeprom(a, 0x00);
  for (std::int32_t i = 8; i < 14; ++i) programmer.set_config(i, 0x00);
  std::string name = workspace.current_device.model_name;
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  std::ifstream file(std::string(TESSAFLEX_FIXTURES_DIR) + "/devicelist/" + name + ".hex", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  std::int32_t loaded_end = -1;
  const hexfile::HexReadResult load = hexfile::read_hex_text(text.str(), images(), loaded_end);
  ASSERT_TRUE(load.accepted() && load.out_of_range == 0 && loaded_end > 0) << name;
  const devices::MemoryImages fixture = images();

  engine.program_all();
  expect_run("Chip programmed. ");
  EXPECT_TRUE(programmer.flash() == fixture.flash_image && programmer.eeprom() == fixture.eeprom_image);
  EXPECT_EQ(std::vector<std::int32_t>(programmer.config().begin(), programmer.config().end()),
            implemented(fixture));

  devices::erase_images(workspace.current_device, images());
  engine.read_all();
  expect_run("Chip read. ");
  EXPECT_TRUE(images().flash_image == fixture.flash_image && images().eeprom_image == fixture.eeprom_image);
  EXPECT_EQ(implemented(images()), implemented(fixture));

  // A FLASH bit in the last page, CONFIG2H bit 0, an EEPROM byte past EEADRH 0 on 1 KB parts.
  images() = fixture;
  char lines[200];
  const auto at = static_cast<std::size_t>(chip().flash_size - 3);
  const std::size_t ee = chip().eeprom_size > 256 ? 0x103 : 0x03;
  const unsigned f = fixture.flash_image[at], c = programmer.config()[3], e = fixture.eeprom_image[ee];
  programmer.set_flash(static_cast<std::int32_t>(at), static_cast<std::uint8_t>(f & 0xEF));
  programmer.set_config(3, static_cast<std::uint8_t>(c ^ 1));
  programmer.set_eeprom(static_cast<std::int32_t>(ee), static_cast<std::uint8_t>(e ^ 0x81));
  std::snprintf(lines, sizeof lines,
                "Expected,\r\nFLASH Byte %06Xh,   %02Xh,   %02Xh,\r\nCONF Byte 300003h,   %02Xh,   %02Xh,\r\n"
                "EEPROM Byte %04Xh,   %02Xh,   %02Xh,\r\n",
                static_cast<unsigned>(at), f & 0xEF, f, c ^ 1, c, static_cast<unsigned>(ee), e ^ 0x81, e);
  host.boxes.clear(), engine.verify_chip();
  expect_run("Chip verify failed. ");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_TRUE(host.boxes[0].text.ends_with(lines)) << host.boxes[0].text;
}

std::vector<std::int32_t> shipped_model_numbers() {
  std::vector<std::int32_t> numbers;
  for (std::int32_t m = 1; m <= shipped_list().model_count; ++m) numbers.push_back(m);
  return numbers;
}
INSTANTIATE_TEST_SUITE_P(Models, ShippedModel, ::testing::ValuesIn(shipped_model_numbers()),
                         [](const auto& param) { return model_name(param.param); });

}  // namespace
}  // namespace tessaflex::devicelist::testing
