// Connecting with the IDs from the settings: the outcomes in the status line and the Connect button.
#include "link/programmer_connection.h"

#include <gtest/gtest.h>

#include "support/recording_host.h"
#include "support/temp_settings.h"
#include "support/virtual_programmer.h"

namespace tessaflex::testing {
namespace {

struct Connection {
  TempSettings settings;
  RecordingHost host;
  VirtualProgrammer programmer{"18F452"};
  link::ProgrammerConnection connection{settings.store(), programmer, host};
};

TEST(ProgrammerConnection, FirstStartWritesTheDefaultsAndConnects) {
  Connection c;
  c.connection.connect_hardware();
  EXPECT_EQ(c.settings.store().get_setting_dword("Hardware Vendor ID", -1), 9029);
  EXPECT_EQ(c.settings.store().get_setting_dword("Hardware Product ID", -1), 9029);
  EXPECT_EQ(c.programmer.vendor_id(), 0x2345);
  EXPECT_EQ(c.programmer.product_id(), 0x2345);
  EXPECT_TRUE(c.programmer.terminal_connected());
  EXPECT_EQ(c.host.statuses, std::vector<std::string>{"Hardware connected!"});
}

TEST(ProgrammerConnection, AbsentProgrammerIsNotFound) {
  Connection c;
  c.programmer.set_present(false);
  c.connection.connect_hardware();
  EXPECT_FALSE(c.programmer.terminal_connected());
  EXPECT_EQ(c.host.status(), "Hardware not found!");
}

TEST(ProgrammerConnection, OtherIdsFindNothing) {
  Connection c;
  c.settings.store().save_setting("Hardware Product ID", "4660");
  c.connection.connect_hardware();
  EXPECT_EQ(c.programmer.product_id(), 4660);
  EXPECT_EQ(c.host.status(), "Hardware not found!");
}

TEST(ProgrammerConnection, FoundButNotOpenablePointsAtTheUdevRule) {
  Connection c;
  c.programmer.set_openable(false);
  c.connection.connect_hardware();
  EXPECT_FALSE(c.programmer.terminal_connected());
  EXPECT_EQ(c.host.status(),
            "Hardware found but could not be opened! Install the udev rule 70-tessaflex.rules.");
}

struct BadIds {
  const char* vendor;
  const char* product;
};

class BadHardwareInfo : public ::testing::TestWithParam<BadIds> {};

TEST_P(BadHardwareInfo, LeavesTheTerminalAloneAfterReadingBothSettings) {
  Connection c;
  if (GetParam().vendor) c.settings.store().save_setting("Hardware Vendor ID", GetParam().vendor);
  if (GetParam().product) c.settings.store().save_setting("Hardware Product ID", GetParam().product);
  c.connection.connect_hardware();
  EXPECT_EQ(c.host.statuses, std::vector<std::string>{"Bad hardware info!"});
  EXPECT_EQ(c.programmer.connect_attempts(), 0);
  EXPECT_EQ(c.programmer.vendor_id(), 0);
  // The setting that was missing has been written all the same.
  EXPECT_EQ(c.settings.store().get_setting("Hardware Vendor ID", "missing") != "missing", true);
  EXPECT_EQ(c.settings.store().get_setting("Hardware Product ID", "missing") != "missing", true);
}

INSTANTIATE_TEST_SUITE_P(Ids, BadHardwareInfo,
                         ::testing::Values(BadIds{"65536", nullptr}, BadIds{nullptr, "65536"},
                                           BadIds{"-1", nullptr}, BadIds{nullptr, "-5"},
                                           BadIds{"4294967295", nullptr}, BadIds{"70000", "70000"}));

TEST(ProgrammerConnection, TheLargestIdsAreUsed) {
  Connection c;
  c.settings.store().save_setting("Hardware Vendor ID", "65535");
  c.connection.connect_hardware();
  EXPECT_EQ(c.programmer.vendor_id(), 65535);
  EXPECT_EQ(c.connection.vendor_id(), 65535);
  EXPECT_EQ(c.host.status(), "Hardware not found!");
}

TEST(ProgrammerConnection, ConnectWhileConnectedDoesNothing) {
  Connection c;
  c.connection.connect_hardware();
  c.connection.connect_command();
  EXPECT_EQ(c.programmer.connect_attempts(), 1);
  EXPECT_EQ(c.host.statuses.size(), 1u);
}

TEST(ProgrammerConnection, ConnectAfterTheProgrammerIsPluggedIn) {
  Connection c;
  c.programmer.set_present(false);
  c.connection.connect_hardware();
  c.programmer.set_present(true);
  c.connection.connect_command();
  EXPECT_EQ(c.programmer.connect_attempts(), 2);
  EXPECT_EQ(c.host.statuses, (std::vector<std::string>{"Hardware not found!", "Hardware connected!"}));
}

}  // namespace
}  // namespace tessaflex::testing
