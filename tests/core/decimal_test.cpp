// Reading numbers from free text, and the half-to-even rounding of stored numbers.
#include "core/decimal.h"

#include <gtest/gtest.h>

#include <limits>

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
  const std::pair<double, double> cases[] = {{2.5, 2},    {3.5, 4},    {-2.5, -2}, {-3.5, -4},
                                             {2.4999, 2}, {2.5001, 3}, {-0.5, 0},  {1e15 + 0.5, 1e15}};
  for (const auto& [x, expected] : cases) EXPECT_EQ(round_half_even(x), expected) << x;
  EXPECT_EQ(std::tuple(whole_number(2147483647.4), whole_number(-2147483648.0)),
            std::tuple(INT32_MAX, INT32_MIN));
  for (double x : {2147483647.5, -2147483648.6, kInf, std::numeric_limits<double>::quiet_NaN()})
    EXPECT_FALSE(whole_number(x)) << x;
  EXPECT_EQ(std::tuple(text_to_whole_number("2.5"), text_to_whole_number("99999999999")),
            std::tuple(2, std::nullopt));
}

}  // namespace
}  // namespace tessaflex::core
