// The picture groups of the documentation; each writes its PNG files into a folder.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include "app/program.h"
#include "sim/virtual_programmer.h"
#include "ui/dialogs/modal_runner.h"

namespace tessaflex::shots {

// The program over the device list at device_list_path with a PIC18F452 chosen and a
// connected virtual programmer, its settings in a private folder that goes with it.
class Showcase {
 public:
  explicit Showcase(const QString& device_list_path);
  app::Program& program() { return program_; }
  const core::SettingsStore& settings() const { return program_.settings(); }

 private:
  QTemporaryDir settings_dir_;
  sim::VirtualProgrammer programmer_{"18F452"};
  ui::ExecRunner runner_;
  app::Program program_;
};

// Each group builds its windows on the offscreen platform with the device list at
// device_list_path and saves them under out_dir.
void main_window(const QString& out_dir, const QString& device_list_path);
void dialogs(const QString& out_dir, const QString& device_list_path);
void themes(const QString& out_dir, const QString& device_list_path);

}  // namespace tessaflex::shots
