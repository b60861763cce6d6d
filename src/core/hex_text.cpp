// Upper-case, zero-padded hexadecimal text and the strict parsers that read it back.
#include "core/hex_text.h"

namespace tessaflex::core {
namespace {

std::string fixed_width_hex(std::int64_t x, int digits) {
  // The 32-bit two's complement of x: only the low bits ever show.
  const auto bits = static_cast<std::uint32_t>(x);
  std::string out(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1, shift = 0; i >= 0; --i, shift += 4) {
    out[static_cast<std::size_t>(i)] = kUpperHexDigits[(bits >> shift) & 0xFu];
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

int hex_to_byte(std::string_view s) { return s.size() == 2 ? hex_pair_value(s.data()) : -1; }

int hex_to_word(std::string_view s) { return parse_fixed(s, 4); }
std::int32_t hex_to_addr(std::string_view s) { return parse_fixed(s, 6); }


}  // namespace tessaflex::core
