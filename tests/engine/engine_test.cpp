// The engine's runs, their stops and cut-offs, and each statement form, as one ordered trace.
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "core/hex_text.h"
#include "devices/memory_images.h"
#include "devices/workspace.h"
#include "engine/elapsed_text.h"
#include "link/report_layer.h"

namespace tessaflex::engine {
namespace {

using Strings = std::vector<std::string>;
using Kind = devices::AlgorithmKind;
constexpr const char* kHeader = "Memory Location,   Read Value,   Expected,\r\n";

// A trace as tables write it: "a|b|c".
std::string joined(const Strings& parts) {
  std::string out;
  for (const std::string& part : parts) out += (&part == parts.data() ? "" : "|") + part;
  return out;
}

// A report as the trace shows it; an unknown code throws, failing the test.
std::string describe(const link::Report& r) {
  if (r[0] == 107) return "cmd " + core::byte_to_hex(r[1]);
  if (r[0] == 108) return "word " + core::word_to_hex(r[1] + 256 * r[2]);
  if (r[0] == 111) return "progtime " + core::byte_to_hex(r[1]);
  static const std::map<int, std::string> names = {{0, "begin0"}, {101, "begin1"},    {102, "begin2"},
                                                   {103, "end"},  {109, "startprog"}, {110, "read"}};
  return names.at(r[0]);
}

// The engine's window and programmer, both writing one trace. The model: FLASH 1024 bytes with
// 3C 12 at 1A0h, EEPROM 64 bytes, page 64, configerased(i) = 10h + i.
class EngineTest : public ::testing::Test, public link::HidTerminal, public core::Host {
 public:
  EngineTest() {
    auto& device = workspace.current_device;
    for (std::size_t i = 0; i < device.configerased.size(); ++i) device.configerased[i] = 0x10 + int(i);
    device.voltage_seq = 1;
    device.prog_time = 5;
    device.page_size = 64;
    resize(1024, 64);
    flash()[0x1A0] = 0x3C;
    flash()[0x1A1] = 0x12;
  }

  void terminal_vendor_id(std::int32_t) override {}
  void terminal_product_id(std::int32_t) override {}
  void terminal_connect() override { connected = true; }
  bool terminal_connected() const override { return connected; }
  bool terminal_write(const link::Report& report) override {
    if (!connected || refusing) return false;
    trace.push_back(sent.emplace_back(describe(report)));
    if (on_write) on_write();
    return true;
  }
  bool terminal_read(link::Report& report) override {
    if (!connected || no_answer) return false;
    report.fill(0);
    report[1] = answers.empty() ? default_answer : answers.front();
    if (!answers.empty()) answers.pop_front();
    return true;
  }

  void set_status(std::string_view text) override { trace.push_back(status.assign(text)); }
  void process_events() override {
    trace.emplace_back("events");
    if (trace.size() > 1000000) throw std::runtime_error("a run that never ends");  // fail, not hang
  }
  void disable() override { trace.emplace_back("disable"); }
  void enable() override { trace.emplace_back("enable"); }
  void updatedisplay() override { trace.emplace_back("redraw"); }
  core::BoxAnswer message_box(std::string_view text, core::BoxKind kind, std::string_view caption) override {
    trace.push_back("box " + std::to_string(int(kind)) + " '" + std::string(caption) + "' " +
                    std::string(text));
    return core::BoxAnswer::ok;
  }
  void sleep_ms(std::int64_t ms) override {
    trace.push_back("sleep " + std::to_string(ms));
    now += static_cast<double>(ms) / 1000.0;
  }
  double clock_seconds() override { return now; }
  void end_program() override { trace.emplace_back("end program"); }

  void resize(std::int32_t flash_size, std::int32_t eeprom_size) {
    workspace.current_device.flash_size = flash_size;
    workspace.current_device.eeprom_size = eeprom_size;
    devices::erase_images(workspace.current_device, workspace.memory_images);
  }
  void set_algorithm(Kind kind, std::string_view text) {
    workspace.current_device.instructions[static_cast<std::size_t>(kind)] = devices::split_statements(text);
  }
  // Runs text without a run's frame until pc passes its end, a halt, or max_calls calls.
  void run_script(std::string_view text, int max_calls = 100000) {
    run().script = devices::split_statements(text);
    run().script.insert(run().script.begin(), "");
    run().script_count = static_cast<std::int32_t>(run().script.size()) - 1;
    run().pc = 1;
    engine.clear_halt();
    for (int i = 0; i < max_calls && run().pc <= run().script_count && engine.halt() == Halt::none; ++i)
      engine.execute_symbolic_instruction();
  }

  RunState& run() { return engine.run_state(); }
  std::vector<std::uint8_t>& flash() { return workspace.memory_images.flash_image; }
  std::vector<std::uint8_t>& eeprom() { return workspace.memory_images.eeprom_image; }
  const std::string& report() { return engine.mismatch_state().mismatch_report; }
  std::int64_t count(std::string_view entry) const { return std::count(trace.begin(), trace.end(), entry); }

  Strings trace, sent;  // sent: the reports alone
  bool connected = true, no_answer = false;
  bool refusing = false;  // writes refused while still connected
  std::deque<std::uint8_t> answers;
  std::uint8_t default_answer = 0;
  std::function<void()> on_write;
  std::string status;  // the last one
  double now = 0;
  devices::Workspace workspace;
  link::ReportLayer reports{*this};
  Engine engine{workspace, reports, *this, *this, "Tessaflex"};
};

using RunFn = void (Engine::*)();

// 0.29f is 0.28999999...: the single-precision value is what counts.
TEST(ElapsedText, HundredthsAreRoundedDown) {
  const std::pair<float, const char*> cases[] = {
      {5.078125f, "5.07"}, {12.5f, "12.50"}, {100.01f, "100.01"}, {0.29f, "0.28"}, {-0.5f, "0.00"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(elapsed_text(seconds), text) << seconds;
}

TEST_F(EngineTest, NotConnectedChangesOnlyTheStatusLine) {
  connected = false;
  add_mismatch_line(engine.mismatch_state(), run(), "L", "R", "E");
  const std::string before = report();
  run().counter = 77;
  for (RunFn r : {&Engine::program_all, &Engine::erase_all, &Engine::read_all, &Engine::blank_check,
                  &Engine::verify_chip})
    (engine.*r)();
  EXPECT_EQ(std::tuple(trace, flash()[0x1A0], run().counter, report()),
            std::tuple(Strings(5, "Hardware not found!"), 0x3C, 77, before));
}

TEST_F(EngineTest, ReadAllStartsFromErasedImagesAndRedrawsThemAlsoWhenItStops) {
  workspace.memory_images = {std::vector<std::uint8_t>(1024, 0), std::vector<std::uint8_t>(64, 0), {}};
  const auto& config = workspace.memory_images.config_image;
  answers = {0x12, 0x56};
  set_algorithm(Kind::read, "begin,flash=s09,config2l=s09,end");
  engine.read_all();
  EXPECT_EQ(std::tuple(flash()[0], config[2], config[13],
                       std::count(flash().begin(), flash().end(), 0xFF) +
                           std::count(eeprom().begin(), eeprom().end(), 0xFF)),
            std::tuple(0x12, 0x56, 0x1D, 1023 + 64));
  trace.clear();
  no_answer = true;
  engine.read_all();
  EXPECT_EQ(count("redraw"), 2) << status;
}

TEST_F(EngineTest, RunsShareLoopStartLoopEndTempAndTheReport) {
  answers = {0x5A};
  set_algorithm(Kind::blankcheck, "calcflash,temp=s09,setflashloop,s0d-flash,loop,checkblankflash");
  engine.blank_check();
  // counter and the lasts start afresh, the first text totals the last run's loop; the report grows.
  run().counter = 99;
  resize(1024, 0);
  set_algorithm(Kind::program, "checkblankflash,loop,checkblankflash,seteepromloop,loop,setflashloop,end");
  trace.clear();
  engine.program_all();
  const std::string at0 = "FLASH Byte 000000h,   5Ah,   FFh,\r\n";
  EXPECT_EQ(
      std::tuple(trace[3], trace.end()[-2], report(), run().eeprom_last, run().loop_start, run().loop_end),
      std::tuple("F:1/418", "Chip programmed. 0.00 seconds elapsed...",
                 kHeader + at0 + at0 + "FLASH Byte 000001h,   5Ah,   FFh,\r\n", -1, 6, 1023));
}

// A blank check of FLASH 0..29 that reads 00 everywhere: 30 differences. After the 25th line only
// the last statement runs, and once more if it added that line; "loop" last goes on uncut.
TEST_F(EngineTest, TwentyFifthLineSendsTheRunToItsLastStatement) {
  const std::string thirty = "begin,setflashloop,temp=s09,checkblankflash,loop", line = ",   00h,   FFh,\r\n";
  const std::tuple<std::string, int, int, int, std::string> cases[] = {
      {thirty + ",startprog,end", 0, 25, 25, "FLASH Byte 000018h" + line},
      {"begin,setflashloop,flash=s09,loop,checkblankflash", 24, 26, 30,
       "FLASH Byte 000000h" + line + "FLASH Byte 000001h" + line},
      {thirty, 0, 30, 30, "FLASH Byte 00001Dh" + line}};
  for (const auto& [script, lines_before, lines, reads, last_lines] : cases) {
    trace.clear();
    clear_mismatch_report(engine.mismatch_state());
    for (int i = 0; i < lines_before; ++i) add_mismatch_line(engine.mismatch_state(), run(), "X", "Y", "Z");
    run().counter = 0;
    run().flash_last = 29;
    run_script(script);
    EXPECT_EQ(std::tuple(engine.mismatch_state().mismatch_count, count("read"), count("startprog"),
                         report().ends_with(last_lines), run().pc),
              std::tuple(lines, reads, 0, true, run().script_count + 1))
        << script;
  }
}

// A run's whole trace; or, for one that cannot go on, that it stops at once, powers down and says why.
struct RunCase {
  const char* algorithm;         // in every slot; nullptr: no statements at all
  std::string trace;             // of a stop, every report sent ("": only that "end" came last)
  const char* reason = nullptr;  // a stop's end of the status text
  std::function<void(EngineTest&)> arrange = {};
  RunFn run = &Engine::program_all;
};

class Run : public EngineTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(Run, StepsInOrderOrStopsSayingWhy) {
  const RunCase& c = GetParam();
  for (auto& list : workspace.current_device.instructions)
    list = c.algorithm ? devices::split_statements(c.algorithm) : devices::StatementList{};
  default_answer = 2;  // a write bit that never clears
  now = 86399.5;       // a monotonic clock: no midnight to cross
  if (c.arrange) c.arrange(*this);
  (engine.*c.run)();
  if (c.reason == nullptr) {
    EXPECT_EQ(joined(trace), c.trace);
    return;
  }
  EXPECT_TRUE(status.starts_with("Run stopped at statement ") && status.ends_with(c.reason)) << status;
  EXPECT_EQ(c.trace.empty() ? sent.back() : joined(sent), c.trace.empty() ? "end" : c.trace) << c.algorithm;
  const std::string all = joined(trace);
  EXPECT_TRUE(all.ends_with("|enable|" + status + "|events") && all.find("|Chip ") == std::string::npos)
      << all;
  EXPECT_EQ(std::pair(engine.halt(), engine.elapsed_text()), std::pair(Halt::stopped, std::string()));
}

// An unrecognized statement: the power-down goes first, and the run's closing steps never come.
std::string stop(const std::string& s) {
  const std::string box = "box 16 'Tessaflex' Unrecognized symbolic instruction '" + s + "'.\r\n";
  return "disable|Begin program all.|events|begin1|end|" + box + "The program must end.|end program";
}
using R = RunCase;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Frames, Run, ::testing::Values(
    R{"begin,w3996,end", "disable|Begin program all.|events|begin1|"
      "sleep 3996|end|enable|Chip programmed. 3.99 seconds elapsed...|events"},
    R{nullptr, "disable|Begin erase all.|events|enable|Chip erased. 0.00 seconds elapsed...|events", nullptr, {},
      &Engine::erase_all},
    R{"begin,end", "disable|Begin read all.|events|redraw|events|begin1|end|enable|Chip read. 0.00 seconds "
      "elapsed...|events|redraw|events", nullptr, {}, &Engine::read_all},
    // The failure text stands before the box opens.
    R{"temp=s09,checkflash", "disable|Begin verify.|events|cmd 09|read|F:1/1|events|enable|Chip verify "
      "failed. 0.00 seconds elapsed...|events|box 16 '' Chip verify failed:\r\n\r\n" + std::string(kHeader) +
      "FLASH Byte 000000h,   02h,   FFh,\r\n|events", nullptr, {}, &Engine::verify_chip},
    R{"temp=s09,checkblankflash", "disable|Begin blank check.|events|cmd 09|read|F:1/1|events|enable|Chip is "
      "not blank. 0.00 seconds elapsed...|events|box 16 '' Chip is not blank:\r\n\r\n" + std::string(kHeader) +
      "FLASH Byte 000000h,   02h,   FFh,\r\n|events", nullptr, {}, &Engine::blank_check},
    // Stray blanks, the empty statement, statement 0 (a "loop" before any loop head), texts no form takes whole.
    R{"begin, begin,end", stop(" begin")}, R{"begin,,end", stop("")}, R{"begin,loop", stop("")},
    R{"begin,x0c-flash", stop("x0c-flash")}, R{"begin,s0d-00000", stop("s0d-00000")},
    R{"begin,s0d_0000", stop("s0d_0000")}));
// clang-format on

// An erased model of these sizes whose FLASH holds 00 at programmed (-1: nowhere).
auto model(int programmed, int page_size = 64, int flash = 1024, int eeprom = 64) {
  return [=](EngineTest& fx) {
    fx.resize(flash, eeprom);
    fx.workspace.current_device.page_size = page_size;
    if (programmed >= 0) fx.flash()[static_cast<std::size_t>(programmed)] = 0;
  };
}
const char* kWaitBound = "a wait must be 0..60000 milliseconds.";
const char* kFlashEnd = "address 000001h is outside the FLASH image (1 bytes).";
const auto kEeprom0 = model(-1, 64, 1024, 0);  // a model without EEPROM
const char* kNoEeprom = "address 000000h is outside the EEPROM image (0 bytes).";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Stops, Run, ::testing::Values(
    // A bad field or value sends nothing of its statement, not even the command.
    R{"begin,flash=s9,end", "begin1|end", "'flash=s9': the field '9' is not a 2-digit hexadecimal command."},
    R{"begin,s0d-flas", "begin1|end", "the field 'FLAS' is not a 4-digit hexadecimal operand."},
    R{"begin,s0f-config1l", "begin1|end", "byte has no valid value (the device list gives none).",
      [](EngineTest& fx) { fx.workspace.memory_images.config_image[0] = -1; }},
    R{"begin,setprogtime", "begin1|end", "time 300 ms does not fit a report (0..255 ms); nothing was sent.",
      [](EngineTest& fx) { fx.workspace.current_device.prog_time = 300; }},
    // counter outside an image: nothing is read or written there.
    R{"begin,s0d-flash,s0d-flash", "begin1|cmd 0D|word FFFF|end",
      "statement 3 's0d-flash': address 000002h is outside the FLASH image (2 bytes).", model(-1, 64, 2)},
    R{"s0d-flash,s0d-flash", "cmd 0D|word FFFF|end", "outside the FLASH image (3 bytes).", model(-1, 64, 3)},
    R{"flash=s09,flash=s09", "cmd 09|read|end", kFlashEnd, model(-1, 64, 1)},
    R{"checkflash,checkflash", "", kFlashEnd, model(-1, 64, 1)}, R{"movlw-eeprom", "", kNoEeprom, kEeprom0},
    R{"eeprom=s09", "", kNoEeprom, kEeprom0}, R{"checkeeprom", "", kNoEeprom, kEeprom0},
    // Skips never read past the script; a "loop" at an earlier run's head index would jump to itself.
    R{"calcflash,setflashloop,end", "", "'setflashloop': no \"loop\" follows it.", model(-1)},
    R{"begin,ifpage,end", "begin1|end", "'ifpage': no \"endifpage\" follows it."},
    R{"calcflashpage", "", "the page size is 0; it must be at least 1.", model(-1, 0)},
    R{"ifpage,endifpage", "", "size is -64; it must be at least 1.", model(-1, -64)},
    R{"begin,loop", "begin1|end", "2 'loop': it jumps back to itself (no loop head ran at this index).",
      [](EngineTest& fx) { fx.run().loop_start = 2; }},
    // Waits: 0..60000 ms; a write bit that stays set, 1000 polls or 1 s (six reports of 10 ms a poll), counted
    // afresh by each waitwr.
    R{"begin,w-5", "begin1|end", kWaitBound}, R{"w60001", "", kWaitBound}, R{"w1e12", "", kWaitBound},
    R{"begin,waitwr,end", "", "still set after 1000 polls)."},
    R{"begin,waitwr,waitwr,end", "", "3 'waitwr': the write did not finish (write bit still set after 18 polls).",
      [](EngineTest& fx) { fx.answers = {2, 2, 2, 0}; fx.on_write = [&fx] { fx.now += 0.01; }; }},
    // The link fails; Test Vpp switched on mid-run makes the power the user's: nothing more is sent.
    R{"begin,s0d-0000", "begin1", "2 's0d-0000': the programmer did not take a command report.",
      [](EngineTest& fx) { fx.on_write = [&fx] { fx.refusing = true; }; }},
    R{"begin,s0d-0000,s0d-0000,end", "begin1|cmd 0D|word 0000|cmd 0D", "programmer is no longer connected.",
      [](EngineTest& fx) { fx.on_write = [&fx] { fx.connected = fx.sent.size() < 4; }; }},
    R{"begin,temp=s09,end", "begin1|cmd 09|read|end", "did not take a read report or gave no answer.",
      [](EngineTest& fx) { fx.no_answer = true; }},
    R{"begin,s0d-0000,end", "begin1", "the target power was switched on by hand (Test Vpp).",
      [](EngineTest& fx) { fx.on_write = [&fx] { fx.workspace.vpp_on = true; }; }}));
// clang-format on

struct StatementCase {
  const char* script;
  std::string trace;  // reports, status texts, "events" and "sleep N", in order
  std::int32_t counter = 0, counter_after = 0, temp = 0;
  const char* lines = "";  // mismatch lines after the header
  std::function<void(EngineTest&)> arrange = {};
  std::vector<std::uint8_t> answers = {};
  std::optional<std::int32_t> temp_after = {};
};

class Statement : public EngineTest, public ::testing::WithParamInterface<StatementCase> {};

TEST_P(Statement, TraceCounterAndReport) {
  const StatementCase& c = GetParam();
  workspace.memory_images.config_image[1] = 0x1F;
  eeprom()[0x20] = 0x34;
  flash()[0] = 0x12;
  if (c.arrange) c.arrange(*this);
  answers.assign(c.answers.begin(), c.answers.end());
  clear_mismatch_report(engine.mismatch_state());
  run().counter = c.counter;
  run().temp = c.temp;
  run_script(c.script, 50);
  EXPECT_EQ(std::tuple(joined(trace), run().counter, run().pc, run().temp, engine.stop_text(), report()),
            std::tuple(c.trace, c.counter_after, run().script_count + 1, c.temp_after.value_or(run().temp),
                       "", kHeader + std::string(c.lines)))
      << c.script;
}

const char* kPoll = "cmd 00|word 50A6|cmd 00|word 6EF5|cmd 02|read";
using C = StatementCase;
const char* kIfpage = "ifpage,startprog,endifpage,end";
const char* kPage = "calcflashpage,setflashloop,loop,checkblankflash";
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();  // also a counter beyond every loop

// clang-format off
INSTANTIATE_TEST_SUITE_P(Forms, Statement, ::testing::Values(
    C{"begin", "begin0", 0, 0, 0, "", [](EngineTest& fx) { fx.workspace.current_device.voltage_seq = 7; }},
    // Address loads split counter, also past 64 KB; a configuration write sends its byte twice.
    C{"movlw-upper,movlw-high,movlw-low", "cmd 00|word 0E00|cmd 00|word 0E01|cmd 00|word 0EA0", 0x1A0, 0x1A0},
    C{"movlw-upper,movlw-high,movlw-low", "cmd 00|word 0E01|cmd 00|word 0EFF|cmd 00|word 0EFE", 0x1FFFE, 0x1FFFE},
    C{"s0c-config1h", "CONF1H:|events|cmd 0C|word 1F1F", 7, 7},
    C{"flash=s09zz,movlw-eeprom,eeprom=s09,config7h=s0a,temp=s0b",
      "F:32/1|events|cmd 09|read|E:33/1|events|cmd 00|word 0E34|E:34/1|events|cmd 09|read|CONF7H:|events|cmd 0A|"
      "read|cmd 0B|read", 0x1F, 0x22, 0, "", {}, {0xAB, 0xCD, 0x8F, 0x42}, 0x42},
    // waitwr repeats its whole poll while bit 1 of the byte read is set.
    C{"waitwr", std::string(kPoll) + "|" + kPoll, 0, 0, 0, "", {}, {0x82, 0x80}, 0x80},
    // Checks: counter and pc move first; one line per difference; nothing is sent.
    C{"checkblankflash", "F:417/1|events", 0x1A0, 0x1A1, 0x3C, "FLASH Byte 0001A0h,   3Ch,   FFh,\r\n"},
    C{"checkblankeeprom", "E:33/1|events", 0x20, 0x21, 0x00, "EEPROM Byte 0020h,   00h,   FFh,\r\n"},
    C{"checkflash,checkeeprom", "F:1/1|events|E:2/1|events", 0, 2, 0x12,
      "EEPROM Byte 0001h,   12h,   FFh,\r\n"},
    C{"checkblankconfig2h,checkblankconfig1l", "CONF2H:|events|CONF1L:|events", 9, 9, 0x1F,
      "CONF Byte 300003h,   1Fh,   13h,\r\nCONF Byte 300000h,   1Fh,   10h,\r\n"},
    C{"checkconfig1h,checkconfig7h", "CONF1H:|events|CONF7H:|events", 9, 9, 0x1F,
      "CONF Byte 30000Dh,   1Fh,   1Dh,\r\n"},
    // ifpage runs its block at a page start above 0, else skips past the next endifpage.
    C{kIfpage, "startprog|end", 128, 128}, C{kIfpage, "end", 0, 0}, C{kIfpage, "end", 65, 65},
    C{"ifpage,startprog,endifpage,begin,ifpage,startprog,endifpage,end", "begin1|end", 3, 3},
    // Loops over 0..7: tested at the head, left with counter 0; texts total the head's last address.
    C{"calcflash,setflashloop,flash=s09,loop,end", "F:1/1|events|cmd 09|read|end", 0, 0, 0, "", model(0)},
    C{"calcflash,setflashloop,s0d-flash,loop,end",
      "F:1/4|events|cmd 0D|word FFFF|F:3/4|events|cmd 0D|word 00FF|end", 0, 0, 0, "", model(3)},
    // calcflash of an all-FF image gives -1 (F:1/0); the scan starts at flash_size - 1, not the image's end.
    C{"calcflash,setflashloop,loop,checkblankflash", "F:1/0|events", kMax, 1, 255, "", model(-1)},
    C{"calcflash,setflashloop,loop,checkblankflash", "F:1/1|events", kMax, 1, 255, "",
      [](EngineTest& fx) { fx.workspace.current_device.flash_size = 0x100; }},
    C{"calceeprom,seteepromloop,loop,checkblankeeprom", "E:1/0|events", kMax, 1, 255, "", kEeprom0},
    // calcflashpage: the last address of the highest programmed byte's page.
    C{kPage, "F:1/448|events", kMax, 1, 255, "", model(0x1A0)},
    C{kPage, "F:1/64|events", kMax, 1, 255, "", model(-1)},
    C{kPage, "F:1/2147483647|events", kMax, 1, 255, "", model(3, kMax)},
    // Forms in order: s...-flash writes, other texts beginning with w wait: a decimal number of ms, blanks
    // skipped, to the nearest whole one (a half to the even one).
    C{"s0cjunk-flash,w0d-0000,waitwr ", "F:1/1|events|cmd 0C|word FF12|sleep 0|sleep 0", 0, 2},
    C{"wait", "sleep 0"}, C{"w 10", "sleep 10"}, C{"w2.5", "sleep 2"}, C{"w12abc", "sleep 12"},
    C{"w60000", "sleep 60000"}));
// clang-format on

}  // namespace
}  // namespace tessaflex::engine
