// Every model of the shipped device list, run end to end on the virtual programmer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "core/ascii_case.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "hexfile/hex_reader.h"
#include "sim/virtual_programmer.h"
#include "support/recording_host.h"

namespace tessaflex::test {
namespace {

const devices::DeviceListLoad shipped = devices::load_device_list(TESSAFLEX_DEVICE_LIST);

using ShippedModel = ::testing::TestWithParam<std::int32_t>;

// The model's fields and statements, then its five algorithms on the part: erase a dirty chip, program
// the model's HEX fixture, read it back and verify it with three bits flipped, every run a clean protocol.
TEST_P(ShippedModel, EveryAlgorithmRunsCleanOnThePart) {
  devices::Workspace workspace;
  devices::CurrentDevice& d = workspace.current_device;
  devices::MemoryImages& images = workspace.memory_images;
  d.model_index = GetParam();
  EXPECT_LE(shipped.list.model_count, 70);  // the picker shows no more
  ASSERT_TRUE(devices::apply_selected_model(shipped.list, d));
  devices::erase_images(d, images);
  tessaflex::test::RecordingHost host;
  sim::VirtualProgrammer programmer{d.model_name};
  host.on_sleep = programmer.sleep_hook();
  programmer.connect();
  link::ReportLayer reports{programmer};
  engine::Engine engine{workspace, reports, programmer, host, "Tessaflex"};
  const sim::ChipDevice& chip = programmer.device();
  const auto expect_run = [&](const char* status, std::size_t boxes) {
    EXPECT_TRUE(host.status().starts_with(status) && host.boxes.size() == boxes) << host.status();
    EXPECT_TRUE(programmer.violations().empty() && !programmer.powered())
        << status << programmer.violations_text();
    programmer.clear_log();
    host.boxes.clear();
  };

  // K20/K22 configuration needs P9A = 5 ms.
  EXPECT_EQ(std::tuple(d.flash_size, d.eeprom_size, d.page_size, d.voltage_seq),
            std::tuple(chip.flash_size, chip.eeprom_size, chip.write_buffer, 1));
  EXPECT_TRUE(std::equal(d.configerased.begin(), d.configerased.end(), chip.config_erased.begin()));
  EXPECT_GE(d.prog_time, chip.family == sim::Family::k20 || chip.family == sim::Family::k22 ? 5 : 1);
  // An unknown statement in a branch no run here takes would end the program on a user's chip.
  // waitwr sends no NOP between MOVWF TABLAT and the shift-out; 1110 differs per family.
  for (const devices::StatementList& statements : d.instructions)
    for (const std::string& s : statements)
      EXPECT_TRUE(engine::find_statement_form(s) && !s.starts_with("waitwr") && !s.starts_with("s0e-")) << s;

  // Dirty, with the protection bits of CONFIG5L..CONFIG7H programmed, which only a bulk erase clears.
  const auto dirty = [&] {
    for (std::int32_t a = 0; a < chip.flash_size; a += 61) programmer.set_flash(a, 0x00);
    for (std::int32_t a = 0; a < chip.eeprom_size; a += 7) programmer.set_eeprom(a, 0x5A);
    for (std::int32_t i : {1, 8, 9, 10, 11, 12, 13}) programmer.set_config(i, 0x00);
  };
  dirty();
  engine.blank_check();
  expect_run("Chip is not blank. ", 1);
  engine.erase_all();  // the images are still the erased ones
  expect_run("Chip erased. ", 0);
  EXPECT_TRUE(programmer.flash() == images.flash_image && programmer.eeprom() == images.eeprom_image &&
              programmer.config() == chip.config_erased);
  engine.blank_check();
  expect_run("Chip is blank. ", 0);

  dirty();
  hexfile::LocalFileAccess files;
  const std::string path =
      TESSAFLEX_FIXTURES_DIR "/shipped_models/" + core::ascii_lower(d.model_name) + ".hex";
  std::int32_t loaded_end = -1;
  const hexfile::HexReadResult load = hexfile::read_hex_file(path, files, images, loaded_end);
  ASSERT_TRUE(load.accepted() && load.out_of_range == 0 && loaded_end > 0) << path;
  const devices::MemoryImages fixture = images;
  engine.program_all();
  expect_run("Chip programmed. ", 0);
  EXPECT_TRUE(programmer.flash() == fixture.flash_image && programmer.eeprom() == fixture.eeprom_image);
  devices::erase_images(d, images);
  engine.read_all();
  expect_run("Chip read. ", 0);
  EXPECT_TRUE(images.flash_image == fixture.flash_image && images.eeprom_image == fixture.eeprom_image);
  for (std::size_t i = 0; i < devices::kConfigBytes; ++i) {  // 00 where the part has no such byte
    EXPECT_EQ(programmer.config()[i], chip.config_mask[i] != 0 ? fixture.config_image[i] : 0) << i;
    EXPECT_TRUE(chip.config_mask[i] == 0 || images.config_image[i] == fixture.config_image[i]) << i;
  }

  // A FLASH bit in the last page, CONFIG2H bit 0, an EEPROM byte past EEADRH 0 on 1 KB parts.
  images = fixture;
  const std::int32_t at = chip.flash_size - 3, ee = chip.eeprom_size > 256 ? 0x103 : 0x03;
  const unsigned f = fixture.flash_image[std::size_t(at)], c = programmer.config()[3],
                 e = fixture.eeprom_image[std::size_t(ee)];
  programmer.set_flash(at, static_cast<std::uint8_t>(f & 0xEF));
  programmer.set_config(3, static_cast<std::uint8_t>(c ^ 1));
  programmer.set_eeprom(ee, static_cast<std::uint8_t>(e ^ 0x81));
  char lines[200];
  std::snprintf(lines, sizeof lines,
                "Expected,\r\nFLASH Byte %06Xh,   %02Xh,   %02Xh,\r\nCONF Byte 300003h,   %02Xh,   %02Xh,\r\n"
                "EEPROM Byte %04Xh,   %02Xh,   %02Xh,\r\n",
                static_cast<unsigned>(at), f & 0xEF, f, c ^ 1, c, static_cast<unsigned>(ee), e ^ 0x81, e);
  engine.verify_chip();
  EXPECT_TRUE(host.boxes.size() == 1 && host.boxes[0].ends_with(lines)) << lines;
  expect_run("Chip verify failed. ", 1);
}

INSTANTIATE_TEST_SUITE_P(Models, ShippedModel, ::testing::Range(1, shipped.list.model_count + 1),
                         [](const auto& p) { return shipped.list.device_list[std::size_t(p.param)].model; });

}  // namespace
}  // namespace tessaflex::test
