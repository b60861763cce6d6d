// The hidapi terminal over a stand-in for hidapi's C functions: which device it opens, the bytes it
// writes, the stale input it drains, short and missing answers, and an unplug noticed.
#include "link/hidapi_terminal.h"

#include <gtest/gtest.h>
#include <hidapi/hidapi.h>

#include <algorithm>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
constexpr unsigned short kVendor = 0x04D8, kProduct = 0x2345;

// What the functions below see. A read takes the next input whole ({}: a failed read), or times out
// (0) when there is none; an unplugged device no longer enumerates.
struct Device {
  std::string path;
  unsigned short vendor = kVendor, product = kProduct;
  bool openable = true;
};
struct Bus {
  std::vector<Device> devices;
  std::vector<std::string> open;  // the paths opened and not yet closed
  std::vector<Bytes> written;
  std::deque<Bytes> input;
  bool unplugged = false;
  int write_result = 9;  // what hid_write returns: 9 takes the report and its ID whole
} bus;

}  // namespace

extern "C" {
int hid_init() { return 0; }
// As hidapi does: 0 matches any ID.
hid_device_info* hid_enumerate(unsigned short vendor, unsigned short product) {
  hid_device_info* list = nullptr;
  for (auto d = bus.devices.rbegin(); d != bus.devices.rend() && !bus.unplugged; ++d) {
    if ((vendor != 0 && d->vendor != vendor) || (product != 0 && d->product != product)) continue;
    auto* info = new hid_device_info{};
    info->path = d->path.data();
    info->vendor_id = d->vendor;
    info->product_id = d->product;
    info->next = std::exchange(list, info);
  }
  return list;
}
void hid_free_enumeration(hid_device_info* list) {
  while (list != nullptr) delete std::exchange(list, list->next);
}
hid_device* hid_open_path(const char* path) {
  for (auto& d : bus.devices)
    if (d.path == path && d.openable)
      return reinterpret_cast<hid_device*>(new std::string(bus.open.emplace_back(path)));
  return nullptr;
}
void hid_close(hid_device* device) {
  auto* path = reinterpret_cast<std::string*>(device);
  std::erase(bus.open, *path);
  delete path;
}
int hid_write(hid_device*, const unsigned char* data, size_t length) {
  bus.written.emplace_back(data, data + length);
  return bus.write_result;
}
int hid_read_timeout(hid_device*, unsigned char* data, size_t length, int) {
  if (bus.input.empty()) return 0;
  const Bytes next = std::exchange(bus.input.front(), {});
  bus.input.pop_front();
  std::copy_n(next.begin(), std::min(length, next.size()), data);
  return next.empty() ? -1 : static_cast<int>(std::min(length, next.size()));
}
}

namespace tessaflex::link {
namespace {

class HidapiStandin : public ::testing::Test {
 protected:
  HidapiStandin() { bus = Bus{.devices = {{"programmer"}}, .open = {}, .written = {}, .input = {}}; }
  // Plugs the devices in and connects with these IDs; the path opened, "" for none.
  std::string connect(std::int32_t vendor = kVendor, std::int32_t product = kProduct) {
    bus.unplugged = false;
    terminal.terminal_vendor_id(vendor);
    terminal.terminal_product_id(product);
    terminal.terminal_connect();
    return bus.open.empty() ? "" : bus.open[0];
  }
  HidapiTerminal terminal;
};

// Both IDs must match (another product of the vendor is not the programmer); the first that opens is taken.
TEST_F(HidapiStandin, OpensTheFirstDeviceThatCarriesBothIds) {
  const Device other{"other", kVendor, 0x0033}, locked{"locked", kVendor, kProduct, false};
  // clang-format off
  const std::tuple<std::vector<Device>, std::int32_t, std::int32_t, std::string, bool> cases[] = {
      {{other, {"programmer"}}, kVendor, kProduct, "programmer", false}, {{other}, kVendor, 0, "", false},
      {{{"keyboard", 0x046D, kProduct}}, 0, kProduct, "", false},
      {{locked, {"programmer"}}, kVendor, kProduct, "programmer", false}, {{locked}, kVendor, kProduct, "", true},
      {{{"any", 0, 0}}, -65536, 65536, "", false}};
  // clang-format on
  for (const auto& [devices, vendor, product, opened, locked_out] : cases) {
    bus.devices = devices;
    EXPECT_EQ(connect(vendor, product), opened);
    EXPECT_EQ(terminal.terminal_found_but_not_opened(), locked_out) << devices[0].path;
  }
}

// Report ID 0 leads the eight bytes. Answers left from earlier reads are drained first, up to a bound
// against a flooding device. A failed read in the drain or a failed write closes a device that is gone.
TEST_F(HidapiStandin, WritesDrainStaleInputAndSendTheReportAfterIdZero) {
  const Bytes stale(8, 0xEE), sent = {0, 0x6E, 1, 2, 3, 4, 5, 6, 7};
  // input, unplugged, hid_write's result, ok, input left, connected, reports written
  // clang-format off
  const std::tuple<std::deque<Bytes>, bool, int, bool, bool, bool, std::size_t> cases[] = {
      {{stale, stale, stale}, false, 9, true, false, true, 1}, {{1000, stale}, false, 9, true, true, true, 1},
      {{}, false, 8, false, false, true, 1}, {{}, false, -1, false, false, true, 1},
      {{stale, {}}, true, 9, false, false, false, 0}, {{}, true, -1, false, false, false, 1}};
  // clang-format on
  for (const auto& [input, unplugged, write_result, ok, left, connected, written] : cases) {
    ASSERT_EQ(connect(), "programmer");
    bus = Bus{bus.devices, bus.open, {}, input, unplugged, write_result};
    EXPECT_EQ(terminal.terminal_write({0x6E, 1, 2, 3, 4, 5, 6, 7}), ok);
    EXPECT_EQ(std::tuple(bus.written, !bus.input.empty(), terminal.terminal_connected()),
              std::tuple(std::vector<Bytes>(written, sent), left, connected));
  }
}

// Only a whole report is an answer: a time-out, a short report or a failed read leave the bytes as they
// were; a longer one gives its first eight, with no report ID before them.
TEST_F(HidapiStandin, ReadsTakeOneWholeAnswer) {
  const Bytes answer = {0x6E, 0x42, 3, 4, 5, 6, 7, 8, 9, 10}, first8(&answer[0], &answer[8]);
  // clang-format off
  const std::tuple<std::deque<Bytes>, bool, bool> cases[] = {  // input, unplugged, ok
      {{}, false, false}, {{Bytes(&answer[0], &answer[7])}, false, false}, {{{}}, false, false},
      {{{}}, true, false}, {{first8}, false, true}, {{answer}, false, true}};
  // clang-format on
  for (const auto& [input, unplugged, ok] : cases) {
    ASSERT_EQ(connect(), "programmer");
    bus.input = input;
    bus.unplugged = unplugged;
    Report report{9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(terminal.terminal_read(report), ok);
    EXPECT_EQ(std::pair(Bytes(report.begin(), report.end()), terminal.terminal_connected()),
              std::pair(ok ? first8 : Bytes(8, 9), !unplugged));
  }
}

}  // namespace
}  // namespace tessaflex::link
