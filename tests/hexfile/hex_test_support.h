// Helpers shared by the HEX tests: models, records, peer tools and a host that logs order.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "devices/current_device.h"
#include "devices/memory_images.h"
#include "support/recording_host.h"

namespace tessaflex::testing {

// A model with these sizes and erased configuration values (index 0 is CONFIG1L).
devices::CurrentDevice make_device(std::int32_t flash_size, std::int32_t eeprom_size,
                                   std::array<std::int32_t, devices::kConfigBytes> configerased = {});

// Images sized and erased for device.
devices::MemoryImages erased_images(const devices::CurrentDevice& device);

// ":" + body + its checksum: a record that always passes the checksum test, whatever
// the body holds.
std::string record(std::string_view body);

// Address -> byte, as a peer tool sees a HEX file.
using ByteMap = std::map<std::uint64_t, std::uint8_t>;

// What the images must read back as from a file our writer wrote: FLASH and EEPROM up to
// their used lengths, and the 14 configuration bytes.
ByteMap expected_bytes(const devices::MemoryImages& images);

// The bytes that Python's intelhex (/usr/bin/python3, Debian python3-intelhex) reads from
// the file, through tests/hexfile/intelhex_dump.py. Fails the test when the tool fails.
ByteMap intelhex_bytes(const std::string& path);

// The bytes that srec_cat (Debian srecord) reads from the file, converted by it to
// Motorola S3 records and parsed here. Fails the test when the tool fails.
ByteMap srec_cat_bytes(const std::string& path);

// Runs program with arguments; its standard output, or fails the test and gives "".
std::string run_tool(const std::string& program, const std::vector<std::string>& arguments);

// A recording host that also logs every call in one ordered list: "disable", "enable",
// "status:<text>", "box:<kind>:<text>", "redraw", "label:<text>".
class SequenceHost : public RecordingHost {
 public:
  void set_status(std::string_view text) override;
  void disable() override;
  void enable() override;
  void updatedisplay() override;
  core::BoxAnswer message_box(std::string_view text, core::BoxKind kind, std::string_view caption) override;
  void set_label(std::string_view text);

  std::vector<std::string> events;
  std::string label_hex = "(unchanged)";
};

// Test names from a parameter's name or file field (a lambda would shadow gtest's own).
struct ByName {
  template <class Param>
  std::string operator()(const ::testing::TestParamInfo<Param>& param) const {
    return param.param.name;
  }
};
struct ByFile {
  template <class Param>
  std::string operator()(const ::testing::TestParamInfo<Param>& param) const {
    return param.param.file;
  }
};

// The whole text of a file; "" when it cannot be read.
std::string file_text(const std::string& path);
// Writes text to path, replacing it.
void write_text(const std::string& path, std::string_view text);

}  // namespace tessaflex::testing
