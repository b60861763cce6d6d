// The start-up values: the program folder's form and the single-instance lock.
#include "core/startup.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace tessaflex::core {
namespace {

TEST(Startup, TheProgramFolderEndsInExactlyOneSeparatorAndKeepsItsCase) {
  struct Case {
    const char* folder;
    const char* expected;
  };
  const Case cases[] = {{"/opt/Tessaflex", "/opt/Tessaflex/"},
                        {"/opt/Tessaflex/", "/opt/Tessaflex/"},
                        {"/", "/"},
                        {"", "/"}};
  for (const auto& c : cases) EXPECT_EQ(folder_with_separator(c.folder), c.expected) << c.folder;
}

TEST(Startup, OnlyOneHolderOfTheLockAtATime) {
  QTemporaryDir dir;
  const std::string path = (dir.path() + QStringLiteral("/tessaflex.lock")).toStdString();
  {
    InstanceLock first(path);
    ASSERT_TRUE(first.acquire());
    InstanceLock second(path);
    EXPECT_FALSE(second.acquire());
  }
  InstanceLock after(path);
  EXPECT_TRUE(after.acquire());  // released with its holder
}

}  // namespace
}  // namespace tessaflex::core
