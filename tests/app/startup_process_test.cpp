// Starting the real program: a second instance, a missing device list, a list without models.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// A private world for one start: its own runtime and config folders, and a copy of the
// program in a folder of its own, so the device list beside it is the test's.
class ProgramStart : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world_.isValid());
    QDir(world_.path()).mkpath(QStringLiteral("runtime"));
    // Qt ignores a runtime folder that others may enter, as the XDG rules say.
    QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir(world_.path()).mkpath(QStringLiteral("config"));
    QDir(world_.path()).mkpath(QStringLiteral("bin"));
    program_ = world_.path() + QStringLiteral("/bin/tessaflex");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSAFLEX_EXECUTABLE), program_));
  }

  void write_device_list(const QByteArray& text) {
    QFile file(world_.path() + QStringLiteral("/bin/korvadevices.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  QString runtime() const { return world_.path() + QStringLiteral("/runtime"); }
  QString config() const { return world_.path() + QStringLiteral("/config"); }

  void start(QProcess& process) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(program_, {});
    ASSERT_TRUE(process.waitForStarted());
  }

  bool config_untouched() const {
    return QDir(config()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty();
  }

  QTemporaryDir world_;
  QString program_;
};

// Generous: this guards against a hang, it does not measure speed.
constexpr int kGuardMs = 60000;

TEST_F(ProgramStart, ASecondInstanceEndsSilentlyAndTouchesNothing) {
  write_device_list("model: PIC18F452\r\nflash: 32768\r\n");
  QLockFile running(runtime() + QStringLiteral("/tessaflex.lock"));
  ASSERT_TRUE(running.tryLock(0));
  QProcess second;
  start(second);
  ASSERT_TRUE(second.waitForFinished(kGuardMs));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(second.readAllStandardError().isEmpty());
  EXPECT_TRUE(config_untouched());
}

TEST_F(ProgramStart, ADeviceListWithoutModelsEndsSilently) {
  write_device_list("erasealgdef 0: begin,end\r\n; no model here\r\n");
  QProcess program;
  start(program);
  ASSERT_TRUE(program.waitForFinished(kGuardMs));
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_TRUE(program.readAllStandardError().isEmpty());
  EXPECT_TRUE(config_untouched());
}

TEST_F(ProgramStart, AMissingDeviceListIsExplainedBeforeTheProgramEnds) {
  QProcess program;
  start(program);
  // The reason goes to standard error before the box appears; the box then waits for
  // the user, who here is this test.
  program.setReadChannel(QProcess::StandardError);
  QByteArray error;
  while (!error.contains('\n') && program.waitForReadyRead(kGuardMs)) error += program.readAllStandardError();
  EXPECT_TRUE(error.contains("korvadevices.txt")) << error.toStdString();
  EXPECT_TRUE(error.contains("No such file")) << error.toStdString();
  EXPECT_EQ(program.state(), QProcess::Running);  // the box is up
  program.kill();
  program.waitForFinished(kGuardMs);
  EXPECT_TRUE(config_untouched());
}

}  // namespace
