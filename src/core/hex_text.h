// Upper-case, zero-padded hexadecimal text and the strict parsers that read it back.
#pragma once

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

// Appends the two digits of a byte 0..255 to out without building a temporary;
// the fast path of the HEX writer and the tables.
void append_byte_hex(std::string& out, unsigned value);

}  // namespace tessaflex::core
