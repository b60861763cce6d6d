// Formatting and strict parsing of upper-case hexadecimal text.
#include "core/hex_text.h"

#include <gtest/gtest.h>

namespace tessaflex::core {
namespace {

// The widths and leading zeros of in-range values show in every mismatch report; these are the edges.
TEST(HexText, FormattersKeepOnlyTheLowBitsOfTheTwosComplement) {
  const std::tuple<std::string (*)(std::int64_t), std::int64_t, const char*> cases[] = {
      {byte_to_hex, 4095, "FF"},  {byte_to_hex, -1, "FF"},       {word_to_hex, 70000, "1170"},
      {word_to_hex, -2, "FFFE"},  {addr_to_hex, -1, "FFFFFF"},   {addr_to_hex, INT32_MIN, "000000"},
      {byte_to_hex_h, 15, "0Fh"}, {word_to_hex_h, 416, "01A0h"}, {addr_to_hex_h, 16, "000010h"}};
  for (const auto& [format, value, expected] : cases) EXPECT_EQ(format(value), expected) << value;
}

TEST(HexText, ParsersAcceptExactlyTheirWidthInUpperCase) {
  // clang-format off
  const std::tuple<const char*, int, int, std::int32_t> cases[] = {  // text, byte, word, address
      {"0F", 15, -1, -1}, {"FF", 255, -1, -1}, {"0f", -1, -1, -1}, {"F", -1, -1, -1}, {" A", -1, -1, -1},
      {"", -1, -1, -1}, {"-1", -1, -1, -1}, {"01A0", -1, 416, -1}, {"01G0", -1, -1, -1}, {"01a0", -1, -1, -1},
      {"300000", -1, -1, 3145728}, {"FFFFFF", -1, -1, 16777215}, {"30000 ", -1, -1, -1}};
  // clang-format on
  for (const auto& [text, byte, word, addr] : cases)
    EXPECT_EQ(std::tuple(hex_to_byte(text), hex_to_word(text), hex_to_addr(text)),
              std::tuple(byte, word, addr))
        << text;
  for (int i = 0; i < 256; ++i) {
    std::string appended = "x";
    append_byte_hex(appended, static_cast<unsigned>(i));
    EXPECT_TRUE(hex_to_byte(byte_to_hex(i)) == i && appended == "x" + byte_to_hex(i)) << i;
  }
}

}  // namespace
}  // namespace tessaflex::core
