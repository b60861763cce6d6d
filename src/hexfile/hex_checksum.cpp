// The Intel HEX record checksum, shared by the reader and the writer.
#include "hexfile/hex_checksum.h"

#include <cstdint>

#include "core/hex_text.h"

namespace tessaflex::hexfile {

unsigned hex_checksum_value(std::string_view body) {
  std::int64_t sum = 0;
  for (std::size_t i = 0; i + 1 < body.size(); i += 2) sum += core::hex_pair_value(body.data() + i);
  // 256 - (sum mod 256, sign of sum), low byte: the same as the low byte of -sum.
  const std::int64_t r = sum % 256;
  return static_cast<unsigned>((256 - r) & 0xFF);
}

std::string hex_checksum(std::string_view body) {
  const unsigned value = hex_checksum_value(body);
  return core::byte_to_hex(value);
}

}  // namespace tessaflex::hexfile
