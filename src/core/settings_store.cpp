// The per-user settings of the program: text and 32-bit number values under one key.
#include "core/settings_store.h"

#include <QFile>
#include <QMap>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

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

// An INI key or section name as Qt reads it: "%XX" and "%UXXXX" give the character of that
// code, and a backslash stands for "/".
QString ini_unescaped(QStringView key) {
  QString out;
  for (qsizetype i = 0; i < key.size(); ++i) {
    if (key[i] == u'%') {
      const bool wide = key.sliced(i + 1).startsWith(u'U');
      const qsizetype first = i + (wide ? 2 : 1);
      const qsizetype digits = wide ? 4 : 2;
      bool ok = false;
      const ushort code = first + digits <= key.size() ? key.sliced(first, digits).toUShort(&ok, 16) : 0;
      if (ok) {
        out += QChar(code);
        i = first + digits - 1;
        continue;
      }
    }
    out += key[i] == u'\\' ? QChar(u'/') : key[i];
  }
  return out;
}

// Qt reads an INI value with unquoted commas as a list, dropping the blanks around each
// comma, and writes it back with ", " between the items; but a folder name may hold "," or
// ", ". So a text typed by hand that way is taken from its own line of the file: the value
// after "=" without its outer blanks, by key as QSettings names it (the later line wins).
// A value with quotes, escapes, a comment or a leading "@" is left to Qt, which reads those
// its own way.
QMap<QString, QString> hand_typed_texts(const std::string& ini_path) {
  QMap<QString, QString> texts;
  QFile file(QString::fromStdString(ini_path));
  if (!file.open(QIODevice::ReadOnly)) return texts;
  QString section;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
      const QString name = ini_unescaped(QStringView(trimmed).sliced(1, trimmed.size() - 2));
      section = name.compare(u"general", Qt::CaseInsensitive) == 0 ? QString() : name + u'/';
      continue;
    }
    const qsizetype equals = trimmed.indexOf(u'=');
    const QString value = trimmed.mid(equals + 1).trimmed();
    const bool qt_syntax =
        value.contains(u'"') || value.contains(u'\\') || value.contains(u';') || value.startsWith(u'@');
    if (equals <= 0 || qt_syntax) continue;
    texts.insert(section + ini_unescaped(QStringView(trimmed).first(equals).trimmed()), value);
  }
  return texts;
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

// Qt writes the whole INI file back, the lists it read included, so the texts typed by hand
// with commas are first handed back to it as the texts they are: it then quotes them. The
// file is read again only when Qt holds such a list, which is seldom.
void write_value(QSettings& store, const std::string& location, bool native, const QString& key,
                 const QVariant& value) {
  QStringList lists;
  for (const QString& held : native ? QStringList() : store.allKeys()) {
    if (store.value(held).metaType().id() == QMetaType::QStringList) lists << held;
  }
  if (!lists.isEmpty()) {
    const QMap<QString, QString> typed = hand_typed_texts(location);
    for (const QString& list : lists) {
      if (typed.contains(list)) store.setValue(list, typed.value(list));
    }
  }
  store.setValue(key, value);
}
}  // namespace

std::string SettingsStore::get_setting(std::string_view name, std::string_view default_value) const {
  const QString key = settings_key(name);
  auto store = open_store(location_, native_);
  const QVariant value = store->value(key);
  if (!value.isValid()) {
    // Only a missing value takes the default; one that is there but holds no value Qt
    // can read (an empty variant, "@Invalid()" in the INI file) is left as it is.
    if (!store->contains(key)) write_value(*store, location_, native_, key, to_qstring(default_value));
    return std::string(default_value);
  }
  if (holds_number(value)) return value.toString().toStdString();
  if (value.metaType().id() == QMetaType::QStringList) {
    // A hand-edited INI line with unquoted commas comes back as a list: see hand_typed_texts.
    const QString joined = value.toStringList().join(QLatin1Char(','));
    return (native_ ? joined : hand_typed_texts(location_).value(key, joined)).toStdString();
  }
  if (value.metaType().id() == QMetaType::QString) return value.toString().toStdString();
  return std::string(default_value);
}

std::int32_t SettingsStore::get_setting_dword(std::string_view name, std::int32_t default_value) const {
  const QString key = settings_key(name);
  auto store = open_store(location_, native_);
  const QVariant value = store->value(key);
  if (!value.isValid()) {
    if (!store->contains(key)) write_value(*store, location_, native_, key, default_value);
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
  write_value(*store, location_, native_, settings_key(name), to_qstring(value));
}

}  // namespace tessaflex::core
