// The udev rule grants the programmer only: every hidraw rule line names both IDs and tags uaccess.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace tessaflex::testing {
namespace {

TEST(UdevRule, MatchesTheProgrammerByVendorAndProductOnly) {
  std::ifstream file(std::string(TESSAFLEX_SOURCE_DIR) + "/packaging/70-tessaflex.rules");
  ASSERT_TRUE(file) << "packaging/70-tessaflex.rules is missing";
  int rules = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    ++rules;
    EXPECT_NE(line.find("SUBSYSTEM==\"hidraw\""), std::string::npos) << line;
    EXPECT_NE(line.find("ATTRS{idVendor}==\"2345\""), std::string::npos) << line;
    EXPECT_NE(line.find("ATTRS{idProduct}==\"2345\""), std::string::npos) << line;
    EXPECT_NE(line.find("TAG+=\"uaccess\""), std::string::npos) << line;
    EXPECT_EQ(line.find("MODE"), std::string::npos)
        << "no world-writable mode, the seat tag is enough: " << line;
  }
  EXPECT_EQ(rules, 1);
}

}  // namespace
}  // namespace tessaflex::testing
