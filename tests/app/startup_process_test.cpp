// Starting the real program: no display, a second instance, a lock path that cannot hold a lock,
// a device list without models, a missing device list.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

namespace {

constexpr int kGuardMs = 60000;  // guards against a hang, does not measure speed

// Each start in a private world: its own runtime and config folders, and a copy of the program
// in a folder of its own, so the device list beside it is the test's.
TEST(ProgramStart, EachStartEndsOrExplainsAsItShould) {
  enum Lock { none, held, folder };  // what stands at the lock path: held by another instance, a folder
  const struct {
    const char* name;
    const char* device_list;  // nullptr: none
    Lock lock;
    std::vector<const char*> error;  // what standard error says while a box waits; none: a silent end
  } cases[] = {
      {"second instance", "model: PIC18F452\r\nflash: 32768\r\n", held, {}},
      {"no model", "erasealgdef 0: begin,end\r\n; no model here\r\n", none, {}},
      {"missing device list", nullptr, none, {"korvadevices.txt: No such file"}},
      // A lock path held by no instance is explained, then the start goes on to its next step.
      {"lock path in the way",
       nullptr,
       folder,
       {"tessaflex.lock: a folder of that name is in the way", "korvadevices.txt: No such"}},
  };
  for (const auto& c : cases) {
    QTemporaryDir world;
    const QString runtime = world.path() + "/runtime", bin = world.path() + "/bin";
    SCOPED_TRACE(c.name);
    QDir().mkpath(runtime), QDir().mkpath(bin);
    // Qt ignores a runtime folder that others may enter, as the XDG rules say.
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(QFile::copy(TESSAFLEX_EXECUTABLE, bin + "/tessaflex"));
    QFile list(bin + "/korvadevices.txt");
    ASSERT_TRUE(!c.device_list || (list.open(QIODevice::WriteOnly) && list.write(c.device_list) > 0));
    list.close();
    QLockFile lock(runtime + "/tessaflex.lock");
    ASSERT_TRUE(c.lock != held || lock.tryLock(0));
    if (c.lock == folder) QDir(runtime).mkpath("tessaflex.lock");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime), env.insert("XDG_CONFIG_HOME", world.path() + "/config");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(bin + "/tessaflex", {});
    ASSERT_TRUE(program.waitForStarted());
    program.setReadChannel(QProcess::StandardError);
    QByteArray error;
    const auto said_all = [&] {
      return std::all_of(c.error.begin(), c.error.end(),
                         [&](const char* text) { return error.contains(text); });
    };
    while (!c.error.empty() && !said_all() && program.waitForReadyRead(kGuardMs))
      error += program.readAllStandardError();
    EXPECT_TRUE(said_all()) << error.toStdString();
    if (!c.error.empty()) {
      EXPECT_EQ(program.state(), QProcess::Running);  // a box waits for the user, who here is this test
      program.kill();
    }
    ASSERT_TRUE(program.waitForFinished(kGuardMs));
    EXPECT_TRUE(!c.error.empty() || (program.exitStatus() == QProcess::NormalExit &&
                                     program.exitCode() == 0 && program.readAllStandardError().isEmpty()));
    EXPECT_TRUE(QDir(world.path() + "/config").isEmpty());  // no settings written
  }
}

TEST(ProgramStart, WithoutADisplayOneLineSaysWhatIsMissingAndTheProgramFails) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  QProcess program;
  program.setProcessEnvironment(env);
  program.start(TESSAFLEX_EXECUTABLE, {});
  ASSERT_TRUE(program.waitForFinished(kGuardMs));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);  // not Qt's abort
  EXPECT_NE(program.exitCode(), 0);
  const QByteArray error = program.readAllStandardError();
  EXPECT_TRUE(error.count('\n') == 1 && error.contains("graphical session") &&
              error.contains("QT_QPA_PLATFORM=offscreen"))
      << error.toStdString();
}

}  // namespace
