// The hidapi terminal without a programmer: nothing opens, nothing is sent, nothing crashes.
#include "link/hidapi_terminal.h"

#include <gtest/gtest.h>

namespace tessaflex::link {
namespace {

TEST(HidapiTerminal, WithoutADeviceNothingConnectsAndReportsAreRefused) {
  // Vendor 0 is reserved, so no device carries it; the rest lie outside 16 bits.
  for (const auto& [vendor, product] : {std::pair{0, 0}, {-1, 0x2345}, {0x2345, 65536}, {70000, -70000}}) {
    HidapiTerminal terminal;
    Report report{0x65, 1, 2, 3, 4, 5, 6, 7};
    EXPECT_FALSE(terminal.terminal_write(report));  // before any connect
    terminal.terminal_vendor_id(vendor);
    terminal.terminal_product_id(product);
    terminal.terminal_connect();
    terminal.terminal_connect();  // again: nothing left open in between
    EXPECT_FALSE(terminal.terminal_connected() || terminal.terminal_found_but_not_opened());
    EXPECT_FALSE(terminal.terminal_write(report) || terminal.terminal_read(report));
    EXPECT_EQ(report, (Report{0x65, 1, 2, 3, 4, 5, 6, 7}));  // a refused read leaves the bytes
  }
}

}  // namespace
}  // namespace tessaflex::link
