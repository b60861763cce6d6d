// Starting the real program: no display, a second instance, a lock in the way, no models, no device list.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <vector>

namespace {

constexpr int kGuardMs = 60000;  // guards against a hang, does not measure speed

// Each start has private runtime and config folders and a program copy whose device list is the test's.
TEST(ProgramStart, EachStartEndsOrExplainsAsItShould) {
  enum Lock { none, held, folder };   // at the lock path: nothing, another instance's lock, a folder
  enum End { silent, box, failure };  // at once with code 0; a box waits for the user; at once with an error
  // name, device list (nullptr: none), lock, end, what standard error says
  // clang-format off
  const std::tuple<const char*, const char*, Lock, End, std::vector<const char*>> cases[] = {
      {"second instance", "model: PIC18F452\r\nflash: 32768\r\n", held, silent, {}},
      {"no model", "erasealgdef 0: begin,end\r\n; no model here\r\n", none, silent, {}},
      {"missing device list", nullptr, none, box, {"korvadevices.txt: No such file"}},
      // A lock path held by no instance is explained, then the start goes on to its next step.
      {"lock path in the way", nullptr, folder, box,
       {"tessaflex.lock: a folder of that name is in the way", "korvadevices.txt: No such"}},
      {"no display", nullptr, none, failure, {"graphical session", "QT_QPA_PLATFORM=offscreen"}}};  // one line
  // clang-format on
  for (const auto& [name, device_list, at_lock, end, said] : cases) {
    SCOPED_TRACE(name);
    QTemporaryDir world, runtime;  // both private to the user, as Qt wants of a runtime folder
    ASSERT_TRUE(QFile::copy(TESSAFLEX_EXECUTABLE, world.path() + "/tessaflex"));
    if (device_list) std::ofstream((world.path() + "/korvadevices.txt").toStdString()) << device_list;
    QLockFile lock(runtime.path() + "/tessaflex.lock");
    ASSERT_TRUE(at_lock != held || lock.tryLock(0));
    if (at_lock == folder) QDir(runtime.path()).mkpath("tessaflex.lock");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("XDG_CONFIG_HOME", world.path() + "/config");
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(variable);
    if (end != failure) env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(world.path() + "/tessaflex", {});
    program.setReadChannel(QProcess::StandardError);
    QByteArray error;
    const auto said_all = [&] {
      return std::all_of(said.begin(), said.end(), [&](const char* text) { return error.contains(text); });
    };
    while (!said_all() && program.waitForReadyRead(kGuardMs)) error += program.readAllStandardError();
    EXPECT_TRUE(said_all()) << error.toStdString();
    EXPECT_TRUE(end != box || program.state() == QProcess::Running);
    if (end == box) program.kill();
    ASSERT_TRUE(program.waitForFinished(kGuardMs));
    error += program.readAllStandardError();
    EXPECT_TRUE(end == box || (program.exitStatus() == QProcess::NormalExit &&
                               (program.exitCode() == 0) == (end == silent) &&
                               (end == silent ? error.isEmpty() : error.count('\n') == 1)))
        << error.toStdString();
    EXPECT_TRUE(QDir(world.path() + "/config").isEmpty());  // no settings written
  }
}

}  // namespace
