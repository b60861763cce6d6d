// Control statements: power, timing, end-address calculation, loops, page blocks, waits.
#include <gtest/gtest.h>

#include <limits>

#include "engine_fixture.h"

namespace tessaflex::engine::testing {
namespace {

using Strings = std::vector<std::string>;
using ControlStatements = EngineTest;

TEST_F(ControlStatements, PowerAndTimingReports) {
  struct Case {
    std::int32_t voltage_seq;
    const char* power_up;
  };
  for (const Case c : {Case{1, "begin1"}, Case{2, "begin2"}, Case{0, "begin0"}, Case{7, "begin0"}}) {
    terminal.reports.clear();
    workspace.current_device.voltage_seq = c.voltage_seq;
    load({"begin", "setprogtime", "startprog", "end"});
    run_loaded();
    EXPECT_EQ(sent(), (Strings{c.power_up, "progtime 05", "startprog", "end"}));
  }
  EXPECT_TRUE(host.statuses.empty());
}

struct PageCase {
  std::int32_t page_size;
  std::int32_t programmed;  // the highest non-FF address, -1 for none
  std::int32_t flash_last;
};

class CalcFlashPage : public EngineTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(CalcFlashPage, RoundsTheHighestProgrammedAddressUpToItsPage) {
  workspace.current_device.page_size = GetParam().page_size;
  if (GetParam().programmed >= 0) flash()[static_cast<std::size_t>(GetParam().programmed)] = 0;
  load({"calcflashpage"});
  engine.execute_symbolic_instruction();
  EXPECT_EQ(engine.run_state().flash_last, GetParam().flash_last);
  EXPECT_EQ(engine.run_state().pc, 2);
}

INSTANTIATE_TEST_SUITE_P(Pages, CalcFlashPage,
                         ::testing::Values(PageCase{64, 0x1A0, 0x1BF}, PageCase{64, 0x3F, 63},
                                           PageCase{64, 0x40, 127}, PageCase{64, -1, 63}, PageCase{1, -1, -1},
                                           PageCase{1, 5, 5},
                                           PageCase{std::numeric_limits<std::int32_t>::max(), 3,
                                                    std::numeric_limits<std::int32_t>::max() - 1}));

TEST_F(ControlStatements, CalcFindsTheHighestProgrammedByte) {
  load({"calcflash", "calceeprom"});
  run_loaded();
  EXPECT_EQ(engine.run_state().flash_last, -1);
  EXPECT_EQ(engine.run_state().eeprom_last, -1);
  flash()[0x1A0] = 0xFE;
  flash()[3] = 0;
  eeprom()[63] = 0;
  load({"calcflash", "calceeprom"});
  run_loaded();
  EXPECT_EQ(engine.run_state().flash_last, 0x1A0);
  EXPECT_EQ(engine.run_state().eeprom_last, 63);
}

TEST_F(ControlStatements, LoopHeadRunsOncePerPassAndOnceToLeave) {
  struct Case {
    const char* body;
    int head_runs;
    int body_runs;
  };
  for (const Case c : {Case{"flash=s09", 9, 8}, Case{"s0d-flash", 5, 4}, Case{"checkblankflash", 9, 8}}) {
    load({"calcflash", "setflashloop", c.body, "loop", "end"});
    flash().assign(1024, 0xFF);
    flash()[7] = 0;
    terminal.reports.clear();
    int heads = 0;
    int bodies = 0;
    auto& run = engine.run_state();
    run.counter = 0;
    while (run.pc <= run.script_count && engine.halt() == Halt::none) {
      heads += run.pc == 2;
      bodies += run.pc == 3;
      engine.execute_symbolic_instruction();
    }
    EXPECT_EQ(heads, c.head_runs) << c.body;
    EXPECT_EQ(bodies, c.body_runs) << c.body;
    EXPECT_EQ(run.counter, 0) << c.body;
    EXPECT_EQ(sent().back(), "end") << c.body;
  }
}

TEST_F(ControlStatements, EmptyImageLeavesTheLoopAtOnceAndShowsFOneOfZero) {
  load({"calcflash", "checkblankflash", "setflashloop", "checkblankflash", "loop", "end"});
  engine.run_state().temp = 255;
  run_loaded();
  EXPECT_EQ(host.statuses, Strings{"F:1/1"});  // loop_end is still 0: no loop head has run yet
  load({"calcflash", "setflashloop", "loop", "checkblankflash"});
  run_loaded();
  EXPECT_EQ(engine.run_state().loop_end, -1);
  EXPECT_EQ(host.statuses.back(), "F:1/0");
}

TEST_F(ControlStatements, EepromLoopOfAModelWithoutEepromIsLeftAtOnce) {
  workspace.current_device.eeprom_size = 0;
  devices::erase_images(workspace.current_device, workspace.memory_images);
  set_algorithm(devices::AlgorithmKind::program, "begin,seteepromloop,movlw-eeprom,loop,end");
  engine.program_all();
  EXPECT_EQ(sent(), (Strings{"begin1", "end"}));
  EXPECT_EQ(engine.run_state().eeprom_last, -1);
}

TEST_F(ControlStatements, IfpageRunsItsBlockOnlyAtAPageStartAboveZero) {
  struct Case {
    std::int32_t counter;
    bool runs;
  };
  for (const Case c :
       {Case{64, true}, Case{128, true}, Case{0, false}, Case{1, false}, Case{63, false}, Case{65, false}}) {
    terminal.reports.clear();
    load({"ifpage", "startprog", "endifpage", "end"});
    engine.run_state().counter = c.counter;
    run_loaded();
    const Strings expected = c.runs ? Strings{"startprog", "end"} : Strings{"end"};
    EXPECT_EQ(sent(), expected) << c.counter;
  }
}

TEST_F(ControlStatements, IfpageSkipGoesPastTheFirstEndifpageAfterIt) {
  load({"ifpage", "startprog", "endifpage", "begin", "ifpage", "startprog", "endifpage", "end"});
  engine.run_state().counter = 3;
  run_loaded();
  EXPECT_EQ(sent(), (Strings{"begin1", "end"}));
}

struct WaitCase {
  const char* statement;
  std::int64_t ms;
};

class Wait : public EngineTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(Wait, SleepsTheNearestWholeMilliseconds) {
  load({GetParam().statement});
  engine.execute_symbolic_instruction();
  EXPECT_EQ(host.slept_ms, GetParam().ms);
  EXPECT_EQ(engine.run_state().pc, 2);
  EXPECT_EQ(engine.halt(), Halt::none);
}

INSTANTIATE_TEST_SUITE_P(Numbers, Wait,
                         ::testing::Values(WaitCase{"wait", 0}, WaitCase{"w", 0}, WaitCase{"w 10", 10},
                                           WaitCase{"w1.5", 2}, WaitCase{"w2.5", 2}, WaitCase{"w3.5", 4},
                                           WaitCase{"w12abc", 12}, WaitCase{"w60000", 60000},
                                           WaitCase{"w-0.4", 0}));

TEST_F(ControlStatements, LoopBeforeAnyLoopHeadGoesToTheEmptyStatement) {
  load({"begin", "loop"});
  run_loaded();
  EXPECT_EQ(engine.halt(), Halt::program_end);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Unrecognized symbolic instruction ''.\r\nThe program must end.");
}

TEST_F(ControlStatements, NothingHappensWhileThePowerIsOnByHand) {
  workspace.vpp_on = true;
  load({"begin", "s0d-flash"});
  engine.execute_symbolic_instruction();
  EXPECT_TRUE(terminal.reports.empty());
  EXPECT_EQ(engine.run_state().pc, 1);
  EXPECT_TRUE(host.statuses.empty());
}

}  // namespace
}  // namespace tessaflex::engine::testing
