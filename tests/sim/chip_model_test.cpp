// The chip model against the ICSP step tables, and the virtual programmer's clock and faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "link/report_layer.h"
#include "sim/virtual_programmer.h"

namespace tessaflex::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The programming documents' step sequences written out by hand, none taken from the device list.
class IcspSession {
 public:
  explicit IcspSession(std::string_view device) : vp(device), layer(vp) { vp.connect(); }

  Family family() const { return vp.device().family; }
  bool k_family() const { return family() == Family::k20 || family() == Family::k22; }
  bool old_family() const { return family() == Family::fxx2 || family() == Family::x220; }
  std::size_t buffer() const { return static_cast<std::size_t>(vp.device().write_buffer); }

  void enter() { layer.hid_begin(1); }
  void exit() { layer.hid_end(); }
  void set_p9(int ms) { layer.hid_setprogtime(ms); }
  void command(int code) { layer.hid_send_command(code); }
  void word(int operand) { layer.hid_send_word(operand); }
  void pnop() { layer.hid_startprog(); }
  void table_write(int code, std::uint16_t operand) {
    command(code);
    word(operand);
  }
  void core(std::initializer_list<std::uint16_t> ops) {
    for (std::uint16_t op : ops) table_write(0, op);
  }
  static std::uint16_t movlw(std::uint32_t k) { return static_cast<std::uint16_t>(0x0E00 | (k & 0xFF)); }
  void setptr(std::uint32_t a) { core({movlw(a >> 16), 0x6EF8, movlw(a >> 8), 0x6EF7, movlw(a), 0x6EF6}); }
  std::uint8_t read(int code) {
    std::int32_t value = -1;
    command(code);
    layer.hid_read_byte(value);
    return static_cast<std::uint8_t>(value);
  }

  // Up to the 4 command clocks of the second 0000, on whose 4th the chip starts erasing.
  void start_bulk_erase(bool key_high = true) {
    if (!old_family() && key_high) {
      setptr(0x3C0005);
      table_write(0xC, family() == Family::f2xxx ? 0x3F3F : 0x0F0F);
    }
    setptr(0x3C0004);
    table_write(0xC, old_family() ? 0x0080 : 0x8F8F);
    core({0x0000});
    command(0);
  }
  void bulk_erase(bool key_high = true) {
    start_bulk_erase(key_high);
    vp.advance_ms(20);  // PGD low for P11 + P10
    word(0);
  }

  void code_setup() {
    if (family() == Family::fxx2) {
      core({0x8EA6, 0x8CA6, 0x84A6});
      setptr(0x3C0006);
      table_write(0xC, 0);
    }
    core({0x8EA6, 0x9CA6});
    if (k_family()) core({0x84A6});
  }
  void program_row(std::uint32_t row, const Bytes& bytes, bool setptr_first = true) {
    if (setptr_first) setptr(row);
    for (std::size_t i = 0; i < bytes.size(); i += 2)
      table_write(i + 2 < bytes.size() ? 0xD : 0xF, std::uint16_t(bytes[i] | bytes[i + 1] << 8));
    pnop();
  }

  void select_eeprom(std::uint16_t address) {
    core({0x9EA6, 0x9CA6, movlw(address), 0x6EA9});
    if (family() != Family::x220) core({movlw(address >> 8), 0x6EAA});
  }
  // The family's unlock, start and completion (X220 waits, the rest poll WR).
  void write_eeprom(std::uint16_t address, std::uint8_t value, bool unlock = true, bool wren = true) {
    select_eeprom(address);
    core({movlw(value), 0x6EA8});
    if (wren) core({0x84A6});
    if (old_family() && unlock) core({0x0E55, 0x6EA7, 0x0EAA, 0x6EA7});
    core({0x82A6});
    if (family() == Family::x220 || k_family()) core({0x0000, 0x0000});
    if (family() == Family::x220) vp.advance_ms(10);
    for (int poll = 0; family() != Family::x220 && poll < 100 && (poll_eecon1() & 0x02) != 0;) ++poll;
    core({0x94A6});
  }
  std::uint8_t poll_eecon1() {
    core({0x50A6, 0x6EF5});
    if (family() != Family::fxx2) core({0x0000});
    return read(0x2);
  }
  std::uint8_t read_eeprom(std::uint16_t address) {
    select_eeprom(address);
    core({0x80A6, 0x50A8, 0x6EF5, 0x0000});
    return read(0x2);
  }

  void config_setup() {
    core({0x8EA6, 0x8CA6});
    if (k_family()) {
      core({0x84A6});
      set_p9(5);
    }
    if (old_family()) core({0xEF00, 0xF800});
  }
  void write_config(int index, std::uint8_t value, int code = 0xF) {
    setptr(0x300000 + static_cast<std::uint32_t>(index));
    table_write(code, static_cast<std::uint16_t>(value << 8 | value));
    pnop();
  }
  Bytes read_memory(std::uint32_t address, std::size_t count) {
    setptr(address);
    Bytes bytes;
    for (std::size_t i = 0; i < count; ++i) bytes.push_back(read(0x9));
    return bytes;
  }

  VirtualProgrammer vp;
  link::ReportLayer layer;
};

// One part per family, plus parts with other write buffers and 1 KB of EEPROM.
const std::vector<const char*> kParts = {"18F452",  "18F242",   "18F1320",  "18F2320",  "18F4550",
                                         "18F4620", "18F23K20", "18F45K20", "18F26K22", "18LF24K22"};

Bytes pattern(std::size_t n, std::uint8_t seed) {
  Bytes bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(seed + 37 * i);
  return bytes;
}
bool all_ff(const Bytes& m) { return std::count(m.begin(), m.end(), 0xFF) == std::ssize(m); }

// Steps from power-up (P9 := 1 ms) on, the first violation, what silicon shows after power-down.
struct Rule {
  const char* name;
  std::vector<const char*> parts;
  std::function<void(IcspSession&)> steps;
  std::optional<ViolationKind> first;
  void (*holds)(IcspSession&) = [](IcspSession&) {};
};

void no_ee_write(IcspSession& s) { EXPECT_EQ(s.vp.eeprom()[2], 0xFF); }
void nothing_programmed(IcspSession& s) { EXPECT_TRUE(all_ff(s.vp.flash())); }
void config3_erased(IcspSession& s) { EXPECT_EQ(s.vp.config()[3], s.vp.device().config_erased[3]); }
void flash0_kept(IcspSession& s) { EXPECT_EQ(s.vp.flash()[0], 0x00); }
void ee4_written(IcspSession& s) { EXPECT_EQ(s.vp.eeprom()[4], 0x66); }

using K = ViolationKind;
using S = IcspSession;
constexpr std::nullopt_t clean = std::nullopt;
// clang-format off
const std::vector<Rule> kRules = {
    // Every family: a used chip with CP0.., CPB and CPD = 0 (code and data read 0, the device ID normally)
    // erased; a row programmed twice (bits only go 1 to 0), the last EEPROM byte, CONFIG2H without WDTEN.
    {"ErasesProgramsAndReadsBack", kParts, [](S& s) {
       const ChipDevice& d = s.vp.device();
       const auto last = static_cast<std::uint32_t>(d.flash_size - 1);
       for (std::int32_t a = 0; a < d.flash_size; a += 7) s.vp.set_flash(a, 0x00);
       s.vp.set_flash(last, 0xA5);
       s.vp.set_eeprom(0, 0x77);
       s.vp.set_id(3, 0x00);
       for (int i : {3, 8, 9}) s.vp.set_config(i, 0x00);
       EXPECT_EQ(std::tuple(s.read_memory(last, 1)[0], s.read_eeprom(0)), std::tuple(0x00, 0x00));
       EXPECT_EQ(s.read_memory(0x3FFFFE, 2), (Bytes{std::uint8_t(d.devid), std::uint8_t(d.devid >> 8)}));
       s.bulk_erase();
       s.exit();
       EXPECT_TRUE(all_ff(s.vp.flash()) && all_ff(s.vp.eeprom()) && s.vp.ids()[3] == 0xFF);
       EXPECT_EQ(s.vp.config(), d.config_erased);
       for (std::size_t i = 0; i < 14; ++i) EXPECT_EQ(d.config_erased[i] & ~d.config_mask[i], 0) << i;
       const auto row = static_cast<std::uint32_t>(3 * d.write_buffer);
       const Bytes first = pattern(s.buffer(), 0x21), second = pattern(s.buffer(), 0x5C);
       Bytes data(first.size() + 2, 0xFF);  // and the next row's first word, still blank
       std::transform(first.begin(), first.end(), second.begin(), data.begin(), std::bit_and<std::uint8_t>());
       const auto ee = static_cast<std::uint16_t>(d.eeprom_size - 1);
       Bytes config(d.config_erased.begin(), d.config_erased.end());
       config[3] = static_cast<std::uint8_t>(config[3] & ~0x01);
       s.enter();
       s.code_setup();
       s.program_row(row, first);
       s.program_row(row, second);
       s.write_eeprom(ee, 0x5A);
       s.config_setup();
       s.write_config(3, config[3]);
       s.exit();
       s.enter();
       EXPECT_EQ(s.read_memory(row, data.size()), data);
       EXPECT_EQ(s.read_eeprom(ee), 0x5A);
       EXPECT_EQ(s.read_memory(0x300000, 14), config); }, clean},
    // An ordinary NOP does not hold PGC high on its 4th clock.
    {"NoProgrammingNop", kParts, [](S& s) {
       s.code_setup();
       s.setptr(0);
       for (std::size_t i = 2; i < s.buffer(); i += 2) s.table_write(0xD, 0x1234);
       s.table_write(0xF, 0x1234);
       s.core({0x0000}); }, K::missing_programming_nop, nothing_programmed},
    // The word's clocks reach the chip while it erases; the out-of-step engine takes other frames.
    {"CommandsAfterBulkEraseWithoutPowerDown", kParts, [](S& s) {
       s.vp.set_flash(0, 0x00);
       s.start_bulk_erase();
       s.word(0);
       s.vp.advance_ms(20);
       s.code_setup();
       s.program_row(0, pattern(s.buffer(), 0x40));
       EXPECT_EQ(s.vp.config(), s.vp.device().config_erased); },
     K::commands_after_bulk_erase, nothing_programmed},
    {"EepromWriteWithoutWren", kParts, [](S& s) { s.write_eeprom(2, 0x33, true, false); }, K::missing_wren,
     no_ee_write},
    {"ProgrammingBeforeEecon1IsSet", kParts, [](S& s) { s.program_row(0, Bytes(2, 0x00)); },
     K::eecon1_undefined, nothing_programmed},
    {"CodeWriteWithCfgsSet", kParts, [](S& s) {
       s.core({0x8EA6, 0x8CA6, 0x84A6});
       s.program_row(0, Bytes(2, 0x00)); }, K::wrong_eecon1_selection, nothing_programmed},
    {"LoadsInTwoRows", kParts, [](S& s) {
       s.code_setup();
       s.program_row(static_cast<std::uint32_t>(s.buffer() - 2), Bytes{0x11, 0x11, 0x22, 0x22}); },
     K::row_crossed},
    // Flagged ("TBLPTR must stay in the same row") though both rows come out right.
    {"DummyWriteStepsIntoTheNextRow", kParts, [](S& s) {
       const Bytes next = pattern(s.buffer(), 0x33);
       s.code_setup();
       s.program_row(0, Bytes(s.buffer(), 0x00));
       s.table_write(0xD, 0xFFFF);
       s.program_row(0, next, false);
       EXPECT_TRUE(std::equal(next.begin(), next.end(), &s.vp.flash()[next.size()])); }, K::row_crossed},
    {"EepromWriteWithoutUnlock", {"18F452", "18F1320"}, [](S& s) { s.write_eeprom(2, 0x44, false); },
     K::missing_unlock, no_ee_write},
    {"UnlockNotRightBeforeWr", {"18F452"}, [](S& s) {  // a NOP between the unlock and WR
       s.core({0x9EA6, 0x9CA6, 0x0E02, 0x6EA9, 0x0E44, 0x6EA8, 0x84A6});
       s.core({0x0E55, 0x6EA7, 0x0EAA, 0x6EA7, 0x0000, 0x82A6}); }, K::missing_unlock, no_ee_write},
    {"EepromWriteWithEepgdSet", {"18F4550"},
     [](S& s) { s.core({0x8EA6, 0x9CA6, 0x84A6, 0x0E02, 0x6EA9, 0x0E44, 0x6EA8, 0x82A6}); },
     K::wrong_eecon1_selection, no_ee_write},
    {"EeadrhOn18F1220", {"18F1220"}, [](S& s) { s.core({0x0E00, 0x6EAA}); }, K::missing_register},
    {"ShiftOutRightAfterMovwfTablat", {"18F4550"}, [](S& s) {  // reads the old TABLAT
       s.core({0x0E5A, 0x6EF5});
       EXPECT_EQ(s.read(0x2), 0x00); }, K::shift_out_without_nop},
    {"KFamilyConfigurationWithP9", {"18F45K20", "18F45K22"}, [](S& s) {
       s.config_setup();
       s.set_p9(1);
       s.write_config(3, 0x00); }, K::short_programming_time, config3_erased},
    {"ShortDischarge", {"18F4550"}, [](S& s) {  // 2XXX needs 100 us
       s.vp.set_p10_us(20);
       s.code_setup();
       s.program_row(0, Bytes(32, 0x00)); }, K::short_discharge_time},
    {"ConfigurationWithoutGoto", {"18F452"}, [](S& s) {
       s.core({0x8EA6, 0x8CA6});
       s.write_config(3, 0x0E); }, K::config_without_goto},
    {"Fxx2WithoutPanelMode", {"18F452"}, [](S& s) {
       s.core({0x8EA6, 0x9CA6, 0x84A6});
       s.program_row(0, Bytes(8, 0x00)); }, K::panel_mode_undefined},
    // CP1:CP0 = 0 stay 0; WRTC = 0 freezes the configuration.
    {"ProtectionBitsOnlyClearAndWrtcFreezes", {"18F4520"}, [](S& s) {
       s.config_setup();
       s.write_config(8, 0x0C);
       s.write_config(8, 0x0F);
       s.write_config(11, 0xC0);
       s.write_config(3, 0x00);
       const auto& c = s.vp.config();
       EXPECT_EQ(std::tuple(c[8], c[11], c[3]), std::tuple(0x0C, 0xC0, 0x1F)); }, K::config_write_protected},
    {"UnimplementedConfigurationStaysZero", {"18F452"}, [](S& s) {  // CONFIG1L lacking, CONFIG1H only 27h
       s.config_setup();
       s.write_config(0, 0xFF);
       s.write_config(1, 0xFF);
       EXPECT_EQ(std::tuple(s.vp.config()[0], s.vp.config()[1]), std::tuple(0x00, 0x27)); }, clean},
    {"HoldingRegistersStaleExceptOn2455Class", {"18F4550", "18F4520", "18F452", "18F45K22"}, [](S& s) {
       const std::size_t n = s.buffer();
       s.code_setup();
       s.program_row(0, Bytes(n, 0x0F));
       s.program_row(static_cast<std::uint32_t>(2 * n - 2), Bytes(2, 0x00));
       EXPECT_EQ(std::tuple(s.vp.flash()[n], s.vp.flash()[2 * n - 1]),
                 std::tuple(s.vp.device().holding_resets ? 0xFF : 0x0F, 0x00)); }, clean},
    {"PowerDownDuringBulkErase", {"18F4550"}, [](S& s) {
       s.vp.set_flash(0, 0x00);
       s.start_bulk_erase(); }, K::power_down_while_busy, flash0_kept},
    {"PgdHighDuringBulkErase", {"18F452"}, [](S& s) {
       s.start_bulk_erase();
       s.word(0x00FF); }, K::pgd_high_during_erase},
    {"DataWordAfterAReadCommand", {"18F452"}, [](S& s) {
       s.setptr(0);
       s.table_write(0x9, 0); }, K::pgd_contention},
    {"TableReadBeforeTblptrIsLoaded", {"18F452"}, [](S& s) { s.read(0x9); }, K::tblptr_undefined},
    {"Command0101", {"18F452"}, [](S& s) { s.table_write(0x5, 0); }, K::unknown_command},
    {"Command16", {"18F452"}, [](S& s) { s.command(16); }, K::command_out_of_range},
    {"VppFirstEntry", {"18F452"}, [](S& s) {  // nobody drives PGD
       s.vp.set_flash(0, 0x42);
       s.layer.hid_begin(2);
       EXPECT_EQ(s.read_memory(0, 1)[0], 0x00);
       EXPECT_TRUE(s.vp.has_violation(ViolationKind::not_in_program_mode)); }, K::vpp_first_entry},
    {"EepromAddressBeyondTheEepromWraps", {"18F4620"}, [](S& s) {
       s.write_eeprom(0x0401, 0x99);
       EXPECT_EQ(s.vp.eeprom()[1], 0x99); }, K::eeprom_address_out_of_range},
    {"TblptrIncrementsWrapInside21Bits", {"18F4620"}, [](S& s) {
       s.vp.set_flash(0, 0x11);
       s.vp.set_id(0, 0x00);
       EXPECT_EQ(s.read_memory(0x1FFFFF, 2)[1], 0x11); }, clean},
    {"RowErase2xxx", {"18F4550"}, [](S& s) {
       s.vp.load_flash(0x40, Bytes(64, 0x00));
       s.core({0x8EA6, 0x9CA6, 0x84A6});
       s.setptr(0x40);
       s.core({0x88A6, 0x82A6});
       s.pnop(); }, clean, nothing_programmed},
    // Strict where the documents leave room: two NOPs after BSF WR start a K20/K22 write;
    // 3C0005h is undefined until written; only 1111 writes configuration.
    {"KWriteNeedsTwoNopsAfterWr", {"18F45K20", "18F45K22"}, [](S& s) {
       s.select_eeprom(2);
       s.core({0x0E33, 0x6EA8, 0x84A6, 0x82A6});
       for (int poll = 0; poll < 3; ++poll) s.poll_eecon1(); }, K::missing_nops_after_wr, no_ee_write},
    {"BulkEraseWithout3C0005", {"18F4550", "18F45K20", "18F45K22"}, [](S& s) {
       s.vp.set_flash(0, 0x00);
       s.bulk_erase(false); }, K::erase_key_undefined, flash0_kept},
    {"ConfigurationBy1101", {"18F452", "18F4550"}, [](S& s) {
       s.config_setup();
       s.write_config(3, 0x00, 0xD); }, K::config_write_not_1111, config3_erased},
    {"TblrdAsACoreInstruction", {"18F4550"}, [](S& s) {  // TBLRD*+
       s.vp.set_flash(5, 0xA7);
       s.setptr(5);
       s.core({0x0009, 0x0000});
       EXPECT_EQ(std::tuple(s.read(0x2), s.vp.chip().tblptr()), std::tuple(0xA7, 6u)); }, clean},
    // The virtual programmer: a 1 ms frame a report, P9 + P10 more for a programming NOP.
    {"ReportsTakeSimulatedTime", {"18F4550"}, [](S& s) {
       const std::int64_t start = s.vp.now_us();
       s.core({0x0E12});
       s.set_p9(3);
       s.pnop();
       s.vp.sleep_hook()(7);
       EXPECT_EQ(s.vp.now_us() - start, 4000 + 3000 + VirtualProgrammer::kDefaultP10Us + 7000); }, clean},
    {"ZeroAndUnknownReportCodes", {"18F452"}, [](S& s) {  // eight zero bytes, then a code of no report
       s.exit();
       s.layer.hid_begin(0);
       EXPECT_TRUE(s.vp.terminal_write({104}) && !s.vp.powered());
       EXPECT_EQ(s.vp.violation_count(K::unknown_report), 2); }, K::unknown_report},
    // An unread answer is gone after the next write; a lost read still moves TBLPTR.
    {"DroppedAndUnansweredReads", {"18F452"}, [](S& s) {
       link::Report report{1, 2, 3, 4, 5, 6, 7, 8};
       s.vp.set_flash(1, 0x22);
       s.vp.set_flash(2, 0x33);
       s.vp.drop_reads(1);
       EXPECT_EQ(s.read_memory(0, 2), (Bytes{0x00, 0x22}));
       s.vp.set_reads_unanswered(true);
       EXPECT_EQ(s.read(0x9), 0);
       s.vp.set_reads_unanswered(false);
       s.command(0x2);
       EXPECT_TRUE(s.vp.terminal_write({110}) && s.vp.terminal_write({103}) && !s.vp.terminal_read(report));
       EXPECT_EQ(report, (link::Report{1, 2, 3, 4, 5, 6, 7, 8})); }, clean},
    // Gone with the target's supply after n reports, until plugged in again.
    {"UnpluggedAfterNReports", {"18F452"}, [](S& s) {
       s.vp.disconnect_after(1);
       EXPECT_EQ(s.layer.hid_send_command(0), link::LinkStatus::ok);
       EXPECT_EQ(s.layer.hid_send_word(0), link::LinkStatus::failed);
       EXPECT_FALSE(s.vp.terminal_connected() || s.vp.powered());
       s.vp.connect();
       EXPECT_FALSE(s.vp.terminal_connected());
       s.vp.set_present(true);
       s.vp.connect();
       EXPECT_TRUE(s.vp.terminal_connected()); }, clean},
    // Started on the 4th clock after BSF WR and done 4 ms later: two polls of eight 1 ms reports.
    {"EepromWriteTakesSimulatedTime", {"18F4550"}, [](S& s) {
       s.write_eeprom(4, 0x66);
       EXPECT_EQ(s.vp.count(link::report_read), 2); }, clean, ee4_written},
    {"AStuckWrNeverClears", {"18F4550"}, [](S& s) {
       s.vp.set_wr_stuck(true);
       s.write_eeprom(4, 0x66);
       s.vp.advance_ms(1000);
       EXPECT_EQ(s.vp.count(link::report_read), 100);
       EXPECT_EQ(s.poll_eecon1() & 0x02, 0x02); }, clean, ee4_written},
};
// clang-format on

class ChipRule : public ::testing::TestWithParam<Rule> {};

TEST_P(ChipRule, EndsInItsViolationAndTheMemorySiliconShows) {
  for (const char* part : GetParam().parts) {
    SCOPED_TRACE(part);
    IcspSession s(part);
    s.enter();
    s.set_p9(1);
    GetParam().steps(s);
    s.exit();
    GetParam().holds(s);
    const auto& all = s.vp.violations();
    EXPECT_EQ(all.empty() ? std::nullopt : std::optional(all.front().kind), GetParam().first)
        << s.vp.violations_text();
  }
}

INSTANTIATE_TEST_SUITE_P(Rules, ChipRule, ::testing::ValuesIn(kRules),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace tessaflex::sim
