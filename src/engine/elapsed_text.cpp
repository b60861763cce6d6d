// The elapsed seconds of a run as the result text shows them.
#include "engine/elapsed_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tessaflex::engine {

std::string elapsed_text(float seconds) {
  // Double arithmetic on the float value is exact here (24 bits times 100 fit in 53),
  // so the hundredths are truly rounded down and never carried into the next second.
  // The upper limit (about 31 years) only keeps the conversion defined.
  double e = static_cast<double>(seconds);
  if (!(e >= 0.0)) e = 0.0;  // also a NaN
  e = std::min(e, 1e9);
  const double whole = std::floor(e);
  const auto hundredths = static_cast<int>(std::floor((e - whole) * 100.0));
  std::string text = std::to_string(static_cast<std::int64_t>(whole));
  text += '.';
  text += static_cast<char>('0' + hundredths / 10);
  text += static_cast<char>('0' + hundredths % 10);
  return text;
}

}  // namespace tessaflex::engine
