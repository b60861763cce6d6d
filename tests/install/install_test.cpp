// "cmake --install" into a temporary prefix, and the installed program started through bin/.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>
#include <filesystem>

namespace {

// Generous: this guards against a hang, it does not measure speed.
constexpr int kGuardMs = 60000;

QByteArray file_bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A fresh install under a prefix whose path holds a blank.
class Installed : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world_.isValid());
    prefix_ = world_.path() + QStringLiteral("/with blank");
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(TESSAFLEX_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(TESSAFLEX_BUILD_DIR),
                   QStringLiteral("--prefix"), prefix_});
    ASSERT_TRUE(install.waitForFinished(kGuardMs));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
  }

  QString at(const char* relative) const { return prefix_ + QLatin1Char('/') + QString::fromUtf8(relative); }

  QTemporaryDir world_;
  QString prefix_;
};

TEST_F(Installed, EveryFileIsWhereTheProgramTheDesktopAndUdevLook) {
  const QFileInfo program(at("lib/tessaflex/tessaflex"));
  EXPECT_TRUE(program.isFile() && program.isExecutable());
  EXPECT_EQ(file_bytes(at("lib/tessaflex/korvadevices.txt")),
            file_bytes(QStringLiteral(TESSAFLEX_SOURCE_DIR "/devices/korvadevices.txt")));
  // Relative, so the tree can be staged (DESTDIR) or moved as a whole.
  EXPECT_EQ(std::filesystem::read_symlink(at("bin/tessaflex").toStdString()), "../lib/tessaflex/tessaflex");

  const QByteArray desktop = file_bytes(at("share/applications/tessaflex.desktop"));
  EXPECT_TRUE(desktop.contains("\nExec=tessaflex\n") && desktop.contains("\nIcon=tessaflex\n"))
      << desktop.data();
  EXPECT_TRUE(file_bytes(at("share/icons/hicolor/scalable/apps/tessaflex.svg")).contains("<svg"));
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    const QByteArray png =
        file_bytes(at("share/icons/hicolor/") + QStringLiteral("%1x%1/apps/tessaflex.png").arg(size));
    // The PNG header's width and height, big-endian at bytes 16 and 20.
    ASSERT_GE(png.size(), 24) << size;
    EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + 16), static_cast<quint32>(size));
    EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + 20), static_cast<quint32>(size));
  }
  // The rule grants the seat's user the programmer alone, by both IDs, with no world-writable mode.
  const QByteArray rule = file_bytes(at("lib/udev/rules.d/70-tessaflex.rules"));
  for (const char* part : {"SUBSYSTEM==\"hidraw\"", "ATTRS{idVendor}==\"2345\"", "ATTRS{idProduct}==\"2345\"",
                           "TAG+=\"uaccess\""})
    EXPECT_TRUE(rule.contains(part)) << part;
  EXPECT_FALSE(rule.contains("MODE"));
}

TEST_F(Installed, TheProgramStartedThroughTheLinkFindsItsDeviceList) {
  QDir(world_.path()).mkpath(QStringLiteral("runtime"));
  QFile::setPermissions(world_.path() + QStringLiteral("/runtime"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), world_.path() + QStringLiteral("/runtime"));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), world_.path() + QStringLiteral("/config"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  const QString settings_file = world_.path() + QStringLiteral("/config/Tessaflex/Tessaflex.ini");
  const auto last_path = [&settings_file] {
    return QSettings(settings_file, QSettings::IniFormat).value(QStringLiteral("Last Path")).toString();
  };
  QProcess program;
  program.setProcessEnvironment(env);
  program.start(at("bin/tessaflex"), {});
  ASSERT_TRUE(program.waitForStarted());

  // Only with its models read does the program open its window, whose start stores the
  // program's folder as the first folder of the HEX file dialogs.
  QElapsedTimer guard;
  guard.start();
  while (last_path().isEmpty() && program.state() == QProcess::Running && !guard.hasExpired(kGuardMs)) {
    program.waitForFinished(50);
  }
  const QByteArray error = program.readAllStandardError();
  program.kill();
  program.waitForFinished(kGuardMs);
  EXPECT_EQ(last_path().toStdString(), at("lib/tessaflex/").toStdString()) << error.toStdString();
}

}  // namespace
