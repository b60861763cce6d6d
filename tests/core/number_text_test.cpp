// Numbers read from free text, the half-to-even rounding of stored numbers, and strict hexadecimal text.
#include <gtest/gtest.h>

#include <limits>

#include "core/decimal.h"
#include "core/hex_text.h"

namespace tessaflex::core {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Decimal, TextToNumberReadsTheLeadingNumber) {
  // Out of range follows the value, not the exponent's sign.
  const std::string tiny = "0." + std::string(329, '0') + "1", huge = "1" + std::string(400, '0') + "e-10";
  // clang-format off
  const std::pair<std::string, double> cases[] = {
      {"3: begin", 3}, {"", 0}, {"1 024", 1024}, {"1.5E3", 1500}, {"x12", 0}, {"  -7", -7}, {"+.5", 0.5}, {"5.", 5},
      {".", 0}, {"-", 0}, {"1e+", 1}, {"2D2", 200}, {"2.5d-1", 0.25}, {"1\t2\n3", 123}, {"&hff", 255}, {"&O17", 15},
      {"&o8", 0}, {"& H10", 16}, {"&HG", 0}, {"&X5", 0}, {"1,5", 1}, {"\r5", 0}, {"1e-400", 0}, {"1e400", kInf},
      {tiny, 0}, {huge, kInf}, {"-" + huge, -kInf}, {"0.0001e400", kInf}, {"1e" + std::string(40, '9'), kInf},
      {"0.1e-" + std::string(40, '9'), 0}};
  // clang-format on
  for (const auto& [text, expected] : cases) EXPECT_EQ(text_to_number(text), expected) << text.substr(0, 20);
}

TEST(Decimal, HalvesGoToTheEvenNeighbourAndWholeNumbersNeverWrap) {
  // clang-format off
  const std::pair<double, std::optional<std::int32_t>> cases[] = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {2.5001, 3}, {-0.5, 0}, {2147483647.4, INT32_MAX},
      {-2147483648.0, INT32_MIN}, {2147483647.5, {}}, {-2147483648.6, {}}, {kInf, {}}, {kInf - kInf, {}}};
  // clang-format on
  for (const auto& [x, expected] : cases) EXPECT_EQ(whole_number(x), expected) << x;
  EXPECT_EQ(round_half_even(1e15 + 0.5), 1e15);
}

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
  for (const auto& [hex, b, w, a] : cases)
    EXPECT_EQ(std::tuple(hex_to_byte(hex), hex_to_word(hex), hex_to_addr(hex)), std::tuple(b, w, a)) << hex;
  std::string appended;
  for (unsigned i = 0; i < 256; ++i) append_byte_hex(appended, i);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(hex_to_byte(appended.substr(2 * std::size_t(i), 2)), i);
}

}  // namespace
}  // namespace tessaflex::core
