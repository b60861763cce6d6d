// The chip model against the ICSP step tables, and the virtual programmer's clock, log and faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "sim/icsp_session.h"
#include "support/recording_host.h"

namespace tessaflex::sim {
namespace {

using link::LinkStatus;
using Bytes = std::vector<std::uint8_t>;

// One part per family, plus parts with other write buffers and 1 KB of EEPROM.
const std::vector<const char*> kParts = {"18F452",  "18F242",   "18F1320",  "18F2320",  "18F4550",
                                         "18F4620", "18F23K20", "18F45K20", "18F26K22", "18LF24K22"};

Bytes pattern(std::size_t n, std::uint8_t seed) {
  Bytes bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(seed + 37 * i);
  return bytes;
}
bool all_ff(const Bytes& m) {
  return std::all_of(m.begin(), m.end(), [](auto b) { return b == 0xFF; });
}

class EveryFamily : public ::testing::TestWithParam<const char*> {};
INSTANTIATE_TEST_SUITE_P(Parts, EveryFamily, ::testing::ValuesIn(kParts),
                         [](const auto& param_info) { return std::string(param_info.param); });

TEST_P(EveryFamily, ErasesProgramsAndReadsBackWithACleanProtocol) {
  IcspSession s(GetParam());
  const ChipDevice& d = s.vp.device();
  for (std::int32_t a = 0; a < d.flash_size; a += 7) s.vp.set_flash(a, 0x00);  // a used chip
  s.vp.set_eeprom(d.eeprom_size - 1, 0x12), s.vp.set_id(3, 0x00), s.vp.set_config(3, 0x00);
  s.enter(), s.bulk_erase(), s.exit();
  EXPECT_TRUE(all_ff(s.vp.flash()) && all_ff(s.vp.eeprom()) && s.vp.ids()[3] == 0xFF);
  EXPECT_EQ(s.vp.config(), d.config_erased);
  for (std::size_t i = 0; i < 14; ++i) EXPECT_EQ(d.config_erased[i] & ~d.config_mask[i], 0) << i;

  // A row programmed twice (bits only go 1 to 0), the last EEPROM byte, CONFIG2H without WDTEN.
  const auto row = static_cast<std::uint32_t>(3 * d.write_buffer);
  const Bytes first = pattern(s.buffer(), 0x21), second = pattern(s.buffer(), 0x5C);
  Bytes data(first.size());
  std::transform(first.begin(), first.end(), second.begin(), data.begin(), std::bit_and<std::uint8_t>());
  const auto ee = static_cast<std::uint16_t>(d.eeprom_size - 1);
  std::array<std::uint8_t, 14> config = d.config_erased;
  config[3] = static_cast<std::uint8_t>(config[3] & ~0x01);
  s.enter(), s.set_p9(1), s.code_setup(), s.program_row(row, first), s.program_row(row, second);
  s.write_eeprom(ee, 0x5A), s.config_setup(), s.write_config(3, config[3]), s.exit(), s.enter();
  data.insert(data.end(), {0xFF, 0xFF});
  EXPECT_EQ(s.read_memory(row, data.size()), data);
  EXPECT_EQ(s.read_eeprom(ee), 0x5A);
  EXPECT_EQ(s.read_memory(0x300000, 14), Bytes(config.begin(), config.end()));
  const Bytes devid = s.read_memory(0x3FFFFE, 2);
  s.exit();
  EXPECT_EQ(devid[0] | devid[1] << 8, d.devid);
  EXPECT_TRUE(s.vp.violations().empty()) << s.vp.violations_text();
}

using Steps = std::function<void(IcspSession&)>;

// Steps between power-up (P9 := 1 ms) and power-down, the first violation, what silicon shows.
struct Rule {
  const char* name;
  std::vector<const char*> parts;
  Steps steps;
  std::optional<ViolationKind> first;
  Steps holds = {};
};

void no_ee_write(IcspSession& s) { EXPECT_EQ(s.vp.eeprom()[2], 0xFF); }
void nothing_programmed(IcspSession& s) { EXPECT_TRUE(all_ff(s.vp.flash())); }

const std::vector<Rule>& rules() {
  using K = ViolationKind;
  using S = IcspSession;
  const std::nullopt_t clean = std::nullopt;
  // clang-format off
  static const std::vector<Rule> kRules = {
      // Every family. An ordinary NOP does not hold PGC high on its 4th clock.
      {"NoProgrammingNop", kParts, [](S& s) {
         s.code_setup(), s.setptr(0);
         for (std::size_t i = 2; i < s.buffer(); i += 2) s.table_write(0xD, 0x1234);
         s.table_write(0xF, 0x1234), s.core({0x0000}); },
       K::missing_programming_nop, nothing_programmed},
      // The word's clocks reach the chip while it erases; the out-of-step engine takes other frames.
      {"CommandsAfterBulkEraseWithoutPowerDown", kParts, [](S& s) {
         s.vp.set_flash(0, 0x00), s.start_bulk_erase(), s.word(0), s.vp.advance_ms(20);
         s.code_setup(), s.program_row(0, pattern(s.buffer(), 0x40)); },
       K::commands_after_bulk_erase, [](S& s) {
         nothing_programmed(s); EXPECT_EQ(s.vp.config(), s.vp.device().config_erased); }},
      {"EepromWriteWithoutWren", kParts, [](S& s) { s.write_eeprom(2, 0x33, true, false); }, K::missing_wren,
       no_ee_write},
      {"ProgrammingBeforeEecon1IsSet", kParts, [](S& s) { s.setptr(0), s.table_write(0xF, 0), s.pnop(); },
       K::eecon1_undefined, nothing_programmed},
      {"CodeWriteWithCfgsSet", kParts,
       [](S& s) { s.core({0x8EA6, 0x8CA6, 0x84A6}), s.setptr(0), s.table_write(0xF, 0), s.pnop(); },
       K::wrong_eecon1_selection, nothing_programmed},
      {"LoadsInTwoRows", kParts, [](S& s) {
         s.code_setup(), s.setptr(static_cast<std::uint32_t>(s.buffer() - 2));
         s.table_write(0xD, 0x1111), s.table_write(0xF, 0x2222), s.pnop(); },
       K::row_crossed},
      // Flagged ("TBLPTR must stay in the same row") though both rows come out right.
      {"DummyWriteStepsIntoTheNextRow", kParts, [](S& s) {
         s.code_setup(), s.program_row(0, Bytes(s.buffer(), 0x00)), s.table_write(0xD, 0xFFFF);
         s.program_row(0, pattern(s.buffer(), 0x33), false); },
       K::row_crossed, [](S& s) {
         const Bytes next = pattern(s.buffer(), 0x33);
         EXPECT_TRUE(std::equal(next.begin(), next.end(), s.vp.flash().begin() + s.buffer())); }},
      // CP0.., CPB and CPD = 0: code and data read 0, configuration and device ID normally.
      {"CodeProtectionReadsZeroUntilBulkErase", kParts, [](S& s) {
         const ChipDevice& d = s.vp.device();
         s.vp.set_flash(d.flash_size - 1, 0xA5), s.vp.set_eeprom(0, 0x77);
         s.vp.set_config(8, 0), s.vp.set_config(9, 0);
         EXPECT_EQ(s.read_memory(static_cast<std::uint32_t>(d.flash_size - 1), 1)[0], 0x00);
         EXPECT_EQ(s.read_eeprom(0), 0x00);
         EXPECT_EQ(s.read_memory(0x3FFFFE, 2), Bytes({std::uint8_t(d.devid), std::uint8_t(d.devid >> 8)}));
         s.bulk_erase(), s.exit(), s.enter();
         EXPECT_EQ(s.read_memory(static_cast<std::uint32_t>(d.flash_size - 1), 1)[0], 0xFF);
         EXPECT_EQ(s.read_memory(0x300008, 2), Bytes({d.config_erased[8], d.config_erased[9]})); },
       clean},
      // One family's own rules.
      {"EepromWriteWithoutUnlock", {"18F452", "18F1320"}, [](S& s) { s.write_eeprom(2, 0x44, false); },
       K::missing_unlock, no_ee_write},
      {"UnlockNotRightBeforeWr", {"18F452"}, [](S& s) {  // a NOP between the unlock and WR
         s.core({0x9EA6, 0x9CA6, 0x0E02, 0x6EA9, 0x0E44, 0x6EA8, 0x84A6});
         s.core({0x0E55, 0x6EA7, 0x0EAA, 0x6EA7, 0x0000, 0x82A6}); },
       K::missing_unlock, no_ee_write},
      {"EepromWriteWithEepgdSet", {"18F4550"},
       [](S& s) { s.core({0x8EA6, 0x9CA6, 0x84A6, 0x0E02, 0x6EA9, 0x0E44, 0x6EA8, 0x82A6}); },
       K::wrong_eecon1_selection, no_ee_write},
      {"EeadrhOn18F1220", {"18F1220"}, [](S& s) { s.core({0x0E00, 0x6EAA}); }, K::missing_register},
      {"ShiftOutRightAfterMovwfTablat", {"18F4550"},  // reads the old TABLAT
       [](S& s) { s.core({0x0E5A, 0x6EF5}); EXPECT_EQ(s.read(0x2), 0x00); }, K::shift_out_without_nop},
      {"KFamilyConfigurationWithP9", {"18F45K20", "18F45K22"},
       [](S& s) { s.config_setup(), s.set_p9(1), s.write_config(3, 0x00); }, K::short_programming_time,
       [](S& s) { EXPECT_EQ(s.vp.config()[3], s.vp.device().config_erased[3]); }},
      {"ShortDischarge", {"18F4550"},  // 2XXX needs 100 us
       [](S& s) { s.vp.set_p10_us(20), s.code_setup(), s.program_row(0, Bytes(32, 0x00)); },
       K::short_discharge_time},
      {"ConfigurationWithoutGoto", {"18F452"}, 
       [](S& s) { s.core({0x8EA6, 0x8CA6}), s.write_config(3, 0x0E); }, K::config_without_goto},
      {"Fxx2WithoutPanelMode", {"18F452"},
       [](S& s) { s.core({0x8EA6, 0x9CA6, 0x84A6}), s.program_row(0, Bytes(8, 0x00)); },
       K::panel_mode_undefined},
      // CP1:CP0 = 0 stay 0; WRTC = 0 freezes the configuration.
      {"ProtectionBitsOnlyClearAndWrtcFreezes", {"18F4520"}, [](S& s) {
         s.config_setup(), s.write_config(8, 0x0C), s.write_config(8, 0x0F), s.write_config(11, 0xC0);
         s.write_config(3, 0x00); },
       K::config_write_protected, [](S& s) {
         const auto& c = s.vp.config();
         EXPECT_EQ(std::tuple(c[8], c[11], c[3]), std::tuple(0x0C, 0xC0, 0x1F)); }},
      {"UnimplementedConfigurationStaysZero", {"18F452"},  // CONFIG1L lacking, CONFIG1H only 27h
       [](S& s) { s.config_setup(), s.write_config(0, 0xFF), s.write_config(1, 0xFF); }, clean,
       [](S& s) { EXPECT_EQ(std::tuple(s.vp.config()[0], s.vp.config()[1]), std::tuple(0x00, 0x27)); }},
      // A full row, then a row loaded in its last word only.
      {"HoldingRegistersStaleExceptOn2455Class", {"18F4550", "18F4520", "18F452", "18F45K22"}, [](S& s) {
         s.code_setup(), s.program_row(0, Bytes(s.buffer(), 0x0F));
         s.setptr(static_cast<std::uint32_t>(2 * s.buffer() - 2)), s.table_write(0xF, 0x0000), s.pnop(); },
       clean, [](S& s) {
         EXPECT_EQ(s.vp.flash()[s.buffer()], s.vp.device().holding_resets ? 0xFF : 0x0F);
         EXPECT_EQ(s.vp.flash()[2 * s.buffer() - 1], 0x00); }},
      {"PowerDownDuringBulkErase", {"18F4550"}, [](S& s) { s.vp.set_flash(0, 0x00), s.start_bulk_erase(); },
       K::power_down_while_busy, [](S& s) { EXPECT_EQ(s.vp.flash()[0], 0x00); }},
      {"PgdHighDuringBulkErase", {"18F452"}, [](S& s) { s.start_bulk_erase(), s.word(0x00FF); },
       K::pgd_high_during_erase},
      {"DataWordAfterAReadCommand", {"18F452"}, [](S& s) { s.setptr(0), s.table_write(0x9, 0); },
       K::pgd_contention},
      {"TableReadBeforeTblptrIsLoaded", {"18F452"}, [](S& s) { s.read(0x9); }, K::tblptr_undefined},
      {"Command0101", {"18F452"}, [](S& s) { s.table_write(0x5, 0); }, K::unknown_command},
      {"Command16", {"18F452"}, [](S& s) { s.command(16); }, K::command_out_of_range},
      {"VppFirstEntry", {"18F452"}, [](S& s) {  // nobody drives PGD
         s.vp.set_flash(0, 0x42), s.layer.hid_begin(2);
         EXPECT_EQ(s.read_memory(0, 1)[0], 0x00);
         EXPECT_TRUE(s.vp.has_violation(ViolationKind::not_in_program_mode)); },
       K::vpp_first_entry},
      {"EepromAddressBeyondTheEepromWraps", {"18F4620"}, [](S& s) { s.write_eeprom(0x0401, 0x99); },
       K::eeprom_address_out_of_range, [](S& s) { EXPECT_EQ(s.vp.eeprom()[1], 0x99); }},
      {"TblptrIncrementsWrapInside21Bits", {"18F4620"}, [](S& s) {
         s.vp.set_flash(0, 0x11), s.vp.set_id(0, 0x00), s.setptr(0x1FFFFF), s.read(0x9);
         EXPECT_EQ(s.read(0x9), 0x11); },
       clean},
      {"RowErase2xxx", {"18F4550"}, [](S& s) {
         s.vp.load_flash(0x40, Bytes(64, 0x00)), s.core({0x8EA6, 0x9CA6, 0x84A6}), s.setptr(0x40);
         s.core({0x88A6, 0x82A6}), s.pnop(); },
       clean, nothing_programmed},
      // Strict where the documents leave room: two NOPs after BSF WR start a K20/K22 write;
      // 3C0005h is undefined until written; only 1111 writes configuration.
      {"KWriteNeedsTwoNopsAfterWr", {"18F45K20", "18F45K22"}, [](S& s) {
         s.select_eeprom(2), s.core({0x0E33, 0x6EA8, 0x84A6, 0x82A6});
         for (int poll = 0; poll < 3; ++poll) s.poll_eecon1(); },
       K::missing_nops_after_wr, no_ee_write},
      {"BulkEraseWithout3C0005", {"18F4550", "18F45K20", "18F45K22"}, [](S& s) {
         s.vp.set_flash(0, 0x00), s.setptr(0x3C0004), s.table_write(0xC, 0x8F8F), s.core({0x0000});
         s.command(0), s.vp.advance_ms(20), s.word(0); },
       K::erase_key_undefined, [](S& s) { EXPECT_EQ(s.vp.flash()[0], 0x00); }},
      {"ConfigurationBy1101", {"18F452", "18F4550"},
       [](S& s) { s.config_setup(), s.setptr(0x300003), s.table_write(0xD, 0x0000), s.pnop(); },
       K::config_write_not_1111, [](S& s) { EXPECT_EQ(s.vp.config()[3], s.vp.device().config_erased[3]); }},
      {"TblrdAsACoreInstruction", {"18F4550"}, [](S& s) {  // TBLRD*+
         s.vp.set_flash(5, 0xA7), s.setptr(5), s.core({0x0009, 0x0000});
         EXPECT_EQ(s.read(0x2), 0xA7); EXPECT_EQ(s.vp.chip().tblptr(), 6u); },
       clean},
  };
  // clang-format on
  return kRules;
}

using Case = std::pair<const Rule*, const char*>;  // a rule on one of its parts
std::vector<Case> cases() {
  std::vector<Case> all;
  for (const Rule& rule : rules())
    for (const char* part : rule.parts) all.push_back({&rule, part});
  return all;
}

class ChipRule : public ::testing::TestWithParam<Case> {};

TEST_P(ChipRule, EndsInItsViolationAndTheMemorySiliconShows) {
  const Rule& rule = *GetParam().first;
  IcspSession s(GetParam().second);
  s.enter(), s.set_p9(1), rule.steps(s), s.exit();
  if (rule.first) {
    ASSERT_FALSE(s.vp.violations().empty());
    EXPECT_EQ(s.vp.violations().front().kind, *rule.first) << s.vp.violations_text();
  } else {
    EXPECT_TRUE(s.vp.violations().empty()) << s.vp.violations_text();
  }
  if (rule.holds) rule.holds(s);
}

INSTANTIATE_TEST_SUITE_P(Rules, ChipRule, ::testing::ValuesIn(cases()), [](const auto& param_info) {
  return std::string(param_info.param.first->name) + "_" + param_info.param.second;
});

TEST(VirtualProgrammer, NamesLogsAndTimesEveryReportAndFlagsUnknownCodes) {
  EXPECT_EQ(find_chip_device("PIC18F452"), find_chip_device("18f452"));
  EXPECT_EQ(find_chip_device("18LF43K22")->devid, find_chip_device("18F43K22")->devid + 0x20);
  EXPECT_THROW(VirtualProgrammer("18F999"), std::invalid_argument);
  VirtualProgrammer vp("18F4550");
  testing::RecordingHost host;
  host.on_sleep = vp.sleep_hook();
  link::ReportLayer layer(vp);
  EXPECT_EQ(layer.hid_begin(1), LinkStatus::failed);  // not connected yet
  vp.connect();
  layer.hid_begin(1), layer.hid_send_command(0), layer.hid_send_word(0x0E12), layer.hid_setprogtime(3);
  EXPECT_EQ(vp.chip().w(), 0x12);
  layer.hid_startprog(), host.sleep_ms(7), layer.hid_end();
  // One 1 ms frame a report; the programming NOP adds P9 + P10.
  EXPECT_EQ(vp.now_us(), 6000 + 3000 + VirtualProgrammer::kDefaultP10Us + 7000);
  EXPECT_EQ(vp.reports(),
            (std::vector<link::Report>{{101}, {107}, {108, 0x12, 0x0E}, {111, 3}, {109}, {103}}));
  EXPECT_TRUE(vp.violations().empty()) << vp.violations_text();
  vp.clear_log(), layer.hid_begin(0);  // eight zero bytes
  EXPECT_TRUE(vp.terminal_write({104}));
  EXPECT_EQ(std::tuple(vp.reports().size(), vp.violation_count(ViolationKind::unknown_report), vp.powered()),
            std::tuple(2u, 2, false));
}

// An unread answer is gone after the next write; a lost read still moves TBLPTR.
TEST(VirtualProgrammer, UnreadDroppedAndUnansweredReads) {
  IcspSession s("18F452");
  link::Report report{1, 2, 3, 4, 5, 6, 7, 8};
  s.vp.set_flash(1, 0x22);
  s.enter(), s.setptr(0), s.vp.drop_reads(1);
  EXPECT_EQ(s.read(0x9), 0);
  EXPECT_EQ(s.read(0x9), 0x22);
  s.command(0x2);
  EXPECT_TRUE(s.vp.terminal_write({110}) && s.vp.terminal_write({103}));
  EXPECT_FALSE(s.vp.terminal_read(report));
  EXPECT_EQ(report, (link::Report{1, 2, 3, 4, 5, 6, 7, 8}));
  s.vp.set_reads_unanswered(true);
  std::int32_t value = -1;
  EXPECT_EQ(s.layer.hid_read_byte(value), LinkStatus::failed);
}

TEST(VirtualProgrammer, DisconnectsAfterNReportsAndTakesTheTargetPowerAlong) {
  IcspSession s("18F452");
  s.vp.disconnect_after(2);
  s.enter();
  EXPECT_EQ(s.layer.hid_send_command(0), LinkStatus::ok);
  EXPECT_EQ(s.layer.hid_send_word(0), LinkStatus::failed);
  EXPECT_FALSE(s.vp.terminal_connected() || s.vp.powered());
  s.vp.connect();
  EXPECT_FALSE(s.vp.terminal_connected());  // gone until plugged in again
  s.vp.set_present(true), s.vp.connect();
  EXPECT_TRUE(s.vp.terminal_connected());
}

// Started on the 4th clock after BSF WR and done 4 ms later: two polls of eight 1 ms reports.
TEST(VirtualProgrammer, EepromWriteTakesSimulatedTimeAndAStuckWrNeverClears) {
  for (const bool stuck : {false, true}) {
    IcspSession s("18F4550");
    s.vp.set_wr_stuck(stuck);
    s.enter(), s.write_eeprom(4, 0x66);
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
