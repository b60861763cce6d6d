// The elapsed seconds of a run as the result text shows them.
#pragma once

#include <string>

namespace tessaflex::engine {

// Whole seconds, ".", and the hundredths as two digits, both rounded down from the
// single-precision value: 5.078125 gives "5.07", 3.99609375 gives "3.99", 12.5 gives
// "12.50". A negative value (a clock that went back) reads as "0.00".
std::string elapsed_text(float seconds);

}  // namespace tessaflex::engine
