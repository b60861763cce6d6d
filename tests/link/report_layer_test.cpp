// Every report the layer builds, byte for byte, the values it refuses to send, and the read exchange.
#include "link/report_layer.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace tessaflex::link {
namespace {

// Keeps every report written and answers reads from a queue.
struct RecordingTerminal : HidTerminal {
  void terminal_vendor_id(std::int32_t) override {}
  void terminal_product_id(std::int32_t) override {}
  void terminal_connect() override {}
  bool terminal_connected() const override { return true; }
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

// One operation of the layer with its argument (ignored by those that take none).
using Operation = LinkStatus (*)(ReportLayer&, std::int32_t);
const Operation kBegin = [](ReportLayer& l, std::int32_t a) { return l.hid_begin(a); };
const Operation kEnd = [](ReportLayer& l, std::int32_t) { return l.hid_end(); };
const Operation kCommand = [](ReportLayer& l, std::int32_t a) { return l.hid_send_command(a); };
const Operation kWord = [](ReportLayer& l, std::int32_t a) { return l.hid_send_word(a); };
const Operation kStartprog = [](ReportLayer& l, std::int32_t) { return l.hid_startprog(); };
const Operation kRead = [](ReportLayer& l, std::int32_t) {
  std::int32_t value = -1;
  return l.hid_read_byte(value);
};
const Operation kSetprogtime = [](ReportLayer& l, std::int32_t a) { return l.hid_setprogtime(a); };

TEST(ReportLayer, EveryReportIsWrittenByteForByteInOneWriteAndOutOfRangeValuesNever) {
  // clang-format off
  const std::tuple<Operation, std::int32_t, Report> layouts[] = {
      {kBegin, 1, {0x65}}, {kBegin, 2, {0x66}}, {kBegin, 0, {0x00}}, {kBegin, 3, {0x00}}, {kEnd, 0, {0x67}},
      {kCommand, 0x0D, {0x6B, 0x0D}}, {kCommand, 255, {0x6B, 0xFF}}, {kWord, 0x50A6, {0x6C, 0xA6, 0x50}},
      {kWord, 65535, {0x6C, 0xFF, 0xFF}}, {kStartprog, 0, {0x6D}}, {kRead, 0, {0x6E}},
      {kSetprogtime, 5, {0x6F, 0x05}},
      {kSetprogtime, 255, {0x6F, 0xFF}}};
  // clang-format on
  for (const auto& [op, argument, expected] : layouts) {
    SCOPED_TRACE(::testing::Message() << "expected report " << ::testing::PrintToString(expected));
    RecordingTerminal terminal;
    ReportLayer layer(terminal);
    // A dirty buffer first (an answer in every byte), so that every unused byte must be cleared.
    terminal.answers = {{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x11, 0x22}, {0x6E, 0x42}};
    kRead(layer, 0);
    terminal.written.clear();
    EXPECT_EQ(op(layer, argument), LinkStatus::ok);
    EXPECT_EQ(terminal.written, std::vector<Report>{expected});
  }
  const std::pair<Operation, std::int32_t> refused[] = {
      {kCommand, -1},     {kCommand, 256},    {kWord, -1},        {kWord, 65536},
      {kWord, INT32_MIN}, {kSetprogtime, -1}, {kSetprogtime, 256}};
  for (const auto& [op, argument] : refused) {
    RecordingTerminal terminal;
    ReportLayer layer(terminal);
    EXPECT_EQ(op(layer, argument), LinkStatus::refused) << argument;
    EXPECT_TRUE(terminal.written.empty()) << argument;
  }
}

TEST(ReportLayer, ReadGivesByteOneOfTheAnswerOrZeroAfterAFailedRead) {
  RecordingTerminal terminal;
  ReportLayer layer(terminal);
  terminal.answers = {{0x99, 0x5A, 0x01}};
  std::int32_t value = -1;
  EXPECT_EQ(layer.hid_read_byte(value), LinkStatus::ok);
  EXPECT_EQ(value, 0x5A);                  // byte 0 of the answer is not looked at
  EXPECT_EQ(layer.hid_report()[2], 0x01);  // the answer stays in the one buffer
  EXPECT_EQ(layer.hid_read_byte(value), LinkStatus::failed);
  EXPECT_EQ(value, 0);
  // A failed write is still followed by its one read, and byte 1 is what that read left.
  terminal.write_ok = false;
  terminal.answers = {{0, 0x77}};
  EXPECT_EQ(layer.hid_read_byte(value), LinkStatus::failed);
  EXPECT_EQ(value, 0x77);
  EXPECT_EQ(terminal.reads, 3);
  EXPECT_EQ(terminal.written.size(), 3u);
}

TEST(ReportLayer, SplitAddressGivesUpperHighAndLow) {
  using Split = std::array<std::int32_t, 4>;  // address, upper, high, low
  for (const auto& [address, upper, high, low] :
       {Split{0x0001A0, 0x00, 0x01, 0xA0}, Split{0x300000, 0x30, 0, 0}, Split{0xFFFFFF, 0xFF, 0xFF, 0xFF},
        Split{0x1000000, 0x100, 0, 0}}) {
    const AddressBytes got = split_address(address);
    EXPECT_EQ(std::tie(got.upper, got.high, got.low), std::tie(upper, high, low)) << address;
  }
}

}  // namespace
}  // namespace tessaflex::link
