// The Intel HEX reader: reasons 1 to 13, line numbers, the address map, the warning.
#include "hexfile/hex_reader.h"

#include <gtest/gtest.h>

#include <random>

#include "core/hex_text.h"
#include "hex_test_support.h"

namespace tessaflex::hexfile {
namespace {

using testing::erased_images;
using testing::make_device;
using testing::record;

constexpr const char* kHeading = "Input program file in Intel Hex Format contains errors.";

struct Loaded {
  devices::MemoryImages images;
  std::int32_t flash_loaded_end = 0;
  HexReadResult result;
};

// Reads text into freshly erased images of a model with these sizes.
Loaded load(std::string_view text, std::int32_t flash_size = 32768, std::int32_t eeprom_size = 256) {
  Loaded loaded;
  loaded.images = erased_images(make_device(flash_size, eeprom_size));
  loaded.result = read_hex_text(text, loaded.images, loaded.flash_loaded_end);
  return loaded;
}

std::string lines(std::initializer_list<std::string> records, std::string_view end = "\r\n") {
  std::string text;
  for (const std::string& r : records) text.append(r).append(end);
  return text;
}

std::string error_text(std::int64_t line, HexReason reason) {
  return std::string(kHeading) + "\r\nLine number " + std::to_string(line) + std::string(reason_text(reason));
}

std::string warning_text(std::uint64_t n, std::string_view list) {
  return std::string("Warning!\r\n") + kHeading + "\r\nThere are data for " + std::to_string(n) +
         " addresses out of range:\r\n" + std::string(list) + "\r\n";
}

// ---- the reasons and their texts -------------------------------------------------------

TEST(HexReasonTexts, AreTheUsersTexts) {
  EXPECT_EQ(reason_text(HexReason::no_start_code), ": The record does not begin with ':' simbol.");
  EXPECT_EQ(reason_text(HexReason::too_short), ": The record is too short.");
  EXPECT_EQ(reason_text(HexReason::bad_checksum), ": Invalid 'checksum' field in the record.");
  EXPECT_EQ(reason_text(HexReason::bad_record_type), ": Invalid 'record type' field in the record.");
  EXPECT_EQ(reason_text(HexReason::bad_linear_address_record), ": Invalid '04 type' record.");
  EXPECT_EQ(reason_text(HexReason::bad_byte_count), ": Invalid 'number of bytes' field in the record.");
  EXPECT_EQ(reason_text(HexReason::bad_address), ": Invalid 'address' field in the record.");
  EXPECT_EQ(reason_text(HexReason::wrong_data_length),
            ": The record does not contain the specified number of bytes.");
  EXPECT_EQ(reason_text(HexReason::bad_data_byte), ": Invalid data byte in the record.");
  EXPECT_EQ(reason_text(HexReason::bad_segment_address_record), ": Invalid '02 type' record.");
  EXPECT_EQ(reason_text(HexReason::none), "");
}

struct RefusalCase {
  const char* name;
  std::string text;
  HexReason reason;
  std::int64_t line;
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class HexRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(HexRefusal, StopsWithItsReasonAndLine) {
  const RefusalCase& c = GetParam();
  const Loaded loaded = load(c.text);
  EXPECT_EQ(loaded.result.status, HexReadStatus::refused);
  EXPECT_EQ(loaded.result.reason, c.reason);
  EXPECT_EQ(loaded.result.line, c.line);
  ASSERT_EQ(loaded.result.messages.size(), 1u);
  EXPECT_EQ(loaded.result.messages[0].text, error_text(c.line, c.reason));
  EXPECT_EQ(loaded.result.messages[0].kind, core::BoxKind::error);
}

const std::string kGood = record("0400000001020304");

std::string with_good_first(const std::string& bad) { return lines({kGood, bad, record("00000001")}); }

INSTANTIATE_TEST_SUITE_P(
    Reason1NoStartCode, HexRefusal,
    ::testing::Values(RefusalCase{"letter", "X00000001FF", HexReason::no_start_code, 1},
                      RefusalCase{"leading_space", " :00000001FF", HexReason::no_start_code, 1},
                      RefusalCase{"leading_tab", "\t:00000001FF", HexReason::no_start_code, 1},
                      RefusalCase{"on_line_2", with_good_first("00000001FF"), HexReason::no_start_code, 2}),
    testing::ByName());

INSTANTIATE_TEST_SUITE_P(
    Reason2TooShort, HexRefusal,
    ::testing::Values(RefusalCase{"ten_characters", ":0000000FF", HexReason::too_short, 1},
                      RefusalCase{"colon_only", ":", HexReason::too_short, 1},
                      RefusalCase{"short_after_trailing_spaces", ":00000001F   ", HexReason::too_short, 1},
                      RefusalCase{"on_line_2", with_good_first(":000001FF"), HexReason::too_short, 2}),
    testing::ByName());

INSTANTIATE_TEST_SUITE_P(
    Reason3Checksum, HexRefusal,
    ::testing::Values(RefusalCase{"wrong_value", ":00000001FE", HexReason::bad_checksum, 1},
                      RefusalCase{"lower_case_checksum", ":0100000017e8", HexReason::bad_checksum, 1},
                      RefusalCase{"lower_case_data", ":01000000ab54", HexReason::bad_checksum, 1},
                      RefusalCase{"trailing_tab", ":00000001FF\t", HexReason::bad_checksum, 1},
                      RefusalCase{"on_line_2", with_good_first(":0400000001020304F1"), HexReason::bad_checksum, 2}),
    testing::ByName());

INSTANTIATE_TEST_SUITE_P(
    Reason4RecordType, HexRefusal,
    ::testing::Values(RefusalCase{"type_03", record("0400000300000000"), HexReason::bad_record_type, 1},
                      RefusalCase{"type_06", record("00000006"), HexReason::bad_record_type, 1},
                      RefusalCase{"type_FF", record("000000FF"), HexReason::bad_record_type, 1},
                      RefusalCase{"letter_beyond_F", record("0000000G"), HexReason::bad_record_type, 1},
                      RefusalCase{"on_line_2", with_good_first(record("00000003")), HexReason::bad_record_type, 2}),
    testing::ByName());

INSTANTIATE_TEST_SUITE_P(
    Reason5LinearAddress, HexRefusal,
    ::testing::Values(RefusalCase{"address_0010", record("020010040030"), HexReason::bad_linear_address_record, 1},
                      RefusalCase{"address_not_hex", record("02000G040030"), HexReason::bad_linear_address_record, 1},
                      RefusalCase{"six_digits", record("030000040030FF"), HexReason::bad_linear_address_record, 1},
                      RefusalCase{"two_digits", record("01000004FF"), HexReason::bad_linear_address_record, 1},
                      RefusalCase{"no_data", record("00000004"), HexReason::bad_linear_address_record, 1},
                      RefusalCase{"not_hex", record("0200000400G0"), HexReason::bad_linear_address_record, 1},
                      RefusalCase{"on_line_2", with_good_first(record("020010040000")),
                                  HexReason::bad_linear_address_record, 2}),
    testing::ByName());

INSTANTIATE_TEST_SUITE_P(
    Reason6ByteCount, HexRefusal,
    ::testing::Values(RefusalCase{"count_not_hex", record("0G00000001"), HexReason::bad_byte_count, 1},
                      RefusalCase{"count_and_address_bad", record("0G00G00001"), HexReason::bad_byte_count, 1}),
    testing::ByName());

INSTANTIATE_TEST_SUITE_P(
    Reason7Address, HexRefusal,
    ::testing::Values(RefusalCase{"address_not_hex", record("0100G00001"), HexReason::bad_address, 1},
                      RefusalCase{"address_and_length_bad", record("0200G00001"), HexReason::bad_address, 1}),
    testing::ByName());

INSTANTIATE_TEST_SUITE_P(
    Reason10DataLength, HexRefusal,
    ::testing::Values(RefusalCase{"count_4_with_3_bytes", record("04000000010203"), HexReason::wrong_data_length, 1},
                      RefusalCase{"count_0_with_data", record("0000000001"), HexReason::wrong_data_length, 1},
                      RefusalCase{"count_1_with_2_bytes", record("010000000102"), HexReason::wrong_data_length, 1},
                      RefusalCase{"odd_data_length", record("0200000001020"), HexReason::wrong_data_length, 1},
                      RefusalCase{"on_line_2", with_good_first(record("04001000010203")),
                                  HexReason::wrong_data_length, 2}),
    testing::ByName());

INSTANTIATE_TEST_SUITE_P(
    Reason11DataByte, HexRefusal,
    ::testing::Values(
        RefusalCase{"flash", record("0200000012G4"), HexReason::bad_data_byte, 1},
        RefusalCase{"configuration", lines({record("020000040030"), record("01000D00G1")}), HexReason::bad_data_byte, 2},
        RefusalCase{"eeprom", lines({record("0200000400F0"), record("0100FF00G1")}), HexReason::bad_data_byte, 2},
        RefusalCase{"id_location", lines({record("020000040020"), record("010007000G")}), HexReason::bad_data_byte, 2},
        RefusalCase{"device_id", lines({record("02000004003F"), record("01FFFE00G1")}), HexReason::bad_data_byte, 2}),
    testing::ByName());

INSTANTIATE_TEST_SUITE_P(
    Reason13SegmentAddress, HexRefusal,
    ::testing::Values(RefusalCase{"segment_1234", record("020000021234"), HexReason::bad_segment_address_record, 1},
                      RefusalCase{"two_digits_ending_0", record("0100000210"), HexReason::bad_segment_address_record, 1},
                      RefusalCase{"six_digits_ending_0", record("03000002123450"),
                                  HexReason::bad_segment_address_record, 1},
                      RefusalCase{"address_0010", record("020010021230"), HexReason::bad_segment_address_record, 1},
                      RefusalCase{"no_data", record("00000002"), HexReason::bad_segment_address_record, 1},
                      RefusalCase{"not_hex", record("0200000212G0"), HexReason::bad_segment_address_record, 1},
                      RefusalCase{"on_line_2", with_good_first(record("020000020001")),
                                  HexReason::bad_segment_address_record, 2}),
    testing::ByName());

// ---- records that are taken or skipped -------------------------------------------------

TEST(HexReader, EmptyFileIsAcceptedWithNoBox) {
  const Loaded loaded = load("");
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_TRUE(loaded.result.messages.empty());
  EXPECT_EQ(loaded.flash_loaded_end, 0);
  EXPECT_EQ(loaded.images.flash_image, erased_images(make_device(32768, 256)).flash_image);
}

TEST(HexReader, BlankAndCommentLinesOnlyAreAccepted) {
  const Loaded loaded = load("\r\n   \r\n; a comment\r\n;:garbage  \n\n\n\n\n\n  ");
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_TRUE(loaded.result.messages.empty());
}

TEST(HexReader, NoEndOfFileRecordReadsToTheLastLine) {
  const Loaded loaded = load(lines({record("020000001234"), record("020010005678")}));
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_EQ(loaded.images.flash_image[0x11], 0x78);
  EXPECT_EQ(loaded.flash_loaded_end, 0x12);
}

TEST(HexReader, NothingAfterTheEndOfFileRecordIsRead) {
  const Loaded loaded = load(lines({record("020000001234"), record("00000001"), "garbage", record("020010005678")}));
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_TRUE(loaded.result.messages.empty());
  EXPECT_EQ(loaded.images.flash_image[0x10], 0xFF);
  EXPECT_EQ(loaded.flash_loaded_end, 2);
}

TEST(HexReader, EndOfFileAndStartRecordsAreNotChecked) {
  // Type 01 and 05 data and byte counts are never looked at.
  const Loaded loaded = load(lines({record("FF000005G1G2"), record("020000001234"), record("07123401ZZ")}));
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_EQ(loaded.images.flash_image[1], 0x34);
}

TEST(HexReader, DataRecordWithoutDataIsSkippedWhateverItsCount) {
  const Loaded loaded = load(lines({record("10000000"), record("00000000"), record("GGGGGG00")}));
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_EQ(loaded.flash_loaded_end, 0);
}

TEST(HexReader, TrailingSpacesAreRemovedBeforeTheChecks) {
  const Loaded loaded = load(record("020000001234") + "    \r\n");
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_EQ(loaded.images.flash_image[0], 0x12);
}

// ---- line numbers -----------------------------------------------------------------------

struct SeparatorCase {
  const char* name;
  const char* separator;  // between a good record on line 1 and a bad one
  std::int64_t line;      // where the bad one is reported
};

class HexLineNumbers : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(HexLineNumbers, CountTheNormalisedLines) {
  const Loaded loaded = load(kGood + GetParam().separator + "X\r\n");
  EXPECT_EQ(loaded.result.reason, HexReason::no_start_code);
  EXPECT_EQ(loaded.result.line, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Separators, HexLineNumbers,
    ::testing::Values(SeparatorCase{"crlf", "\r\n", 2}, SeparatorCase{"lf", "\n", 2}, SeparatorCase{"cr", "\r", 2},
                      SeparatorCase{"crlf_one_blank_line_vanishes", "\r\n\r\n", 2},
                      SeparatorCase{"crlf_two_blank_lines_count_as_one", "\r\n\r\n\r\n", 3},
                      SeparatorCase{"crlf_three_blank_lines_count_as_one", "\r\n\r\n\r\n\r\n", 3},
                      SeparatorCase{"crlf_four_blank_lines_count_as_two", "\r\n\r\n\r\n\r\n\r\n", 4},
                      SeparatorCase{"lf_one_blank_line_vanishes", "\n\n", 2},
                      SeparatorCase{"lf_two_blank_lines_vanish", "\n\n\n", 2},
                      SeparatorCase{"lf_three_blank_lines_vanish", "\n\n\n\n", 2},
                      SeparatorCase{"lf_four_blank_lines_count_as_one", "\n\n\n\n\n", 3},
                      SeparatorCase{"lf_cr_is_one_break", "\n\r", 2},
                      SeparatorCase{"five_crs", "\r\r\r\r\r", 3},
                      SeparatorCase{"spaces_line_counts", "\r\n   \r\n", 3},
                      SeparatorCase{"comment_line_counts", "\r\n; comment\r\n", 3},
                      SeparatorCase{"comment_and_blank", "\n; comment\n\n\n\n\n", 4}),
    testing::ByName());

TEST(HexLineNumbers, CrLfFileWithOneBlankLineBeforeTheError) {
  // Records on physical lines 1 and 3 are lines 1 and 2.
  const Loaded loaded = load(kGood + "\r\n\r\n" + record("00000003") + "\r\n");
  EXPECT_EQ(loaded.result.line, 2);
  EXPECT_EQ(loaded.result.messages[0].text, error_text(2, HexReason::bad_record_type));
}

TEST(HexLineNumbers, LeadingLineEndsCount) {
  EXPECT_EQ(load("\r\nX").result.line, 2);
  EXPECT_EQ(load("\nX").result.line, 2);
  EXPECT_EQ(load("\n\n\n\n\nX").result.line, 3);
}

// The normalisation done literally, as strings: CR -> LF, LF LF -> LF twice, LF -> CR LF,
// one CR LF in front, split at CR LF; the index of the first line that starts with "X".
std::int64_t literal_line_of_x(std::string text) {
  for (char& c : text) if (c == '\r') c = '\n';
  for (int pass = 0; pass < 2; ++pass) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      out += text[i];
      if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    text = out;
  }
  std::string crlf = "\r\n";
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::int64_t index = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = crlf.find("\r\n", from);
    const std::string element = crlf.substr(from, at == std::string::npos ? std::string::npos : at - from);
    if (!element.empty() && element[0] == 'X') return index;
    if (at == std::string::npos) return -1;
    from = at + 2;
    ++index;
  }
}

TEST(HexLineNumbers, MatchTheLiteralNormalisationOnRandomFiles) {
  std::mt19937 random(20240605);
  const std::vector<std::string> pieces = {kGood, "", "   ", "; note", record("020000040000")};
  const std::vector<std::string> breaks = {"\r\n", "\n", "\r", "\n\r", "\r\r", "\n\n\n"};
  for (int round = 0; round < 500; ++round) {
    std::string text;
    const int n = static_cast<int>(random() % 12);
    for (int i = 0; i < n; ++i) {
      text += pieces[random() % pieces.size()];
      const int k = 1 + static_cast<int>(random() % 3);
      for (int j = 0; j < k; ++j) text += breaks[random() % breaks.size()];
    }
    text += "X";
    if (random() % 2) text += "\r\n";
    const Loaded loaded = load(text);
    ASSERT_EQ(loaded.result.reason, HexReason::no_start_code) << ::testing::PrintToString(text);
    ASSERT_EQ(loaded.result.line, literal_line_of_x(text)) << ::testing::PrintToString(text);
  }
}

// ---- the address map ---------------------------------------------------------------------

TEST(HexAddressMap, FlashFromZero) {
  const Loaded loaded = load(lines({record("04000000DEADBEEF"), record("027FFE001234")}));
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_EQ(loaded.images.flash_image[0], 0xDE);
  EXPECT_EQ(loaded.images.flash_image[3], 0xEF);
  EXPECT_EQ(loaded.images.flash_image[4], 0xFF);
  EXPECT_EQ(loaded.images.flash_image[0x7FFF], 0x34);
  EXPECT_EQ(loaded.flash_loaded_end, 0x8000);
}

TEST(HexAddressMap, ConfigurationBytesByEntry) {
  const Loaded loaded = load(lines({record("020000040030"), record("0100000011"), record("01000D0022"),
                                    record("01000E0033")}));
  EXPECT_EQ(loaded.images.config_image[0], 0x11);   // CONFIG1L
  EXPECT_EQ(loaded.images.config_image[13], 0x22);  // CONFIG7H
  EXPECT_EQ(loaded.result.out_of_range, 1u);
  ASSERT_EQ(loaded.result.messages.size(), 1u);
  EXPECT_EQ(loaded.result.messages[0].text, warning_text(1, "30000E."));
  EXPECT_EQ(loaded.result.messages[0].kind, core::BoxKind::information);
}

TEST(HexAddressMap, EepromUpToItsSize) {
  const Loaded loaded = load(lines({record("0200000400F0"), record("0100000055"), record("0100FF0066"),
                                    record("020100000102")}));
  EXPECT_EQ(loaded.images.eeprom_image[0], 0x55);
  EXPECT_EQ(loaded.images.eeprom_image[0xFF], 0x66);
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(2, "F00100, F00101."));
}

TEST(HexAddressMap, NoEepromListsEveryEepromAddress) {
  const Loaded loaded = load(lines({record("0200000400F0"), record("0100000055")}), 32768, 0);
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_TRUE(loaded.images.eeprom_image.empty());
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(1, "F00000."));
}

TEST(HexAddressMap, IdAndDeviceIdBytesAreDroppedUnlisted) {
  const Loaded loaded = load(lines({record("020000040020"), record("080000000102030405060708"),
                                    record("02000004003F"), record("02FFFE00AABB")}));
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_TRUE(loaded.result.messages.empty());
  EXPECT_EQ(loaded.images.flash_image, erased_images(make_device(32768, 256)).flash_image);
  EXPECT_EQ(loaded.images.config_image, erased_images(make_device(32768, 256)).config_image);
  EXPECT_EQ(loaded.flash_loaded_end, 0);
}

TEST(HexAddressMap, ByteNextToIdLocationsIsListed) {
  const Loaded loaded = load(lines({record("020000040020"), record("0100080001"), record("02000004003F"),
                                    record("01FFFD0001")}));
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(2, "200008, 3FFFFD."));
}

TEST(HexAddressMap, BothBasesAreAdded) {
  // Segment 1000 (0x10000) and linear 0001 (0x10000) together: 0x20000.
  const std::string text = lines({record("020000021000"), record("020000040001"), record("02000000ABCD")});
  const Loaded big = load(text, 0x40000, 256);
  EXPECT_TRUE(big.result.messages.empty());
  EXPECT_EQ(big.images.flash_image[0x20000], 0xAB);
  EXPECT_EQ(big.images.flash_image[0x20001], 0xCD);
  EXPECT_EQ(big.flash_loaded_end, 0x20002);
  const Loaded small = load(text);
  EXPECT_EQ(small.result.messages.at(0).text, warning_text(2, "020000, 020001."));
}

TEST(HexAddressMap, SegmentBaseIsSixteenTimesTheValue) {
  const Loaded loaded = load(lines({record("020000020120"), record("01000300EE")}));
  EXPECT_EQ(loaded.images.flash_image[0x1203], 0xEE);
}

TEST(HexAddressMap, BasesKeepTheirValuesUntilTheNextRecordOfTheirType) {
  const Loaded loaded = load(lines({record("020000040030"), record("020000020010"), record("0100000011"),
                                    record("020000040000"), record("0100000022")}));
  // 0x300000 + 0x100 is out of range; 0x100 is FLASH.
  EXPECT_EQ(loaded.images.flash_image[0x100], 0x22);
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(1, "300100."));
}

TEST(HexAddressMap, LargeBasesNeverWrapIntoFlash) {
  // Linear FFFF + segment 1000 is 0x100000000: 0 in 32 bits, but no FLASH byte.
  const Loaded loaded = load(lines({record("02000004FFFF"), record("020000021000"), record("0100000042")}));
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_EQ(loaded.images.flash_image[0], 0xFF);
  EXPECT_EQ(loaded.flash_loaded_end, 0);
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(1, "000000."));
}

TEST(HexAddressMap, HighestAddressesAreListedByTheirLow24Bits) {
  // 0xFFFF0000 + 0xFFF00 + 0xFFFF = 0x1000FFEFF.
  const Loaded loaded = load(lines({record("02000004FFFF"), record("02000002FFF0"), record("01FFFF00G1")}));
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(1, "0FFEFF."));
  const Loaded signed_range = load(lines({record("020000048000"), record("020000000102")}));
  EXPECT_EQ(signed_range.result.messages.at(0).text, warning_text(2, "000000, 000001."));
}

TEST(HexAddressMap, LaterRecordsOverwrite) {
  const Loaded loaded = load(lines({record("020000001111"), record("0100010022")}));
  EXPECT_EQ(loaded.images.flash_image[0], 0x11);
  EXPECT_EQ(loaded.images.flash_image[1], 0x22);
}

TEST(HexAddressMap, RecordAcrossTheEndOfFlash) {
  const Loaded loaded = load(record("047FFE0001020304") + "\r\n");
  EXPECT_EQ(loaded.images.flash_image[0x7FFE], 0x01);
  EXPECT_EQ(loaded.images.flash_image[0x7FFF], 0x02);
  EXPECT_EQ(loaded.flash_loaded_end, 0x8000);
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(2, "008000, 008001."));
}

TEST(HexAddressMap, BadCharactersAtOutOfRangeAddressesAreNotChecked) {
  const Loaded loaded = load(lines({record("020000040010"), record("02000000G1ZZ")}));
  EXPECT_TRUE(loaded.result.accepted());
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(2, "100000, 100001."));
}

// ---- what stays after a refusal -----------------------------------------------------------

TEST(HexReader, BytesBeforeTheBadRecordStay) {
  const Loaded loaded = load(lines({record("0100000011"), record("0100010022"), record("0100020033"),
                                    record("0100030044"), record("00000003")}));
  EXPECT_EQ(loaded.result.status, HexReadStatus::refused);
  EXPECT_EQ(loaded.result.line, 5);
  EXPECT_EQ(loaded.images.flash_image[3], 0x44);
  EXPECT_EQ(loaded.flash_loaded_end, 4);
}

TEST(HexReader, BytesOfTheBadRecordBeforeItsBadByteStay) {
  const Loaded loaded = load(record("030010001122G3") + "\r\n");
  EXPECT_EQ(loaded.result.reason, HexReason::bad_data_byte);
  EXPECT_EQ(loaded.images.flash_image[0x10], 0x11);
  EXPECT_EQ(loaded.images.flash_image[0x11], 0x22);
  EXPECT_EQ(loaded.images.flash_image[0x12], 0xFF);
  EXPECT_EQ(loaded.flash_loaded_end, 0x12);
}

TEST(HexReader, RefusalShowsOnlyTheErrorBox) {
  const Loaded loaded = load(lines({record("020000040010"), record("0100000001"), record("00000003")}));
  EXPECT_EQ(loaded.result.status, HexReadStatus::refused);
  ASSERT_EQ(loaded.result.messages.size(), 1u);
  EXPECT_EQ(loaded.result.messages[0].kind, core::BoxKind::error);
}

// ---- flash_loaded_end ------------------------------------------------------------------------

TEST(HexFlashLoadedEnd, IsTheHighestAddressPlusOne) {
  std::string text = record("020000040000") + "\r\n";
  for (int a = 0x100; a < 0x110; a += 4) text += record("04" + core::word_to_hex(a) + "0001020304") + "\r\n";
  EXPECT_EQ(load(text).flash_loaded_end, 0x110);
}

TEST(HexFlashLoadedEnd, LowAndHighBlocks) {
  std::string text;
  for (int a = 0; a < 0x100; a += 16) text += record("10" + core::word_to_hex(a) + "00" + std::string(32, 'A')) + "\n";
  for (int a = 0x7FF0; a < 0x8000; a += 16) text += record("10" + core::word_to_hex(a) + "00" + std::string(32, 'B')) + "\n";
  EXPECT_EQ(load(text).flash_loaded_end, 32768);
}

TEST(HexFlashLoadedEnd, NeverLowered) {
  devices::MemoryImages images = erased_images(make_device(32768, 256));
  std::int32_t end = 500;
  EXPECT_TRUE(read_hex_text(record("0100100001"), images, end).accepted());
  EXPECT_EQ(end, 500);
  EXPECT_TRUE(read_hex_text(record("0101F40001"), images, end).accepted());
  EXPECT_EQ(end, 501);
}

TEST(HexFlashLoadedEnd, ConfigurationAndEepromLeaveItAlone) {
  const Loaded loaded = load(lines({record("020000040030"), record("0100000011"), record("0200000400F0"),
                                    record("0100000022")}));
  EXPECT_EQ(loaded.flash_loaded_end, 0);
}

// ---- the out-of-range warning -------------------------------------------------------------------

// n out-of-range bytes at 0x00A000 and up (beyond a 32 KB FLASH), 16 per record.
std::string out_of_range_file(int n) {
  std::string text;
  for (int a = 0; a < n; a += 16) {
    const int count = std::min(16, n - a);
    text += record(core::byte_to_hex(count) + core::word_to_hex(0xA000 + a) + "00" + std::string(2u * count, '5')) +
            "\r\n";
  }
  return text;
}

std::string entries(int from, int to) {  // "00A0xx, " for from..to
  std::string out;
  for (int i = from; i <= to; ++i) out += core::addr_to_hex(0xA000 + i) + ", ";
  return out;
}

TEST(HexOutOfRange, TwentyFourAreAllListed) {
  const Loaded loaded = load(out_of_range_file(24));
  const std::string list = entries(0, 23);
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(24, list.substr(0, list.size() - 2) + "."));
}

TEST(HexOutOfRange, TwentyFiveShowFirstSixteenThenLastEight) {
  const Loaded loaded = load(out_of_range_file(25));
  const std::string list = entries(0, 15) + "..., " + entries(17, 24);
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(25, list.substr(0, list.size() - 2) + "."));
  EXPECT_EQ(loaded.result.messages[0].text.find("00A010"), std::string::npos);  // the 17th
}

TEST(HexOutOfRange, ThirtyBeyondA32KFlash) {
  const Loaded loaded = load(out_of_range_file(30));
  EXPECT_EQ(loaded.result.messages.at(0).text,
            warning_text(30, "00A000, 00A001, 00A002, 00A003, 00A004, 00A005, 00A006, 00A007, 00A008, "
                             "00A009, 00A00A, 00A00B, 00A00C, 00A00D, 00A00E, 00A00F, ..., 00A016, 00A017, "
                             "00A018, 00A019, 00A01A, 00A01B, 00A01C, 00A01D."));
  EXPECT_TRUE(loaded.result.accepted());
}

TEST(HexOutOfRange, SixteenAndSeventeen) {
  std::string sixteen = entries(0, 15);
  EXPECT_EQ(load(out_of_range_file(16)).result.messages.at(0).text,
            warning_text(16, sixteen.substr(0, sixteen.size() - 2) + "."));
  std::string seventeen = entries(0, 16);
  EXPECT_EQ(load(out_of_range_file(17)).result.messages.at(0).text,
            warning_text(17, seventeen.substr(0, seventeen.size() - 2) + "."));
}

TEST(HexOutOfRange, RepeatedAddressesCountEachTime) {
  const Loaded loaded = load(lines({record("01A0000001"), record("01A0000002"), record("01A0000003")}));
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(3, "00A000, 00A000, 00A000."));
}

TEST(HexOutOfRange, MixedRecordsKeepTheirOrder) {
  // A record across the FLASH end lists its tail between out-of-range records before and after.
  const Loaded loaded = load(lines({record("01900000AA"), record("027FFF000102"), record("01900100BB")}));
  EXPECT_EQ(loaded.result.messages.at(0).text, warning_text(3, "009000, 008000, 009001."));
}

TEST(HexOutOfRange, MillionsOfEntriesKeepAShortBox) {
  // 2^16 records of 16 bytes at 0x100000 and up: 1,048,576 out-of-range bytes.
  std::string text = record("020000040010") + "\r\n";
  for (int block = 0; block < 16; ++block) {
    text += record("02000004" + core::word_to_hex(0x10 + block)) + "\r\n";
    for (int a = 0; a < 65536; a += 16)
      text += record("10" + core::word_to_hex(a) + "00" + "000102030405060708090A0B0C0D0E0F") + "\r\n";
  }
  const Loaded loaded = load(text);
  EXPECT_EQ(loaded.result.out_of_range, 1048576u);
  const std::string& box = loaded.result.messages.at(0).text;
  EXPECT_NE(box.find("There are data for 1048576 addresses out of range:"), std::string::npos);
  EXPECT_NE(box.find("\r\n100000, 100001, "), std::string::npos);
  EXPECT_NE(box.find("10000F, ..., 1FFFF8, "), std::string::npos);
  EXPECT_NE(box.find("1FFFFF.\r\n"), std::string::npos);
  EXPECT_LT(box.size(), 400u);
}

// ---- reading from the file system ---------------------------------------------------------------

TEST(HexReadFile, MissingFileIsUnreadableWithABox) {
  LocalFileAccess files;
  devices::MemoryImages images = erased_images(make_device(32768, 256));
  std::int32_t end = 0;
  const HexReadResult result = read_hex_file("/nonexistent/folder/none.hex", files, images, end);
  EXPECT_EQ(result.status, HexReadStatus::unreadable);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].kind, core::BoxKind::error);
  EXPECT_EQ(result.messages[0].text.rfind("The file /nonexistent/folder/none.hex cannot be read:\r\n", 0), 0u);
  EXPECT_GT(result.messages[0].text.size(), 58u);  // and the system's reason
}

TEST(HexReadFile, FolderIsUnreadable) {
  LocalFileAccess files;
  devices::MemoryImages images = erased_images(make_device(32768, 256));
  std::int32_t end = 0;
  EXPECT_EQ(read_hex_file(TESSAFLEX_FIXTURES_DIR, files, images, end).status, HexReadStatus::unreadable);
}

}  // namespace
}  // namespace tessaflex::hexfile
