// Connecting to the programmer with the vendor and product ID from the settings.
#include "link/programmer_connection.h"

#include "core/setting_names.h"

namespace tessaflex::link {
namespace {

bool valid_id(std::int32_t id) { return id >= 0 && id <= 65535; }

}  // namespace

void ProgrammerConnection::connect_hardware() {
  vendor_id_ = settings_.get_setting_dword(core::setting::kVendorId, core::setting::kHardwareIdDefault);
  product_id_ = settings_.get_setting_dword(core::setting::kProductId, core::setting::kHardwareIdDefault);
  if (!valid_id(vendor_id_) || !valid_id(product_id_)) {
    host_.set_status(kBadHardwareInfo);
    return;
  }
  terminal_.terminal_vendor_id(vendor_id_);
  terminal_.terminal_product_id(product_id_);
  terminal_.terminal_connect();
  if (terminal_.terminal_connected()) {
    host_.set_status(kHardwareConnected);
  } else if (terminal_.terminal_found_but_not_opened()) {
    host_.set_status(kHardwareNotOpened);
  } else {
    host_.set_status(kHardwareNotFound);
  }
}

void ProgrammerConnection::connect_command() {
  if (!terminal_.terminal_connected()) connect_hardware();
}

}  // namespace tessaflex::link
