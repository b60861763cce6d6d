// Reading numbers from free text, and the half-to-even rounding of stored numbers.
#include "core/decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tessaflex::core {
namespace {

TEST(Decimal, TextToNumberReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"3: begin", 3},  {"", 0},      {"1 024", 1024}, {"32K", 32},   {"1.5E3", 1500},
      {"x12", 0},       {"  -7", -7}, {"+.5", 0.5},    {"5.", 5},     {".", 0},
      {"-", 0},         {"1e", 1},    {"1e+", 1},      {"2D2", 200},  {"2.5d-1", 0.25},
      {"1\t2\n3", 123}, {"&H1F", 31}, {"&hff", 255},   {"&O17", 15},  {"&o8", 0},
      {"& H10", 16},    {"&HG", 0},   {"&X5", 0},      {"12abc", 12}, {"32768.5", 32768.5},
      {"0.000", 0},     {"1,5", 1},   {"\r5", 0},      {"1e-400", 0}, {"-1E-400", -0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(text_to_number(c.text), c.expected) << '"' << c.text << '"';
  EXPECT_TRUE(std::isinf(text_to_number("1e400")));
}

TEST(Decimal, OutOfRangeFollowsTheValueNotTheExponentSign) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::string tiny = "0." + std::string(329, '0') + "1";    // 1e-330
  const std::string huge = "1" + std::string(400, '0') + "e-10";  // 1e390
  const std::string huge_exponent = "1e" + std::string(40, '9');  // more digits than any int
  struct Case {
    std::string text;
    double expected;
  };
  const Case cases[] = {
      {tiny, 0},
      {"-" + tiny, -0.0},
      {huge, inf},
      {"-" + huge, -inf},
      {"0.0001e400", inf},
      {huge_exponent, inf},
      {"0.1e-" + std::string(40, '9'), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(text_to_number(c.text), c.expected) << c.text.substr(0, 20);
}

TEST(Decimal, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double x;
    double expected;
  };
  const Case cases[] = {{2.5, 2},    {3.5, 4},    {-2.5, -2}, {-3.5, -4}, {0.5, 0},  {1.5, 2},
                        {2.4999, 2}, {2.5001, 3}, {-0.4, 0},  {7, 7},     {-0.5, 0}, {1e15 + 0.5, 1e15}};
  for (const auto& c : cases) EXPECT_EQ(round_half_even(c.x), c.expected) << c.x;
}

TEST(Decimal, WholeNumberNeverWraps) {
  EXPECT_EQ(whole_number(2147483647.0), 2147483647);
  EXPECT_EQ(whole_number(-2147483648.0), INT32_MIN);
  EXPECT_EQ(whole_number(2147483647.4), 2147483647);
  EXPECT_FALSE(whole_number(2147483647.5));  // rounds to 2^31
  EXPECT_FALSE(whole_number(-2147483648.6));
  EXPECT_FALSE(whole_number(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(whole_number(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(text_to_whole_number("2.5"), 2);
  EXPECT_FALSE(text_to_whole_number("99999999999"));
}

}  // namespace
}  // namespace tessaflex::core
