// Every report the layer builds, byte for byte, and the values it refuses to send.
#include "link/report_layer.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace tessaflex::link {
namespace {

// Keeps every report written and answers reads from a queue.
class RecordingTerminal : public HidTerminal {
 public:
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
    answers.erase(answers.begin());
    return true;
  }
  std::vector<Report> written;
  std::vector<Report> answers;
  bool write_ok = true;
  int reads = 0;
};

struct LayoutCase {
  const char* name;
  std::function<LinkStatus(ReportLayer&)> call;
  Report expected;
};

class ReportLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ReportLayout, IsWrittenByteForByteInOneWrite) {
  RecordingTerminal terminal;
  ReportLayer layer(terminal);
  // A dirty buffer first, so that a byte the report leaves alone must have been cleared.
  terminal.answers.push_back({0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x11, 0x22});
  std::int32_t ignored = 0;
  ASSERT_EQ(layer.hid_read_byte(ignored), LinkStatus::ok);
  terminal.written.clear();

  EXPECT_EQ(GetParam().call(layer), LinkStatus::ok);
  ASSERT_EQ(terminal.written.size(), 1u);
  EXPECT_EQ(terminal.written[0], GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, ReportLayout,
    ::testing::Values(
        LayoutCase{
            "begin_vddvpp", [](ReportLayer& l) { return l.hid_begin(1); }, {0x65, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{
            "begin_vppvdd", [](ReportLayer& l) { return l.hid_begin(2); }, {0x66, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{
            "begin_unknown_order_0", [](ReportLayer& l) { return l.hid_begin(0); }, {0, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{
            "begin_unknown_order_3", [](ReportLayer& l) { return l.hid_begin(3); }, {0, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{"begin_unknown_order_negative",
                   [](ReportLayer& l) { return l.hid_begin(-1); },
                   {0, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{"end", [](ReportLayer& l) { return l.hid_end(); }, {0x67, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{
            "command_0", [](ReportLayer& l) { return l.hid_send_command(0); }, {0x6B, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{"command_0d",
                   [](ReportLayer& l) { return l.hid_send_command(0x0D); },
                   {0x6B, 0x0D, 0, 0, 0, 0, 0, 0}},
        LayoutCase{"command_255",
                   [](ReportLayer& l) { return l.hid_send_command(255); },
                   {0x6B, 0xFF, 0, 0, 0, 0, 0, 0}},
        LayoutCase{"word_50a6",
                   [](ReportLayer& l) { return l.hid_send_word(0x50A6); },
                   {0x6C, 0xA6, 0x50, 0, 0, 0, 0, 0}},
        LayoutCase{"word_0", [](ReportLayer& l) { return l.hid_send_word(0); }, {0x6C, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{"word_0e00",
                   [](ReportLayer& l) { return l.hid_send_word(0x0E00); },
                   {0x6C, 0x00, 0x0E, 0, 0, 0, 0, 0}},
        LayoutCase{"word_65535",
                   [](ReportLayer& l) { return l.hid_send_word(65535); },
                   {0x6C, 0xFF, 0xFF, 0, 0, 0, 0, 0}},
        LayoutCase{
            "startprog", [](ReportLayer& l) { return l.hid_startprog(); }, {0x6D, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{"setprogtime_5",
                   [](ReportLayer& l) { return l.hid_setprogtime(5); },
                   {0x6F, 0x05, 0, 0, 0, 0, 0, 0}},
        LayoutCase{"setprogtime_0",
                   [](ReportLayer& l) { return l.hid_setprogtime(0); },
                   {0x6F, 0, 0, 0, 0, 0, 0, 0}},
        LayoutCase{"setprogtime_255",
                   [](ReportLayer& l) { return l.hid_setprogtime(255); },
                   {0x6F, 0xFF, 0, 0, 0, 0, 0, 0}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ReportLayer, ReadWritesTheRequestAndReturnsByteOneOfTheAnswer) {
  RecordingTerminal terminal;
  ReportLayer layer(terminal);
  terminal.answers.push_back({0x99, 0x5A, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
  std::int32_t value = -1;
  EXPECT_EQ(layer.hid_read_byte(value), LinkStatus::ok);
  EXPECT_EQ(value, 0x5A);  // byte 0 of the answer is not looked at
  ASSERT_EQ(terminal.written.size(), 1u);
  EXPECT_EQ(terminal.written[0], (Report{0x6E, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(layer.hid_report()[2], 0x01);  // the answer stays in the one buffer
}

TEST(ReportLayer, AFailedReadGivesZero) {
  RecordingTerminal terminal;
  ReportLayer layer(terminal);
  std::int32_t value = -1;
  EXPECT_EQ(layer.hid_read_byte(value), LinkStatus::failed);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(terminal.reads, 1);
}

TEST(ReportLayer, AFailedRequestIsNotFollowedByARead) {
  RecordingTerminal terminal;
  terminal.write_ok = false;
  terminal.answers.push_back({0, 0x77, 0, 0, 0, 0, 0, 0});
  ReportLayer layer(terminal);
  std::int32_t value = -1;
  EXPECT_EQ(layer.hid_read_byte(value), LinkStatus::failed);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(terminal.reads, 0);
  EXPECT_EQ(layer.hid_end(), LinkStatus::failed);
}

struct RefusedCase {
  const char* name;
  std::function<LinkStatus(ReportLayer&)> call;
};

class RefusedValue : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedValue, NeverReachesTheTerminal) {
  RecordingTerminal terminal;
  ReportLayer layer(terminal);
  EXPECT_EQ(GetParam().call(layer), LinkStatus::refused);
  EXPECT_TRUE(terminal.written.empty());
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, RefusedValue,
    ::testing::Values(RefusedCase{"command_minus_1", [](ReportLayer& l) { return l.hid_send_command(-1); }},
                      RefusedCase{"command_256", [](ReportLayer& l) { return l.hid_send_command(256); }},
                      RefusedCase{"command_int_max",
                                  [](ReportLayer& l) { return l.hid_send_command(INT32_MAX); }},
                      RefusedCase{"word_minus_1", [](ReportLayer& l) { return l.hid_send_word(-1); }},
                      RefusedCase{"word_65536", [](ReportLayer& l) { return l.hid_send_word(65536); }},
                      RefusedCase{"word_int_min", [](ReportLayer& l) { return l.hid_send_word(INT32_MIN); }},
                      RefusedCase{"progtime_minus_1", [](ReportLayer& l) { return l.hid_setprogtime(-1); }},
                      RefusedCase{"progtime_256", [](ReportLayer& l) { return l.hid_setprogtime(256); }}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

struct SplitCase {
  std::int32_t address;
  AddressBytes expected;
};

class SplitAddress : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitAddress, GivesUpperHighAndLow) {
  const AddressBytes bytes = split_address(GetParam().address);
  EXPECT_EQ(bytes.upper, GetParam().expected.upper);
  EXPECT_EQ(bytes.high, GetParam().expected.high);
  EXPECT_EQ(bytes.low, GetParam().expected.low);
}

INSTANTIATE_TEST_SUITE_P(Addresses, SplitAddress,
                         ::testing::Values(SplitCase{0x0001A0, {0x00, 0x01, 0xA0}},
                                           SplitCase{0x300000, {0x30, 0x00, 0x00}}, SplitCase{0, {0, 0, 0}},
                                           SplitCase{0xFFFFFF, {0xFF, 0xFF, 0xFF}},
                                           SplitCase{0x1000000, {0x100, 0, 0}}));

}  // namespace
}  // namespace tessaflex::link
