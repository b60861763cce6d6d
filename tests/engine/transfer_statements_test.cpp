// Transfer statements: the reports they send, the images they fill, their progress texts.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tessaflex::engine::testing {
namespace {

using Strings = std::vector<std::string>;

struct TransferCase {
  const char* statement;
  std::int32_t counter;
  Strings reports;
  std::int32_t counter_after;
  const char* progress;  // "" when the statement shows none
};

using TransferStatements = EngineTest;

class Transfer : public EngineTest, public ::testing::WithParamInterface<TransferCase> {};

TEST_P(Transfer, SendsItsReportsAndMovesCounterAndPc) {
  const TransferCase& c = GetParam();
  flash()[0x1A0] = 0x3C;
  flash()[0x1A1] = 0x12;
  eeprom()[2] = 0x55;
  workspace.memory_images.config_image[1] = 0x1F;
  engine.run_state().loop_end = 1023;
  // The progress text must be on show, and events processed, before the first report.
  std::string status_at_first_report = "-";
  int events_at_first_report = -1;
  terminal.on_write = [&](const link::Report&) {
    if (events_at_first_report >= 0) return;
    status_at_first_report = host.status();
    events_at_first_report = host.events_processed;
  };
  load({c.statement});
  engine.run_state().counter = c.counter;
  engine.execute_symbolic_instruction();

  EXPECT_EQ(sent(), c.reports);
  EXPECT_EQ(engine.run_state().counter, c.counter_after);
  EXPECT_EQ(engine.run_state().pc, 2);
  EXPECT_EQ(engine.halt(), Halt::none);
  if (*c.progress != '\0') {
    EXPECT_EQ(status_at_first_report, c.progress);
    EXPECT_EQ(events_at_first_report, 1);
  } else {
    EXPECT_TRUE(host.statuses.empty());
    EXPECT_EQ(host.events_processed, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Transfer,
    ::testing::Values(
        TransferCase{"movlw-upper", 0x1A0, {"cmd 00", "word 0E00"}, 0x1A0, ""},
        TransferCase{"movlw-high", 0x1A0, {"cmd 00", "word 0E01"}, 0x1A0, ""},
        TransferCase{"movlw-low", 0x1A0, {"cmd 00", "word 0EA0"}, 0x1A0, ""},
        TransferCase{"movlw-eeprom", 2, {"cmd 00", "word 0E55"}, 3, "E:3/1024"},
        // The lower address goes out first, in the operand's low byte; the field is upper-cased.
        TransferCase{"s0d-flash", 0x1A0, {"cmd 0D", "word 123C"}, 0x1A2, "F:417/1024"},
        TransferCase{"s0cjunk-flash", 0x1A0, {"cmd 0C", "word 123C"}, 0x1A2, "F:417/1024"},
        TransferCase{"s0c-config1h", 7, {"cmd 0C", "word 1F1F"}, 7, "CONF1H:"},
        TransferCase{"s0c-config7h", 7, {"cmd 0C", "word 1D1D"}, 7, "CONF7H:"},
        TransferCase{"flash=s09zz", 5, {"cmd 09", "read"}, 6, "F:6/1024"},
        TransferCase{"eeprom=s09", 3, {"cmd 09", "read"}, 4, "E:4/1024"},
        TransferCase{"config2l=s09", 3, {"cmd 09", "read"}, 3, "CONF2L:"},
        TransferCase{"temp=s0a", 3, {"cmd 0A", "read"}, 3, ""},
        TransferCase{"s0d-0000", 3, {"cmd 0D", "word 0000"}, 3, ""},
        TransferCase{"s0f-3c40", 3, {"cmd 0F", "word 3C40"}, 3, ""}));

TEST_F(TransferStatements, ReadsStoreTheAnswerWhereTheyPoint) {
  terminal.answers = {0xAB, 0xCD, 0x8F, 0x42};
  load({"flash=s09", "eeprom=s09", "config7h=s09", "temp=s09"});
  engine.run_state().counter = 5;
  run_loaded();
  EXPECT_EQ(flash()[5], 0xAB);
  EXPECT_EQ(eeprom()[6], 0xCD);
  EXPECT_EQ(workspace.memory_images.config_image[13], 0x8F);
  EXPECT_EQ(engine.run_state().temp, 0x42);
  EXPECT_EQ(engine.run_state().counter, 7);
}

struct WaitwrCase {
  std::vector<std::uint8_t> answers;
  int calls_until_done;
};

class Waitwr : public EngineTest, public ::testing::WithParamInterface<WaitwrCase> {};

TEST_P(Waitwr, PollsUntilTheWriteBitClears) {
  terminal.answers.assign(GetParam().answers.begin(), GetParam().answers.end());
  load({"waitwr"});
  int calls = 0;
  while (engine.run_state().pc == 1 && calls < 10) {
    engine.execute_symbolic_instruction();
    ++calls;
  }
  EXPECT_EQ(calls, GetParam().calls_until_done);
  const Strings poll = {"cmd 00", "word 50A6", "cmd 00", "word 6EF5", "cmd 02", "read"};
  Strings expected;
  for (int i = 0; i < calls; ++i) expected.insert(expected.end(), poll.begin(), poll.end());
  EXPECT_EQ(sent(), expected);
  EXPECT_EQ(engine.run_state().temp, GetParam().answers.back());
}

INSTANTIATE_TEST_SUITE_P(WriteBit, Waitwr,
                         ::testing::Values(WaitwrCase{{0x00}, 1}, WaitwrCase{{0x02, 0x00}, 2},
                                           WaitwrCase{{0x82, 0x80}, 2}, WaitwrCase{{0xFF, 0x03, 0xFD}, 3}));

TEST_F(TransferStatements, FlashLoopSendsOneOperandPerAddressPair) {
  flash()[7] = 0x07;
  load({"calcflash", "setflashloop", "s0d-flash", "loop", "end"});
  run_loaded();
  EXPECT_EQ(sent(), (Strings{"cmd 0D", "word FFFF", "cmd 0D", "word FFFF", "cmd 0D", "word FFFF", "cmd 0D",
                             "word 07FF", "end"}));
  EXPECT_EQ(engine.run_state().counter, 0);
  EXPECT_EQ(engine.run_state().loop_start, 2);
  EXPECT_EQ(engine.run_state().loop_end, 7);
}

}  // namespace
}  // namespace tessaflex::engine::testing
