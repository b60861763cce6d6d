// Every setting the program keeps: the name it is stored under, and the value a missing
// one starts with. The store writes the default back when it reads a missing value.
#pragma once

#include <cstdint>
#include <string_view>

namespace tessaflex::core::setting {

// The folder the HEX file dialogs open in; a missing one starts as the program folder.
inline constexpr std::string_view kLastPath = "Last Path";

// The chosen model's number in the device list, 1-based, as decimal text.
inline constexpr std::string_view kModel = "Microcontroller Model";
inline constexpr std::string_view kModelDefault = "1";

// The colour theme's name as the theme table spells it.
inline constexpr std::string_view kColorTheme = "Color Theme";
inline constexpr std::string_view kColorThemeDefault = "Original Lite";

// 0 turns the mouse wheel over the memory tables off; any other number leaves it on.
inline constexpr std::string_view kMouseWheel = "Mouse Wheel Enabled";
inline constexpr std::int32_t kMouseWheelDefault = 1;

// The programmer's USB IDs, 0..65535; both start as 2345h.
inline constexpr std::string_view kVendorId = "Hardware Vendor ID";
inline constexpr std::string_view kProductId = "Hardware Product ID";
inline constexpr std::int32_t kHardwareIdDefault = 0x2345;

}  // namespace tessaflex::core::setting
