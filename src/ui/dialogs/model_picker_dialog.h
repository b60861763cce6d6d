// The model picker window: one entry per model of the device list, "Select" and "Cancel".
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "core/settings_store.h"
#include "devices/current_device.h"
#include "devices/device_list.h"
#include "ui/dialogs/dialog_layout.h"
#include "ui/theme/theme_colours.h"

class QLabel;
class QPushButton;

namespace tessaflex::ui {

// Filled from list (its first kPickerEntries models), sized to them, themed, with the
// current model highlighted. A click on an entry makes it device.model_index at once;
// "Select" (or a double-click) stores and applies a changed index and closes with
// QDialog::Accepted; "Cancel" puts the index back as it was when the picker opened.
class ModelPickerDialog final : public QDialog {
 public:
  ModelPickerDialog(const devices::DeviceList& list, devices::CurrentDevice& device,
                    const core::SettingsStore& settings, const theme::ThemeColours& colours, QWidget* parent);

  // Paints the window's background from the theme's slots.
  void settheme();

  // device.model_index as it was when the picker was built.
  std::int32_t opened_model_index() const { return opened_model_index_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void highlight_selected_model();
  void click_entry(int index);
  void select();
  void cancel();

  const devices::DeviceList& list_;
  devices::CurrentDevice& device_;
  const core::SettingsStore& settings_;
  const theme::ThemeColours& colours_;
  int shown_ = 0;
  std::int32_t opened_model_index_ = 0;
  std::array<QLabel*, kPickerEntries> entries_{};
  QPushButton* command1_;
  QPushButton* command2_;
};

}  // namespace tessaflex::ui
