// Starting the real program: no display, a second instance, a lock path that cannot hold a lock,
// a device list without models, a missing device list.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Generous: this guards against a hang, it does not measure speed.
constexpr int kGuardMs = 60000;

// A private world for one start: its own runtime and config folders, and a copy of the
// program in a folder of its own, so the device list beside it is the test's.
class ProgramStart : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world_.isValid());
    for (const char* folder : {"runtime", "config", "bin"})
      QDir(world_.path()).mkpath(QString::fromUtf8(folder));
    // Qt ignores a runtime folder that others may enter, as the XDG rules say.
    QFile::setPermissions(path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSAFLEX_EXECUTABLE), path("bin/tessaflex")));
    env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), path("runtime"));
    env_.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
    env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  }
  QString path(const char* relative) const {
    return world_.path() + QLatin1Char('/') + QString::fromUtf8(relative);
  }
  void write_device_list(const QByteArray& text) {
    QFile file(path("bin/korvadevices.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  void start() {
    program_.setProcessEnvironment(env_);
    program_.start(path("bin/tessaflex"), {});
    ASSERT_TRUE(program_.waitForStarted());
  }
  // Standard error up to the first line holding text; the program is then ended.
  QByteArray error_up_to(const char* text) {
    program_.setReadChannel(QProcess::StandardError);
    QByteArray error;
    while (!error.contains(text) && program_.waitForReadyRead(kGuardMs))
      error += program_.readAllStandardError();
    EXPECT_EQ(program_.state(), QProcess::Running);  // a box waits for the user, who here is this test
    program_.kill();
    program_.waitForFinished(kGuardMs);
    return error;
  }
  // The program ended by itself, without an error, saying nothing and writing no settings.
  void expect_silent_end() {
    ASSERT_TRUE(program_.waitForFinished(kGuardMs));
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0);
    EXPECT_TRUE(program_.readAllStandardError().isEmpty());
    EXPECT_TRUE(QDir(path("config")).isEmpty());
  }

  QTemporaryDir world_;
  QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
  QProcess program_;
};

TEST_F(ProgramStart, WithoutADisplayOneLineSaysWhatIsMissingAndTheProgramFails) {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    env_.remove(QString::fromUtf8(name));
  start();
  ASSERT_TRUE(program_.waitForFinished(kGuardMs));
  EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);  // not Qt's abort
  EXPECT_NE(program_.exitCode(), 0);
  const QByteArray error = program_.readAllStandardError();
  EXPECT_EQ(error.count('\n'), 1) << error.toStdString();
  EXPECT_TRUE(error.contains("graphical session") && error.contains("QT_QPA_PLATFORM=offscreen"))
      << error.toStdString();
}

TEST_F(ProgramStart, ASecondInstanceEndsSilentlyAndTouchesNothing) {
  write_device_list("model: PIC18F452\r\nflash: 32768\r\n");
  QLockFile running(path("runtime/tessaflex.lock"));
  ASSERT_TRUE(running.tryLock(0));
  start();
  expect_silent_end();
}

TEST_F(ProgramStart, ADeviceListWithoutModelsEndsSilently) {
  write_device_list("erasealgdef 0: begin,end\r\n; no model here\r\n");
  start();
  expect_silent_end();
}

// The reason goes to standard error before the box appears, and touches no settings.
TEST_F(ProgramStart, AMissingDeviceListIsExplainedBeforeTheProgramEnds) {
  start();
  const QByteArray error = error_up_to("\n");
  EXPECT_TRUE(error.contains("korvadevices.txt") && error.contains("No such file")) << error.toStdString();
  EXPECT_TRUE(QDir(path("config")).isEmpty());
}

// A lock path held by no instance is explained, then the start goes on to its next step.
TEST_F(ProgramStart, ALockPathHeldByNoInstanceIsExplainedAndTheProgramGoesOn) {
  QDir().mkpath(path("runtime/tessaflex.lock"));  // a folder in the lock's place
  start();
  const QByteArray error = error_up_to("korvadevices.txt");
  EXPECT_TRUE(error.contains("tessaflex.lock: a folder of that name is in the way")) << error.toStdString();
  EXPECT_TRUE(error.contains("korvadevices.txt")) << error.toStdString();
}

}  // namespace
