// Reading numbers out of free text, and the one rounding rule for stored whole numbers.
#include "core/decimal.h"

#include <charconv>
#include <cmath>
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
    if (is_digit(c)) d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0 || d >= radix) break;
    value = value * radix + d;
  }
  return value;
}

// Reads sign, mantissa and exponent from a text that holds no skipped characters.
double read_decimal(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  std::string number;  // what std::from_chars accepts: digits, '.', 'e', exponent
  bool any_digit = false;
  while (i < s.size() && is_digit(s[i])) { number += s[i++]; any_digit = true; }
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
    // Either an underflow to zero or an overflow: tell them apart by the exponent's sign.
    const auto e = number.find('e');
    const bool tiny = e != std::string::npos && e + 1 < number.size() && number[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
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
