// Reading numbers out of free text, and the one rounding rule for stored whole numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaflex::core {

// The leading number of a text, 0 when there is none. Blanks, tabs and line feeds are
// passed over wherever they stand ("1 024" is 1024). "&H" and "&O" (either case) start a
// hexadecimal or octal number; otherwise a sign, digits, a "." and digits, and an
// exponent (E or D) are read as far as they go ("32K" is 32, "1.5E3" is 1500). The
// decimal point is always ".", whatever the locale.
double text_to_number(std::string_view s);

// The nearest whole number, a half going to the even neighbour (2.5 -> 2, -2.5 -> -2).
double round_half_even(double x);

// round_half_even(x) as a 32-bit whole number; nothing when it does not fit (or x is
// not a number), so that no caller ever stores a silently wrapped value.
std::optional<std::int32_t> whole_number(double x);

// whole_number(text_to_number(s)).
std::optional<std::int32_t> text_to_whole_number(std::string_view s);

}  // namespace tessaflex::core
