// The five runs as one trace of window calls and reports; the report's cut-off; elapsed text; stops.
#include "engine/elapsed_text.h"
#include "engine_test.h"

namespace tessaflex::engine::testing {
namespace {

using RunFn = void (Engine::*)();

// 0.29f is 0.28999999...: the single-precision value is what counts.
TEST(ElapsedText, HundredthsAreRoundedDown) {
  const std::pair<float, const char*> cases[] = {
      {5.078125f, "5.07"}, {12.5f, "12.50"}, {100.01f, "100.01"}, {0.29f, "0.28"}, {-0.5f, "0.00"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(elapsed_text(seconds), text) << seconds;
}

struct FrameCase {
  RunFn run;
  Kind kind;
  const char* algorithm;  // nullptr: no statements at all
  std::string trace;      // split at "|"
};
void PrintTo(const FrameCase& c, std::ostream* out) { *out << (c.algorithm ? c.algorithm : "none"); }

class Frame : public EngineTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(Frame, StepsInOrder) {
  const FrameCase& c = GetParam();
  for (const Kind other : {Kind::erase, Kind::program, Kind::read, Kind::blankcheck, Kind::verify}) {
    set_algorithm(other, "startprog");  // a run must take its own list
  }
  set_algorithm(c.kind, c.algorithm ? c.algorithm : "");
  if (c.algorithm == nullptr) workspace.current_device.instructions[static_cast<std::size_t>(c.kind)].clear();
  answers = {0x3C}, now = 86399.5;  // a monotonic clock: no midnight to cross
  (engine.*c.run)();
  EXPECT_EQ(trace, split(c.trace));
  EXPECT_EQ(status.ends_with(" seconds elapsed..."),
            status.ends_with(' ' + engine.elapsed_text() + " seconds elapsed..."))
      << status;
}

// An unrecognized statement: the power-down goes first, and the run's closing steps never come.
const char* kWait = "begin,w3996,end";
std::string frame(const std::string& begin, const std::string& result) {
  return "disable|" + begin + "|events|begin1|sleep 3996|end|enable|" + result +
         "3.99 seconds elapsed...|events";
}
std::string box(const std::string& heading) {
  return "box 16 '' " + heading + "\r\n\r\n" + kHeader + "FLASH Byte 000000h,   3Ch,   FFh,\r\n";
}
std::string stop(const std::string& s) {
  const std::string box = "box 16 'Tessaflex' Unrecognized symbolic instruction '" + s + "'.\r\n";
  return "disable|Begin program all.|events|begin1|end|" + box + "The program must end.|end program";
}
using P = FrameCase;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, Frame, ::testing::Values(
    P{&Engine::program_all, Kind::program, kWait, frame("Begin program all.", "Chip programmed. ")},
    P{&Engine::erase_all, Kind::erase, kWait, frame("Begin erase all.", "Chip erased. ")},
    P{&Engine::blank_check, Kind::blankcheck, kWait, frame("Begin blank check.", "Chip is blank. ")},
    P{&Engine::verify_chip, Kind::verify, kWait, frame("Begin verify.", "Chip verified. ")},
    P{&Engine::program_all, Kind::program, nullptr,
      "disable|Begin program all.|events|enable|Chip programmed. 0.00 seconds elapsed...|events"},
    // Read all resets and redraws the images before the script and redraws them after.
    P{&Engine::read_all, Kind::read, kWait,
      "disable|Begin read all.|events|redraw|events|begin1|sleep 3996|end|enable|Chip read. 3.99 seconds "
      "elapsed...|events|redraw|events"},
    // The failure text stands before the box opens.
    P{&Engine::blank_check, Kind::blankcheck, "temp=s09,checkblankflash", "disable|Begin blank check.|events|"
      "cmd 09|read|F:1/1|events|enable|Chip is not blank. 0.00 seconds elapsed...|events|" +
      box("Chip is not blank:") + "|events"},
    P{&Engine::verify_chip, Kind::verify, "temp=s09,checkflash", "disable|Begin verify.|events|cmd 09|read|"
      "F:1/1|events|enable|Chip verify failed. 0.00 seconds elapsed...|events|" + box("Chip verify failed:") +
      "|events"},
    // Stray blanks, the empty statement, and statement 0, reached by a "loop" before any loop head.
    P{&Engine::program_all, Kind::program, "begin, begin,end", stop(" begin")},
    P{&Engine::program_all, Kind::program, "begin,,end", stop("")},
    P{&Engine::program_all, Kind::program, "begin,loop", stop("")}));
// clang-format on

TEST_F(EngineTest, NotConnectedChangesOnlyTheStatusLine) {
  connected = false;
  clear_mismatch_report(engine.mismatch_state());
  add_mismatch_line(engine.mismatch_state(), run(), "L", "R", "E");
  const std::string before = report();
  run().counter = 77;
  set_algorithm(Kind::read, "begin,flash=s09,end");
  for (RunFn r : {&Engine::program_all, &Engine::erase_all, &Engine::read_all, &Engine::blank_check,
                  &Engine::verify_chip}) {
    (engine.*r)();
  }
  EXPECT_EQ(trace, Strings(5, "Hardware not found!"));
  EXPECT_EQ(std::tuple(flash()[0x1A0], run().counter, report()), std::tuple(0x3C, 77, before));
}

TEST_F(EngineTest, ReadAllStartsFromErasedImagesAndRedrawsThemAlsoWhenItStops) {
  std::fill(flash().begin(), flash().end(), 0x00);
  std::fill(eeprom().begin(), eeprom().end(), 0x00);
  auto& config = workspace.memory_images.config_image;
  config.fill(0), answers = {0x12, 0x56};
  set_algorithm(Kind::read, "begin,flash=s09,config2l=s09,end");
  engine.read_all();
  EXPECT_EQ(std::tuple(flash()[0], config[2], config[13]), std::tuple(0x12, 0x56, 0x1D));
  EXPECT_EQ(
      std::count(flash().begin(), flash().end(), 0xFF) + std::count(eeprom().begin(), eeprom().end(), 0xFF),
      1023 + 64);
  trace.clear(), no_answer = true;
  engine.read_all();
  EXPECT_EQ(count("redraw"), 2) << status;
}

TEST_F(EngineTest, RunsShareLoopStartLoopEndTempAndTheReport) {
  answers = {0x5A};
  set_algorithm(Kind::blankcheck, "calcflash,temp=s09,setflashloop,s0d-flash,loop,checkblankflash");
  engine.blank_check();
  EXPECT_EQ(std::pair(run().loop_start, run().loop_end), std::pair(3, 0x1A1));
  // counter and the lasts start afresh, the first text totals the last run's loop; the report grows.
  run().counter = 99;
  resize(1024, 0);
  set_algorithm(Kind::program, "checkblankflash,loop,checkblankflash,seteepromloop,loop,setflashloop,end");
  trace.clear(), engine.program_all();
  EXPECT_EQ(trace[3], "F:1/418");
  EXPECT_EQ(trace.end()[-2], "Chip programmed. 0.00 seconds elapsed...");  // and no box after it
  EXPECT_EQ(report(), std::string(kHeader) +
                          "FLASH Byte 000000h,   5Ah,   FFh,\r\nFLASH Byte 000000h,   5Ah,   "
                          "FFh,\r\nFLASH Byte 000001h,   5Ah,   FFh,\r\n");
  EXPECT_EQ(std::tuple(run().eeprom_last, run().loop_start, run().loop_end), std::tuple(-1, 6, 1023));
}

TEST_F(EngineTest, TwentyFifthLineSendsTheRunToItsLastStatement) {
  struct Case {
    std::string script;
    int lines_before, lines, reads;
    std::string last_lines;
  };
  // A blank check of FLASH 0..29 that reads 00 everywhere: 30 differences. After the 25th line
  // only the last statement runs, and once more if it added that line; "loop" last goes on uncut.
  const std::string thirty = "begin,setflashloop,temp=s09,checkblankflash,loop", line = ",   00h,   FFh,\r\n";
  // clang-format off
  const Case cases[] = {
      {thirty + ",startprog,end", 0, 25, 25, "FLASH Byte 000018h" + line},
      {"begin,setflashloop,flash=s09,loop,checkblankflash", 24, 26, 30,
       "FLASH Byte 000000h" + line + "FLASH Byte 000001h" + line},
      {thirty, 0, 30, 30, "FLASH Byte 00001Dh" + line}};
  // clang-format on
  for (const Case& c : cases) {
    trace.clear(), clear_mismatch_report(engine.mismatch_state());
    for (int i = 0; i < c.lines_before; ++i) add_mismatch_line(engine.mismatch_state(), run(), "X", "Y", "Z");
    run().counter = 0, run().flash_last = 29;
    run_script(c.script);
    EXPECT_EQ(std::tuple(engine.mismatch_state().mismatch_count, count("read"), count("startprog")),
              std::tuple(c.lines, c.reads, 0))
        << c.script;
    EXPECT_TRUE(report().ends_with(c.last_lines)) << report();
    EXPECT_EQ(run().pc, run().script_count + 1);
  }
}

struct FaultCase {
  const char* name;
  const char* algorithm;
  std::string sent;    // every report, split at "|"; "": only that "end" came last
  const char* reason;  // the end of the status text
  std::function<void(EngineTest&)> arrange = {};
};

class Fault : public EngineTest, public ::testing::WithParamInterface<FaultCase> {};

// A run that cannot go on stops at once, powers down when it can, and says why, never a result.
TEST_P(Fault, StopsPowersDownAndSaysWhy) {
  const FaultCase& c = GetParam();
  if (c.arrange) c.arrange(*this);
  set_algorithm(Kind::program, c.algorithm);
  engine.program_all();
  EXPECT_EQ(engine.halt(), Halt::stopped);
  EXPECT_TRUE(status.starts_with("Run stopped at statement ") && status.ends_with(c.reason)) << status;
  EXPECT_EQ(c.sent.empty() ? Strings{sent.back()} : sent, split(c.sent.empty() ? "end" : c.sent));
  ASSERT_GE(trace.size(), 3u);
  EXPECT_EQ(Strings(trace.end() - 3, trace.end()), (Strings{"enable", status, "events"}));
  for (const std::string& t : trace) EXPECT_FALSE(t.starts_with("Chip ")) << t;
  EXPECT_EQ(engine.elapsed_text(), "");
}

auto sizes(std::int32_t flash, std::int32_t eeprom) {
  return [=](EngineTest& fx) { fx.resize(flash, eeprom); };
}
auto page_size(std::int32_t size) {
  return [=](EngineTest& fx) { fx.workspace.current_device.page_size = size; };
}
const char* kWaitBound = "a wait must be 0..60000 milliseconds.";
const char* kFlashEnd = "address 000001h is outside the FLASH image (1 bytes).";
const char* kNoEeprom = "address 000000h is outside the EEPROM image (0 bytes).";
using F = FaultCase;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Faults, Fault, ::testing::Values(
    // A bad field or value sends nothing of its statement, not even the command.
    F{"ShortCommandField", "begin,flash=s9,end", "begin1|end",
      "'flash=s9': the field '9' is not a 2-digit hexadecimal command."},
    F{"BadOperand", "begin,s0d-00x0", "begin1|end",
      "'s0d-00x0': the field '00X0' is not a 4-digit hexadecimal operand."},
    F{"ConfigWithoutValue", "begin,s0f-config1l", "begin1|end",
      "the configuration byte has no valid value (the device list gives none).",
      [](EngineTest& fx) { fx.workspace.memory_images.config_image[0] = -1; }},
    F{"ProgTimeTooLarge", "begin,setprogtime", "begin1|end",
      "the programming time 300 ms does not fit a report (0..255 ms); nothing was sent.",
      [](EngineTest& fx) { fx.workspace.current_device.prog_time = 300; }},
    // counter outside an image: nothing is read or written there.
    F{"FlashWritePastTheImage", "begin,s0d-flash,s0d-flash", "begin1|cmd 0D|word FFFF|end",
      "statement 3 's0d-flash': address 000002h is outside the FLASH image (2 bytes).", sizes(2, 64)},
    F{"FlashWriteNeedsBothBytes", "checkblankflash,checkblankflash,s0d-flash", "end",
      "address 000002h is outside the FLASH image (3 bytes).", sizes(3, 64)},
    F{"FlashReadPastTheImage", "flash=s09,flash=s09", "cmd 09|read|end", kFlashEnd, sizes(1, 64)},
    F{"VerifyPastTheImage", "checkflash,checkflash", "end", kFlashEnd, sizes(1, 64)},
    F{"EepromLoadWithout", "movlw-eeprom", "end", kNoEeprom, sizes(1024, 0)},
    F{"EepromReadWithout", "eeprom=s09", "end", kNoEeprom, sizes(1024, 0)},
    F{"EepromVerifyWithout", "checkeeprom", "end", kNoEeprom, sizes(1024, 0)},
    // Skips never read past the script; a "loop" at an earlier run's head index would jump to itself.
    F{"LoopHeadWithoutLoop", "begin,calcflash,setflashloop,end", "begin1|end",
      "'setflashloop': no \"loop\" follows it.", sizes(1024, 64)},
    F{"IfpageWithoutEnd", "begin,ifpage,end", "begin1|end", "'ifpage': no \"endifpage\" follows it."},
    F{"PageSizeZero", "calcflashpage", "end", "the page size is 0; it must be at least 1.", page_size(0)},
    F{"PageSizeNegative", "ifpage,endifpage", "end", "size is -64; it must be at least 1.", page_size(-64)},
    F{"LoopOntoItself", "begin,loop", "begin1|end",
      "statement 2 'loop': it jumps back to itself (no loop head ran at this index).",
      [](EngineTest& fx) { fx.run().loop_start = 2; }},
    // Waits: 0..60000 ms; a write bit that stays set, 1000 polls or 1 s (six reports of 10 ms a poll).
    F{"NegativeWait", "begin,w-5", "begin1|end", kWaitBound},
    F{"WaitAboveTheBound", "w60001", "end", kWaitBound},
    F{"WaitBeyond32Bits", "w1e12", "end", kWaitBound},
    F{"WriteBitStuck", "begin,waitwr,end", "", "(write bit still set after 1000 polls).",
      [](EngineTest& fx) { fx.default_answer = 2; }},
    F{"WriteBitPastOneSecond", "begin,waitwr,end", "", "(write bit still set after 18 polls).",
      [](EngineTest& fx) { fx.default_answer = 2, fx.on_write = [&fx] { fx.now += 0.01; }; }},
    // The link fails; Test Vpp switched on mid-run makes the power the user's: nothing more is sent.
    F{"WriteRefusedWhileConnected", "begin,s0d-0000", "begin1",
      "statement 2 's0d-0000': the programmer did not take a command report.",
      [](EngineTest& fx) { fx.writes_taken = 1; }},
    F{"Disconnected", "begin,s0d-0000,s0d-0000,end", "begin1|cmd 0D|word 0000|cmd 0D",
      "statement 3 's0d-0000': the programmer is no longer connected.",
      [](EngineTest& fx) { fx.writes_before_loss = 4; }},
    F{"ReadNotAnswered", "begin,temp=s09,end", "begin1|cmd 09|read|end",
      "the programmer did not take a read report or gave no answer.",
      [](EngineTest& fx) { fx.no_answer = true; }},
    F{"TestVppDuringTheRun", "begin,s0d-0000,end", "begin1",
      "statement 2 's0d-0000': the target power was switched on by hand (Test Vpp).",
      [](EngineTest& fx) { fx.on_write = [&fx] { fx.workspace.vpp_on = true; }; }}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

TEST_F(EngineTest, WritePollBoundIsCountedPerStatement) {
  for (int round = 0; round < 3; ++round) {
    answers.insert(answers.end(), kMaxWritePolls - 1, 0x02);
    answers.push_back(0x00);
  }
  set_algorithm(Kind::program, "waitwr,waitwr,waitwr");
  engine.program_all();
  EXPECT_EQ(status, "Chip programmed. 0.00 seconds elapsed...") << engine.stop_text();
}

}  // namespace
}  // namespace tessaflex::engine::testing
