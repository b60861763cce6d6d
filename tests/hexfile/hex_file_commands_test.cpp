// The Open and Save commands after their dialogs: sequences, texts, failures, atomic saves.
#include "hexfile/hex_file_commands.h"

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <map>

#include "core/hex_text.h"
#include "hex_test_support.h"
#include "hexfile/command_texts.h"
#include "hexfile/hex_checksum.h"
#include "hexfile/hex_writer.h"
#include "support/temp_settings.h"

namespace tessaflex::hexfile {
namespace {

using testing::erased_images;
using testing::make_device;
using testing::record;
using testing::SequenceHost;

// ---- pure texts ---------------------------------------------------------------------------

struct KCase {
  std::int64_t n;
  const char* k;
};

class KFigure : public ::testing::TestWithParam<KCase> {};

TEST_P(KFigure, IsTheCutQuotient) { EXPECT_EQ(k_figure(GetParam().n), GetParam().k); }

INSTANTIATE_TEST_SUITE_P(Table, KFigure,
                         ::testing::Values(KCase{0, "0"}, KCase{512, ".5"}, KCase{1000, ".976"}, KCase{1234, "1.20"},
                                           KCase{1536, "1.5"}, KCase{10500, "10.2"}, KCase{32768, "32"},
                                           KCase{131072, "128"}, KCase{1280, "1.25"}, KCase{103, ".100"},
                                           KCase{1023, ".999"}, KCase{1024, "1"}, KCase{524400, "512."},
                                           KCase{102400, "100"}, KCase{1048576, "1024"}, KCase{10240000, "1000"},
                                           // Below 0.1: the same plain form, never an exponent.
                                           KCase{1, ".000"}, KCase{11, ".010"}, KCase{102, ".099"}));

TEST(LoadedStatusText, NamesBytesAndK) {
  EXPECT_EQ(loaded_status_text(1280), "Operation completed. Total 1280 (1.25K) program bytes loaded.");
  EXPECT_EQ(loaded_status_text(0), "Operation completed. Total 0 (0K) program bytes loaded.");
}

TEST(ShortenPath, SeventyCharactersStayWhole) {
  const std::string path = "/" + std::string(69, 'a');
  EXPECT_EQ(shorten_path(path), path);
  EXPECT_EQ(shorten_path(""), "");
}

TEST(ShortenPath, SeventyOneBecomeTheLastSeventy) {
  const std::string path = "/b" + std::string(69, 'a');
  ASSERT_EQ(path.size(), 71u);
  EXPECT_EQ(shorten_path(path), "... b" + std::string(69, 'a'));
  EXPECT_EQ(shorten_path(path).size(), 74u);
}

TEST(ShortenPath, NeverCutsInsideACharacter) {
  // 71 characters, the first two of which are two-byte characters.
  const std::string path = "\xC3\xA9\xC3\xA9" + std::string(69, 'x');
  EXPECT_EQ(shorten_path(path), "... \xC3\xA9" + std::string(69, 'x'));
  const std::string seventy = "\xC3\xA9" + std::string(69, 'x');
  EXPECT_EQ(shorten_path(seventy), seventy);
}

TEST(SplitChosenPath, AfterTheLastSeparator) {
  const ChosenPath chosen = split_chosen_path("/home/user/work/a.hex");
  EXPECT_EQ(chosen.folder, "/home/user/work/");
  EXPECT_EQ(chosen.name, "a.hex");
  EXPECT_EQ(split_chosen_path("a.hex").folder, "");
  EXPECT_EQ(split_chosen_path("/a.hex").folder, "/");
}

// ---- the commands ------------------------------------------------------------------------

// An in-memory file system that can be told to fail at one stage.
class FakeFiles : public FileAccess {
 public:
  bool exists(const std::string& path) override { return files.count(path) > 0; }
  FileError read_all(const std::string& path, std::string& contents) override {
    contents.clear();
    if (fail_at == FileError::Stage::read) return {fail_at, reason};
    const auto it = files.find(path);
    if (it == files.end()) return {FileError::Stage::read, "No such file or directory"};
    contents = it->second;
    return {};
  }
  FileError replace(const std::string& path, std::string_view contents) override {
    ++replace_calls;
    if (fail_at == FileError::Stage::create || fail_at == FileError::Stage::write ||
        fail_at == FileError::Stage::replace)
      return {fail_at, reason};
    files[path] = std::string(contents);
    return {};
  }

  std::map<std::string, std::string> files;
  FileError::Stage fail_at = FileError::Stage::none;
  std::string reason = "No space left on device";
  int replace_calls = 0;
};

constexpr std::array<std::int32_t, 14> kErased452 = {0, 0x27, 0x0F, 0x0F, 0, 0x01, 0x85,
                                                     0, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};

class HexCommands : public ::testing::Test {
 protected:
  HexCommands() {
    workspace.current_device = make_device(32768, 256, kErased452);
    devices::erase_images(workspace.current_device, workspace.memory_images);
  }

  HexFileCommands commands(FileAccess& with) {
    return HexFileCommands(workspace, settings.store(), host, with,
                           [this](std::string_view text) { host.set_label(text); });
  }

  std::string last_path_setting() const { return settings.store().get_setting("Last Path", "(none)"); }

  devices::Workspace workspace;
  testing::TempSettings settings;
  SequenceHost host;
  FakeFiles files;
};

std::string flash_up_to_4ff() {
  std::string text = record("020000040000") + "\r\n";
  for (int a = 0; a < 0x500; a += 16) text += record("10" + core::word_to_hex(a) + "00" + std::string(32, '1')) + "\r\n";
  return text + record("00000001") + "\r\n";
}

TEST_F(HexCommands, CancelledOpenChangesNothing) {
  workspace.memory_images.flash_image[0] = 0x12;
  workspace.last_path = "/old/";
  EXPECT_FALSE(commands(files).open(""));
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(workspace.memory_images.flash_image[0], 0x12);
  EXPECT_EQ(workspace.last_path, "/old/");
  EXPECT_EQ(last_path_setting(), "(none)");
}

TEST_F(HexCommands, OpenLoadsAndReportsTheBytes) {
  files.files["/work/a.hex"] = flash_up_to_4ff();
  EXPECT_TRUE(commands(files).open("/work/a.hex"));
  EXPECT_EQ(host.events, (std::vector<std::string>{"disable", "redraw", "label:/work/a.hex",
                                                   "status:Operation completed. Total 1280 (1.25K) program bytes loaded.",
                                                   "enable"}));
  EXPECT_EQ(workspace.last_path, "/work/");
  EXPECT_EQ(last_path_setting(), "/work/");
  EXPECT_EQ(workspace.flash_loaded_end, 1280);
  EXPECT_EQ(workspace.memory_images.flash_image[0x4FF], 0x11);
  EXPECT_EQ(workspace.memory_images.flash_image[0x500], 0xFF);
}

TEST_F(HexCommands, OpenErasesTheImagesFirst) {
  workspace.memory_images.flash_image[0x7000] = 0x00;
  workspace.memory_images.config_image[1] = 0x99;
  workspace.flash_loaded_end = 999;
  files.files["/w/cfg.hex"] = record("020000040030") + "\n" + record("0100020055") + "\n";
  EXPECT_TRUE(commands(files).open("/w/cfg.hex"));
  EXPECT_EQ(workspace.memory_images.flash_image[0x7000], 0xFF);
  EXPECT_EQ(workspace.memory_images.config_image[1], 0x27);  // the erased value again
  EXPECT_EQ(workspace.memory_images.config_image[2], 0x55);
  EXPECT_EQ(workspace.flash_loaded_end, 0);
  EXPECT_EQ(host.status(), "Operation completed. Total 0 (0K) program bytes loaded.");
}

TEST_F(HexCommands, OpenEmptyFileReportsZero) {
  files.files["/w/empty.hex"] = "";
  EXPECT_TRUE(commands(files).open("/w/empty.hex"));
  EXPECT_EQ(host.status(), "Operation completed. Total 0 (0K) program bytes loaded.");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(HexCommands, RefusedFileLeavesEverythingErased) {
  std::string text;
  for (int a = 0; a < 6 * 16; a += 16) text += record("10" + core::word_to_hex(a) + "00" + std::string(32, '0')) + "\r\n";
  text += record("00000003") + "\r\n";  // line 7
  files.files["/work/bad.hex"] = text;
  EXPECT_FALSE(commands(files).open("/work/bad.hex"));
  EXPECT_EQ(host.events,
            (std::vector<std::string>{"disable",
                                      "box:16:Input program file in Intel Hex Format contains errors.\r\n"
                                      "Line number 7: Invalid 'record type' field in the record.",
                                      "redraw", "label:", "status:HEX file not loaded!", "enable"}));
  EXPECT_EQ(workspace.memory_images.flash_image, erased_images(workspace.current_device).flash_image);
  EXPECT_EQ(last_path_setting(), "/work/");  // stored before the file was read
  EXPECT_EQ(host.boxes.at(0).caption, "");     // the program title
}

TEST_F(HexCommands, OutOfRangeDataIsAWarningAndTheFileCounts) {
  files.files["/w/oor.hex"] = record("020000040010") + "\r\n" + record("0100000001");
  EXPECT_TRUE(commands(files).open("/w/oor.hex"));
  ASSERT_EQ(host.events.size(), 6u);
  EXPECT_EQ(host.events[1],
            "box:64:Warning!\r\nInput program file in Intel Hex Format contains errors.\r\n"
            "There are data for 1 addresses out of range:\r\n100000.\r\n");
  EXPECT_EQ(host.events[4], "status:Operation completed. Total 0 (0K) program bytes loaded.");
}

TEST_F(HexCommands, UnreadableFileIsReportedAndEndsEnabled) {
  EXPECT_FALSE(commands(files).open("/w/gone.hex"));
  EXPECT_EQ(host.events,
            (std::vector<std::string>{"disable", "box:16:The file /w/gone.hex cannot be read:\r\nNo such file or directory",
                                      "redraw", "label:", "status:HEX file not loaded! The file cannot be read.",
                                      "enable"}));
  EXPECT_TRUE(host.enabled);
}

TEST_F(HexCommands, LongPathsAreShortenedInTheLabel) {
  const std::string folder = "/" + std::string(80, 'f') + "/";
  files.files[folder + "x.hex"] = "";
  EXPECT_TRUE(commands(files).open(folder + "x.hex"));
  EXPECT_EQ(host.label_hex, "... " + (folder + "x.hex").substr((folder + "x.hex").size() - 70));
}

TEST_F(HexCommands, SaveWritesANewFile) {
  workspace.memory_images.flash_image[0] = 0x12;
  workspace.flash_loaded_end = 77;
  const devices::MemoryImages before = workspace.memory_images;
  EXPECT_TRUE(commands(files).save("/out/new.hex"));
  EXPECT_EQ(host.events,
            (std::vector<std::string>{"disable", "label:/out/new.hex", "enable", "status:HEX file saved."}));
  EXPECT_EQ(files.files.at("/out/new.hex"), hex_file_text(workspace.memory_images));
  EXPECT_EQ(last_path_setting(), "/out/");
  EXPECT_EQ(workspace.flash_loaded_end, 77);
  EXPECT_EQ(workspace.memory_images.flash_image, before.flash_image);
  EXPECT_EQ(host.redraws, 0);
}

TEST_F(HexCommands, CancelledSaveChangesNothing) {
  EXPECT_FALSE(commands(files).save(""));
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(last_path_setting(), "(none)");
  EXPECT_EQ(files.replace_calls, 0);
}

TEST_F(HexCommands, SaveOverAFileAsksAndNoWritesNothing) {
  files.files["/out/old.hex"] = "old";
  host.answers.push_back(core::BoxAnswer::no);
  EXPECT_FALSE(commands(files).save("/out/old.hex"));
  EXPECT_EQ(host.events, (std::vector<std::string>{"box:4:Do you want to overwrite file /out/old.hex?"}));
  EXPECT_EQ(files.files.at("/out/old.hex"), "old");
  EXPECT_EQ(files.replace_calls, 0);
  EXPECT_EQ(workspace.last_path, "/out/");
  EXPECT_EQ(last_path_setting(), "/out/");
  EXPECT_EQ(host.label_hex, "(unchanged)");
}

TEST_F(HexCommands, SaveOverAFileAndYesReplacesIt) {
  files.files["/out/old.hex"] = "old";
  host.answers.push_back(core::BoxAnswer::yes);
  EXPECT_TRUE(commands(files).save("/out/old.hex"));
  EXPECT_EQ(files.files.at("/out/old.hex"), hex_file_text(workspace.memory_images));
  EXPECT_EQ(host.status(), "HEX file saved.");
}

struct SaveFailureCase {
  FileError::Stage stage;
  const char* what;
};

class HexSaveFailure : public HexCommands, public ::testing::WithParamInterface<SaveFailureCase> {};

TEST_P(HexSaveFailure, ReachesTheUserAndKeepsTheOldFile) {
  files.files["/out/old.hex"] = "old";
  files.fail_at = GetParam().stage;
  EXPECT_FALSE(commands(files).save("/out/old.hex"));
  EXPECT_EQ(host.events,
            (std::vector<std::string>{
                "box:4:Do you want to overwrite file /out/old.hex?", "disable",
                std::string("box:16:The file /out/old.hex ") + GetParam().what +
                    ":\r\nNo space left on device\r\n"
                    "The buffer was not saved; a file that was there before is unchanged.",
                "enable", "status:HEX file not saved!"}));
  EXPECT_EQ(files.files.at("/out/old.hex"), "old");
  EXPECT_TRUE(host.enabled);
  EXPECT_EQ(host.label_hex, "(unchanged)");
}

INSTANTIATE_TEST_SUITE_P(Stages, HexSaveFailure,
                         ::testing::Values(SaveFailureCase{FileError::Stage::create, "cannot be created"},
                                           SaveFailureCase{FileError::Stage::write, "cannot be written"},
                                           SaveFailureCase{FileError::Stage::replace, "cannot be replaced"}));

// ---- the real file system -----------------------------------------------------------------

// While alive, file access runs as an unprivileged user, so that folder permissions hold
// even when the tests run as root (root passes every permission check). setfsuid changes
// only this thread's file-system identity and is undone at the end.
class AsUnprivilegedUser {
 public:
  AsUnprivilegedUser() {
    if (geteuid() != 0) return;
    active_ = true;
    setfsgid(65534);
    setfsuid(65534);
  }
  ~AsUnprivilegedUser() {
    if (!active_) return;
    setfsuid(0);
    setfsgid(0);
  }
  AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
  AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

 private:
  bool active_ = false;
};

TEST_F(HexCommands, SaveIntoAReadOnlyFolderKeepsTheOldFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string root = dir.path().toStdString();
  const std::string folder = root + "/locked";
  ASSERT_EQ(chmod(root.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string path = folder + "/old.hex";
  testing::write_text(path, "old contents\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);

  workspace.memory_images.flash_image[0] = 0x42;
  LocalFileAccess local;
  host.answers.push_back(core::BoxAnswer::yes);
  bool saved = true;
  {
    AsUnprivilegedUser unprivileged;
    saved = commands(local).save(path);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(testing::file_text(path), "old contents\r\n");
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].kind, core::BoxKind::error);
  EXPECT_EQ(host.boxes[1].text.rfind("The file " + path + " cannot be created:\r\n", 0), 0u) << host.boxes[1].text;
  EXPECT_EQ(host.status(), "HEX file not saved!");
  EXPECT_TRUE(host.enabled);

  // The same save succeeds once the folder may be written, and leaves no temporary file.
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  host.answers.push_back(core::BoxAnswer::yes);
  EXPECT_TRUE(commands(local).save(path));
  EXPECT_EQ(testing::file_text(path), hex_file_text(workspace.memory_images));
  EXPECT_EQ(QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(HexCommands, SaveThenOpenRoundTripsOnDisk) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  LocalFileAccess local;
  workspace.memory_images.flash_image[0x100] = 0x01;
  workspace.memory_images.eeprom_image[3] = 0x33;
  workspace.memory_images.config_image[0] = 0x00;
  const devices::MemoryImages saved = workspace.memory_images;
  const std::string path = dir.path().toStdString() + "/round trip.hex";
  EXPECT_TRUE(commands(local).save(path));
  EXPECT_TRUE(commands(local).open(path));
  EXPECT_EQ(workspace.memory_images.flash_image, saved.flash_image);
  EXPECT_EQ(workspace.memory_images.eeprom_image, saved.eeprom_image);
  EXPECT_EQ(workspace.memory_images.config_image, saved.config_image);
  EXPECT_EQ(workspace.flash_loaded_end, 0x102);
  EXPECT_EQ(host.status(), "Operation completed. Total 258 (.251K) program bytes loaded.");
}

}  // namespace
}  // namespace tessaflex::hexfile
