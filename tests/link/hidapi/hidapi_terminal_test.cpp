// The hidapi terminal over a stand-in for hidapi's C functions: which device it opens, the bytes it
// writes, the stale input it drains, short and missing answers, and an unplug noticed.
#include <gtest/gtest.h>
#include <hidapi/hidapi.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/hidapi_terminal.h"

namespace tessaflex::link {
namespace {

using Bytes = std::vector<unsigned char>;
constexpr unsigned short kVendor = 0x04D8, kProduct = 0x2345;

// The bus the functions below see. A read takes the next input whole ({}: a failed read), or times
// out (0) when there is none; an unplugged device no longer enumerates, opens or takes a write.
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
  int write_result = -2;  // -2: the whole length
} bus;

}  // namespace
}  // namespace tessaflex::link

using tessaflex::link::bus;
using tessaflex::link::Bytes;

extern "C" {
int hid_init() { return 0; }
// As hidapi does: 0 matches any ID.
hid_device_info* hid_enumerate(unsigned short vendor, unsigned short product) {
  hid_device_info* list = nullptr;
  for (auto d = bus.devices.rbegin(); d != bus.devices.rend(); ++d) {
    if (bus.unplugged || (vendor != 0 && d->vendor != vendor) || (product != 0 && d->product != product)) continue;
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
    if (d.path == path && d.openable && !bus.unplugged)
      return reinterpret_cast<hid_device*>(new std::string(bus.open.emplace_back(path)));
  return nullptr;
}
void hid_close(hid_device* device) {
  auto* path = reinterpret_cast<std::string*>(device);
  std::erase(bus.open, *path);
  delete path;
}
int hid_write(hid_device*, const unsigned char* data, size_t length) {
  if (bus.unplugged) return -1;
  bus.written.emplace_back(data, data + length);
  return bus.write_result == -2 ? static_cast<int>(length) : bus.write_result;
}
int hid_read_timeout(hid_device*, unsigned char* data, size_t length, int) {
  if (bus.input.empty()) return 0;
  const Bytes next = bus.input.front();
  bus.input.pop_front();
  if (next.empty()) return -1;
  std::copy_n(next.begin(), std::min(length, next.size()), data);
  return static_cast<int>(std::min(length, next.size()));
}
}

namespace tessaflex::link {
namespace {

class HidapiStandin : public ::testing::Test {
 protected:
  HidapiStandin() { bus = Bus{.devices = {{"programmer"}}, .open = {}, .written = {}, .input = {}}; }
  ~HidapiStandin() override {
    terminal.reset();
    EXPECT_TRUE(bus.open.empty());
  }
  // Connects with these IDs; the path opened, "" for none.
  std::string connect(std::int32_t vendor = kVendor, std::int32_t product = kProduct) {
    terminal->terminal_vendor_id(vendor);
    terminal->terminal_product_id(product);
    terminal->terminal_connect();
    EXPECT_LE(bus.open.size(), 1u);
    return bus.open.empty() ? "" : bus.open[0];
  }
  std::unique_ptr<HidapiTerminal> terminal = std::make_unique<HidapiTerminal>();
};

// Both IDs must match (another product of the vendor is not the programmer); the first that opens is taken.
TEST_F(HidapiStandin, OpensTheFirstDeviceThatCarriesBothIds) {
  const Device other{"other", kVendor, 0x0033}, locked{"locked", kVendor, kProduct, false};
  const std::tuple<std::vector<Device>, std::int32_t, std::int32_t, std::string, bool> cases[] = {
      {{other, {"programmer"}}, kVendor, kProduct, "programmer", false},
      {{other}, kVendor, 0, "", false},
      {{{"keyboard", 0x046D, kProduct}}, 0, kProduct, "", false},
      {{locked, {"programmer"}}, kVendor, kProduct, "programmer", false},
      {{locked}, kVendor, kProduct, "", true},
      {{{"any", 0, 0}}, -65536, 65536, "", false}};
  for (const auto& [devices, vendor, product, opened, locked_out] : cases) {
    bus.devices = devices;
    EXPECT_EQ(connect(vendor, product), opened);
    EXPECT_EQ(terminal->terminal_found_but_not_opened(), locked_out) << devices[0].path;
    EXPECT_EQ(connect(vendor, product), opened);  // again: the first one closed in between
  }
}

// Report ID 0 leads the eight bytes; answers left over from earlier reads are drained first, up to a
// bound against a flooding device; a short write fails.
TEST_F(HidapiStandin, WritesDrainStaleInputAndSendTheReportAfterIdZero) {
  const Bytes stale(8, 0xEE), request = {0, 0x6E, 1, 2, 3, 4, 5, 6, 7};
  const std::tuple<std::deque<Bytes>, int, bool, bool> cases[] = {
      {{stale, stale, stale}, -2, true, false}, {std::deque<Bytes>(1000, stale), -2, true, true}, {{}, 8, false, false}};
  for (const auto& [input, write_result, ok, left] : cases) {
    ASSERT_EQ(connect(), "programmer");
    bus.input = input;
    bus.write_result = write_result;
    bus.written.clear();
    EXPECT_EQ(terminal->terminal_write({0x6E, 1, 2, 3, 4, 5, 6, 7}), ok);
    EXPECT_EQ(std::tuple(bus.written, !bus.input.empty(), terminal->terminal_connected()),
              std::tuple(std::vector<Bytes>{request}, left, true));
  }
}

// Only a whole report is an answer: a time-out, a short report or a failed read leave the bytes as they
// were; a longer one gives its first eight, with no report ID before them.
TEST_F(HidapiStandin, ReadsTakeOneWholeAnswer) {
  const Bytes answer = {0x6E, 0x42, 3, 4, 5, 6, 7, 8, 9, 10}, before = {9, 9, 9, 9, 9, 9, 9, 9};
  const std::pair<std::deque<Bytes>, Bytes> cases[] = {
      {{}, before}, {{Bytes(answer.begin(), answer.begin() + 7)}, before}, {{{}}, before},
      {{Bytes(answer.begin(), answer.begin() + 8)}, Bytes(answer.begin(), answer.begin() + 8)},
      {{answer}, Bytes(answer.begin(), answer.begin() + 8)}};
  for (const auto& [input, expected] : cases) {
    ASSERT_EQ(connect(), "programmer");
    bus.input = input;
    Report report{9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(terminal->terminal_read(report), expected != before);
    EXPECT_EQ(std::pair(Bytes(report.begin(), report.end()), terminal->terminal_connected()),
              std::pair(expected, true));
  }
}

// Unplugged during the drain, the write or the read: the call fails and the terminal reads as not connected.
TEST_F(HidapiStandin, AnUnplugIsNoticedByTheCallThatMeetsIt) {
  for (int call = 0; call < 3; ++call) {
    ASSERT_EQ(connect(), "programmer");
    bus.unplugged = true;
    bus.input = std::vector<std::deque<Bytes>>{{Bytes(8, 0xEE), {}}, {}, {{}}}[call];
    Report report{};
    EXPECT_FALSE(call < 2 ? terminal->terminal_write(report) : terminal->terminal_read(report));
    EXPECT_FALSE(terminal->terminal_connected() || terminal->terminal_write(report) ||
                 terminal->terminal_read(report));
    EXPECT_TRUE(bus.written.empty() && bus.open.empty());
    bus.unplugged = false;
  }
}

}  // namespace
}  // namespace tessaflex::link
