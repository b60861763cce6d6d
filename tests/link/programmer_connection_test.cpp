// Connecting with the IDs from the settings: the outcomes in the status line and the Connect button.
#include "link/programmer_connection.h"

#include <gtest/gtest.h>

#include "sim/virtual_programmer.h"
#include "support/recording_host.h"
#include "support/temp_settings.h"

namespace tessaflex::testing {
namespace {

struct Connection {
  TempSettings settings;  // a temporary per-user folder
  RecordingHost host;
  sim::VirtualProgrammer programmer{"18F452"};
  link::ProgrammerConnection connection{settings.store(), programmer, host};
  std::string setting(const char* name) { return settings.store().get_setting(name, "missing"); }
};

// The first start writes the default IDs (2345h = 9029); an absent programmer, other IDs
// (the largest vendor ID is used, and any product ID) and one that cannot be opened.
TEST(ProgrammerConnection, OutcomesOfConnecting) {
  const char* const kNotFound = "Hardware not found!";
  for (int outcome = 0; outcome < 4; ++outcome) {
    Connection c;
    c.programmer.set_present(outcome != 1);
    c.programmer.set_openable(outcome != 3);
    if (outcome == 2) c.settings.store().save_setting("Hardware Vendor ID", "65535");
    if (outcome == 2) c.settings.store().save_setting("Hardware Product ID", "4660");
    c.connection.connect_hardware();
    EXPECT_EQ(c.programmer.terminal_connected(), outcome == 0) << outcome;
    EXPECT_EQ(c.programmer.vendor_id(), outcome == 2 ? 65535 : 0x2345) << outcome;
    EXPECT_EQ(c.programmer.product_id(), outcome == 2 ? 4660 : 0x2345) << outcome;
    EXPECT_EQ(c.connection.vendor_id(), c.programmer.vendor_id()) << outcome;
    EXPECT_EQ(c.setting("Hardware Vendor ID"), outcome == 2 ? "65535" : "9029");
    const char* const statuses[] = {
        "Hardware connected!", kNotFound, kNotFound,
        "Hardware found but could not be opened! Install the udev rule 70-tessaflex.rules."};
    EXPECT_EQ(c.host.statuses, std::vector<std::string>{statuses[outcome]});
  }
}

TEST(ProgrammerConnection, BadIdsLeaveTheTerminalAloneAfterBothSettingsAreRead) {
  const std::pair<const char*, const char*> cases[] = {
      {"65536", nullptr}, {nullptr, "65536"}, {"-1", nullptr}, {nullptr, "-5"}, {"4294967295", nullptr}};
  for (const auto& [vendor, product] : cases) {
    Connection c;
    if (vendor) c.settings.store().save_setting("Hardware Vendor ID", vendor);
    if (product) c.settings.store().save_setting("Hardware Product ID", product);
    c.connection.connect_hardware();
    EXPECT_EQ(c.host.statuses, std::vector<std::string>{"Bad hardware info!"});
    EXPECT_EQ(c.programmer.connect_attempts() + c.programmer.vendor_id(), 0);
    // The setting that was missing has been written all the same.
    EXPECT_EQ(c.setting("Hardware Vendor ID"), vendor ? vendor : "9029");
    EXPECT_EQ(c.setting("Hardware Product ID"), product ? product : "9029");
  }
}

TEST(ProgrammerConnection, ConnectActsOnlyWhileNotConnected) {
  Connection c;
  c.programmer.set_present(false);
  c.connection.connect_hardware();
  c.programmer.set_present(true);
  c.connection.connect_command();
  c.connection.connect_command();  // connected now: nothing happens, not even a status text
  EXPECT_EQ(c.programmer.connect_attempts(), 2);
  EXPECT_EQ(c.host.statuses, (std::vector<std::string>{"Hardware not found!", "Hardware connected!"}));
}

}  // namespace
}  // namespace tessaflex::testing
