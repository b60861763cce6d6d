// Upper-case, zero-padded hexadecimal text and the strict parsers that read it back.
#include "core/hex_text.h"

#include <array>

namespace tessaflex::core {
namespace {

constexpr std::array<char, 16> kDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                          '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

// Only upper-case digits count; everything else is -1.
constexpr int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string fixed_width_hex(std::int64_t x, int digits) {
  // The 32-bit two's complement of x: only the low bits ever show.
  const auto bits = static_cast<std::uint32_t>(x);
  std::string out(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1, shift = 0; i >= 0; --i, shift += 4) {
    out[static_cast<std::size_t>(i)] = kDigits[(bits >> shift) & 0xFu];
  }
  return out;
}

// Parses exactly `digits` upper-case digits, two at a time as the byte parser does.
std::int32_t parse_fixed(std::string_view s, std::size_t digits) {
  if (s.size() != digits) return -1;
  std::int32_t value = 0;
  for (std::size_t i = 0; i < digits; i += 2) {
    const int byte = hex_to_byte(s.substr(i, 2));
    if (byte < 0) return -1;
    value = value * 256 + byte;
  }
  return value;
}

}  // namespace

std::string byte_to_hex(std::int64_t x) { return fixed_width_hex(x, 2); }
std::string word_to_hex(std::int64_t x) { return fixed_width_hex(x, 4); }
std::string addr_to_hex(std::int64_t x) { return fixed_width_hex(x, 6); }
std::string byte_to_hex_h(std::int64_t x) { return byte_to_hex(x) + 'h'; }
std::string word_to_hex_h(std::int64_t x) { return word_to_hex(x) + 'h'; }
std::string addr_to_hex_h(std::int64_t x) { return addr_to_hex(x) + 'h'; }

int hex_to_byte(std::string_view s) {
  if (s.size() != 2) return -1;
  const int high = digit_value(s[0]);
  const int low = digit_value(s[1]);
  if (high < 0 || low < 0) return -1;
  return high * 16 + low;
}

int hex_to_word(std::string_view s) { return parse_fixed(s, 4); }
std::int32_t hex_to_addr(std::string_view s) { return parse_fixed(s, 6); }

void append_byte_hex(std::string& out, unsigned value) {
  out.push_back(kDigits[(value >> 4) & 0xFu]);
  out.push_back(kDigits[value & 0xFu]);
}

}  // namespace tessaflex::core
