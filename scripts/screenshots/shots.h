// The picture groups of the documentation; each writes its PNG files into a folder.
#pragma once

#include <QString>

namespace tessaflex::shots {

// Each group builds its windows on the offscreen platform with the shipped device list
// (device_list_path) and a private settings store, and saves them under out_dir.
void main_window(const QString& out_dir, const QString& device_list_path);
void dialogs(const QString& out_dir, const QString& device_list_path);
void themes(const QString& out_dir, const QString& device_list_path);

}  // namespace tessaflex::shots
