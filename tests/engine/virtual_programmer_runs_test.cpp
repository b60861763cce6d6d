// Whole runs of PIC18F452 algorithms on the virtual programmer: chip contents, protocol, texts.
#include <gtest/gtest.h>

#include <string>

#include "devices/current_device.h"
#include "devices/device_list.h"
#include "devices/memory_images.h"
#include "devices/workspace.h"
#include "engine/engine.h"
#include "link/report_layer.h"
#include "support/recording_host.h"
#include "support/virtual_programmer.h"

namespace tessaflex::engine::testing {
namespace {

using Kind = devices::AlgorithmKind;
using tessaflex::testing::VirtualProgrammer;

// FLASH a row of 8 bytes at a time up to the last used row (single-panel mode), then the
// data EEPROM with the 55h/AAh unlock and a write-bit poll per byte, then CONFIG1H.
constexpr const char* kProgram =
    "begin,setprogtime,s00-8ea6,s00-8ca6,s00-84a6,s00-0e3c,s00-6ef8,s00-0e00,s00-6ef7,s00-0e06,s00-6ef6,"
    "s0c-0000,s00-8ea6,s00-9ca6,calcflashpage,setflashloop,movlw-upper,s00-6ef8,movlw-high,s00-6ef7,"
    "movlw-low,s00-6ef6,s0d-flash,s0d-flash,s0d-flash,s0f-flash,startprog,loop,"
    "s00-9ea6,s00-9ca6,calceeprom,seteepromloop,movlw-low,s00-6ea9,movlw-high,s00-6eaa,movlw-eeprom,"
    "s00-6ea8,s00-84a6,s00-0e55,s00-6ea7,s00-0eaa,s00-6ea7,s00-82a6,waitwr,s00-94a6,loop,"
    "s00-8ea6,s00-8ca6,s00-ef00,s00-f800,s00-0e30,s00-6ef8,s00-0e00,s00-6ef7,s00-0e01,s00-6ef6,"
    "s0f-config1h,startprog,end";
constexpr const char* kVerify =
    "begin,movlw-upper,s00-6ef8,movlw-high,s00-6ef7,movlw-low,s00-6ef6,calcflash,setflashloop,temp=s09,"
    "checkflash,loop,s00-0e30,s00-6ef8,s00-0e00,s00-6ef7,s00-0e01,s00-6ef6,temp=s09,checkconfig1h,"
    "s00-9ea6,s00-9ca6,calceeprom,seteepromloop,movlw-low,s00-6ea9,movlw-high,s00-6eaa,s00-80a6,"
    "s00-50a8,s00-6ef5,s00-0000,temp=s02,checkeeprom,loop,end";
constexpr const char* kBlankCheck =
    "begin,movlw-upper,s00-6ef8,movlw-high,s00-6ef7,movlw-low,s00-6ef6,setflashloop,temp=s09,"
    "checkblankflash,loop,end";

class VirtualProgrammerRuns : public ::testing::Test {
 protected:
  VirtualProgrammerRuns() {
    // The shipped device list gives the model, its erase and its read algorithm.
    const devices::DeviceListLoad load = devices::load_device_list(TESSAFLEX_DEVICE_LIST);
    EXPECT_EQ(load.error, "");
    workspace.current_device.model_index = 1;
    EXPECT_TRUE(devices::apply_selected_model(load.list, workspace.current_device));
    EXPECT_EQ(workspace.current_device.model_name, "PIC18F452");
    set(Kind::program, kProgram);
    set(Kind::verify, kVerify);
    set(Kind::blankcheck, kBlankCheck);
    devices::erase_images(workspace.current_device, workspace.memory_images);
    programmer.attach(host);
    programmer.connect();
  }

  void set(Kind kind, const char* text) {
    workspace.current_device.instructions[static_cast<std::size_t>(kind)] = devices::split_statements(text);
  }

  // 64 FLASH bytes, 3 EEPROM bytes and CONFIG1H to program.
  void load_image() {
    auto& images = workspace.memory_images;
    for (std::size_t a = 0; a < 64; ++a) images.flash_image[a] = static_cast<std::uint8_t>(a * 5 + 1);
    images.eeprom_image[0] = 0x11;
    images.eeprom_image[1] = 0x22;
    images.eeprom_image[2] = 0x33;
    images.config_image[1] = 0x22;
  }

  void expect_clean_protocol() {
    EXPECT_TRUE(programmer.violations().empty()) << programmer.violations_text();
  }

  devices::Workspace workspace;
  tessaflex::testing::RecordingHost host;
  VirtualProgrammer programmer{"18F452"};
  link::ReportLayer reports{programmer};
  Engine engine{workspace, reports, programmer, host, "Tessaflex"};
};

TEST_F(VirtualProgrammerRuns, ProgramVerifyAndReadBack) {
  load_image();
  engine.program_all();
  ASSERT_TRUE(host.status().starts_with("Chip programmed. ")) << host.status();
  expect_clean_protocol();
  for (std::size_t a = 0; a < 64; ++a)
    EXPECT_EQ(programmer.flash()[a], static_cast<std::uint8_t>(a * 5 + 1)) << a;
  EXPECT_EQ(programmer.flash()[64], 0xFF);
  EXPECT_EQ(programmer.eeprom()[0], 0x11);
  EXPECT_EQ(programmer.eeprom()[2], 0x33);
  EXPECT_EQ(programmer.eeprom()[3], 0xFF);
  EXPECT_EQ(programmer.config()[1], 0x22);
  EXPECT_EQ(programmer.count(link::report_startprog), 8 + 1);  // eight rows and one configuration byte
  EXPECT_FALSE(programmer.powered());

  engine.verify_chip();
  EXPECT_TRUE(host.status().starts_with("Chip verified. ")) << host.status();
  EXPECT_TRUE(host.boxes.empty());

  workspace.memory_images.flash_image[5] = 0x99;
  engine.verify_chip();
  EXPECT_TRUE(host.status().starts_with("Chip verify failed. ")) << host.status();
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_TRUE(host.boxes[0].text.ends_with("FLASH Byte 000005h,   1Ah,   99h,\r\n")) << host.boxes[0].text;

  devices::erase_images(workspace.current_device, workspace.memory_images);
  engine.read_all();
  EXPECT_TRUE(host.status().starts_with("Chip read. ")) << host.status();
  EXPECT_EQ(workspace.memory_images.flash_image, programmer.flash());
  EXPECT_EQ(workspace.memory_images.eeprom_image, programmer.eeprom());
  EXPECT_EQ(workspace.memory_images.config_image[1], 0x22);
  expect_clean_protocol();
}

TEST_F(VirtualProgrammerRuns, EraseThenBlankCheck) {
  for (std::int32_t a = 0; a < 30; ++a) programmer.set_flash(a * 3, 0x00);
  engine.blank_check();
  EXPECT_TRUE(host.status().starts_with("Chip is not blank. ")) << host.status();
  EXPECT_EQ(engine.mismatch_state().mismatch_count, 25);
  // The cut-off sends the run to its last statement, which powers the target down.
  EXPECT_FALSE(programmer.powered());
  EXPECT_EQ(programmer.count(link::report_end), 1);

  engine.erase_all();
  EXPECT_TRUE(host.status().starts_with("Chip erased. ")) << host.status();
  EXPECT_EQ(programmer.flash()[0], 0xFF);
  engine.blank_check();
  EXPECT_TRUE(host.status().starts_with("Chip is blank. ")) << host.status();
  EXPECT_EQ(host.boxes.size(), 1u);
  expect_clean_protocol();
}

TEST_F(VirtualProgrammerRuns, StuckWriteBitStopsTheRunAndPowersDown) {
  load_image();
  programmer.set_wr_stuck(true);
  engine.program_all();
  EXPECT_TRUE(
      host.status().ends_with("'waitwr': the write did not finish (write bit still set after 1000 polls)."))
      << host.status();
  EXPECT_FALSE(programmer.powered());
  EXPECT_TRUE(host.enabled);
  EXPECT_EQ(programmer.count(link::report_read), kMaxWritePolls);
}

TEST_F(VirtualProgrammerRuns, LostProgrammerStopsTheRun) {
  load_image();
  programmer.disconnect_after(100);
  engine.program_all();
  EXPECT_TRUE(host.status().ends_with(": the programmer is no longer connected.")) << host.status();
  EXPECT_EQ(programmer.reports().size(), 100u);
  EXPECT_TRUE(host.enabled);
  engine.program_all();
  EXPECT_EQ(host.status(), "Hardware not found!");
}

TEST_F(VirtualProgrammerRuns, UnansweredReadStopsReadAll) {
  programmer.drop_reads(1);
  engine.read_all();
  EXPECT_TRUE(
      host.status().ends_with("'flash=s09': the programmer did not take a read report or gave no answer."))
      << host.status();
  EXPECT_FALSE(programmer.powered());
  EXPECT_EQ(host.redraws, 2);
}

}  // namespace
}  // namespace tessaflex::engine::testing
