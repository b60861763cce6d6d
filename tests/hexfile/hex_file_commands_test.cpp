// The Open and Save commands after their dialogs: texts, sequences, failures, atomic saves.
#include "hexfile/hex_file_commands.h"

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

#include "hex_test_support.h"
#include "hexfile/command_texts.h"
#include "hexfile/hex_writer.h"
#include "support/recording_host.h"
#include "support/temp_settings.h"

namespace tessaflex::hexfile {
namespace {

using testing::ByteMap;
using Events = std::vector<std::string>;

TEST(CommandTexts, KFigureAndShortenedPath) {
  // clang-format off
  const std::pair<std::int64_t, const char*> table[] = {
      {0, "0"}, {512, ".5"}, {1000, ".976"}, {1234, "1.20"}, {10500, "10.2"}, {131072, "128"}, {1280, "1.25"},
      {1024, "1"}, {524400, "512."}, {10240000, "1000"}, {103, ".100"}, {102, ".099"}, {1, ".000"}};
  // clang-format on
  for (const auto& [n, k] : table) EXPECT_EQ(k_figure(n), k) << "n = " << n;
  // The last seventy characters, not bytes: a two-byte character is never cut.
  const std::string seventy = "/" + std::string(69, 'a'), accented = "\xC3\xA9" + std::string(69, 'x');
  EXPECT_EQ(shorten_path(seventy), seventy);
  EXPECT_EQ(shorten_path("b" + seventy), "... " + seventy);
  EXPECT_EQ(shorten_path(accented), accented);
  EXPECT_EQ(shorten_path("\xC3\xA9" + accented), "... " + accented);
}

// Logs every call in order: "disable", "enable", "redraw", "status:<text>",
// "box:<kind>:<caption>:<text>" and, through the label callback, "label:<text>".
class SequenceHost : public testing::RecordingHost {
 public:
  void set_status(std::string_view text) override { log("status:", text); }
  void disable() override { log("disable"); }
  void enable() override { log("enable"); }
  void updatedisplay() override { log("redraw"); }
  core::BoxAnswer message_box(std::string_view text, core::BoxKind kind, std::string_view caption) override {
    log("box:" + std::to_string(static_cast<int>(kind)) + ":" + std::string(caption) + ":", text);
    return answer;
  }
  void log(const std::string& what, std::string_view text = "") {
    events.push_back(what + std::string(text));
  }
  Events events;
  core::BoxAnswer answer = core::BoxAnswer::yes;
};

// An in-memory file system whose replace can be told to fail at one stage.
class FakeFiles : public FileAccess {
 public:
  bool exists(const std::string& path) override { return files.count(path) > 0; }
  FileError read_all(const std::string& path, std::string& contents) override {
    const auto it = files.find(path);
    contents = it == files.end() ? "" : it->second;
    return it == files.end() ? FileError{FileError::Stage::read, "No such file or directory"} : FileError{};
  }
  FileError replace(const std::string& path, std::string_view contents) override {
    if (fail_at != FileError::Stage::none) return {fail_at, "No space left on device"};
    files[path] = std::string(contents);
    return {};
  }
  std::map<std::string, std::string> files;
  FileError::Stage fail_at = FileError::Stage::none;
};

class HexCommands : public ::testing::Test {
 protected:
  HexCommands() {
    workspace.current_device.flash_size = 32768, workspace.current_device.eeprom_size = 256;
    devices::erase_images(workspace.current_device, workspace.memory_images);
  }
  HexFileCommands commands(FileAccess& with) {
    return HexFileCommands(workspace, settings.store(), host, with,
                           [this](std::string_view text) { host.log("label:", text); });
  }
  std::string last_path_setting() const { return settings.store().get_setting("Last Path", "(none)"); }
  ByteMap changed() const {
    return testing::changed_bytes(workspace.memory_images, testing::erased_images(32768, 256));
  }

  devices::Workspace workspace;
  testing::TempSettings settings;
  SequenceHost host;
  FakeFiles files;
};

TEST_F(HexCommands, CancelledDialogsChangeNothing) {
  workspace.memory_images.flash_image[0] = 0x12, workspace.last_path = "/old/";
  EXPECT_FALSE(commands(files).open("") || commands(files).save(""));
  EXPECT_TRUE(host.events.empty() && files.files.empty());
  EXPECT_EQ(std::tuple(changed(), workspace.last_path, last_path_setting()),
            std::tuple(ByteMap{{0, 0x12}}, "/old/", "(none)"));
}

TEST_F(HexCommands, OpenErasesLoadsWarnsAndReportsTheBytesUpToTheEnd) {
  // All reset by the load: a byte, a configuration value and the loaded end.
  workspace.memory_images.flash_image[0x7000] = 0, workspace.memory_images.config_image[1] = 0x99;
  workspace.flash_loaded_end = 99999;
  const std::string folder = "/" + std::string(80, 'f') + "/", path = folder + "a.hex";  // the label shows 70
  files.files[path] = testing::records(0, 0x500, 16, '1') + testing::record("0180000001");  // 1 beyond 32K
  EXPECT_TRUE(commands(files).open(path));
  EXPECT_EQ(host.events,
            (Events{"disable",
                    "box:64::Warning!\r\nInput program file in Intel Hex Format contains errors.\r\n"
                    "There are data for 1 addresses out of range:\r\n008000.\r\n",
                    "redraw", "label:... " + path.substr(17),
                    "status:Operation completed. Total 1280 (1.25K) program bytes loaded.", "enable"}));
  EXPECT_EQ(std::tuple(workspace.last_path, last_path_setting(), changed().size()),
            std::tuple(folder, folder, 1280u));
}

TEST_F(HexCommands, RefusedOrUnreadableFileLeavesEverythingErased) {
  files.files["/work/bad.hex"] =
      testing::records(0, 6 * 16, 16, '0') + testing::record("00000003");  // line 7
  EXPECT_FALSE(commands(files).open("/work/bad.hex"));
  EXPECT_EQ(host.events, (Events{"disable",
                                 "box:16::Input program file in Intel Hex Format contains errors.\r\n"
                                 "Line number 7: Invalid 'record type' field in the record.",
                                 "redraw", "label:", "status:HEX file not loaded!", "enable"}));
  EXPECT_EQ(std::tuple(changed(), last_path_setting()),
            std::tuple(ByteMap{}, "/work/"));  // path stored first
  host.events.clear();
  EXPECT_FALSE(commands(files).open("/w/gone.hex"));
  EXPECT_EQ(host.events,
            (Events{"disable", "box:16::The file /w/gone.hex cannot be read:\r\nNo such file or directory",
                    "redraw", "label:", "status:HEX file not loaded! The file cannot be read.", "enable"}));
}

TEST_F(HexCommands, SaveWritesAndAsksBeforeOverwriting) {
  workspace.memory_images.flash_image[0] = 0x12, workspace.flash_loaded_end = 77;
  EXPECT_TRUE(commands(files).save("/out/a.hex"));
  EXPECT_EQ(host.events, (Events{"disable", "label:/out/a.hex", "enable", "status:HEX file saved."}));
  EXPECT_EQ(files.files.at("/out/a.hex"), hex_file_text(workspace.memory_images));
  EXPECT_EQ(std::tuple(last_path_setting(), workspace.flash_loaded_end, changed()),
            std::tuple("/out/", 77, ByteMap{{0, 0x12}}));
  host.events.clear(), files.files["/out/b.hex"] = "old", host.answer = core::BoxAnswer::no;
  EXPECT_FALSE(commands(files).save("/out/b.hex"));
  EXPECT_EQ(host.events, (Events{"box:4::Do you want to overwrite file /out/b.hex?"}));
  EXPECT_EQ(files.files.at("/out/b.hex"), "old");
  host.answer = core::BoxAnswer::ok;  // any answer but No replaces the file
  EXPECT_TRUE(commands(files).save("/out/b.hex"));
  EXPECT_EQ(files.files.at("/out/b.hex"), hex_file_text(workspace.memory_images));
}

TEST_F(HexCommands, SaveFailuresReachTheUserAndKeepTheOldFile) {
  files.files["/out/old.hex"] = "old";
  using enum FileError::Stage;
  for (const auto& [stage, what] :
       {std::pair{create, "created"}, {write, "written"}, {replace, "replaced"}}) {
    host.events.clear(), files.fail_at = stage;
    EXPECT_FALSE(commands(files).save("/out/old.hex"));
    EXPECT_EQ(host.events, (Events{"box:4::Do you want to overwrite file /out/old.hex?", "disable",
                                   "box:16::The file /out/old.hex cannot be " + std::string(what) +
                                       ":\r\nNo space left on device\r\n"
                                       "The buffer was not saved; a file that was there before is unchanged.",
                                   "enable", "status:HEX file not saved!"}));
    EXPECT_EQ(files.files.at("/out/old.hex"), "old");
  }
}

TEST_F(HexCommands, OnDiskASaveIntoAReadOnlyFolderKeepsTheOldFile) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/locked folder", path = folder + "/old.hex";
  ASSERT_EQ(chmod(dir.path().toStdString().c_str(), 0755), 0);
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  std::ofstream(path, std::ios::binary) << "old contents\r\n";
  ASSERT_EQ(chmod(path.c_str(), 0644) | chmod(folder.c_str(), 0555), 0);
  LocalFileAccess local;
  // Root passes every permission check: this thread saves as nobody (65534).
  const bool root = geteuid() == 0;
  if (root) setfsuid(65534), setfsgid(65534);
  EXPECT_FALSE(commands(local).save(path));
  if (root) setfsuid(0), setfsgid(0);
  std::string kept;
  EXPECT_TRUE(!local.read_all(path, kept).failed() && kept == "old contents\r\n");
  EXPECT_EQ(host.events.at(2).rfind("box:16::The file " + path + " cannot be created:\r\n", 0), 0u);
  EXPECT_EQ(host.events.back(), "status:HEX file not saved!");

  // Once the folder is writable the save leaves no temporary file; a missing file or a folder is unreadable.
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  EXPECT_TRUE(commands(local).save(path));
  EXPECT_EQ(QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden).size(), 1);
  for (const std::string& unreadable : {folder + "/none.hex", folder}) {
    EXPECT_FALSE(commands(local).open(unreadable));
    EXPECT_EQ(host.events.end()[-5].rfind("box:16::The file " + unreadable + " cannot be read:\r\n", 0), 0u);
  }
}

}  // namespace
}  // namespace tessaflex::hexfile
