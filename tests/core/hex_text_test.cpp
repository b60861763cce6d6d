// Formatting and strict parsing of upper-case hexadecimal text.
#include "core/hex_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace tessaflex::core {
namespace {

struct FormatCase {
  const char* name;
  std::function<std::string(std::int64_t)> format;
  std::int64_t value;
  const char* expected;
};

TEST(HexText, FormattersKeepOnlyTheLowBitsOfTheTwosComplement) {
  const FormatCase cases[] = {
      {"byte zero", byte_to_hex, 0, "00"},
      {"byte below 16", byte_to_hex, 15, "0F"},
      {"byte wraps", byte_to_hex, 256, "00"},
      {"byte beyond width", byte_to_hex, 4095, "FF"},
      {"byte negative", byte_to_hex, -1, "FF"},
      {"word zero", word_to_hex, 0, "0000"},
      {"word", word_to_hex, 416, "01A0"},
      {"word wraps", word_to_hex, 65536, "0000"},
      {"word beyond width", word_to_hex, 70000, "1170"},
      {"word negative", word_to_hex, -2, "FFFE"},
      {"addr zero", addr_to_hex, 0, "000000"},
      {"addr", addr_to_hex, 3145728, "300000"},
      {"addr small", addr_to_hex, 16, "000010"},
      {"addr negative", addr_to_hex, -1, "FFFFFF"},
      {"addr of int32 min", addr_to_hex, INT32_MIN, "000000"},
      {"byte h", byte_to_hex_h, 15, "0Fh"},
      {"word h", word_to_hex_h, 416, "01A0h"},
      {"addr h", addr_to_hex_h, 3145728, "300000h"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.format(c.value), c.expected) << c.name;
}

struct ParseCase {
  const char* text;
  int byte;
  int word;
  std::int32_t addr;
};

TEST(HexText, ParsersAcceptExactlyTheirWidthInUpperCase) {
  const ParseCase cases[] = {
      {"0F", 15, -1, -1},
      {"FF", 255, -1, -1},
      {"0f", -1, -1, -1},
      {"F", -1, -1, -1},
      {" A", -1, -1, -1},
      {"", -1, -1, -1},
      {"0FF", -1, -1, -1},
      {"-1", -1, -1, -1},
      {"01A0", -1, 416, -1},
      {"2345", -1, 9029, -1},
      {"00FF", -1, 255, -1},
      {"01G0", -1, -1, -1},
      {"0x12", -1, -1, -1},
      {"01a0", -1, -1, -1},
      {"300000", -1, -1, 3145728},
      {"F00000", -1, -1, 15728640},
      {"FFFFFF", -1, -1, 16777215},
      {"30000 ", -1, -1, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hex_to_byte(c.text), c.byte) << '"' << c.text << '"';
    EXPECT_EQ(hex_to_word(c.text), c.word) << '"' << c.text << '"';
    EXPECT_EQ(hex_to_addr(c.text), c.addr) << '"' << c.text << '"';
  }
}

TEST(HexText, EveryByteRoundTripsAndAppendMatchesTheFormatter) {
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(hex_to_byte(byte_to_hex(i)), i);
    std::string appended;
    append_byte_hex(appended, static_cast<unsigned>(i));
    EXPECT_EQ(appended, byte_to_hex(i));
  }
}

}  // namespace
}  // namespace tessaflex::core
