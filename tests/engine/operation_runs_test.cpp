// The five runs: connected test, begin and result texts, elapsed time, redraws and boxes.
#include <gtest/gtest.h>

#include "engine/elapsed_text.h"
#include "engine_fixture.h"

namespace tessaflex::engine::testing {
namespace {

using Strings = std::vector<std::string>;
using Kind = devices::AlgorithmKind;
using OperationRuns = EngineTest;

TEST(ElapsedText, HundredthsAreRoundedDown) {
  struct Case {
    float seconds;
    const char* text;
  };
  // 0.29f is 0.2899999..., so it reads 0.28: the single-precision value is what counts.
  for (const Case c : {Case{5.078125f, "5.07"}, Case{12.5f, "12.50"}, Case{0.0625f, "0.06"},
                       Case{0.0f, "0.00"}, Case{3.99609375f, "3.99"}, Case{59.999f, "59.99"},
                       Case{100.01f, "100.01"}, Case{0.29f, "0.28"}, Case{-0.5f, "0.00"}}) {
    EXPECT_EQ(elapsed_text(c.seconds), c.text) << c.seconds;
  }
}

struct RunCase {
  void (Engine::*run)();
  Kind kind;
  const char* begin_text;
  const char* result_text;
};

class EachRun : public EngineTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(EachRun, RunsItsOwnStatementListBetweenBeginAndResult) {
  for (const Kind other : {Kind::erase, Kind::program, Kind::read, Kind::blankcheck, Kind::verify}) {
    set_algorithm(other, "startprog");
  }
  set_algorithm(GetParam().kind, "begin,w3996,end");
  host.now_seconds = 86399.5;  // a monotonic clock: no midnight to cross
  (engine.*GetParam().run)();
  EXPECT_EQ(sent(), (Strings{"begin1", "end"}));
  EXPECT_EQ(host.statuses, (Strings{GetParam().begin_text,
                                    std::string(GetParam().result_text) + "3.99 seconds elapsed..."}));
  EXPECT_EQ(host.calls, (Strings{"disable", "enable"}));
  EXPECT_EQ(engine.elapsed_text(), "3.99");
  EXPECT_TRUE(host.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, EachRun,
    ::testing::Values(RunCase{&Engine::program_all, Kind::program, "Begin program all.", "Chip programmed. "},
                      RunCase{&Engine::erase_all, Kind::erase, "Begin erase all.", "Chip erased. "},
                      RunCase{&Engine::read_all, Kind::read, "Begin read all.", "Chip read. "},
                      RunCase{&Engine::blank_check, Kind::blankcheck, "Begin blank check.",
                              "Chip is blank. "},
                      RunCase{&Engine::verify_chip, Kind::verify, "Begin verify.", "Chip verified. "}));

TEST_F(OperationRuns, NotConnectedChangesOnlyTheStatusLine) {
  terminal.connected = false;
  clear_mismatch_report(engine.mismatch_state());
  add_mismatch_line(engine.mismatch_state(), engine.run_state(), "L", "R", "E");
  const MismatchState before = engine.mismatch_state();
  flash()[0] = 0x12;
  engine.run_state().counter = 77;
  set_algorithm(Kind::read, "begin,flash=s09,end");
  for (void (Engine::*run)() : {&Engine::program_all, &Engine::erase_all, &Engine::read_all,
                                &Engine::blank_check, &Engine::verify_chip}) {
    (engine.*run)();
  }
  EXPECT_EQ(host.statuses, Strings(5, "Hardware not found!"));
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(host.redraws, 0);
  EXPECT_EQ(flash()[0], 0x12);
  EXPECT_EQ(engine.run_state().counter, 77);
  EXPECT_EQ(engine.mismatch_state().mismatch_report, before.mismatch_report);
  EXPECT_EQ(engine.mismatch_state().mismatch_count, 1);
}

TEST_F(OperationRuns, EmptyStatementListSucceedsWithNothingSent) {
  workspace.current_device.instructions[static_cast<std::size_t>(Kind::program)].clear();
  engine.program_all();
  EXPECT_TRUE(terminal.reports.empty());
  EXPECT_EQ(host.status(), "Chip programmed. 0.00 seconds elapsed...");
}

TEST_F(OperationRuns, ReadAllResetsTheImagesAndRedrawsBeforeAndAfter) {
  flash().assign(flash().size(), 0x00);
  eeprom().assign(eeprom().size(), 0x00);
  workspace.memory_images.config_image.fill(0);
  terminal.answers = {0x12, 0x34, 0x56};
  int redraws_at_first_report = -1;
  terminal.on_write = [&](const link::Report&) {
    if (redraws_at_first_report < 0) redraws_at_first_report = host.redraws;
  };
  set_algorithm(Kind::read, "begin,flash=s09,flash=s09,config2l=s09,end");
  engine.read_all();
  EXPECT_EQ(redraws_at_first_report, 1);
  EXPECT_EQ(host.redraws, 2);
  EXPECT_EQ(flash()[0], 0x12);
  EXPECT_EQ(flash()[1], 0x34);
  EXPECT_EQ(flash()[2], 0xFF);
  EXPECT_EQ(flash().back(), 0xFF);
  EXPECT_EQ(eeprom()[0], 0xFF);
  EXPECT_EQ(workspace.memory_images.config_image[2], 0x56);
  EXPECT_EQ(workspace.memory_images.config_image[0], workspace.current_device.configerased[0]);
  EXPECT_EQ(workspace.memory_images.config_image[13], workspace.current_device.configerased[13]);
}

TEST_F(OperationRuns, MismatchesGiveTheFailureTextThenTheBox) {
  struct Case {
    void (Engine::*run)();
    Kind kind;
    const char* status;
    const char* heading;
  };
  for (const Case c : {Case{&Engine::blank_check, Kind::blankcheck,
                            "Chip is not blank. 0.00 seconds elapsed...", "Chip is not blank:"},
                       Case{&Engine::verify_chip, Kind::verify, "Chip verify failed. 0.00 seconds elapsed...",
                            "Chip verify failed:"}}) {
    host.boxes.clear();
    terminal.answers = {0x3C};
    set_algorithm(c.kind,
                  c.kind == Kind::verify ? "temp=s09,checkflash,end" : "temp=s09,checkblankflash,end");
    (engine.*c.run)();
    EXPECT_EQ(host.status(), c.status);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, std::string(c.heading) +
                                      "\r\n\r\nMemory Location,   Read Value,   Expected,\r\n"
                                      "FLASH Byte 000000h,   3Ch,   FFh,\r\n");
    EXPECT_EQ(host.boxes[0].kind, core::BoxKind::error);
    EXPECT_EQ(host.boxes[0].caption, "");
  }
}

TEST_F(OperationRuns, ReportIsClearedOnlyByBlankCheckAndVerify) {
  terminal.answers = {0x00, 0x00};
  set_algorithm(Kind::blankcheck, "temp=s09,checkblankflash");
  engine.blank_check();
  set_algorithm(Kind::program, "temp=s09,checkblankflash");
  engine.program_all();
  EXPECT_EQ(engine.mismatch_state().mismatch_count, 2);
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_TRUE(host.status().starts_with("Chip programmed. "));
  set_algorithm(Kind::verify, "");
  workspace.current_device.instructions[static_cast<std::size_t>(Kind::verify)].clear();
  engine.verify_chip();
  EXPECT_EQ(engine.mismatch_state().mismatch_count, 0);
  EXPECT_EQ(engine.mismatch_state().mismatch_report, "Memory Location,   Read Value,   Expected,\r\n");
}

TEST_F(OperationRuns, SecondRunKeepsLoopBoundsAndTempButResetsTheRest) {
  flash()[5] = 0;
  terminal.answers = {0x5A};
  set_algorithm(Kind::program, "calcflash,temp=s09,setflashloop,s0d-flash,loop,w1");
  engine.program_all();
  EXPECT_EQ(engine.run_state().loop_start, 3);
  EXPECT_EQ(engine.run_state().loop_end, 5);
  EXPECT_EQ(engine.run_state().temp, 0x5A);
  engine.run_state().counter = 99;
  // A "loop" before any loop head of this run goes back to the last run's head index,
  // and a check compares the byte the last run read.
  set_algorithm(Kind::verify, "checkflash,loop,checkblankflash,setflashloop,end");
  terminal.reports.clear();
  engine.verify_chip();
  EXPECT_EQ(engine.run_state().flash_last, 1023);
  EXPECT_EQ(engine.mismatch_state().mismatch_count, 2);
  EXPECT_TRUE(
      engine.mismatch_state().mismatch_report.ends_with("FLASH Byte 000000h,   5Ah,   FFh,\r\n"
                                                        "FLASH Byte 000001h,   5Ah,   FFh,\r\n"));
  EXPECT_EQ(engine.run_state().loop_end, 1023);
}

}  // namespace
}  // namespace tessaflex::engine::testing
