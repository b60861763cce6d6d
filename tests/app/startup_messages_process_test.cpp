// Starting the real program without a display, and with a lock path that cannot hold a lock.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Generous: this guards against a hang, it does not measure speed.
constexpr int kGuardMs = 60000;

// Its own runtime and config folders, and a copy of the program without a device list.
class StartMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world_.isValid());
    for (const char* folder : {"runtime", "config", "bin"})
      QDir(world_.path()).mkpath(QString::fromUtf8(folder));
    QFile::setPermissions(path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSAFLEX_EXECUTABLE), path("bin/tessaflex")));
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), path("runtime"));
    env_.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
  }

  QString path(const char* relative) const {
    return world_.path() + QLatin1Char('/') + QString::fromUtf8(relative);
  }

  void start(QProcess& process) {
    process.setProcessEnvironment(env_);
    process.start(path("bin/tessaflex"), {});
    ASSERT_TRUE(process.waitForStarted());
  }

  QTemporaryDir world_;
  QProcessEnvironment env_;
};

TEST_F(StartMessages, WithoutADisplayOneLineSaysWhatIsMissingAndTheProgramFails) {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    env_.remove(QString::fromUtf8(name));
  QProcess program;
  start(program);
  ASSERT_TRUE(program.waitForFinished(kGuardMs));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);  // not Qt's abort
  EXPECT_NE(program.exitCode(), 0);
  const QByteArray error = program.readAllStandardError();
  EXPECT_EQ(error.count('\n'), 1) << error.toStdString();
  EXPECT_TRUE(error.contains("graphical session")) << error.toStdString();
  EXPECT_TRUE(error.contains("QT_QPA_PLATFORM=offscreen")) << error.toStdString();
}

TEST_F(StartMessages, ALockPathHeldByNoInstanceIsExplainedAndTheProgramGoesOn) {
  QDir().mkpath(path("runtime/tessaflex.lock"));  // a folder in the lock's place
  env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  QProcess program;
  start(program);
  // The lock's reason, then the next step of the start: the missing device list.
  program.setReadChannel(QProcess::StandardError);
  QByteArray error;
  while (!error.contains("korvadevices.txt") && program.waitForReadyRead(kGuardMs)) {
    error += program.readAllStandardError();
  }
  EXPECT_TRUE(error.contains("tessaflex.lock: a folder of that name is in the way")) << error.toStdString();
  EXPECT_TRUE(error.contains("korvadevices.txt")) << error.toStdString();
  program.kill();
  program.waitForFinished(kGuardMs);
}

}  // namespace
