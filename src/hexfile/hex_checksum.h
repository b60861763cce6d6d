// The Intel HEX record checksum, shared by the reader and the writer.
#pragma once

#include <string>
#include <string_view>

namespace tessaflex::hexfile {

// The checksum that a record with this body (byte count, address, type and data, without
// the ":" and the checksum field) must carry, as two upper-case hex digits: the low byte of
// 256 minus the sum of the body's pairs. A pair that is not two upper-case hex digits adds
// -1; an odd last character is ignored. "00000001" gives "FF", "020000040030" gives "CA".
std::string hex_checksum(std::string_view body);

// The same checksum as a number 0..255, without building any text.
unsigned hex_checksum_value(std::string_view body);

}  // namespace tessaflex::hexfile
