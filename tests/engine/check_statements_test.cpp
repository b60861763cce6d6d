// Check statements and the mismatch report they feed, with its cut-off at 25 lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/mismatch_report.h"
#include "engine_fixture.h"

namespace tessaflex::engine::testing {
namespace {

using Strings = std::vector<std::string>;
constexpr const char* kHeader = "Memory Location,   Read Value,   Expected,\r\n";

struct CheckCase {
  const char* statement;
  std::int32_t counter;
  std::int32_t temp;
  const char* line;  // "" when the byte matches
  std::int32_t counter_after;
  const char* progress;
};

class Check : public EngineTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(Check, ComparesTempAndAddsOneLineOnADifference) {
  const CheckCase& c = GetParam();
  flash()[0] = 0x12;
  eeprom()[0x20] = 0x34;
  workspace.current_device.configerased[3] = 0x0F;
  workspace.memory_images.config_image[13] = 0xAA;
  clear_mismatch_report(engine.mismatch_state());
  engine.run_state().loop_end = 32767;
  load({c.statement, "end"});
  engine.run_state().counter = c.counter;
  engine.run_state().temp = c.temp;
  engine.execute_symbolic_instruction();

  const bool differs = *c.line != '\0';
  EXPECT_EQ(engine.mismatch_state().mismatch_count, differs ? 1 : 0);
  EXPECT_EQ(engine.mismatch_state().mismatch_report, std::string(kHeader) + c.line);
  EXPECT_EQ(engine.run_state().counter, c.counter_after);
  EXPECT_EQ(engine.run_state().pc, 2);
  EXPECT_EQ(host.statuses, Strings{c.progress});
  EXPECT_EQ(host.events_processed, 1);
  EXPECT_TRUE(terminal.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Check,
    ::testing::Values(
        CheckCase{"checkblankflash", 0x1A0, 255, "", 0x1A1, "F:417/32768"},
        CheckCase{"checkblankflash", 0x1A0, 0x3C, "FLASH Byte 0001A0h,   3Ch,   FFh,\r\n", 0x1A1,
                  "F:417/32768"},
        CheckCase{"checkblankflash", 0, 0, "FLASH Byte 000000h,   00h,   FFh,\r\n", 1, "F:1/32768"},
        CheckCase{"checkblankeeprom", 0x20, 0x00, "EEPROM Byte 0020h,   00h,   FFh,\r\n", 0x21, "E:33/32768"},
        CheckCase{"checkflash", 0, 0x12, "", 1, "F:1/32768"},
        CheckCase{"checkflash", 0, 0x13, "FLASH Byte 000000h,   13h,   12h,\r\n", 1, "F:1/32768"},
        CheckCase{"checkeeprom", 0x20, 0x34, "", 0x21, "E:33/32768"},
        CheckCase{"checkeeprom", 0x20, 0x35, "EEPROM Byte 0020h,   35h,   34h,\r\n", 0x21, "E:33/32768"},
        CheckCase{"checkblankconfig2h", 9, 0x0F, "", 9, "CONF2H:"},
        CheckCase{"checkblankconfig2h", 9, 0x1F, "CONF Byte 300003h,   1Fh,   0Fh,\r\n", 9, "CONF2H:"},
        CheckCase{"checkblankconfig1l", 9, 0x1F, "CONF Byte 300000h,   1Fh,   10h,\r\n", 9, "CONF1L:"},
        CheckCase{"checkconfig7h", 9, 0xAA, "", 9, "CONF7H:"},
        CheckCase{"checkconfig7h", 9, 0xAB, "CONF Byte 30000Dh,   ABh,   AAh,\r\n", 9, "CONF7H:"}));

// A blank check of FLASH 0..29 where every byte reads 00: 30 differences.
constexpr const char* kThirtyMismatches = "begin,setflashloop,temp=s09,checkblankflash,loop,";

TEST(MismatchReport, CutsOffAtExactlyTwentyFive) {
  MismatchState state;
  RunState run;
  run.script_count = 9;
  run.pc = 4;
  clear_mismatch_report(state);
  for (int i = 1; i <= 24; ++i) add_mismatch_line(state, run, "L", "R", "E");
  EXPECT_EQ(run.pc, 4);
  add_mismatch_line(state, run, "L", "R", "E");
  EXPECT_EQ(run.pc, 9);
  run.pc = 3;
  add_mismatch_line(state, run, "L", "R", "E");
  EXPECT_EQ(run.pc, 3);
  EXPECT_EQ(state.mismatch_count, 26);
  EXPECT_TRUE(state.mismatch_report.ends_with("L,   R,   E,\r\nL,   R,   E,\r\n"));
}

class Cutoff : public EngineTest {
 protected:
  Cutoff() { workspace.current_device.flash_size = 128; }

  int lines() const { return engine.mismatch_state().mismatch_count; }
};

TEST_F(Cutoff, LastStatementStillRunsAfterTheTwentyFifthLine) {
  load(devices::split_statements(std::string(kThirtyMismatches) + "startprog,end"));
  engine.run_state().flash_last = 29;
  clear_mismatch_report(engine.mismatch_state());
  run_loaded();
  EXPECT_EQ(lines(), 25);
  // Everything after the 25th check is skipped but the final "end".
  EXPECT_EQ(std::count(terminal.reports.begin(), terminal.reports.end(), link::Report{110}), 25);
  EXPECT_EQ(sent().back(), "end");
  EXPECT_EQ(std::count(terminal.reports.begin(), terminal.reports.end(), link::Report{109}), 0);
}

TEST_F(Cutoff, ACheckAsLastStatementRunsOnceMoreAndAddsATwentySixthLine) {
  // The loop only reads; the check after it finds the 25th difference itself.
  load({"begin", "setflashloop", "flash=s09", "loop", "checkblankflash"});
  engine.run_state().flash_last = 29;
  clear_mismatch_report(engine.mismatch_state());
  for (int i = 0; i < 24; ++i)
    add_mismatch_line(engine.mismatch_state(), engine.run_state(), "X", "00h", "FFh");
  run_loaded();
  EXPECT_EQ(lines(), 26);
  EXPECT_TRUE(engine.mismatch_state().mismatch_report.ends_with(
      "FLASH Byte 000000h,   00h,   FFh,\r\nFLASH Byte 000001h,   00h,   FFh,\r\n"));
  EXPECT_GT(engine.run_state().pc, engine.run_state().script_count);
}

TEST_F(Cutoff, ALoopAsLastStatementCarriesOnWithoutAnotherCut) {
  load(devices::split_statements(kThirtyMismatches));
  // "loop" is the last statement: after the cut the loop goes on to address 29.
  engine.run_state().flash_last = 29;
  clear_mismatch_report(engine.mismatch_state());
  run_loaded();
  EXPECT_EQ(lines(), 30);
  EXPECT_TRUE(engine.mismatch_state().mismatch_report.ends_with("FLASH Byte 00001Dh,   00h,   FFh,\r\n"));
}

}  // namespace
}  // namespace tessaflex::engine::testing
