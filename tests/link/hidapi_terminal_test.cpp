// The hidapi terminal without a programmer (nothing opens, nothing is sent, nothing crashes) and the udev
// rule.
#include "link/hidapi_terminal.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace tessaflex::link {
namespace {

TEST(HidapiTerminal, WithoutADeviceNothingConnectsAndReportsAreRefused) {
  // Vendor 0 is reserved, so no device carries it; the rest lie outside 16 bits.
  for (const auto& [vendor, product] :
       {std::pair{0, 0}, std::pair{-1, 0x2345}, std::pair{0x2345, 65536}, std::pair{70000, -70000}}) {
    HidapiTerminal terminal;
    Report report{0x65, 1, 2, 3, 4, 5, 6, 7};
    EXPECT_FALSE(terminal.terminal_write(report));  // before any connect
    terminal.terminal_vendor_id(vendor);
    terminal.terminal_product_id(product);
    terminal.terminal_connect();
    terminal.terminal_connect();  // again: nothing left open in between
    EXPECT_FALSE(terminal.terminal_connected());
    EXPECT_FALSE(terminal.terminal_found_but_not_opened());
    EXPECT_FALSE(terminal.terminal_write(report));
    EXPECT_FALSE(terminal.terminal_read(report));
    EXPECT_EQ(report, (Report{0x65, 1, 2, 3, 4, 5, 6, 7}));  // a refused read leaves the bytes
  }
}

TEST(UdevRule, GrantsTheSeatUserTheProgrammerOnly) {
  std::ifstream file(std::string(TESSAFLEX_SOURCE_DIR) + "/packaging/70-tessaflex.rules");
  ASSERT_TRUE(file) << "packaging/70-tessaflex.rules is missing";
  int rules = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    ++rules;
    for (const char* part : {"SUBSYSTEM==\"hidraw\"", "ATTRS{idVendor}==\"2345\"",
                             "ATTRS{idProduct}==\"2345\"", "TAG+=\"uaccess\""}) {
      EXPECT_NE(line.find(part), std::string::npos) << part << " missing in: " << line;
    }
    EXPECT_EQ(line.find("MODE"), std::string::npos)
        << "no world-writable mode, the seat tag is enough: " << line;
  }
  EXPECT_EQ(rules, 1);
}

}  // namespace
}  // namespace tessaflex::link
