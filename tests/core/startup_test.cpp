// The start-up values: the graphical session, the program folder's form and the
// single-instance lock.
#include "core/startup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

namespace tessaflex::core {
namespace {

TEST(Startup, TheProgramFolderEndsInExactlyOneSeparatorAndKeepsItsCase) {
  struct Case {
    const char* folder;
    const char* expected;
  };
  const Case cases[] = {
      {"/opt/Tessaflex", "/opt/Tessaflex/"}, {"/opt/Tessaflex/", "/opt/Tessaflex/"}, {"/", "/"}, {"", "/"}};
  for (const auto& c : cases) EXPECT_EQ(folder_with_separator(c.folder), c.expected) << c.folder;
}

TEST(Startup, OnlyAPlatformWithSomethingToShowOnPasses) {
  struct Case {
    SessionEnvironment session;  // platform, DISPLAY, WAYLAND_DISPLAY
    bool usable;
  };
  const Case cases[] = {
      {{"", "", ""}, false},
      {{"", ":0", ""}, true},
      {{"", "", "wayland-0"}, true},
      {{"xcb", "", "wayland-0"}, false},  // X11 asked for, only Wayland there
      {{"wayland", ":0", ""}, false},
      {{"wayland-egl", "", "wayland-0"}, true},
      {{"xcb:nograb", ":1", ""}, true},   // options after the name
      {{"wayland;xcb", ":0", ""}, true},  // a fallback list: one usable entry is enough
      {{"offscreen", "", ""}, true},
      {{"vnc:size=800x600", "", ""}, true},
      {{";", "", ""}, false},
  };
  for (const auto& c : cases) {
    const std::string message = missing_session_message(c.session);
    EXPECT_EQ(message.empty(), c.usable) << '"' << c.session.platform << "\" DISPLAY=" << c.session.display;
  }
  const std::string message = missing_session_message({});
  EXPECT_NE(message.find("graphical session"), std::string::npos);
  EXPECT_NE(message.find("QT_QPA_PLATFORM=offscreen"), std::string::npos);
  EXPECT_EQ(message.find('\n'), std::string::npos);
}

TEST(Startup, APlatformArgumentOverridesTheEnvironment) {
  const char* argv[] = {"tessaflex", "-platform", "offscreen"};
  EXPECT_EQ(current_session(3, argv).platform, "offscreen");
  const char* double_dash[] = {"tessaflex", "--platform", "vnc"};
  EXPECT_EQ(current_session(3, double_dash).platform, "vnc");
}

TEST(Startup, OnlyOneHolderOfTheLockAtATime) {
  QTemporaryDir dir;
  const std::string path = (dir.path() + QStringLiteral("/tessaflex.lock")).toStdString();
  {
    InstanceLock first(path);
    ASSERT_EQ(first.acquire().status, LockStatus::acquired);
    InstanceLock second(path);
    const LockResult result = second.acquire();
    EXPECT_EQ(result.status, LockStatus::another_instance);
    EXPECT_FALSE(result);
  }
  InstanceLock after(path);
  EXPECT_EQ(after.acquire().status, LockStatus::acquired);  // released with its holder
}

TEST(Startup, ALockPathThatCannotHoldALockIsNoOtherInstance) {
  struct Case {
    const char* lock;  // below a fresh folder
    std::function<void(const QString& path)> prepare;
    const char* reason;
  };
  const Case cases[] = {
      {"tessaflex.lock", [](const QString& p) { QDir().mkpath(p); }, "a folder of that name"},
      {"gone/tessaflex.lock", [](const QString&) {}, "its folder does not exist"},
      {"tessaflex.lock",
       [](const QString& p) {
         QFile file(p);
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         file.write("not a lock\n");
       },
       "not held by any running instance"},
  };
  for (const auto& c : cases) {
    QTemporaryDir dir;
    const QString path = dir.path() + QLatin1Char('/') + QString::fromUtf8(c.lock);
    c.prepare(path);
    InstanceLock lock(path.toStdString());
    const LockResult result = lock.acquire();
    EXPECT_EQ(result.status, LockStatus::unavailable) << c.reason;
    EXPECT_TRUE(result) << c.reason;  // the program goes on
    EXPECT_NE(result.reason.find(path.toStdString()), std::string::npos) << result.reason;
    EXPECT_NE(result.reason.find(c.reason), std::string::npos) << result.reason;
  }
}

}  // namespace
}  // namespace tessaflex::core
