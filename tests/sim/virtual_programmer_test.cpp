// The virtual programmer's firmware, clock, log and faults, and the device table it is built from.
#include "sim/virtual_programmer.h"

#include <gtest/gtest.h>

#include "sim/icsp_session.h"
#include "support/recording_host.h"

namespace tessaflex::sim {
namespace {

using link::LinkStatus;

TEST(DeviceTable, NamesAndConfigurationAreConsistent) {
  EXPECT_EQ(chip_devices().size(), 8u + 6u + 12u + 8u + 16u);
  EXPECT_EQ(find_chip_device("PIC18F452"), find_chip_device("18f452"));
  EXPECT_EQ(find_chip_device("18LF43K22")->devid, find_chip_device("18F43K22")->devid + 0x20);
  EXPECT_EQ(find_chip_device("16F84"), nullptr);
  EXPECT_THROW(VirtualProgrammer("18F999"), std::invalid_argument);
  EXPECT_EQ(find_chip_device("18F4455")->config_mask[6], 0xE5);  // ICPRT on the 44-pin part only
  EXPECT_EQ(find_chip_device("18F2455")->config_mask[6], 0xC5);
  for (const ChipDevice& d : chip_devices()) {
    for (std::size_t i = 0; i < 14; ++i) EXPECT_EQ(d.config_erased[i] & ~d.config_mask[i], 0) << d.name << i;
    EXPECT_EQ(d.config_mask[4] | d.config_mask[7], 0) << d.name;  // CONFIG3L, CONFIG4H never exist
  }
}

TEST(VirtualProgrammer, LogsCountsAndTimesEveryReportAndFlagsUnknownCodes) {
  VirtualProgrammer vp("18F4550");
  testing::RecordingHost host;
  host.on_sleep = vp.sleep_hook();
  link::ReportLayer layer(vp);
  EXPECT_EQ(layer.hid_begin(1), LinkStatus::failed);  // not connected yet
  vp.connect();
  layer.hid_begin(1), layer.hid_send_command(0), layer.hid_send_word(0x0E12), layer.hid_setprogtime(3);
  EXPECT_EQ(vp.chip().w(), 0x12);
  EXPECT_EQ(vp.now_us(), 4000);  // one 1 ms frame a report; the programming NOP adds P9 + P10
  layer.hid_startprog();
  EXPECT_EQ(vp.now_us(), 5000 + 3000 + VirtualProgrammer::kDefaultP10Us);
  host.sleep_ms(7);
  EXPECT_DOUBLE_EQ(vp.now_ms(), 15.2);
  layer.hid_end();
  EXPECT_EQ(vp.reports(),
            (std::vector<link::Report>{{101}, {107}, {108, 0x12, 0x0E}, {111, 3}, {109}, {103}}));
  EXPECT_EQ(vp.count(link::report_command), 1);
  EXPECT_TRUE(vp.violations().empty()) << vp.violations_text();
  vp.clear_log();
  EXPECT_TRUE(vp.reports().empty());
  EXPECT_EQ(vp.count(link::report_command), 0);
  layer.hid_begin(0);  // eight zero bytes
  EXPECT_TRUE(vp.terminal_write({104}));
  EXPECT_EQ(vp.violation_count(ViolationKind::unknown_report), 2);
  EXPECT_FALSE(vp.powered());
}

TEST(VirtualProgrammer, UnreadDroppedAndUnansweredReads) {
  IcspSession s("18F452");
  link::Report report{1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_FALSE(s.vp.terminal_read(report));  // nothing asked
  s.vp.set_flash(1, 0x22);
  s.enter(), s.setptr(0), s.vp.drop_reads(1);
  EXPECT_EQ(s.read(0x9), 0);
  EXPECT_EQ(s.read(0x9), 0x22);  // the lost read still moved TBLPTR
  s.command(0x2);
  EXPECT_TRUE(s.vp.terminal_write({110}) && s.vp.terminal_write({103}));
  EXPECT_FALSE(s.vp.terminal_read(report));  // an unread answer is gone after the next write
  EXPECT_EQ(report, (link::Report{1, 2, 3, 4, 5, 6, 7, 8}));
  s.vp.set_reads_unanswered(true);
  s.read(0x9);
  EXPECT_EQ(s.vp.answered_reads(), 1);
  EXPECT_EQ(s.vp.unanswered_reads(), 4);
}

TEST(VirtualProgrammer, DisconnectsAfterNReportsAndTakesTheTargetPowerAlong) {
  IcspSession s("18F452");
  s.vp.disconnect_after(2);
  s.enter();
  EXPECT_EQ(s.layer.hid_send_command(0), LinkStatus::ok);
  EXPECT_TRUE(s.vp.powered());
  EXPECT_EQ(s.layer.hid_send_word(0), LinkStatus::failed);
  EXPECT_FALSE(s.vp.terminal_connected() || s.vp.powered());
  EXPECT_EQ(s.vp.reports().size(), 2u);
  s.vp.connect();
  EXPECT_FALSE(s.vp.terminal_connected());  // gone until plugged in again
  s.vp.set_present(true), s.vp.connect();
  EXPECT_TRUE(s.vp.terminal_connected());
}

TEST(VirtualProgrammer, EepromWriteTakesSimulatedTimeAndAStuckWrNeverClears) {
  for (const bool stuck : {false, true}) {
    IcspSession s("18F4550");
    s.vp.set_wr_stuck(stuck);
    s.enter();
    s.write_eeprom(4, 0x66);  // polls until WR clears, at most 100 times
    // Started on the 4th clock after BSF WR and done 4 ms later: two polls of eight 1 ms reports.
    EXPECT_EQ(s.vp.count(link::report_read), stuck ? 100 : 2) << stuck;
    s.vp.advance_ms(1000);
    EXPECT_EQ(s.poll_eecon1() & 0x02, stuck ? 0x02 : 0) << stuck;
    s.exit();
    EXPECT_EQ(s.vp.eeprom()[4], 0x66) << stuck;
    EXPECT_TRUE(s.vp.violations().empty()) << s.vp.violations_text();
  }
}

}  // namespace
}  // namespace tessaflex::sim
