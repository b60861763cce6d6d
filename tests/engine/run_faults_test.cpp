// Runs that cannot go on: each stops at once, powers the target down and says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "engine_fixture.h"

namespace tessaflex::engine::testing {
namespace {

using Strings = std::vector<std::string>;

struct FaultCase {
  const char* name;
  const char* algorithm;
  std::function<void(EngineTest&)> arrange;
  const char* reason;  // the end of the status text
  Strings reports;     // everything that reached the programmer
};

void nothing(EngineTest&) {}

class RunFault : public EngineTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(RunFault, StopsPowersDownAndSaysWhy) {
  const FaultCase& c = GetParam();
  c.arrange(*this);
  set_algorithm(devices::AlgorithmKind::program, c.algorithm);
  engine.program_all();

  EXPECT_EQ(engine.halt(), Halt::stopped);
  EXPECT_TRUE(host.status().starts_with("Run stopped at statement ")) << host.status();
  EXPECT_TRUE(host.status().ends_with(c.reason)) << host.status();
  EXPECT_EQ(sent(), c.reports);
  EXPECT_TRUE(host.enabled);
  EXPECT_EQ(host.calls, (Strings{"disable", "enable"}));
  for (const std::string& status : host.statuses) EXPECT_FALSE(status.starts_with("Chip ")) << status;
  EXPECT_TRUE(engine.elapsed_text().empty());
}

void config_without_value(EngineTest& t) {
  t.workspace.current_device.configerased[0] = -1;
  devices::erase_images(t.workspace.current_device, t.workspace.memory_images);
}
void flash_of(EngineTest& t, std::int32_t size) {
  t.workspace.current_device.flash_size = size;
  devices::erase_images(t.workspace.current_device, t.workspace.memory_images);
}
void no_eeprom(EngineTest& t) {
  t.workspace.current_device.eeprom_size = 0;
  devices::erase_images(t.workspace.current_device, t.workspace.memory_images);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RunFault,
    ::testing::Values(
        FaultCase{"ShortCommandField",
                  "begin,flash=s9,end",
                  nothing,
                  "'flash=s9': the field '9' is not a 2-digit hexadecimal command.",
                  {"begin1", "end"}},
        FaultCase{"LetterBeyondF",
                  "begin,s0g-flash",
                  nothing,
                  "the field '0G' is not a 2-digit hexadecimal command.",
                  {"begin1", "end"}},
        // Nothing of a statement with a bad operand goes out, not even its command.
        FaultCase{"BadOperand",
                  "begin,s0d-00x0",
                  nothing,
                  "'s0d-00x0': the field '00X0' is not a 4-digit hexadecimal operand.",
                  {"begin1", "end"}},
        FaultCase{"ConfigWithoutValue",
                  "begin,s0f-config1l",
                  config_without_value,
                  "the configuration byte has no valid value (the device list gives none).",
                  {"begin1", "end"}},
        FaultCase{"ProgTimeTooLarge",
                  "begin,setprogtime",
                  [](EngineTest& fx) { fx.workspace.current_device.prog_time = 300; },
                  "the programming time 300 ms does not fit a report (0..255 ms); nothing was sent.",
                  {"begin1", "end"}},
        FaultCase{"FlashWritePastTheImage",
                  "begin,s0d-flash,s0d-flash",
                  [](EngineTest& fx) { flash_of(fx, 2); },
                  "statement 3 's0d-flash': address 000002h is outside the FLASH image (2 bytes).",
                  {"begin1", "cmd 0D", "word FFFF", "end"}},
        FaultCase{"FlashWriteNeedsBothBytes",
                  "checkblankflash,checkblankflash,s0d-flash",
                  [](EngineTest& fx) { flash_of(fx, 3); },
                  "address 000002h is outside the FLASH image (3 bytes).",
                  {"end"}},
        FaultCase{"FlashReadPastTheImage",
                  "flash=s09,flash=s09",
                  [](EngineTest& fx) { flash_of(fx, 1); },
                  "address 000001h is outside the FLASH image (1 bytes).",
                  {"cmd 09", "read", "end"}},
        FaultCase{"EepromOfAModelWithout",
                  "movlw-eeprom",
                  no_eeprom,
                  "address 000000h is outside the EEPROM image (0 bytes).",
                  {"end"}},
        FaultCase{"EepromReadWithout",
                  "eeprom=s09",
                  no_eeprom,
                  "address 000000h is outside the EEPROM image (0 bytes).",
                  {"end"}},
        FaultCase{"VerifyPastTheImage",
                  "checkflash,checkflash",
                  [](EngineTest& fx) { flash_of(fx, 1); },
                  "address 000001h is outside the FLASH image (1 bytes).",
                  {"end"}},
        FaultCase{"VerifyEepromWithout",
                  "checkeeprom",
                  no_eeprom,
                  "address 000000h is outside the EEPROM image (0 bytes).",
                  {"end"}},
        FaultCase{"LoopHeadWithoutLoop",
                  "begin,calcflash,setflashloop,end",
                  nothing,
                  "'setflashloop': no \"loop\" follows it.",
                  {"begin1", "end"}},
        FaultCase{"IfpageWithoutEnd",
                  "begin,ifpage,end",
                  nothing,
                  "'ifpage': no \"endifpage\" follows it.",
                  {"begin1", "end"}},
        FaultCase{"PageSizeZeroCalc",
                  "calcflashpage",
                  [](EngineTest& fx) { fx.workspace.current_device.page_size = 0; },
                  "the page size is 0; it must be at least 1.",
                  {"end"}},
        FaultCase{"PageSizeNegativeIfpage",
                  "ifpage,endifpage",
                  [](EngineTest& fx) { fx.workspace.current_device.page_size = -64; },
                  "the page size is -64; it must be at least 1.",
                  {"end"}},
        FaultCase{"NegativeWait",
                  "begin,w-5",
                  nothing,
                  "'w-5': a wait must be 0..60000 milliseconds.",
                  {"begin1", "end"}},
        FaultCase{"WaitAboveTheBound", "w60001", nothing, "a wait must be 0..60000 milliseconds.", {"end"}},
        FaultCase{"WaitBeyond32Bits", "w1e12", nothing, "a wait must be 0..60000 milliseconds.", {"end"}},
        FaultCase{"WriteFailsWhileConnected",
                  "begin,s0d-0000",
                  [](EngineTest& fx) {
                    fx.terminal.on_write = [&fx](const link::Report&) { fx.terminal.refuse_writes = true; };
                  },
                  "the programmer did not take a command report.",
                  {"begin1"}},
        // The programmer is gone: the power-down report cannot be sent any more.
        FaultCase{"Disconnected",
                  "begin,s0d-0000,s0d-0000,end",
                  [](EngineTest& fx) { fx.terminal.writes_before_disconnect = 4; },
                  "statement 3 's0d-0000': the programmer is no longer connected.",
                  {"begin1", "cmd 0D", "word 0000", "cmd 0D"}},
        FaultCase{"ReadNotAnswered",
                  "begin,temp=s09,end",
                  [](EngineTest& fx) { fx.terminal.no_answer = true; },
                  "the programmer did not take a read report or gave no answer.",
                  {"begin1", "cmd 09", "read", "end"}}),
    [](const ::testing::TestParamInfo<FaultCase>& row) { return std::string(row.param.name); });

using RunFaults = EngineTest;

TEST_F(RunFaults, StuckWriteBitStopsAfterTheBoundedNumberOfPolls) {
  terminal.default_answer = 0x02;
  set_algorithm(devices::AlgorithmKind::program, "begin,waitwr,end");
  engine.program_all();
  EXPECT_EQ(std::count(terminal.reports.begin(), terminal.reports.end(), link::Report{110}), kMaxWritePolls);
  EXPECT_EQ(host.status(),
            "Run stopped at statement 2 'waitwr': the write did not finish (write bit still "
            "set after 1000 polls).");
  EXPECT_EQ(sent().back(), "end");
}

TEST_F(RunFaults, StuckWriteBitStopsAfterOneSecondOnASlowLink) {
  terminal.default_answer = 0x02;
  terminal.on_write = [this](const link::Report&) { host.now_seconds += 0.01; };
  set_algorithm(devices::AlgorithmKind::program, "begin,waitwr,end");
  engine.program_all();
  const auto polls = std::count(terminal.reports.begin(), terminal.reports.end(), link::Report{110});
  // Six reports per poll at 10 ms each: the second is over during the 18th poll.
  EXPECT_EQ(polls, 18);
  EXPECT_TRUE(host.status().ends_with("after 18 polls).")) << host.status();
}

TEST_F(RunFaults, AWaitwrThatFinishesStartsItsBoundAfresh) {
  // 999 polls with the bit set, then clear, three times over: never the bound.
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < kMaxWritePolls - 1; ++i) terminal.answers.push_back(0x02);
    terminal.answers.push_back(0x00);
  }
  set_algorithm(devices::AlgorithmKind::program, "waitwr,waitwr,waitwr");
  engine.program_all();
  EXPECT_EQ(engine.halt(), Halt::none) << engine.stop_text();
  EXPECT_TRUE(host.status().starts_with("Chip programmed. "));
}

TEST_F(RunFaults, TestVppSwitchedOnDuringARunStopsItWithoutTouchingThePower) {
  terminal.on_write = [this](const link::Report&) { workspace.vpp_on = true; };
  set_algorithm(devices::AlgorithmKind::program, "begin,s0d-0000,end");
  engine.program_all();
  EXPECT_EQ(sent(), Strings{"begin1"});
  EXPECT_EQ(host.status(),
            "Run stopped at statement 2 's0d-0000': the target power was switched on by hand "
            "(Test Vpp).");
  EXPECT_TRUE(host.enabled);
}

TEST_F(RunFaults, UnrecognizedStatementPowersDownShowsTheBoxAndEndsTheProgram) {
  for (const char* statement : {" begin", "begin ", ""}) {
    terminal.reports.clear();
    host.boxes.clear();
    host.calls.clear();
    host.ended = false;
    set_algorithm(devices::AlgorithmKind::program, std::string("begin,") + statement + ",end");
    engine.program_all();
    EXPECT_EQ(engine.halt(), Halt::program_end);
    EXPECT_TRUE(host.ended);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text,
              std::string("Unrecognized symbolic instruction '") + statement + "'.\r\nThe program must end.");
    EXPECT_EQ(host.boxes[0].kind, core::BoxKind::error);
    EXPECT_EQ(host.boxes[0].caption, "Tessaflex");
    EXPECT_EQ(sent(), (Strings{"begin1", "end"}));
    EXPECT_EQ(host.calls, Strings{"disable"});  // the run's closing steps never come
    EXPECT_EQ(host.status(), "Begin program all.");
  }
}

TEST_F(RunFaults, NextRunStartsAfreshAfterAStop) {
  set_algorithm(devices::AlgorithmKind::program, "begin,flash=s9");
  engine.program_all();
  ASSERT_EQ(engine.halt(), Halt::stopped);
  set_algorithm(devices::AlgorithmKind::program, "begin,end");
  engine.program_all();
  EXPECT_EQ(engine.halt(), Halt::none);
  EXPECT_EQ(engine.stop_text(), "");
  EXPECT_TRUE(host.status().starts_with("Chip programmed. "));
}

}  // namespace
}  // namespace tessaflex::engine::testing
