// Whole runs of PIC18F452 algorithms on the virtual programmer: chip contents, protocol, texts,
// and the programmer's own faults.
#include "devices/device_list.h"
#include "engine_test.h"
#include "sim/virtual_programmer.h"

namespace tessaflex::engine::testing {
namespace {

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

// The window of EngineTest, the shipped device list's model 1, and the virtual programmer.
class VirtualProgrammerRuns : public EngineTest {
 protected:
  VirtualProgrammerRuns() {
    const devices::DeviceListLoad load = devices::load_device_list(TESSAFLEX_DEVICE_LIST);
    EXPECT_EQ(load.error, "");
    workspace.current_device.model_index = 1;
    EXPECT_TRUE(devices::apply_selected_model(load.list, workspace.current_device));
    EXPECT_EQ(workspace.current_device.model_name, "PIC18F452");
    set_algorithm(Kind::program, kProgram);  // erase and read stay the list's own
    set_algorithm(Kind::verify, kVerify);
    set_algorithm(Kind::blankcheck, kBlankCheck);
    devices::erase_images(workspace.current_device, workspace.memory_images);
    on_sleep = programmer.sleep_hook();
    programmer.connect();
    // 64 FLASH bytes, 3 EEPROM bytes and CONFIG1H to program.
    erased = image = flash();
    for (std::size_t a = 0; a < 64; ++a) image[a] = static_cast<std::uint8_t>(a * 5 + 1);
    flash() = image;
    const std::uint8_t data[] = {0x11, 0x22, 0x33};
    std::copy(std::begin(data), std::end(data), eeprom().begin());
    workspace.memory_images.config_image[1] = 0x22;
  }
  void expect_status(std::string_view start) {
    EXPECT_TRUE(status.starts_with(start)) << status;
    EXPECT_TRUE(programmer.violations().empty()) << programmer.violations_text();
  }

  tessaflex::sim::VirtualProgrammer programmer{"18F452"};
  std::vector<std::uint8_t> image, erased;
  link::ReportLayer chip_reports{programmer};
  Engine chip{workspace, chip_reports, programmer, *this, "Tessaflex"};
};

TEST_F(VirtualProgrammerRuns, ProgramVerifyReadEraseAndBlankCheck) {
  chip.program_all();
  expect_status("Chip programmed. ");
  EXPECT_EQ(programmer.flash(), image);
  EXPECT_EQ(std::vector<std::uint8_t>(programmer.eeprom().begin(), programmer.eeprom().begin() + 4),
            (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0xFF}));
  EXPECT_EQ(programmer.config()[1], 0x22);
  EXPECT_EQ(programmer.count(link::report_startprog), 8 + 1);  // eight rows and one configuration byte
  EXPECT_FALSE(programmer.powered());

  chip.verify_chip();
  expect_status("Chip verified. ");
  workspace.memory_images.flash_image[5] = 0x99;
  chip.verify_chip();
  expect_status("Chip verify failed. ");
  EXPECT_TRUE(trace.end()[-2].ends_with("FLASH Byte 000005h,   1Ah,   99h,\r\n")) << trace.end()[-2];

  devices::erase_images(workspace.current_device, workspace.memory_images);
  chip.read_all();
  expect_status("Chip read. ");
  EXPECT_EQ(workspace.memory_images.flash_image, programmer.flash());
  EXPECT_EQ(workspace.memory_images.eeprom_image, programmer.eeprom());
  EXPECT_EQ(workspace.memory_images.config_image[1], 0x22);

  chip.erase_all();
  expect_status("Chip erased. ");
  EXPECT_EQ(programmer.flash(), erased);
  chip.blank_check();
  expect_status("Chip is blank. ");
}

// Each run stops, powers down while the programmer is there, and the next starts afresh.
TEST_F(VirtualProgrammerRuns, FaultsStopTheRunAndPowerDown) {
  programmer.set_wr_stuck(true);
  chip.program_all();
  EXPECT_TRUE(status.ends_with("'waitwr': the write did not finish (write bit still set after 1000 polls)."));
  EXPECT_FALSE(programmer.powered());
  EXPECT_EQ(programmer.count(link::report_read), kMaxWritePolls);

  programmer.set_wr_stuck(false);
  programmer.drop_reads(1);
  trace.clear();
  chip.read_all();
  EXPECT_TRUE(status.ends_with("'flash=s09': the programmer did not take a read report or gave no answer."));
  EXPECT_FALSE(programmer.powered());
  EXPECT_EQ(count("redraw"), 2);

  programmer.unplug();
  chip.program_all();
  EXPECT_EQ(status, "Hardware not found!");
}

}  // namespace
}  // namespace tessaflex::engine::testing
