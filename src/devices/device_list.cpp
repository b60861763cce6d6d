// The chip models and algorithm texts read from the device list file.
#include "devices/device_list.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "core/ascii_case.h"
#include "core/decimal.h"

namespace tessaflex::devices {
namespace {

// Definition words, in the order they are tested, with the table each one fills.
constexpr std::array<std::pair<std::string_view, AlgorithmKind>, kAlgorithmKinds> kDefinitionWords = {{
    {"erasealgdef", AlgorithmKind::erase},
    {"programalgdef", AlgorithmKind::program},
    {"readalgdef", AlgorithmKind::read},
    {"blankcheckalgdef", AlgorithmKind::blankcheck},
    {"verifyalgdef", AlgorithmKind::verify},
}};

enum class Field { model, flash, eeprom, configerased, voltageseq, progtime, pagesize, algorithm };

struct Key {
  std::string_view word;  // up to and including the colon
  Field field;
  AlgorithmKind kind;  // for Field::algorithm
};

constexpr std::array<Key, 12> kKeys = {{
    {"model:", Field::model, AlgorithmKind::erase},
    {"flash:", Field::flash, AlgorithmKind::erase},
    {"eeprom:", Field::eeprom, AlgorithmKind::erase},
    {"configerased:", Field::configerased, AlgorithmKind::erase},
    {"voltageseq:", Field::voltageseq, AlgorithmKind::erase},
    {"progtime:", Field::progtime, AlgorithmKind::erase},
    {"pagesize:", Field::pagesize, AlgorithmKind::erase},
    {"erasealg:", Field::algorithm, AlgorithmKind::erase},
    {"programalg:", Field::algorithm, AlgorithmKind::program},
    {"readalg:", Field::algorithm, AlgorithmKind::read},
    {"blankcheckalg:", Field::algorithm, AlgorithmKind::blankcheck},
    {"verifyalg:", Field::algorithm, AlgorithmKind::verify},
}};

// The slot an algorithm number names: its nearest whole number, when that is 0..20.
std::optional<std::size_t> slot_number(std::string_view text) {
  const auto n = core::text_to_whole_number(text);
  if (!n || *n < 0 || *n >= static_cast<std::int32_t>(kAlgorithmSlots)) return std::nullopt;
  return static_cast<std::size_t>(*n);
}

std::string* field_of(DeviceModel& m, Field field) {
  switch (field) {
    case Field::model:
      return &m.model;
    case Field::flash:
      return &m.flash;
    case Field::eeprom:
      return &m.eeprom;
    case Field::configerased:
      return &m.configerased;
    case Field::voltageseq:
      return &m.voltageseq;
    case Field::progtime:
      return &m.progtime;
    case Field::pagesize:
      return &m.pagesize;
    case Field::algorithm:
      return nullptr;
  }
  return nullptr;
}

void handle_line(std::string_view line, DeviceList& out) {
  if (line.empty()) return;
  const auto blank = line.find(' ');
  // Every value starts after the first blank: a line without one carries nothing.
  if (blank == std::string_view::npos) return;
  const auto colon = line.find(':');
  const std::string lowered = core::ascii_lower(line);
  const std::string_view after_blank = line.substr(blank + 1);

  const std::string_view first_word = std::string_view(lowered).substr(0, blank);
  for (const auto& [word, kind] : kDefinitionWords) {
    if (first_word != word) continue;
    // Without a colon the definition's text has no start.
    if (colon == std::string_view::npos) return;
    const auto slot = slot_number(after_blank);
    if (!slot) return;
    // The character right after the colon is dropped, whatever it is.
    const std::string_view text = colon + 2 <= line.size() ? line.substr(colon + 2) : std::string_view();
    out.algorithm_definitions[static_cast<std::size_t>(kind)][*slot] = std::string(text);
    return;
  }

  if (colon == std::string_view::npos) return;
  const std::string_view head = std::string_view(lowered).substr(0, colon + 1);
  for (const Key& key : kKeys) {
    if (head != key.word) continue;
    if (key.field == Field::model) {
      out.device_list.emplace_back();
      ++out.model_count;
    }
    DeviceModel& model = out.device_list.back();
    if (key.field == Field::algorithm) {
      const auto slot = slot_number(after_blank);
      if (!slot) return;
      const auto kind = static_cast<std::size_t>(key.kind);
      model.algorithms[kind] = out.algorithm_definitions[kind][*slot];
    } else {
      *field_of(model, key.field) = std::string(after_blank);
    }
    return;
  }
}

}  // namespace

DeviceList parse_device_list(std::string_view text) {
  DeviceList out;
  // Windows editors save "UTF-8 with BOM"; left in place, the mark would hide the first
  // line's key and send that model's keys to the hidden entry 0.
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  std::size_t start = text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
  while (start < text.size()) {
    const auto end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      handle_line(text.substr(start), out);
      break;
    }
    handle_line(text.substr(start, end - start), out);
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return out;
}

DeviceListLoad load_device_list(const std::string& path) {
  DeviceListLoad load;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    load.error = "Cannot open the device list " + path + ": " + std::strerror(errno);
    return load;
  }
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad()) {
    load.error = "Cannot read the device list " + path + ".";
    return load;
  }
  load.list = parse_device_list(content.str());
  return load;
}

std::int32_t model_number(const DeviceList& list, std::string_view name) {
  for (std::int32_t i = 1; i <= list.model_count; ++i) {
    if (list.device_list[static_cast<std::size_t>(i)].model == name) return i;
  }
  return 0;
}

}  // namespace tessaflex::devices
