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

struct Device {
  std::string path;
  unsigned short vendor = kVendor, product = kProduct;
  bool openable = true;
};
// What the functions below see. A read takes the next input whole ({}: a failed read), or times out
// (0) when there is none; an unplugged device no longer enumerates.
struct Bus {
  std::vector<Device> devices;
  std::string open;  // the path opened and not yet closed
  std::vector<Bytes> written;
  std::deque<Bytes> input;
  std::deque<Bytes> answers;  // put into input by each write
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
    if (d.path == path && d.openable) return reinterpret_cast<hid_device*>(&bus.open.assign(path));
  return nullptr;
}
void hid_close(hid_device*) { bus.open.clear(); }
int hid_write(hid_device*, const unsigned char* data, size_t length) {
  bus.written.emplace_back(data, data + length);
  bus.input.insert(bus.input.end(), bus.answers.begin(), bus.answers.end());
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

class HidapiTerminalTest : public ::testing::Test {
 protected:
  HidapiTerminalTest() { bus = Bus{{{"programmer"}}, {}, {}, {}, {}}; }
  // Plugs in and connects with these IDs: the path opened, "" for none, "!" for one found but not opened.
  std::string connect(std::int32_t vendor = kVendor, std::int32_t product = kProduct) {
    bus.unplugged = false;
    terminal.terminal_vendor_id(vendor);
    terminal.terminal_product_id(product);
    terminal.terminal_connect();
    return terminal.terminal_found_but_not_opened() ? "!" : bus.open;
  }
  HidapiTerminal terminal;
};

// Both IDs must match (another product of the vendor is not the programmer); the first that opens is taken.
TEST_F(HidapiTerminalTest, OpensTheFirstDeviceThatCarriesBothIds) {
  const Device other{"other", kVendor, 0x0033}, locked{"locked", kVendor, kProduct, false};
  // clang-format off
  const std::tuple<std::vector<Device>, std::int32_t, std::int32_t, std::string> cases[] = {
      {{other, {"programmer"}}, kVendor, kProduct, "programmer"}, {{other}, kVendor, 0, ""},
      {{{"keyboard", 0x046D, kProduct}}, 0, kProduct, ""}, {{locked}, kVendor, kProduct, "!"},
      {{locked, {"programmer"}}, kVendor, kProduct, "programmer"}};
  // clang-format on
  for (const auto& [devices, vendor, product, opened] : cases) {
    bus.devices = devices;
    EXPECT_EQ(connect(vendor, product), opened) << devices[0].path;
  }
}

// One exchange: a write, which the device answers, then a read. Report ID 0 leads the eight bytes written.
// Answers left from earlier reads are drained before a write, up to a bound against a flooding device. Only
// a whole report is an answer, a longer one giving its first eight bytes with no report ID before them; a
// failed or missing one leaves the bytes as they were. A failed read or write closes a device that is gone.
TEST_F(HidapiTerminalTest, ExchangesDrainSendAfterReportIdZeroAndTakeOneWholeAnswer) {
  const Bytes stale(8, 0xEE), answer = {0x6E, 0x42, 3, 4, 5, 6, 7, 8, 9, 10}, first8(&answer[0], &answer[8]);
  const Bytes kept(8, 9), sent = {0, 0x6E, 1, 2, 3, 4, 5, 6, 7};
  // input, answers to the write, unplugged, hid_write's result; write's result, written, bytes read,
  // connected
  // clang-format off
  const std::tuple<std::deque<Bytes>, std::deque<Bytes>, bool, int, bool, std::size_t, Bytes, bool> cases[] = {
      {{stale, stale, stale}, {first8}, false, 9, true, 1, first8, true},
      {{1000, stale}, {first8}, false, 9, true, 1, stale, true}, {{}, {answer}, false, 9, true, 1, first8, true},
      {{}, {Bytes(&answer[0], &answer[7])}, false, 9, true, 1, kept, true}, {{}, {{}}, false, 9, true, 1, kept, true},
      {{}, {}, false, 8, false, 1, kept, true}, {{}, {}, false, -1, false, 1, kept, true},
      {{stale, {}}, {}, true, 9, false, 0, kept, false}, {{}, {}, true, -1, false, 1, kept, false},
      {{}, {{}}, true, 9, true, 1, kept, false}};
  // clang-format on
  for (const auto& [input, answers, unplugged, write_result, write_ok, written, bytes, connected] : cases) {
    ASSERT_EQ(connect(), "programmer");
    bus = Bus{bus.devices, bus.open, {}, input, answers, unplugged, write_result};
    Report report{9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(terminal.terminal_write({0x6E, 1, 2, 3, 4, 5, 6, 7}), write_ok);
    EXPECT_EQ(terminal.terminal_read(report), bytes != kept);
    EXPECT_EQ(std::tuple(bus.written, Bytes(report.begin(), report.end()), terminal.terminal_connected()),
              std::tuple(std::vector<Bytes>(written, sent), bytes, connected));
  }
}

}  // namespace
}  // namespace tessaflex::link
