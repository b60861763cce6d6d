// Pure text helpers of the Open and Save commands: the label path, the k figure, the split
// of a chosen path.
#include "hexfile/command_texts.h"

#include <array>
#include <charconv>

namespace tessaflex::hexfile {
namespace {

constexpr std::size_t kLabelCharacters = 70;

bool starts_code_point(char c) { return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u; }

}  // namespace

std::string shorten_path(std::string_view path) {
  // Walk back over the last 70 code points.
  std::size_t characters = 0;
  std::size_t start = path.size();
  while (start > 0 && characters < kLabelCharacters) {
    --start;
    while (start > 0 && !starts_code_point(path[start])) --start;
    ++characters;
  }
  if (start == 0) return std::string(path);
  return "... " + std::string(path.substr(start));
}

std::string k_figure(std::int64_t n) {
  // The general form with 15 significant digits drops trailing zeros and the point of a
  // whole number, and stays in plain notation down to 1 / 1024; to_chars is locale-free,
  // so the point is "." whatever the user's regional settings.
  std::array<char, 64> buffer{};
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                       static_cast<double>(n) / 1024.0, std::chars_format::general, 15);
  std::string text(buffer.data(), ec == std::errc() ? end : buffer.data());
  if (text.size() >= 2 && text[0] == '0' && text[1] == '.') text.erase(0, 1);
  return text.substr(0, 4);
}

std::string loaded_status_text(std::int64_t n) {
  return "Operation completed. Total " + std::to_string(n) + " (" + k_figure(n) + "K) program bytes loaded.";
}

ChosenPath split_chosen_path(std::string_view path) {
#ifdef _WIN32
  const std::size_t cut = path.find_last_of("/\\");
#else
  const std::size_t cut = path.find_last_of('/');
#endif
  if (cut == std::string_view::npos) return {std::string(), std::string(path)};
  return {std::string(path.substr(0, cut + 1)), std::string(path.substr(cut + 1))};
}

}  // namespace tessaflex::hexfile
