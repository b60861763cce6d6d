// The hidapi terminal where no programmer is plugged in: nothing opens, nothing is sent, nothing crashes.
#include "link/hidapi_terminal.h"

#include <gtest/gtest.h>

namespace tessaflex::link {
namespace {

// IDs that no device carries (vendor 0 is reserved), so the test holds on any machine.
constexpr std::int32_t kNoVendor = 0x0000;
constexpr std::int32_t kNoProduct = 0x0000;

TEST(HidapiTerminal, StartsUnconnectedAndRefusesReportsAndReads) {
  HidapiTerminal terminal;
  EXPECT_FALSE(terminal.terminal_connected());
  Report report{0x65, 1, 2, 3, 4, 5, 6, 7};
  EXPECT_FALSE(terminal.terminal_write(report));
  EXPECT_FALSE(terminal.terminal_read(report));
  EXPECT_EQ(report, (Report{0x65, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(HidapiTerminal, AbsentDeviceIsNeitherConnectedNorFound) {
  HidapiTerminal terminal;
  terminal.terminal_vendor_id(kNoVendor);
  terminal.terminal_product_id(kNoProduct);
  terminal.terminal_connect();
  terminal.terminal_connect();  // again: nothing left open in between
  EXPECT_FALSE(terminal.terminal_connected());
  EXPECT_FALSE(terminal.terminal_found_but_not_opened());
  Report report{};
  EXPECT_FALSE(terminal.terminal_write(report));
  EXPECT_FALSE(terminal.terminal_read(report));
}

TEST(HidapiTerminal, IdsOutsideSixteenBitsFindNothing) {
  for (const auto& [vendor, product] :
       {std::pair{-1, 0x2345}, std::pair{0x2345, 65536}, std::pair{70000, -70000}}) {
    HidapiTerminal terminal;
    terminal.terminal_vendor_id(vendor);
    terminal.terminal_product_id(product);
    terminal.terminal_connect();
    EXPECT_FALSE(terminal.terminal_connected());
    EXPECT_FALSE(terminal.terminal_found_but_not_opened());
  }
}

}  // namespace
}  // namespace tessaflex::link
