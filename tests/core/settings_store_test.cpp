// The settings store against a real INI file in a temporary folder.
#include "core/settings_store.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <fstream>
#include <string>

#include "support/temp_settings.h"

namespace tessaflex::core {
namespace {

using testing::TempSettings;

std::string file_text(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

TEST(SettingsStore, AMissingValueIsCreatedWithTheDefaultWhichLaterReadsReturn) {
  TempSettings settings;
  const SettingsStore& store = settings.store();
  EXPECT_EQ(store.get_setting("Last Path", "/opt/tessaflex/"), "/opt/tessaflex/");
  EXPECT_EQ(store.get_setting("Last Path", "/elsewhere/"), "/opt/tessaflex/");
  EXPECT_EQ(store.get_setting_dword("Hardware Vendor ID", 9029), 9029);
  EXPECT_EQ(store.get_setting_dword("Hardware Vendor ID", 1), 9029);
  EXPECT_EQ(store.get_setting_dword("Mouse Wheel Enabled", 1), 1);
}

TEST(SettingsStore, TextValuesRoundTripWhole) {
  TempSettings settings;
  const SettingsStore& store = settings.store();
  const std::string cases[] = {"",
                               "1",
                               "Original Lite",
                               std::string(254, 'x'),
                               std::string(1000, 'y'),
                               "a, b, c",
                               "C:\\Tools\\Prog\\",
                               "  padded  ",
                               "ümlaut",
                               "=;#[x]"};
  for (const auto& value : cases) {
    store.save_setting("Value", value);
    EXPECT_EQ(store.get_setting("Value", "default"), value);
  }
}

TEST(SettingsStore, ANumberStoredUnderATextSettingReadsAsItsText) {
  TempSettings settings;
  const SettingsStore& store = settings.store();
  store.get_setting_dword("Microcontroller Model", 3);
  EXPECT_EQ(store.get_setting("Microcontroller Model", "1"), "3");
}

TEST(SettingsStore, UnreadableNumbersGiveTheDefaultAndStayAsTheyAre) {
  struct Case {
    const char* stored;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"9029", 9029},     {"65535", 65535}, {"-1", -1}, {"4294967295", -1}, {"2147483648", INT32_MIN},
      {"4294967296", 77}, {"abc", 77},      {"", 77},   {"12abc", 77},      {"\"5\"", 5},
      {"@Invalid()", 77},
  };
  for (const auto& c : cases) {
    TempSettings settings;
    write_file(settings.path(), std::string("[General]\nHardware%20Vendor%20ID=") + c.stored + "\n");
    EXPECT_EQ(settings.store().get_setting_dword("Hardware Vendor ID", 77), c.expected) << c.stored;
    EXPECT_NE(file_text(settings.path()).find(std::string("Vendor%20ID=") + c.stored), std::string::npos)
        << "value replaced: " << c.stored;
  }
}

TEST(SettingsStore, AnEmptyVariantGivesTheDefaultAndOutlivesLaterSaves) {
  TempSettings settings;
  write_file(settings.path(), "[General]\nColor%20Theme=@Invalid()\n");
  EXPECT_EQ(settings.store().get_setting("Color Theme", "Original Lite"), "Original Lite");
  settings.store().save_setting("Last Path", "/x/");
  EXPECT_NE(file_text(settings.path()).find("Color%20Theme=@Invalid()"), std::string::npos)
      << file_text(settings.path());
}

TEST(SettingsStore, ASubKeyNameReadsAndWritesInsideTheSubKey) {
  TempSettings settings;
  const SettingsStore& store = settings.store();
  EXPECT_EQ(store.get_setting_dword("Window\\Left", 120), 120);
  EXPECT_EQ(store.get_setting_dword("Window\\Left", 0), 120);
  EXPECT_EQ(store.get_setting_dword("Left", 5), 5);  // the plain name is another value
  QSettings raw(QString::fromStdString(settings.path()), QSettings::IniFormat);
  EXPECT_EQ(raw.value(QStringLiteral("Window/Left")).toInt(), 120);
}

TEST(SettingsStore, AValueChangedOutsideIsSeenAtTheNextRead) {
  TempSettings settings;
  const SettingsStore& store = settings.store();
  store.save_setting("Color Theme", "Original Lite");
  {
    QSettings other(QString::fromStdString(settings.path()), QSettings::IniFormat);
    other.setValue(QStringLiteral("Color Theme"), QStringLiteral("Ocean"));
  }
  EXPECT_EQ(store.get_setting("Color Theme", "x"), "Ocean");
}

TEST(SettingsStore, AnUnwritableStoreGivesDefaultsWithoutFailing) {
  const SettingsStore store("/proc/tessaflex-cannot-exist/Tessaflex.ini");
  EXPECT_EQ(store.get_setting("Last Path", "/x/"), "/x/");
  EXPECT_EQ(store.get_setting_dword("Hardware Product ID", 9029), 9029);
  store.save_setting("Last Path", "/y/");
}

}  // namespace
}  // namespace tessaflex::core
