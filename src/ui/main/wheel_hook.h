// Turns the main window's wheel events into calls of its MouseWheel while it is active.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <cstdint>
#include <functional>

#include "core/settings_store.h"
#include "ui/main/table_arithmetic.h"

namespace tessaflex::ui {

// Watches the native window of the main window, before any of its widgets sees an
// event, and hands every event on unchanged afterwards.
class WheelHook : public QObject {
 public:
  // mousekeys: the key and button state as the wheel message of a Windows desktop
  // gives it (1 left, 2 right, 4 Shift, 8 Ctrl, 16 middle button); rotation: whole
  // notches of 120, negative toward the user; x, y: the pointer on the screen in pixels.
  using Handler =
      std::function<void(std::int32_t mousekeys, std::int32_t rotation, std::int32_t x, std::int32_t y)>;

  WheelHook(const core::SettingsStore& settings, Handler handler);
  ~WheelHook() override;

  // Reads "Mouse Wheel Enabled" (1 written when missing); when it is not 0, watches
  // window from now on, after undoing any earlier watch.
  void hook_wheel(QWindow* window);
  // Stops watching; does nothing when not watching.
  void unhook_wheel();
  bool hooked() const { return !window_.isNull(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const core::SettingsStore& settings_;
  Handler handler_;
  QPointer<QWindow> window_;
  WheelAccumulator accumulator_;
};

}  // namespace tessaflex::ui
