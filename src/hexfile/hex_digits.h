// Table lookups for upper-case hex digits, the inner loop of the HEX reader and writer.
#pragma once

#include <array>
#include <cstdint>

namespace tessaflex::hexfile::detail {

// Value of an upper-case hex digit, -1 for every other byte (lower case included), so that
// a pair is valid exactly when core::hex_to_byte accepts it.
inline constexpr std::array<std::int8_t, 256> kDigitValue = [] {
  std::array<std::int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c)
    table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - 'A' + 10);
  return table;
}();

inline constexpr std::array<char, 16> kUpperDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                      '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

// The value of the pair at p[0], p[1]: 0..255, or -1 when either is not an upper-case digit.
inline int pair_value(const char* p) {
  const int high = kDigitValue[static_cast<unsigned char>(p[0])];
  const int low = kDigitValue[static_cast<unsigned char>(p[1])];
  if ((high | low) < 0) return -1;
  return high * 16 + low;
}

}  // namespace tessaflex::hexfile::detail
