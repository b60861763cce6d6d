// A settings store in a temporary folder, so tests never touch the user's own.
#pragma once

#include <QTemporaryDir>
#include <string>

#include "core/settings_store.h"

namespace tessaflex::test {

class TempSettings {
 public:
  TempSettings() : store_(path()) {}
  std::string path() const { return (dir_.path() + QStringLiteral("/Tessaflex.ini")).toStdString(); }
  const core::SettingsStore& store() const { return store_; }

 private:
  QTemporaryDir dir_;
  core::SettingsStore store_;
};

}  // namespace tessaflex::test
