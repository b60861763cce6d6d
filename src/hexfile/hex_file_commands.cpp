// The Open HEX File and Save Buffer As commands, after their file dialogs.
#include "hexfile/hex_file_commands.h"

#include <utility>

#include "core/setting_names.h"
#include "hexfile/command_texts.h"
#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"

namespace tessaflex::hexfile {
namespace {

// What the user reads when the file system refuses a save; the old file is never lost.
std::string save_failure_text(const std::string& path, const FileError& error) {
  std::string_view what;
  switch (error.stage) {
    case FileError::Stage::create:
      what = " cannot be created:";
      break;
    case FileError::Stage::write:
      what = " cannot be written:";
      break;
    case FileError::Stage::replace:
      what = " cannot be replaced:";
      break;
    case FileError::Stage::read:
    case FileError::Stage::none:
      what = " cannot be saved:";
      break;
  }
  std::string text = "The file " + path;
  text.append(what).append("\r\n").append(error.detail);
  text.append("\r\nThe buffer was not saved; a file that was there before is unchanged.");
  return text;
}

}  // namespace

HexFileCommands::HexFileCommands(devices::Workspace& workspace, const core::SettingsStore& settings,
                                 core::Host& host, FileAccess& files,
                                 std::function<void(std::string_view)> set_label_hex)
    : workspace_(workspace),
      settings_(settings),
      host_(host),
      files_(files),
      set_label_hex_(std::move(set_label_hex)) {}

std::string HexFileCommands::remember_folder(std::string_view chosen_path) {
  ChosenPath chosen = split_chosen_path(chosen_path);
  workspace_.last_path = std::move(chosen.folder);
  settings_.save_setting(core::setting::kLastPath, workspace_.last_path);
  return std::move(chosen.name);
}

void HexFileCommands::show(std::string_view text, core::BoxKind kind) { host_.message_box(text, kind, ""); }

bool HexFileCommands::open(std::string_view chosen_path) {
  if (chosen_path.empty()) return false;
  const std::string name = remember_folder(chosen_path);
  return load_hex_file(name);
}

bool HexFileCommands::load_hex_file(std::string_view name) {
  const std::string path = workspace_.last_path + std::string(name);
  host_.disable();
  devices::erase_images(workspace_.current_device, workspace_.memory_images);
  workspace_.flash_loaded_end = 0;

  const HexReadResult result =
      read_hex_file(path, files_, workspace_.memory_images, workspace_.flash_loaded_end);
  for (const HexMessage& message : result.messages) show(message.text, message.kind);

  if (result.accepted()) {
    host_.updatedisplay();
    if (set_label_hex_) set_label_hex_(shorten_path(path));
    host_.set_status(loaded_status_text(workspace_.flash_loaded_end));
  } else {
    // Nothing of a refused file stays.
    devices::erase_images(workspace_.current_device, workspace_.memory_images);
    host_.updatedisplay();
    if (set_label_hex_) set_label_hex_("");
    host_.set_status(result.status == HexReadStatus::unreadable ? kUnreadableStatus : kNotLoadedStatus);
  }
  host_.enable();
  return result.accepted();
}

bool HexFileCommands::save(std::string_view chosen_path) {
  if (chosen_path.empty()) return false;
  const std::string name = remember_folder(chosen_path);
  const std::string path = workspace_.last_path + name;

  if (files_.exists(path)) {
    const core::BoxAnswer answer =
        host_.message_box("Do you want to overwrite file " + path + "?", core::BoxKind::question, "");
    if (answer == core::BoxAnswer::no) return false;
  }

  // The old file is not deleted first: the new one replaces it in one step, so a save
  // that fails half-way leaves it whole.
  host_.disable();
  const FileError error = write_hex_file(path, workspace_.memory_images, files_);
  if (error.failed()) {
    show(save_failure_text(path, error), core::BoxKind::error);
    host_.enable();
    host_.set_status(kNotSavedStatus);
    return false;
  }
  if (set_label_hex_) set_label_hex_(shorten_path(path));
  host_.enable();
  host_.set_status(kSavedStatus);
  return true;
}

}  // namespace tessaflex::hexfile
