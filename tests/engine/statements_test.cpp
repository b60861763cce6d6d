// Statements one at a time: the dispatch order's traps, then what each form sends, shows and moves.
#include <limits>
#include <optional>
#include <tuple>

#include "engine/statement_table.h"
#include "engine_test.h"

namespace tessaflex::engine::testing {
namespace {

int form_of(std::string_view s) {
  const StatementForm* row = find_statement_form(s);
  return row == nullptr ? -1 : static_cast<int>(row - statement_forms().data());
}

// The first matching form takes a statement; these are the places where that order matters.
TEST(Dispatch, Traps) {
  // clang-format off
  const std::pair<const char*, int> traps[] = {
      {" begin", -1}, {"begin ", -1}, {"BEGIN", -1}, {"", -1}, {"loop,", -1}, {"checkconfig7h ", -1},
      {"s0cjunk-flash", 16}, {"-flash", -1}, {"x0c-flash", -1}, {"flash=s", 32}, {"flash=s09zz", 32},
      {"s0d-00000", -1}, {"s0d_0000", -1}, {"s0d-flas", 81},  // sXX-YYYY: 8 characters exactly
      {"wait", 82}, {"w", 82}, {"waitwr ", 82}, {"w0d-0000", 82}};
  // clang-format on
  for (const auto& [s, form] : traps) EXPECT_EQ(form_of(s), form) << '"' << s << '"';
}

struct StatementCase {
  const char* script;
  std::string trace;  // reports, status texts, "events" and "sleep N", in order, split at "|"
  std::int32_t counter = 0, counter_after = 0, temp = 0;
  const char* lines = "";  // mismatch lines after the header
  std::function<void(EngineTest&)> arrange = {};
  std::vector<std::uint8_t> answers = {};
  std::optional<std::int32_t> temp_after = {};
  std::function<void(EngineTest&)> check = {};
};
void PrintTo(const StatementCase& c, std::ostream* out) { *out << c.script; }

class Statement : public EngineTest, public ::testing::WithParamInterface<StatementCase> {};

TEST_P(Statement, TraceCounterAndReport) {
  const StatementCase& c = GetParam();
  workspace.memory_images.config_image[1] = 0x1F;
  eeprom()[2] = 0x55, eeprom()[0x20] = 0x34, flash()[0] = 0x12;
  if (c.arrange) c.arrange(*this);
  answers.assign(c.answers.begin(), c.answers.end());
  clear_mismatch_report(engine.mismatch_state());
  run().counter = c.counter, run().temp = c.temp;
  run_script(c.script, 50);
  EXPECT_EQ(trace, split(c.trace));
  EXPECT_EQ(std::tuple(run().counter, run().pc, run().temp),
            std::tuple(c.counter_after, run().script_count + 1, c.temp_after.value_or(run().temp)));
  EXPECT_EQ(engine.halt(), Halt::none) << engine.stop_text();
  EXPECT_EQ(report(), std::string(kHeader) + c.lines);
  if (c.check) c.check(*this);
}

const char* kPoll = "cmd 00|word 50A6|cmd 00|word 6EF5|cmd 02|read|";
void byte7_only(EngineTest& fx) { fx.resize(1024, 64), fx.flash()[7] = 0x07; }
// page_size and the highest non-FF byte at programmed (-1: none).
auto page(std::int32_t page_size, std::int32_t programmed) {
  return [=](EngineTest& fx) {
    fx.resize(1024, 64);
    fx.workspace.current_device.page_size = page_size;
    if (programmed >= 0) fx.flash()[static_cast<std::size_t>(programmed)] = 0;
  };
}

using C = StatementCase;
const char* kIfpage = "ifpage,startprog,endifpage,end";
const char* kPage = "calcflashpage,setflashloop,loop,checkblankflash";
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();  // also a counter beyond every loop

// clang-format off
INSTANTIATE_TEST_SUITE_P(Forms, Statement, ::testing::Values(
    // Power and timing; no progress text.
    C{"begin,setprogtime,startprog,end", "begin1|progtime 05|startprog|end"},
    C{"begin", "begin0", 0, 0, 0, "", [](EngineTest& fx) { fx.workspace.current_device.voltage_seq = 7; }},
    // Address loads split counter; a FLASH write sends the byte at counter first; fields upper-cased.
    C{"movlw-upper,movlw-high,movlw-low", "cmd 00|word 0E00|cmd 00|word 0E01|cmd 00|word 0EA0", 0x1A0, 0x1A0},
    C{"movlw-eeprom", "E:3/1|events|cmd 00|word 0E55", 2, 3},
    C{"s0d-flash", "F:417/1|events|cmd 0D|word 123C", 0x1A0, 0x1A2},
    C{"s0c-config1h", "CONF1H:|events|cmd 0C|word 1F1F", 7, 7},
    C{"s0d-0000,s0f-3c4a", "cmd 0D|word 0000|cmd 0F|word 3C4A", 3, 3},
    // Reads: the answer goes where the form points.
    C{"flash=s09zz,eeprom=s09,config7h=s0a,temp=s0b",
      "F:6/1|events|cmd 09|read|E:7/1|events|cmd 09|read|CONF7H:|events|cmd 0A|read|cmd 0B|read", 5, 7, 0, "",
      {},      {0xAB, 0xCD, 0x8F, 0x42}, 0x42, [](EngineTest& fx) {
        EXPECT_EQ(std::tuple(fx.flash()[5], fx.eeprom()[6], fx.workspace.memory_images.config_image[13]),
                  std::tuple(0xAB, 0xCD, 0x8F)); }},
    // waitwr repeats its whole poll while bit 1 of the byte read is set.
    C{"waitwr", kPoll, 0, 0, 0, "", {}, {0x00}, 0},
    C{"waitwr", std::string(kPoll) + kPoll, 0, 0, 0, "", {}, {0x82, 0x80}, 0x80},
    // Checks: counter and pc move first; one line per difference; nothing is sent.
    C{"checkblankflash", "F:417/1|events", 0x1A0, 0x1A1, 0x3C, "FLASH Byte 0001A0h,   3Ch,   FFh,\r\n"},
    C{"checkblankeeprom", "E:33/1|events", 0x20, 0x21, 0x00, "EEPROM Byte 0020h,   00h,   FFh,\r\n"},
    C{"checkblankconfig2h", "CONF2H:|events", 9, 9, 0x13},
    C{"checkblankconfig2h,checkblankconfig1l", "CONF2H:|events|CONF1L:|events", 9, 9, 0x1F,
      "CONF Byte 300003h,   1Fh,   13h,\r\nCONF Byte 300000h,   1Fh,   10h,\r\n"},
    C{"checkconfig1h,checkconfig7h", "CONF1H:|events|CONF7H:|events", 9, 9, 0x1F,
      "CONF Byte 30000Dh,   1Fh,   1Dh,\r\n"},
    // ifpage runs its block at a page start above 0, else skips past the next endifpage.
    C{kIfpage, "startprog|end", 128, 128}, C{kIfpage, "end", 0, 0}, C{kIfpage, "end", 65, 65},
    C{"ifpage,startprog,endifpage,begin,ifpage,startprog,endifpage,end", "begin1|end", 3, 3},
    // Loops over 0..7: tested at the head, left with counter 0; texts total the head's last address.
    C{"calcflash,setflashloop,flash=s09,loop,end",
      "F:1/8|events|cmd 09|read|F:2/8|events|cmd 09|read|F:3/8|events|cmd 09|read|F:4/8|events|cmd 09|"
      "read|F:5/8|events|cmd 09|read|F:6/8|events|cmd 09|read|F:7/8|events|cmd 09|read|F:8/8|events|cmd 09|"
      "read|end",
      0, 0, 0, "", byte7_only},
    C{"calcflash,setflashloop,s0d-flash,loop,end", "F:1/8|events|cmd 0D|word FFFF|F:3/8|events|cmd 0D|word "
      "FFFF|F:5/8|events|cmd 0D|word FFFF|F:7/8|events|cmd 0D|word 07FF|end", 0, 0, 0, "", byte7_only},
    // calcflash of an all-FF image gives -1 (F:1/0); the scan starts at flash_size - 1, not the image's end.
    C{"calcflash,setflashloop,loop,checkblankflash", "F:1/0|events", kMax, 1, 255, "", page(64, -1)},
    C{"calcflash,setflashloop,loop,checkblankflash", "F:1/1|events", kMax, 1, 255, "",
      [](EngineTest& fx) { fx.workspace.current_device.flash_size = 0x100; }},
    C{"calceeprom,seteepromloop,loop,checkblankeeprom", "E:1/0|events", kMax, 1, 255, "",
      [](EngineTest& fx) { fx.resize(1024, 0); }},
    // calcflashpage: the last address of the highest programmed byte's page.
    C{kPage, "F:1/448|events", kMax, 1, 255, "", page(64, 0x1A0)},
    C{kPage, "F:1/64|events", kMax, 1, 255, "", page(64, -1)},
    C{kPage, "F:1/0|events", kMax, 1, 255, "", page(1, -1)},
    C{kPage, "F:1/2147483647|events", kMax, 1, 255, "", page(kMax, 3)},
    // wNNN: a decimal number, blanks skipped, to the nearest whole ms (a half to the even one).
    C{"wait", "sleep 0"}, C{"w 10", "sleep 10"}, C{"w2.5", "sleep 2"}, C{"w12abc", "sleep 12"},
    C{"w60000", "sleep 60000"}));
// clang-format on

TEST_F(EngineTest, NothingHappensWhileThePowerIsOnByHand) {
  workspace.vpp_on = true;
  run_script("begin,s0d-flash", 5);
  EXPECT_TRUE(trace.empty());
  EXPECT_EQ(run().pc, 1);
}

}  // namespace
}  // namespace tessaflex::engine::testing
