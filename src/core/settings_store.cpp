// The per-user settings of the program: text and 32-bit number values under one key.
#include "core/settings_store.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QVariant>
#include <memory>

namespace tessaflex::core {
namespace {

QString to_qstring(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A registry-style name "Sub\Name" addresses value Name in sub-key Sub; QSettings
// spells the same path with a slash.
QString settings_key(std::string_view name) {
  const auto slash = name.find('\\');
  if (slash == std::string_view::npos) return to_qstring(name);
  return to_qstring(name.substr(0, slash)) + QLatin1Char('/') + to_qstring(name.substr(slash + 1));
}

bool holds_number(const QVariant& v) {
  switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
      return true;
    default:
      return false;
  }
}

// Reads a whole decimal number that fits 32 bits as signed or as unsigned.
std::optional<std::int32_t> dword_from_text(const QString& text) {
  bool ok = false;
  const qlonglong n = text.trimmed().toLongLong(&ok, 10);
  if (!ok || n < INT32_MIN || n > static_cast<qlonglong>(UINT32_MAX)) return std::nullopt;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
}

}  // namespace

SettingsStore::SettingsStore(std::string location, bool native)
    : location_(std::move(location)), native_(native) {}

SettingsStore::SettingsStore(std::string ini_path) : SettingsStore(std::move(ini_path), false) {}

SettingsStore SettingsStore::per_user() {
#ifdef _WIN32
  return SettingsStore("HKEY_CURRENT_USER\\Software\\Tessaflex", true);
#else
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return SettingsStore((folder + QStringLiteral("/Tessaflex/Tessaflex.ini")).toStdString(), false);
#endif
}

namespace {
std::unique_ptr<QSettings> open_store(const std::string& location, bool native) {
  return std::make_unique<QSettings>(QString::fromStdString(location),
                                     native ? QSettings::NativeFormat : QSettings::IniFormat);
}
}  // namespace

std::string SettingsStore::get_setting(std::string_view name, std::string_view default_value) const {
  const QString key = settings_key(name);
  auto store = open_store(location_, native_);
  const QVariant value = store->value(key);
  if (!value.isValid()) {
    // Only a missing value takes the default; one that is there but holds no value Qt
    // can read (an empty variant, "@Invalid()" in the INI file) is left as it is.
    if (!store->contains(key)) store->setValue(key, to_qstring(default_value));
    return std::string(default_value);
  }
  if (holds_number(value)) return value.toString().toStdString();
  if (value.metaType().id() == QMetaType::QStringList) {
    // A hand-edited INI line with unquoted commas comes back as a list.
    return value.toStringList().join(QLatin1Char(',')).toStdString();
  }
  if (value.metaType().id() == QMetaType::QString) return value.toString().toStdString();
  return std::string(default_value);
}

std::int32_t SettingsStore::get_setting_dword(std::string_view name, std::int32_t default_value) const {
  const QString key = settings_key(name);
  auto store = open_store(location_, native_);
  const QVariant value = store->value(key);
  if (!value.isValid()) {
    if (!store->contains(key)) store->setValue(key, default_value);
    return default_value;
  }
  std::optional<std::int32_t> number;
  if (holds_number(value)) {
    number = dword_from_text(value.toString());
  } else if (value.metaType().id() == QMetaType::QString) {
    number = dword_from_text(value.toString());
  }
  return number.value_or(default_value);
}

void SettingsStore::save_setting(std::string_view name, std::string_view value) const {
  auto store = open_store(location_, native_);
  store->setValue(settings_key(name), to_qstring(value));
}

}  // namespace tessaflex::core
