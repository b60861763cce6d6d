// The record checksum: known records, invalid pairs, odd lengths.
#include "hexfile/hex_checksum.h"

#include <gtest/gtest.h>

namespace tessaflex::hexfile {
namespace {

struct ChecksumCase {
  const char* body;
  const char* checksum;
};

class HexChecksum : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(HexChecksum, IsTheLowByteOfTheNegatedSum) {
  EXPECT_EQ(hex_checksum(GetParam().body), GetParam().checksum);
  EXPECT_EQ(hex_checksum_value(GetParam().body), std::stoul(GetParam().checksum, nullptr, 16));
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, HexChecksum,
    ::testing::Values(ChecksumCase{"00000001", "FF"},                 // end-of-file record
                      ChecksumCase{"020000040030", "CA"},             // configuration base
                      ChecksumCase{"0200000400F0", "0A"},             // EEPROM base
                      ChecksumCase{"020000040000", "FA"},             //
                      ChecksumCase{"0100000000FF", "00"},             // sum 256: 00, never 100
                      ChecksumCase{"", "00"},                         // nothing to add
                      ChecksumCase{"00000001F", "FF"},                // odd last character ignored
                      ChecksumCase{"0G", "01"},                       // a bad pair adds -1
                      ChecksumCase{"ff", "01"},                       // lower case is not hex
                      ChecksumCase{"0G0G0G", "03"},                   // -3
                      ChecksumCase{"0E0000000102030405060708090A0B0C0D0E", "89"}));

}  // namespace
}  // namespace tessaflex::hexfile
