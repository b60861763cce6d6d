// The chip model against the step tables of pic18-icsp.md: sequences that work, and sequences that break a
// rule.
#include <gtest/gtest.h>

#include <numeric>

#include "link/icsp_session.h"

namespace tessaflex::testing {
namespace {

// One part per family, plus parts with other write buffers and 1 KB of EEPROM.
const char* const kParts[] = {"18F452",  "18F242",   "18F1320",  "18F2320",  "18F4550",
                              "18F4620", "18F23K20", "18F45K20", "18F26K22", "18LF24K22"};

std::string part_name(const ::testing::TestParamInfo<const char*>& info) { return info.param; }

std::vector<std::uint8_t> pattern(std::size_t n, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(seed + 37 * i);
  return bytes;
}

class EveryFamily : public ::testing::TestWithParam<const char*> {};
INSTANTIATE_TEST_SUITE_P(Parts, EveryFamily, ::testing::ValuesIn(kParts), part_name);

TEST_P(EveryFamily, ErasesProgramsAndReadsBackWithACleanProtocol) {
  IcspSession s(GetParam());
  const ChipDevice& d = s.vp.device();
  // A used chip: code, EEPROM, IDs and configuration away from their erased values.
  for (std::int32_t a = 0; a < d.flash_size; a += 7) s.vp.set_flash(a, 0x00);
  s.vp.set_eeprom(d.eeprom_size - 1, 0x12);
  s.vp.set_id(3, 0x00);
  s.vp.set_config(3, 0x00);

  s.enter();
  s.bulk_erase();
  s.exit();
  EXPECT_TRUE(std::all_of(s.vp.flash().begin(), s.vp.flash().end(), [](auto b) { return b == 0xFF; }));
  EXPECT_TRUE(std::all_of(s.vp.eeprom().begin(), s.vp.eeprom().end(), [](auto b) { return b == 0xFF; }));
  EXPECT_EQ(s.vp.ids()[3], 0xFF);
  EXPECT_EQ(s.vp.config(), d.config_erased);

  const auto row = static_cast<std::uint32_t>(3 * d.write_buffer);
  const std::vector<std::uint8_t> data = pattern(static_cast<std::size_t>(d.write_buffer), 0x21);
  const auto ee_address = static_cast<std::uint16_t>(d.eeprom_size - 1);
  // CONFIG2H with its lowest implemented bit (WDTEN) cleared.
  const auto config2h = static_cast<std::uint8_t>(d.config_erased[3] & ~0x01);

  s.enter();
  s.set_p9(1);
  s.code_setup();
  s.program_row(row, data);
  s.write_eeprom(ee_address, 0x5A);
  s.config_setup();
  s.write_config(3, config2h);
  s.exit();

  s.enter();
  EXPECT_EQ(s.read_memory(row, data.size()), data);
  EXPECT_EQ(s.read_memory(row + static_cast<std::uint32_t>(d.write_buffer), 2),
            std::vector<std::uint8_t>(2, 0xFF));
  EXPECT_EQ(s.read_eeprom(ee_address), 0x5A);
  const std::vector<std::uint8_t> config = s.read_memory(0x300000, 14);
  const std::vector<std::uint8_t> devid = s.read_memory(0x3FFFFE, 2);
  s.exit();

  std::array<std::uint8_t, 14> expected_config = d.config_erased;
  expected_config[3] = config2h;
  EXPECT_EQ(std::vector<std::uint8_t>(expected_config.begin(), expected_config.end()), config);
  EXPECT_EQ(devid[0] | devid[1] << 8, d.devid);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), s.vp.flash().begin() + row));
  EXPECT_EQ(s.vp.eeprom()[ee_address], 0x5A);
  EXPECT_EQ(s.vp.config(), expected_config);
  EXPECT_TRUE(s.vp.violations().empty()) << s.vp.violations_text();
}

TEST_P(EveryFamily, StartProgrammingWithoutTheProgrammingNopProgramsNothing) {
  IcspSession s(GetParam());
  const ChipDevice& d = s.vp.device();
  s.enter();
  s.set_p9(1);
  s.code_setup();
  s.setptr(0);
  const std::vector<std::uint8_t> data = pattern(static_cast<std::size_t>(d.write_buffer), 0x10);
  for (std::size_t i = 0; i + 2 < data.size(); i += 2) s.table_write(0xD, 0x1234);
  s.table_write(0xF, 0x1234);
  s.core(0x0000);  // an ordinary NOP: PGC is not held high on its 4th clock
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::missing_programming_nop)) << s.vp.violations_text();
  EXPECT_TRUE(std::all_of(s.vp.flash().begin(), s.vp.flash().end(), [](auto b) { return b == 0xFF; }));
}

TEST_P(EveryFamily, CommandsAfterABulkEraseWithoutPowerDownLeaveTheEngineOutOfStep) {
  IcspSession s(GetParam());
  const ChipDevice& d = s.vp.device();
  s.vp.set_flash(0, 0x00);
  s.enter();
  s.set_p9(1);
  // The erase as one report per command and operand: the operand's clocks reach the
  // chip while it erases, and the row after it goes to an engine out of step.
  switch (s.family()) {
    case Family::fxx2:
    case Family::x220:
      s.setptr(0x3C0004);
      s.table_write(0xC, 0x0080);
      break;
    default:
      s.setptr(0x3C0005);
      s.table_write(0xC, s.family() == Family::f2xxx ? 0x3F3F : 0x0F0F);
      s.setptr(0x3C0004);
      s.table_write(0xC, 0x8F8F);
  }
  s.core(0x0000);
  s.core(0x0000);
  s.vp.advance_ms(20);
  s.code_setup();
  s.program_row(0, pattern(static_cast<std::size_t>(d.write_buffer), 0x40));
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::commands_after_bulk_erase)) << s.vp.violations_text();
  // Erased, and the row never programmed: the chip took the frames for something else.
  EXPECT_TRUE(std::all_of(s.vp.flash().begin(), s.vp.flash().end(), [](auto b) { return b == 0xFF; }));
  EXPECT_EQ(s.vp.config(), d.config_erased);
}

TEST_P(EveryFamily, EepromWriteWithoutWrenWritesNothing) {
  IcspSession s(GetParam());
  s.enter();
  s.write_eeprom(1, 0x33, true, false);
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::missing_wren)) << s.vp.violations_text();
  EXPECT_EQ(s.vp.eeprom()[1], 0xFF);
}

TEST_P(EveryFamily, ProgrammingBeforeEecon1IsSetIsAViolation) {
  IcspSession s(GetParam());
  s.enter();
  s.set_p9(1);
  s.setptr(0);
  s.table_write(0xF, 0x0000);
  s.pnop();
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::eecon1_undefined)) << s.vp.violations_text();
  EXPECT_EQ(s.vp.flash()[0], 0xFF);
}

TEST_P(EveryFamily, CodeWriteWithConfigurationSelectedWritesNothing) {
  IcspSession s(GetParam());
  s.enter();
  s.set_p9(1);
  s.core(0x8EA6);
  s.core(0x8CA6);  // CFGS = 1: configuration space
  s.core(0x84A6);
  s.setptr(0);
  s.table_write(0xF, 0x0000);
  s.pnop();
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::wrong_eecon1_selection)) << s.vp.violations_text();
  EXPECT_EQ(s.vp.flash()[0], 0xFF);
}

TEST_P(EveryFamily, CodeProtectedMemoryReadsZeroUntilABulkErase) {
  IcspSession s(GetParam());
  const ChipDevice& d = s.vp.device();
  s.vp.set_flash(0, 0x5A);
  s.vp.set_flash(d.flash_size - 1, 0xA5);
  s.vp.set_config(8, 0x00);  // CP0.. = 0
  s.vp.set_config(9, 0x00);  // CPB = CPD = 0
  s.vp.set_eeprom(0, 0x77);
  s.enter();
  EXPECT_EQ(s.read_memory(0, 1)[0], 0x00);
  EXPECT_EQ(s.read_memory(static_cast<std::uint32_t>(d.flash_size - 1), 1)[0], 0x00);
  EXPECT_EQ(s.read_eeprom(0), 0x00);
  // Configuration and device ID read normally.
  EXPECT_EQ(s.read_memory(0x300009, 1)[0], 0x00);
  const std::vector<std::uint8_t> devid = s.read_memory(0x3FFFFE, 2);
  EXPECT_EQ(devid[0] | devid[1] << 8, d.devid);
  s.bulk_erase();
  s.exit();
  s.enter();
  EXPECT_EQ(s.read_memory(0, 1)[0], 0xFF);
  EXPECT_EQ(s.read_memory(0x300008, 2), std::vector<std::uint8_t>({d.config_erased[8], d.config_erased[9]}));
  s.exit();
  EXPECT_TRUE(s.vp.violations().empty()) << s.vp.violations_text();
}

TEST_P(EveryFamily, ProgrammingOnlyClearsBits) {
  IcspSession s(GetParam());
  const auto w = static_cast<std::size_t>(s.vp.device().write_buffer);
  s.enter();
  s.set_p9(1);
  s.code_setup();
  s.program_row(0, std::vector<std::uint8_t>(w, 0xF0));
  s.program_row(0, std::vector<std::uint8_t>(w, 0x3C));
  s.exit();
  EXPECT_EQ(s.vp.flash()[0], 0x30);
  EXPECT_EQ(s.vp.flash()[w - 1], 0x30);
  EXPECT_TRUE(s.vp.violations().empty()) << s.vp.violations_text();
}

TEST_P(EveryFamily, TableWritesThatLeaveTheirRowAreAViolation) {
  IcspSession s(GetParam());
  const auto w = static_cast<std::size_t>(s.vp.device().write_buffer);
  s.enter();
  s.set_p9(1);
  s.code_setup();
  s.setptr(static_cast<std::uint32_t>(w - 2));
  s.table_write(0xD, 0x1111);
  s.table_write(0xF, 0x2222);  // already in the next row
  s.pnop();
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::row_crossed)) << s.vp.violations_text();
}

// --- One family's own rules --------------------------------------------------------------

TEST(ChipModelRules, Fxx2AndX220EepromWriteWithoutUnlockWritesNothing) {
  for (const char* part : {"18F452", "18F1320"}) {
    IcspSession s(part);
    s.enter();
    s.write_eeprom(2, 0x44, false);
    s.exit();
    EXPECT_TRUE(s.vp.has_violation(ViolationKind::missing_unlock)) << part << s.vp.violations_text();
    EXPECT_EQ(s.vp.eeprom()[2], 0xFF) << part;
  }
}

TEST(ChipModelRules, UnlockMustComeRightBeforeWr) {
  IcspSession s("18F452");
  s.enter();
  s.core(0x9EA6);
  s.core(0x9CA6);
  s.core(0x0E02);
  s.core(0x6EA9);
  s.core(0x0E44);
  s.core(0x6EA8);
  s.core(0x84A6);
  s.core(0x0E55);
  s.core(0x6EA7);
  s.core(0x0EAA);
  s.core(0x6EA7);
  s.core(0x0000);  // one instruction too many between the unlock and WR
  s.core(0x82A6);
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::missing_unlock)) << s.vp.violations_text();
  EXPECT_EQ(s.vp.eeprom()[2], 0xFF);
}

TEST(ChipModelRules, HoldingRegistersKeepStaleBytesExceptWhereTheyAreKnownToReset) {
  // A row loaded only in its last word after a full row: the 2455/2550 class reads FFh
  // in the rest, every other part (assumed, the stricter reading) keeps the old bytes.
  for (const auto& [part, stale] : {std::pair{"18F4550", false}, std::pair{"18F4520", true},
                                    std::pair{"18F452", true}, std::pair{"18F45K22", true}}) {
    IcspSession s(part);
    const auto w = static_cast<std::uint32_t>(s.vp.device().write_buffer);
    s.enter();
    s.set_p9(1);
    s.code_setup();
    s.program_row(0, std::vector<std::uint8_t>(w, 0x0F));
    s.setptr(w + w - 2);
    s.table_write(0xF, 0x0000);
    s.pnop();
    s.exit();
    EXPECT_EQ(s.vp.flash()[w], stale ? 0x0F : 0xFF) << part;
    EXPECT_EQ(s.vp.flash()[w + w - 1], 0x00) << part;
    EXPECT_TRUE(s.vp.violations().empty()) << part << s.vp.violations_text();
  }
}

TEST(ChipModelRules, EeadrhOn18F1220IsAMissingRegister) {
  IcspSession s("18F1220");
  s.enter();
  s.core(0x0E00);
  s.core(0x6EAA);
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::missing_register)) << s.vp.violations_text();
}

TEST(ChipModelRules, EeadrhOnOther256ByteParts) {
  // FXX2 and 2XXX sequences write it anyway: harmless there.
  for (const char* part : {"18F452", "18F4550", "18F2320"}) {
    IcspSession s(part);
    s.enter();
    s.write_eeprom(0x80, 0x21);
    EXPECT_EQ(s.read_eeprom(0x80), 0x21) << part;
    s.exit();
    EXPECT_TRUE(s.vp.violations().empty()) << part << s.vp.violations_text();
  }
}

TEST(ChipModelRules, ShiftOutRightAfterMovwfTablatNeedsTheNopOnNewerFamilies) {
  IcspSession s("18F4550");
  s.enter();
  s.core(0x0E5A);
  s.core(0x6EF5);
  EXPECT_EQ(s.read(0x2), 0x00);  // the old TABLAT
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::shift_out_without_nop)) << s.vp.violations_text();

  IcspSession old("18F452");
  old.enter();
  old.core(0x0E5A);
  old.core(0x6EF5);
  EXPECT_EQ(old.read(0x2), 0x5A);
  old.exit();
  EXPECT_TRUE(old.vp.violations().empty()) << old.vp.violations_text();
}

TEST(ChipModelRules, KFamilyConfigurationNeedsP9A) {
  for (const char* part : {"18F45K20", "18F45K22"}) {
    IcspSession s(part);
    s.enter();
    s.config_setup();
    s.set_p9(1);  // P9, not P9A
    s.write_config(3, 0x00);
    s.exit();
    EXPECT_TRUE(s.vp.has_violation(ViolationKind::short_programming_time)) << part << s.vp.violations_text();
    EXPECT_EQ(s.vp.config()[3], s.vp.device().config_erased[3]) << part;
  }
}

TEST(ChipModelRules, ShortDischargeAfterProgrammingIsRecorded) {
  IcspSession s("18F4550");
  s.vp.set_p10_us(20);  // 2XXX needs 100 us
  s.enter();
  s.set_p9(1);
  s.code_setup();
  s.program_row(0, std::vector<std::uint8_t>(32, 0x00));
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::short_discharge_time)) << s.vp.violations_text();
}

TEST(ChipModelRules, OldFamiliesNeedTheGotoBeforeConfiguration) {
  IcspSession s("18F452");
  s.enter();
  s.set_p9(1);
  s.core(0x8EA6);
  s.core(0x8CA6);
  s.write_config(3, 0x0E);
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::config_without_goto)) << s.vp.violations_text();
}

TEST(ChipModelRules, Fxx2ProgrammingWithoutPanelModeIsRecorded) {
  IcspSession s("18F452");
  s.enter();
  s.set_p9(1);
  s.core(0x8EA6);
  s.core(0x9CA6);
  s.core(0x84A6);
  s.program_row(0, std::vector<std::uint8_t>(8, 0x00));
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::panel_mode_undefined)) << s.vp.violations_text();
}

TEST(ChipModelRules, ProtectionBitsOnlyClearAndWrtcFreezesConfiguration) {
  IcspSession s("18F4520");
  s.enter();
  s.set_p9(1);
  s.config_setup();
  s.write_config(8, 0x0C);   // CP1:CP0 = 0
  s.write_config(8, 0x0F);   // cannot set them again
  s.write_config(11, 0xC0);  // WRTC = 0
  s.write_config(3, 0x00);   // frozen now
  s.exit();
  EXPECT_EQ(s.vp.config()[8], 0x0C);
  EXPECT_EQ(s.vp.config()[11], 0xC0);
  EXPECT_EQ(s.vp.config()[3], 0x1F);
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::config_write_protected)) << s.vp.violations_text();
}

TEST(ChipModelRules, UnimplementedConfigurationBytesAndBitsStayZero) {
  IcspSession s("18F452");
  s.enter();
  s.set_p9(1);
  s.config_setup();
  s.write_config(0, 0xFF);  // CONFIG1L does not exist
  s.write_config(1, 0xFF);  // CONFIG1H: only 27h implemented
  s.exit();
  EXPECT_EQ(s.vp.config()[0], 0x00);
  EXPECT_EQ(s.vp.config()[1], 0x27);
  EXPECT_TRUE(s.vp.violations().empty()) << s.vp.violations_text();
}

TEST(ChipModelRules, PowerDownDuringBulkEraseErasesNothing) {
  IcspSession s("18F4550");
  s.vp.set_flash(0, 0x00);
  s.enter();
  s.setptr(0x3C0005);
  s.table_write(0xC, 0x3F3F);
  s.setptr(0x3C0004);
  s.table_write(0xC, 0x8F8F);
  s.core(0x0000);
  s.layer.hid_send_command(0);
  s.exit();  // 1 ms into a 5 ms erase
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::power_down_while_busy)) << s.vp.violations_text();
  EXPECT_EQ(s.vp.flash()[0], 0x00);
}

TEST(ChipModelRules, PgdHighDuringBulkEraseIsRecorded) {
  IcspSession s("18F452");
  s.enter();
  s.setptr(0x3C0004);
  s.table_write(0xC, 0x0080);
  s.core(0x0000);
  s.layer.hid_send_command(0);
  s.layer.hid_send_word(0x00FF);
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::pgd_high_during_erase)) << s.vp.violations_text();
}

TEST(ChipModelRules, DataWordAfterAReadCommandFightsTheChip) {
  IcspSession s("18F452");
  s.enter();
  s.setptr(0);
  s.layer.hid_send_command(0x9);
  s.layer.hid_send_word(0x0000);
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::pgd_contention)) << s.vp.violations_text();
}

TEST(ChipModelRules, TableReadBeforeTblptrIsLoaded) {
  IcspSession s("18F452");
  s.enter();
  s.read(0x9);
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::tblptr_undefined)) << s.vp.violations_text();
}

TEST(ChipModelRules, CommandsOutsideTheTable) {
  IcspSession s("18F452");
  s.enter();
  s.layer.hid_send_command(0x5);
  s.layer.hid_send_word(0);
  s.layer.hid_send_command(16);
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::unknown_command)) << s.vp.violations_text();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::command_out_of_range)) << s.vp.violations_text();
}

TEST(ChipModelRules, VppFirstEntryLeavesTheChipOutOfProgramMode) {
  IcspSession s("18F452");
  s.vp.set_flash(0, 0x42);
  s.layer.hid_begin(2);
  EXPECT_FALSE(s.vp.in_program_mode());
  EXPECT_EQ(s.read_memory(0, 1)[0], 0x00);  // nobody drives PGD
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::vpp_first_entry));
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::not_in_program_mode));
}

TEST(ChipModelRules, EepromAddressBeyondTheEepromWraps) {
  IcspSession s("18F4620");  // 1 KB with EEADRH
  s.enter();
  s.write_eeprom(0x0401, 0x99);
  s.exit();
  EXPECT_TRUE(s.vp.has_violation(ViolationKind::eeprom_address_out_of_range)) << s.vp.violations_text();
  EXPECT_EQ(s.vp.eeprom()[1], 0x99);
}

TEST(ChipModelRules, TablePointerIncrementsNeverReachTheIdSpace) {
  IcspSession s("18F4620");
  s.vp.set_flash(0, 0x11);
  s.vp.set_id(0, 0x00);
  s.enter();
  s.setptr(0x1FFFFF);
  s.read(0x9);
  EXPECT_EQ(s.read(0x9), 0x11);  // wrapped to 000000h inside bits 20:0, not 200000h
  s.exit();
}

TEST(ChipModelRules, TwoSpeedRowEraseOn2xxx) {
  IcspSession s("18F4550");
  s.vp.load_flash(0x40, std::vector<std::uint8_t>(64, 0x00));
  s.enter();
  s.set_p9(1);
  s.core(0x8EA6);
  s.core(0x9CA6);
  s.core(0x84A6);
  s.setptr(0x40);
  s.core(0x88A6);
  s.core(0x82A6);
  s.pnop();
  s.exit();
  EXPECT_TRUE(std::all_of(s.vp.flash().begin() + 0x40, s.vp.flash().begin() + 0x80,
                          [](auto b) { return b == 0xFF; }));
  EXPECT_TRUE(s.vp.violations().empty()) << s.vp.violations_text();
}

}  // namespace
}  // namespace tessaflex::testing
