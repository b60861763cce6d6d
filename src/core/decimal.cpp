// Reading numbers out of free text, and the one rounding rule for stored whole numbers.
#include "core/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace tessaflex::core {
namespace {

bool is_skipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

double read_radix(std::string_view digits, int radix) {
  double value = 0;
  for (char c : digits) {
    int d = -1;
    if (is_digit(c))
      d = c - '0';
    else if (c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    if (d < 0 || d >= radix) break;
    value = value * radix + d;
  }
  return value;
}

// For a number in from_chars form (digits, an optional "." and digits, an optional "e",
// sign and digits) with a digit other than 0: the power of ten just above its leading
// digit, so 1 for 1..9.99, 0 for 0.1..0.999, -2 for 0.001..0.00999. Positive exactly when
// the value is at least 1. Exponents are held to a bound far beyond any double, so that
// a long run of exponent digits cannot overflow.
std::int64_t decimal_order(std::string_view number) {
  constexpr std::int64_t kExponentBound = 1'000'000'000'000'000;
  const auto e = number.find('e');
  const std::string_view mantissa = number.substr(0, e);
  std::int64_t exponent = 0;
  if (e != std::string_view::npos) {
    std::size_t i = e + 1;
    const bool negative = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    for (; i < number.size(); ++i) exponent = std::min(exponent * 10 + (number[i] - '0'), kExponentBound);
    if (negative) exponent = -exponent;
  }
  const auto point = mantissa.find('.');
  const auto integer_digits =
      static_cast<std::int64_t>(point == std::string_view::npos ? mantissa.size() : point);
  std::int64_t leading_zeros = 0;
  for (char c : mantissa) {
    if (c == '.') continue;
    if (c != '0') break;
    ++leading_zeros;
  }
  return integer_digits - leading_zeros + exponent;
}

// Reads sign, mantissa and exponent from a text that holds no skipped characters.
double read_decimal(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  std::string number;  // what std::from_chars accepts: digits, '.', 'e', exponent
  bool any_digit = false;
  while (i < s.size() && is_digit(s[i])) {
    number += s[i++];
    any_digit = true;
  }
  if (i < s.size() && s[i] == '.') {
    std::size_t j = i + 1;
    std::string fraction;
    while (j < s.size() && is_digit(s[j])) fraction += s[j++];
    if (!fraction.empty() || any_digit) {
      number += '.';
      number += fraction;
      any_digit = any_digit || !fraction.empty();
      i = j;
    }
  }
  if (!any_digit) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    const std::size_t first_digit = j;
    while (j < s.size() && is_digit(s[j])) exponent += s[j++];
    if (j > first_digit) number += exponent;  // an exponent letter without digits ends the number
  }

  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Too large or too small for a double. The value decides, not the exponent's sign:
    // "0.000...1" underflows without any exponent, "1000...0e-10" overflows with a
    // negative one.
    value = decimal_order(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

double text_to_number(std::string_view s) {
  std::string compact;
  compact.reserve(s.size());
  for (char c : s) {
    if (!is_skipped(c)) compact += c;
  }
  if (compact.size() >= 2 && compact[0] == '&') {
    const char radix = compact[1];
    if (radix == 'h' || radix == 'H') return read_radix(std::string_view(compact).substr(2), 16);
    if (radix == 'o' || radix == 'O') return read_radix(std::string_view(compact).substr(2), 8);
  }
  return read_decimal(compact);
}

double round_half_even(double x) {
  if (!std::isfinite(x)) return x;
  const double floor = std::floor(x);
  const double diff = x - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<std::int32_t> whole_number(double x) {
  const double r = round_half_even(x);
  if (!(r >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
        r <= static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(r);
}

std::optional<std::int32_t> text_to_whole_number(std::string_view s) {
  return whole_number(text_to_number(s));
}

}  // namespace tessaflex::core
