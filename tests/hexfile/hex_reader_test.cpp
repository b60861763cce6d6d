// The Intel HEX reader: reasons 1 to 13, line numbers, the address map, the warning.
#include "hexfile/hex_reader.h"

#include <sstream>

#include "hex_test_support.h"

namespace tessaflex::hexfile {
namespace {

const std::string kHeading = "Input program file in Intel Hex Format contains errors.";

// Reads text into erased images of a model (32 KB FLASH, 256-byte EEPROM unless given, erased
// configuration EE), checks the box and sums the outcome up: the changed bytes as "<address>=<byte>"
// (hex), "| end <flash_loaded_end>" (hex), then "| reason <n>, line <n>" or "| <count>: <list>".
std::string outcome(std::string_view text, std::int32_t flash_size = 32768, std::int32_t eeprom_size = 256) {
  testing::Config config;
  config.fill(0xEE);
  const devices::MemoryImages erased = testing::erased_images(flash_size, eeprom_size, config);
  devices::MemoryImages images = erased;
  std::int32_t end = 0;
  const HexReadResult result = read_hex_text(text, images, end);
  std::ostringstream out;
  out << std::uppercase << std::hex;
  for (const auto& [address, value] : testing::changed_bytes(images, erased))
    out << address << "=" << +value << " ";
  out << "| end " << end << std::dec;
  std::string box;  // the box expected
  if (result.status == HexReadStatus::refused) {
    out << " | reason " << static_cast<int>(result.reason) << ", line " << result.line;
    box =
        kHeading + "\r\nLine number " + std::to_string(result.line) + std::string(reason_text(result.reason));
  } else if (result.out_of_range > 0 && !result.messages.empty()) {
    const std::string list = result.messages[0].text.substr(result.messages[0].text.find(":\r\n") + 3);
    out << " | " << result.out_of_range << ": " << list.substr(0, list.size() - 2);
    box = "Warning!\r\n" + kHeading + "\r\nThere are data for " + std::to_string(result.out_of_range) +
          " addresses out of range:\r\n" + list;
  }
  EXPECT_EQ(result.messages.size(), box.empty() ? 0u : 1u);
  for (const HexMessage& message : result.messages)
    EXPECT_EQ(std::pair(message.text, message.kind),
              std::pair(box, result.accepted() ? core::BoxKind::information : core::BoxKind::error));
  return out.str();
}

// n out-of-range bytes from 0x00A000, beyond a 32 KB FLASH, in records of per; and their outcome,
// the entries with "..., " after the one at cut and going on at resume.
std::string out_of_range_file(int n, int per = 16) { return testing::records(0xA000, n, per, 'G'); }
std::string listed(int n, int cut = -1, int resume = 0) {
  std::string out = "| end 0 | " + std::to_string(n) + ": ";
  for (int i = 0; i < n; i = (i == cut ? resume : i + 1))
    out += core::addr_to_hex(0xA000 + i) + (i == cut ? ", ..., " : ", ");
  return out.substr(0, out.size() - 2) + ".";
}

// Each row: what it tries, the file's text, its outcome.
TEST(HexReader, Reads) {
  // clang-format off
  const std::tuple<const char*, std::string, std::string> cases[] = {
    // Refused, with the first failure's reason and line; bytes stored before it stay.
    {"r1_letter", "X00000001FF", "| end 0 | reason 1, line 1"},
    {"r1_leading_space", " :00000001FF", "| end 0 | reason 1, line 1"},
    {"r2_ten_characters", ":0000000FF", "| end 0 | reason 2, line 1"},
    {"r2_short_once_trailing_spaces_go", ":00000001F   ", "| end 0 | reason 2, line 1"},
    {"r3_wrong_value", ":00000001FE", "| end 0 | reason 3, line 1"},
    {"r3_lower_case_checksum", ":0100000017e8", "| end 0 | reason 3, line 1"},
    {"r3_trailing_tab_is_kept", ":00000001FF\t", "| end 0 | reason 3, line 1"},
    {"r4_type_03", ":0400000300000000F9", "| end 0 | reason 4, line 1"},
    {"r4_letter_beyond_F", ":0000000G01", "| end 0 | reason 4, line 1"},
    {"r5_address_0010", ":020010040030BA", "| end 0 | reason 5, line 1"},
    {"r5_six_digits", ":030000040030FFCA", "| end 0 | reason 5, line 1"},
    {"r6_before_a_bad_address", ":0G00G0000101", "| end 0 | reason 6, line 1"},
    {"r7_before_a_wrong_length", ":0200G00001FE", "| end 0 | reason 7, line 1"},
    {"r10_count_4_with_3_bytes", ":04000000010203F6", "| end 0 | reason 10, line 1"},
    {"r10_odd_data_length", ":0200000001020FB", "| end 0 | reason 10, line 1"},
    {"r11_flash_after_its_good_bytes", ":030010001122G3BB", "10=11 11=22 | end 12 | reason 11, line 1"},
    {"r11_lower_case_that_passed_the_checksum", ":01000000ab00", "| end 0 | reason 11, line 1"},
    {"r11_id_location", ":020000040020DA\n:010007000GF9", "| end 0 | reason 11, line 2"},
    {"r13_segment_1234", ":020000021234B6", "| end 0 | reason 13, line 1"},
    {"r13_two_digits_ending_0", ":0100000210ED", "| end 0 | reason 13, line 1"},
    {"r13_address_0010", ":020010021230AA", "| end 0 | reason 13, line 1"},
    {"first_failure_only", ":00000003FD\n:00000001FE\nX", "| end 0 | reason 4, line 1"},
    {"bytes_stored_before_it_stay", ":0100000011EE\n:0100030044B8\n:0200000003FB",
         "0=11 3=44 | end 4 | reason 10, line 3"},
    // Line numbers: a run of k line-end characters counts as ceil(k / 4) lines.
    {"cr", ":00000005FB\rX", "| end 0 | reason 1, line 2"},
    {"crlf_two_blank_lines_count_as_one", ":00000005FB\r\n\r\n\r\nX", "| end 0 | reason 1, line 3"},
    {"lf_three_blank_lines_vanish", ":00000005FB\n\n\n\nX", "| end 0 | reason 1, line 2"},
    {"lf_four_blank_lines_count_as_one", ":00000005FB\n\n\n\n\nX", "| end 0 | reason 1, line 3"},
    {"comment_and_space_lines_count", ":00000005FB\n; note\n   \nX", "| end 0 | reason 1, line 4"},
    {"five_leading_lfs", "\n\n\n\n\nX", "| end 0 | reason 1, line 3"},
    // Accepted.
    {"empty_file", "", "| end 0"},
    {"blank_and_comment_lines_only", "\r\n   \r\n; a comment\r\n;:garbage  \n\n\n\n\n\n  ", "| end 0"},
    {"no_end_of_file_record", ":020000001234B8\n:010010005699", "0=12 1=34 10=56 | end 11"},
    {"nothing_after_end_of_file", ":020000001234B8\n:00000001FF\nX\n:010010005699", "0=12 1=34 | end 2"},
    {"end_and_start_records_unchecked", ":FF000005G1G2FE\n:0100000012ED\n:07123401ZZB3", "0=12 | end 1"},
    {"data_records_without_data_skipped", ":10000000F0\n:0000000000\n:GGGGGG0003", "| end 0"},
    // The address map.
    {"end_is_highest_flash_address_plus_1", ":0101000011ED\n:01010F0022CD\n:0100200033AC",
         "20=33 100=11 10F=22 | end 110"},
    {"record_across_the_end_of_flash", ":047FFE000102030475",
         "7FFE=1 7FFF=2 | end 8000 | 2: 008000, 008001."},
    {"configuration_entries_1_and_14", ":020000040030CA\n:0100000011EE\n:02000D0022339C",
         "300000=11 30000D=22 | end 0 | 1: 30000E."},
    {"eeprom_up_to_its_size", ":0200000400F00A\n:0100000055AA\n:0300FE006677889A",
         "F00000=55 F000FE=66 F000FF=77 | end 0 | 1: F00100."},
    {"id_and_device_id_dropped_unlisted",
         ":020000040020DA\n:080000000102030405060708D4\n:02000004003FBB\n:02FFFE00AABB9C", "| end 0"},
    {"next_to_id_and_device_id_listed",
         ":020000040020DA\n:020007000102F4\n:02000004003FBB\n:02FFFD000102FF",
         "| end 0 | 2: 200008, 3FFFFD."},
    {"both_bases_added", ":020000021000EC\n:020000040001F9\n:02000000ABCD86",
         "| end 0 | 2: 020000, 020001."},
    {"largest_bases_never_wrap_to_flash", ":02000004FFFFFC\n:020000021000EC\n:0100000042BD",
         "| end 0 | 1: 000000."},
    {"listed_by_low_24_bits_unchecked", ":02000004FFFFFC\n:02000002FFF00D\n:01FFFF00G102",
         "| end 0 | 1: 0FFEFF."},
    // The out-of-range list: up to 24 entries, else the first 16, "...", the last 8.
    {"twenty_four_all_listed", out_of_range_file(24), listed(24)},
    {"twenty_five_hide_the_17th", out_of_range_file(25), listed(25, 15, 17)},
    {"forty_in_one_record", out_of_range_file(40, 40), listed(40, 15, 32)},
    {"repeated_address_each_time", ":01A00000015E\n:01A00000025D\n:01A00000035C",
         "| end 0 | 3: 00A000, 00A000, 00A000."},
    {"order_kept_around_the_end_of_flash", ":01900000AAC5\n:027FFF0001027D\n:01900100BBB3",
         "7FFF=1 | end 8000 | 3: 009000, 008000, 009001."}};
  // clang-format on
  for (const auto& [name, text, expected] : cases) EXPECT_EQ(outcome(text), expected) << name;
}

TEST(HexReader, ModelSizesDecideFlashAndEeprom) {
  EXPECT_EQ(outcome(":020000021000EC\n:020000040001F9\n:02000000ABCD86", 0x40000),
            "20000=AB 20001=CD | end 20002");
  EXPECT_EQ(outcome(":0200000400F00A\n:0100000055AA", 32768, 0), "| end 0 | 1: F00000.");
}

TEST(HexReader, MillionsOfOutOfRangeBytesKeepAShortBox) {
  std::string text;  // 2^16 records of 16 bytes from 0x100000: 1,048,576 bytes out of range
  for (int block = 0x10; block < 0x20; ++block)
    text +=
        testing::record("02000004" + core::word_to_hex(block)) + "\r\n" + testing::records(0, 65536, 16, '7');
  const std::string summary = outcome(text);
  EXPECT_EQ(summary.substr(0, 37), "| end 0 | 1048576: 100000, 100001, 10");
  EXPECT_NE(summary.find(", 10000F, ..., 1FFFF8, "), std::string::npos);
  EXPECT_EQ(summary.substr(summary.size() - 9), ", 1FFFFF.");
  EXPECT_LT(summary.size(), 250u);
}

}  // namespace
}  // namespace tessaflex::hexfile
