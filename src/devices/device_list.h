// The chip models and algorithm texts read from the device list file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaflex::devices {

// The five algorithm kinds, in the order of the file's keywords and the model's fields.
enum class AlgorithmKind { erase, program, read, blankcheck, verify };
inline constexpr std::size_t kAlgorithmKinds = 5;
inline constexpr std::size_t kAlgorithmSlots = 21;  // numbers 0..20

// One model of the file; every field is the text read for it, case and blanks kept.
struct DeviceModel {
  std::string model;
  std::string flash;
  std::string eeprom;
  std::string configerased;
  std::string voltageseq;
  std::string progtime;
  std::string pagesize;
  // The algorithm texts themselves (not their numbers), by AlgorithmKind.
  std::array<std::string, kAlgorithmKinds> algorithms;

  const std::string& algorithm(AlgorithmKind kind) const {
    return algorithms[static_cast<std::size_t>(kind)];
  }
};

// Five tables of 21 algorithm texts, by AlgorithmKind and number.
using AlgorithmDefinitions = std::array<std::array<std::string, kAlgorithmSlots>, kAlgorithmKinds>;

struct DeviceList {
  AlgorithmDefinitions algorithm_definitions;
  // Entry 0 is hidden: it takes the key lines above the first "model:" line and is never
  // listed or selected. Entries 1..model_count are the models in file order.
  std::vector<DeviceModel> device_list = std::vector<DeviceModel>(1);
  std::int32_t model_count = 0;
};

// Reads a device list from the file's text. A UTF-8 byte-order mark at the start is
// skipped. CR LF, LF and lone CR all end a line. Lines without a blank, definition lines
// without a colon, and algorithm numbers outside 0..20 carry no value and are ignored. Models beyond any
// limit are kept; the reader checks no model limit (selecting a model does, see apply_selected_model).
DeviceList parse_device_list(std::string_view text);

// The outcome of reading the file beside the program.
struct DeviceListLoad {
  DeviceList list;
  std::string error;  // why the file could not be read; empty when it was
};

// Reads the file at path whole. A missing or unreadable file gives an error text naming
// the path and the reason; a file without models is not an error here (model_count 0).
DeviceListLoad load_device_list(const std::string& path);

// The number (1..model_count) of the first model called name, exactly as written; 0 for none.
std::int32_t model_number(const DeviceList& list, std::string_view name);

}  // namespace tessaflex::devices
