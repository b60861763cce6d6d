// Helpers shared by the HEX tests: models, records, peer tools and a host that logs order.
#include "hex_test_support.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <fstream>
#include <sstream>

#include "core/hex_text.h"
#include "hexfile/hex_checksum.h"
#include "hexfile/hex_writer.h"

namespace tessaflex::testing {

devices::CurrentDevice make_device(std::int32_t flash_size, std::int32_t eeprom_size,
                                   std::array<std::int32_t, devices::kConfigBytes> configerased) {
  devices::CurrentDevice device;
  device.model_index = 1;
  device.model_name = "TEST";
  device.flash_size = flash_size;
  device.eeprom_size = eeprom_size;
  device.configerased = configerased;
  return device;
}

devices::MemoryImages erased_images(const devices::CurrentDevice& device) {
  devices::MemoryImages images;
  devices::erase_images(device, images);
  return images;
}

std::string record(std::string_view body) { return ":" + std::string(body) + hexfile::hex_checksum(body); }

ByteMap expected_bytes(const devices::MemoryImages& images) {
  ByteMap bytes;
  const std::size_t flash_used = hexfile::used_length(images.flash_image);
  for (std::size_t a = 0; a < flash_used; ++a) bytes[a] = images.flash_image[a];
  for (std::size_t k = 0; k < devices::kConfigBytes; ++k)
    bytes[0x300000 + k] = static_cast<std::uint8_t>(images.config_image[k] & 0xFF);
  const std::size_t eeprom_used = hexfile::used_length(images.eeprom_image);
  for (std::size_t a = 0; a < eeprom_used; ++a) bytes[0xF00000 + a] = images.eeprom_image[a];
  return bytes;
}

std::string run_tool(const std::string& program, const std::vector<std::string>& arguments) {
  QStringList args;
  for (const std::string& a : arguments) args << QString::fromStdString(a);
  QProcess process;
  process.start(QString::fromStdString(program), args);
  if (!process.waitForStarted(30000)) {
    ADD_FAILURE() << program << " did not start (is it installed? scripts/install-deps.sh installs it)";
    return {};
  }
  process.closeWriteChannel();
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    ADD_FAILURE() << program << " failed: " << process.readAllStandardError().toStdString();
    return {};
  }
  return process.readAllStandardOutput().toStdString();
}

ByteMap intelhex_bytes(const std::string& path) {
  // The system interpreter: a python3 earlier on PATH (a pyenv one) may lack intelhex.
  const std::string out =
      run_tool("/usr/bin/python3", {std::string(TESSAFLEX_SOURCE_DIR) + "/tests/hexfile/intelhex_dump.py", path});
  ByteMap bytes;
  std::istringstream lines(out);
  std::string address, value;
  while (lines >> address >> value) bytes[std::stoull(address, nullptr, 16)] = static_cast<std::uint8_t>(std::stoul(value, nullptr, 16));
  return bytes;
}

ByteMap srec_cat_bytes(const std::string& path) {
  const std::string out = run_tool("srec_cat", {path, "-Intel", "-o", "-", "-Motorola", "-Address_Length=4"});
  ByteMap bytes;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("S3", 0) != 0) continue;  // S0 header, S5 count, S7 start address
    const int count = core::hex_to_byte(line.substr(2, 2));
    const std::uint64_t address = std::stoull(line.substr(4, 8), nullptr, 16);
    EXPECT_EQ(line.size(), 4u + 2u * static_cast<std::size_t>(count)) << line;
    for (int i = 0; i < count - 5; ++i) {
      bytes[address + static_cast<std::uint64_t>(i)] =
          static_cast<std::uint8_t>(core::hex_to_byte(line.substr(12 + 2 * static_cast<std::size_t>(i), 2)));
    }
  }
  return bytes;
}

void SequenceHost::set_status(std::string_view text) {
  RecordingHost::set_status(text);
  events.push_back("status:" + std::string(text));
}

void SequenceHost::disable() {
  RecordingHost::disable();
  events.emplace_back("disable");
}

void SequenceHost::enable() {
  RecordingHost::enable();
  events.emplace_back("enable");
}

void SequenceHost::updatedisplay() {
  RecordingHost::updatedisplay();
  events.emplace_back("redraw");
}

core::BoxAnswer SequenceHost::message_box(std::string_view text, core::BoxKind kind, std::string_view caption) {
  events.push_back("box:" + std::to_string(static_cast<int>(kind)) + ":" + std::string(text));
  return RecordingHost::message_box(text, kind, caption);
}

void SequenceHost::set_label(std::string_view text) {
  label_hex = std::string(text);
  events.push_back("label:" + label_hex);
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void write_text(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace tessaflex::testing
