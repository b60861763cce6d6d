// The Open HEX File and Save Buffer As commands, after their file dialogs.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/host.h"
#include "core/settings_store.h"
#include "devices/workspace.h"
#include "hexfile/file_access.h"

namespace tessaflex::hexfile {

// Status texts of the commands.
inline constexpr std::string_view kNotLoadedStatus = "HEX file not loaded!";
inline constexpr std::string_view kUnreadableStatus = "HEX file not loaded! The file cannot be read.";
inline constexpr std::string_view kSavedStatus = "HEX file saved.";
inline constexpr std::string_view kNotSavedStatus = "HEX file not saved!";

// Runs the two file commands on the workspace once the window's dialog has returned a
// path. Boxes, the status line, disable/enable and the table redraw go through host; the
// caption of the loaded-file label goes through set_label_hex. Every command that starts
// its work (after the dialog and, for Save, the overwrite question) ends with the window
// enabled, whatever fails.
class HexFileCommands {
 public:
  HexFileCommands(devices::Workspace& workspace, const core::SettingsStore& settings, core::Host& host,
                  FileAccess& files, std::function<void(std::string_view)> set_label_hex);

  // The Open command with the path the Open dialog returned ("" when cancelled: nothing
  // happens). Sets last_path to the path's folder and stores it in "Last Path" at once,
  // then runs load_hex_file. True when the file was loaded.
  bool open(std::string_view chosen_path);

  // Loads last_path + name: disable; erase the images for the current model;
  // flash_loaded_end := 0; read the file, showing its error or warning box; on success
  // redraw, set the label to the shortened path and the status to the bytes loaded; on
  // failure erase the images again, redraw, empty the label and set the status to
  // "HEX file not loaded!" (for an unreadable file, after a box with the system's reason,
  // kUnreadableStatus); enable. True when the file was loaded.
  bool load_hex_file(std::string_view name);

  // The Save command with the path the Save As dialog returned ("" when cancelled:
  // nothing happens). Sets and stores last_path as open does; when something exists at
  // the path asks "Do you want to overwrite file <path>?" and stops on No. Otherwise:
  // disable; write the images to the path atomically; on success set the label to the
  // shortened path, enable, status "HEX file saved."; on failure show a box naming the
  // path, what failed and why (the old file is kept), enable, status
  // "HEX file not saved!". True when the file was written.
  bool save(std::string_view chosen_path);

 private:
  // Steps common to both commands after the dialog: last_path and "Last Path"; the name.
  std::string remember_folder(std::string_view chosen_path);
  void show(std::string_view text, core::BoxKind kind);

  devices::Workspace& workspace_;
  const core::SettingsStore& settings_;
  core::Host& host_;
  FileAccess& files_;
  std::function<void(std::string_view)> set_label_hex_;
};

}  // namespace tessaflex::hexfile
