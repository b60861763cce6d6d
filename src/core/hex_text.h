// Upper-case, zero-padded hexadecimal text and the strict parsers that read it back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessaflex::core {

// The low 8, 16 or 24 bits of x (taken from its 32-bit two's complement) as exactly
// 2, 4 or 6 upper-case digits: byte_to_hex(-1) is "FF", word_to_hex(70000) is "1170".
std::string byte_to_hex(std::int64_t x);
std::string word_to_hex(std::int64_t x);
std::string addr_to_hex(std::int64_t x);

// The same, followed by "h".
std::string byte_to_hex_h(std::int64_t x);
std::string word_to_hex_h(std::int64_t x);
std::string addr_to_hex_h(std::int64_t x);

// Exactly 2, 4 or 6 upper-case hexadecimal digits give their value; anything else,
// a blank, a sign, a prefix or a lower-case digit included, gives -1.
int hex_to_byte(std::string_view s);
int hex_to_word(std::string_view s);
std::int32_t hex_to_addr(std::string_view s);

// The digit tables behind every formatter and parser; inline because the HEX reader and
// writer run them once per byte of a file.
inline constexpr std::array<char, 16> kUpperHexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                         '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
inline constexpr std::array<std::int8_t, 256> kUpperHexValue = [] {
  std::array<std::int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - 'A' + 10);
  return table;
}();

// The value of the two characters at p (0..255), or -1 unless both are upper-case hex
// digits: the same verdict as hex_to_byte, without a length test.
inline int hex_pair_value(const char* p) {
  const int high = kUpperHexValue[static_cast<unsigned char>(p[0])];
  const int low = kUpperHexValue[static_cast<unsigned char>(p[1])];
  if ((high | low) < 0) return -1;
  return high * 16 + low;
}

// Appends the two digits of a byte 0..255 to out without building a temporary.
inline void append_byte_hex(std::string& out, unsigned value) {
  out.push_back(kUpperHexDigits[(value >> 4) & 0xFu]);
  out.push_back(kUpperHexDigits[value & 0xFu]);
}

}  // namespace tessaflex::core
