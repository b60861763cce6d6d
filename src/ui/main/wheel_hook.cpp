// Turns the main window's wheel events into calls of its MouseWheel while it is active.
#include "ui/main/wheel_hook.h"

#include <QWheelEvent>

#include "core/setting_names.h"

namespace tessaflex::ui {
namespace {

std::int32_t mouse_keys(const QWheelEvent& event) {
  std::int32_t keys = 0;
  if (event.buttons() & Qt::LeftButton) keys |= 1;
  if (event.buttons() & Qt::RightButton) keys |= 2;
  if (event.modifiers() & Qt::ShiftModifier) keys |= 4;
  if (event.modifiers() & Qt::ControlModifier) keys |= 8;
  if (event.buttons() & Qt::MiddleButton) keys |= 16;
  return keys;
}

}  // namespace

WheelHook::WheelHook(const core::SettingsStore& settings, Handler handler)
    : settings_(settings), handler_(std::move(handler)) {}

WheelHook::~WheelHook() { unhook_wheel(); }

void WheelHook::hook_wheel(QWindow* window) {
  if (settings_.get_setting_dword(core::setting::kMouseWheel, core::setting::kMouseWheelDefault) == 0) return;
  unhook_wheel();
  if (window == nullptr) return;
  window_ = window;
  window->installEventFilter(this);
}

void WheelHook::unhook_wheel() {
  if (window_) window_->removeEventFilter(this);
  window_.clear();
  accumulator_ = WheelAccumulator();
}

bool WheelHook::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel && watched == window_) {
    const auto& wheel = static_cast<const QWheelEvent&>(*event);
    const std::int32_t notches = accumulator_.add(wheel.angleDelta().y());
    const QPoint at = wheel.globalPosition().toPoint();
    // One call per whole notch, each with the distance of one notch: the window moves
    // its table by one step per call, whatever the distance says.
    for (std::int32_t i = 0; i < (notches < 0 ? -notches : notches); ++i) {
      handler_(mouse_keys(wheel), notches < 0 ? -kWheelNotch : kWheelNotch, at.x(), at.y());
    }
  }
  return false;
}

}  // namespace tessaflex::ui
