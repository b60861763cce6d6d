// The virtual programmer's firmware, clock, log and faults, and the device table it is built from.
#include "support/virtual_programmer.h"

#include <gtest/gtest.h>

#include "link/icsp_session.h"
#include "link/report_layer.h"

namespace tessaflex::testing {
namespace {

TEST(DeviceTable, HoldsTheFiveFamiliesWithTheirFigures) {
  struct Row {
    const char* name;
    Family family;
    std::int32_t flash, eeprom, buffer;
    std::uint16_t devid;
  };
  const Row rows[] = {
      {"18F452", Family::fxx2, 32768, 256, 8, 0x0420},    {"18F442", Family::fxx2, 16384, 256, 8, 0x04A0},
      {"18F1220", Family::x220, 4096, 256, 8, 0x07E0},    {"18F4320", Family::x220, 8192, 256, 8, 0x0520},
      {"18F2455", Family::f2xxx, 24576, 256, 32, 0x1260}, {"18F4620", Family::f2xxx, 65536, 1024, 64, 0x0C00},
      {"18F23K20", Family::k20, 8192, 256, 8, 0x20E0},    {"18F46K20", Family::k20, 65536, 1024, 64, 0x2000},
      {"18F26K22", Family::k22, 65536, 1024, 64, 0x5440}, {"18LF43K22", Family::k22, 8192, 256, 64, 0x5720},
  };
  for (const Row& row : rows) {
    const ChipDevice* d = find_chip_device(row.name);
    ASSERT_NE(d, nullptr) << row.name;
    EXPECT_EQ(d->family, row.family) << row.name;
    EXPECT_EQ(d->flash_size, row.flash) << row.name;
    EXPECT_EQ(d->eeprom_size, row.eeprom) << row.name;
    EXPECT_EQ(d->write_buffer, row.buffer) << row.name;
    EXPECT_EQ(d->devid, row.devid) << row.name;
  }
  EXPECT_EQ(chip_devices().size(), 8u + 6u + 12u + 8u + 16u);
}

TEST(DeviceTable, NamesWithOrWithoutPicInAnyCase) {
  EXPECT_EQ(find_chip_device("PIC18F452"), find_chip_device("18f452"));
  EXPECT_NE(find_chip_device("pic18lf46k22"), nullptr);
  EXPECT_EQ(find_chip_device("16F84"), nullptr);
  EXPECT_THROW(VirtualProgrammer("18F999"), std::invalid_argument);
}

TEST(DeviceTable, ErasedConfigurationKeepsUnimplementedBytesAtZero) {
  for (const ChipDevice& d : chip_devices()) {
    for (std::size_t i = 0; i < 14; ++i) {
      EXPECT_EQ(d.config_erased[i] & ~d.config_mask[i], 0) << d.name << " byte " << i;
    }
    // CONFIG3L, CONFIG4H never exist on these parts.
    EXPECT_EQ(d.config_mask[4], 0) << d.name;
    EXPECT_EQ(d.config_mask[7], 0) << d.name;
  }
  const ChipDevice& k22 = *find_chip_device("18F45K22");
  EXPECT_EQ(k22.config_erased, (std::array<std::uint8_t, 14>{0x00, 0x25, 0x1F, 0x3F, 0x00, 0xBF, 0x85, 0x00,
                                                             0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}));
  const ChipDevice& f2550 = *find_chip_device("18F2550");
  EXPECT_EQ(f2550.config_erased[0], 0x00);
  EXPECT_EQ(f2550.config_mask[0], 0x3F);
}

TEST(VirtualProgrammer, EveryReportCostsOneFrameAndTheProgrammingNopP9PlusP10) {
  VirtualProgrammer vp("18F4550");
  RecordingHost host;
  vp.attach(host);
  vp.connect();
  link::ReportLayer layer(vp);
  layer.hid_begin(1);
  layer.hid_setprogtime(3);
  EXPECT_EQ(vp.now_us(), 2000);
  layer.hid_startprog();
  EXPECT_EQ(vp.now_us(), 2000 + 1000 + 3000 + VirtualProgrammer::kDefaultP10Us);
  host.sleep_ms(7);
  EXPECT_EQ(vp.now_us(), 13000 + VirtualProgrammer::kDefaultP10Us);
  EXPECT_DOUBLE_EQ(vp.now_ms(), 13.2);
  EXPECT_EQ(vp.p9_ms(), 3);
}

TEST(VirtualProgrammer, RecordsAndCountsEveryDeliveredReport) {
  VirtualProgrammer vp("18F452");
  link::ReportLayer layer(vp);
  EXPECT_EQ(layer.hid_begin(1), link::LinkStatus::failed);  // not connected yet
  vp.connect();
  layer.hid_begin(1);
  layer.hid_send_command(0);
  layer.hid_send_word(0x0E12);
  layer.hid_send_command(0);
  layer.hid_send_word(0x0000);
  EXPECT_EQ(vp.chip().w(), 0x12);
  layer.hid_end();
  ASSERT_EQ(vp.reports().size(), 6u);
  EXPECT_EQ(vp.reports()[2], (link::Report{108, 0x12, 0x0E, 0, 0, 0, 0, 0}));
  EXPECT_EQ(vp.count(link::report_command), 2);
  EXPECT_EQ(vp.count(link::report_word), 2);
  EXPECT_EQ(vp.count(link::report_end), 1);
  EXPECT_TRUE(vp.violations().empty()) << vp.violations_text();
  vp.clear_log();
  EXPECT_TRUE(vp.reports().empty());
  EXPECT_EQ(vp.count(link::report_command), 0);
}

TEST(VirtualProgrammer, UnknownCodesAreFirmwareErrors) {
  VirtualProgrammer vp("18F452");
  vp.connect();
  link::ReportLayer layer(vp);
  layer.hid_begin(0);  // eight zero bytes
  EXPECT_TRUE(vp.terminal_write({104, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(vp.violation_count(ViolationKind::unknown_report), 2);
  EXPECT_FALSE(vp.powered());
}

TEST(VirtualProgrammer, AReadWithoutARequestOrAfterAnotherWriteHasNoAnswer) {
  IcspSession s("18F452");
  link::Report report{1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_FALSE(s.vp.terminal_read(report));
  s.enter();
  s.layer.hid_send_command(0x2);
  EXPECT_TRUE(s.vp.terminal_write({110, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(s.vp.terminal_write({103, 0, 0, 0, 0, 0, 0, 0}));  // drains the unread answer
  EXPECT_FALSE(s.vp.terminal_read(report));
  EXPECT_EQ(report, (link::Report{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(s.vp.unanswered_reads(), 2);
}

TEST(VirtualProgrammer, DisconnectsAfterNReportsAndTakesTheTargetPowerAlong) {
  VirtualProgrammer vp("18F452");
  vp.connect();
  link::ReportLayer layer(vp);
  vp.disconnect_after(2);
  EXPECT_EQ(layer.hid_begin(1), link::LinkStatus::ok);
  EXPECT_EQ(layer.hid_send_command(0), link::LinkStatus::ok);
  EXPECT_TRUE(vp.powered());
  EXPECT_EQ(layer.hid_send_word(0), link::LinkStatus::failed);
  EXPECT_FALSE(vp.terminal_connected());
  EXPECT_FALSE(vp.powered());
  EXPECT_EQ(vp.reports().size(), 2u);
  std::int32_t value = -1;
  EXPECT_EQ(layer.hid_read_byte(value), link::LinkStatus::failed);
  EXPECT_EQ(value, 0);
  vp.connect();
  EXPECT_FALSE(vp.terminal_connected());  // gone until plugged in again
  vp.set_present(true);
  vp.connect();
  EXPECT_TRUE(vp.terminal_connected());
}

TEST(VirtualProgrammer, DroppedReadsGiveNoAnswerButReachTheChip) {
  IcspSession s("18F452");
  s.vp.set_flash(0, 0x11);
  s.vp.set_flash(1, 0x22);
  s.enter();
  s.setptr(0);
  s.vp.drop_reads(1);
  s.layer.hid_send_command(0x9);
  std::int32_t value = -1;
  EXPECT_EQ(s.layer.hid_read_byte(value), link::LinkStatus::failed);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(s.read(0x9), 0x22);  // the lost read still moved TBLPTR
  s.vp.set_reads_unanswered(true);
  s.layer.hid_send_command(0x9);
  EXPECT_EQ(s.layer.hid_read_byte(value), link::LinkStatus::failed);
  s.exit();
  EXPECT_EQ(s.vp.answered_reads(), 1);
  EXPECT_EQ(s.vp.unanswered_reads(), 2);
}

TEST(VirtualProgrammer, StuckWrNeverClearsButTheByteIsWritten) {
  IcspSession s("18F4550");
  s.vp.set_wr_stuck(true);
  s.enter();
  s.write_eeprom(4, 0x66);  // gives up after 100 polls
  s.vp.advance_ms(1000);
  EXPECT_EQ(s.poll_eecon1() & 0x02, 0x02);
  s.exit();
  EXPECT_EQ(s.vp.eeprom()[4], 0x66);
}

TEST(VirtualProgrammer, EepromWriteTakesSimulatedTimeAndWrClearsAfterIt) {
  IcspSession s("18F4550");
  s.enter();
  s.write_eeprom(4, 0x66);
  const std::int64_t after = s.vp.now_us();
  s.exit();
  // Started on the 4th clock after BSF WR, done 4 ms later: a few 1 ms polls.
  EXPECT_GE(after, 4000);
  EXPECT_EQ(s.vp.eeprom()[4], 0x66);
  EXPECT_GT(s.vp.count(link::report_read), 1);
  EXPECT_TRUE(s.vp.violations().empty()) << s.vp.violations_text();
}

}  // namespace
}  // namespace tessaflex::testing
