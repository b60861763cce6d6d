// The report layer, and connecting with the set IDs.
#include <gtest/gtest.h>

#include <deque>

#include "link/programmer_connection.h"
#include "link/report_layer.h"
#include "sim/null_programmer.h"
#include "sim/virtual_programmer.h"
#include "support/recording_host.h"
#include "support/temp_settings.h"

namespace tessaflex::link {
namespace {

struct RecordingTerminal : tessaflex::sim::NullProgrammer {
  bool terminal_write(const Report& report) override {
    written.push_back(report);
    return write_ok;
  }
  bool terminal_read(Report& report) override {
    ++reads;
    if (answers.empty()) return false;
    report = answers.front();
    answers.pop_front();
    return true;
  }
  std::vector<Report> written;
  std::deque<Report> answers;
  bool write_ok = true;
  int reads = 0;
};

using Operation = LinkStatus (*)(ReportLayer&, std::int32_t);
const Operation kBegin = [](ReportLayer& l, std::int32_t a) { return l.hid_begin(a); };
const Operation kEnd = [](ReportLayer& l, std::int32_t) { return l.hid_end(); };
const Operation kCommand = [](ReportLayer& l, std::int32_t a) { return l.hid_send_command(a); };
const Operation kWord = [](ReportLayer& l, std::int32_t a) { return l.hid_send_word(a); };
const Operation kStartprog = [](ReportLayer& l, std::int32_t) { return l.hid_startprog(); };
const Operation kRead = [](ReportLayer& l, std::int32_t v) { return l.hid_read_byte(v); };
const Operation kSetprogtime = [](ReportLayer& l, std::int32_t a) { return l.hid_setprogtime(a); };

TEST(ReportLayer, EveryReportIsWrittenByteForByteInOneWriteAndOutOfRangeValuesNever) {
  // clang-format off
  const std::tuple<Operation, std::int32_t, std::vector<Report>> cases[] = {  // nothing written: refused
      {kBegin, 1, {{0x65}}}, {kBegin, 2, {{0x66}}}, {kBegin, 0, {{0x00}}}, {kBegin, 3, {{0x00}}},
      {kEnd, 0, {{0x67}}}, {kCommand, 0x0D, {{0x6B, 0x0D}}}, {kCommand, 255, {{0x6B, 0xFF}}},
      {kWord, 0x50A6, {{0x6C, 0xA6, 0x50}}}, {kWord, 65535, {{0x6C, 0xFF, 0xFF}}}, {kStartprog, 0, {{0x6D}}},
      {kRead, 0, {{0x6E}}}, {kSetprogtime, 5, {{0x6F, 0x05}}}, {kSetprogtime, 255, {{0x6F, 0xFF}}},
      {kCommand, -1, {}}, {kCommand, 256, {}}, {kWord, -1, {}}, {kWord, 65536, {}}, {kWord, INT32_MIN, {}},
      {kSetprogtime, -1, {}}, {kSetprogtime, 256, {}}};
  // clang-format on
  for (const auto& [op, argument, expected] : cases) {
    SCOPED_TRACE(::testing::PrintToString(expected) + " " + std::to_string(argument));
    RecordingTerminal terminal;
    ReportLayer layer(terminal);
    // A dirty buffer first (an answer in every byte), so that every unused byte must be cleared.
    terminal.answers = {{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x11, 0x22}, {0x6E, 0x42}};
    kRead(layer, 0);
    terminal.written.clear();
    EXPECT_EQ(op(layer, argument), expected.empty() ? LinkStatus::refused : LinkStatus::ok);
    EXPECT_EQ(terminal.written, expected);
  }
}

// A failed write is still followed by its one read, and byte 1 is what that read left.
TEST(ReportLayer, ReadGivesByteOneOfTheAnswerEvenAfterAFailedWrite) {
  RecordingTerminal terminal;
  ReportLayer layer(terminal);
  terminal.write_ok = false;
  terminal.answers = {{0x99, 0x77}};
  std::int32_t value = -1;
  EXPECT_EQ(layer.hid_read_byte(value), LinkStatus::failed);
  EXPECT_EQ(std::tuple(value, terminal.reads, terminal.written.size()), std::tuple(0x77, 1, std::size_t{1}));
}

struct Connection {
  tessaflex::test::TempSettings settings;  // a temporary per-user folder
  tessaflex::test::RecordingHost host;
  sim::VirtualProgrammer programmer{"18F452"};
  ProgrammerConnection connection{settings.store(), programmer, host};
  std::string setting(const char* name) { return settings.store().get_setting(name, "missing"); }
};

// Default IDs (2345h = 9029) written at the first start; absent; other IDs; not openable. Then
// plugged in, Connect twice: it tries again only while not connected.
TEST(ProgrammerConnection, OutcomesOfConnectingAndConnectingAgain) {
  const std::string ok = "Hardware connected!", absent = "Hardware not found!",
                    closed =
                        "Hardware found but could not be opened! Install the udev rule 70-tessaflex.rules.";
  const std::vector<std::string> statuses[] = {
      {ok}, {absent, ok}, {absent, absent, absent}, {closed, closed, closed}};
  for (int outcome = 0; outcome < 4; ++outcome) {
    Connection c;
    c.programmer.set_present(outcome != 1);
    c.programmer.set_openable(outcome != 3);
    if (outcome == 2) c.settings.store().save_setting("Hardware Vendor ID", "65535");
    if (outcome == 2) c.settings.store().save_setting("Hardware Product ID", "4660");
    c.connection.connect_hardware();
    c.programmer.set_present(true);
    c.connection.connect_command();
    c.connection.connect_command();
    EXPECT_EQ(
        std::tuple(c.programmer.vendor_id(), c.programmer.product_id(), c.setting("Hardware Vendor ID")),
        outcome == 2 ? std::tuple(65535, 4660, "65535") : std::tuple(0x2345, 0x2345, "9029"));
    EXPECT_EQ(std::pair(c.host.statuses, c.programmer.connect_attempts()),
              std::pair(statuses[outcome], static_cast<int>(statuses[outcome].size())));
  }
}

// The setting that was missing is written all the same.
TEST(ProgrammerConnection, BadIdsLeaveTheTerminalAloneAfterBothSettingsAreRead) {
  const std::pair<const char*, const char*> cases[] = {
      {"65536", nullptr}, {nullptr, "65536"}, {"-1", nullptr}, {nullptr, "-5"}, {"4294967295", nullptr}};
  for (const auto& [vendor, product] : cases) {
    Connection c;
    if (vendor) c.settings.store().save_setting("Hardware Vendor ID", vendor);
    if (product) c.settings.store().save_setting("Hardware Product ID", product);
    c.connection.connect_hardware();
    EXPECT_EQ(c.host.statuses, std::vector<std::string>{"Bad hardware info!"});
    EXPECT_EQ(c.programmer.connect_attempts() + c.programmer.vendor_id(), 0);
    EXPECT_EQ(c.setting("Hardware Vendor ID"), vendor ? vendor : "9029");
    EXPECT_EQ(c.setting("Hardware Product ID"), product ? product : "9029");
  }
}

}  // namespace
}  // namespace tessaflex::link
