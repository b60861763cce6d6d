#!/usr/bin/env python3
"""Plants a fixed list of faults in the program one at a time and counts the ones the tests miss.

Each mutant replaces one exact piece of a source file (it must occur exactly once). The
mutants are planted in a private copy of the sources under the build folder, never in the
checkout itself, so people editing the checkout are not disturbed and an interrupted run
leaves nothing there. For each mutant the area's test programs are rebuilt and run whole
(faster than one ctest process per test); a test program that fails (or hangs past the
guard) kills the mutant, one that passes lets it survive. A mutant that does not build is an
error in this list. The build is Debug without sanitizers, for speed.

Usage: scripts/mutate.py [--from REV] [--build DIR] [--only ID,...] [--jobs N]
  --from REV   the sources of that commit (default: the checkout's files as they are now)
  --build DIR  where the copy and its build go (default: build-mutate next to this script's checkout)
Prints one line per mutant and a table per area; exits 0 when every mutant was decided.
"""

import argparse
import io
import os
import subprocess
import sys
import tarfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The test programs each area is checked by: its own tests, and the shipped models run end to
# end, which drive the engine, load HEX fixtures and read the real device list.
AREAS = {
    "engine": ["tessaflex_engine_tests", "tessaflex_shipped_models_tests"],
    "hex reader": ["tessaflex_hexfile_tests", "tessaflex_shipped_models_tests"],
    "hex writer": ["tessaflex_hexfile_tests"],
    "device list": ["tessaflex_devices_tests", "tessaflex_shipped_models_tests"],
    "link": ["tessaflex_link_hidapi_tests"],
    "settings": ["tessaflex_core_tests"],
    "window": ["tessaflex_ui_main_tests", "tessaflex_ui_dialogs_tests", "tessaflex_ui_theme_tests",
               "tessaflex_ui_tests"],
    "start": ["tessaflex_app_tests"],
}

E, R, W, D, L, U = "engine", "hex reader", "hex writer", "device list", "link", "window"
S = "settings"
P = "start"
ENG, HID, LINK = "src/engine/", "src/link/hidapi_terminal.cpp", "src/link/report_layer.cpp"
UI = "src/ui/main/"

# id, area, file, the text planted over, the fault
MUTANTS = [
    # --- engine ---------------------------------------------------------------------------
    ("E01", E, ENG + "control_statements.cpp", "for (auto a = top - 1; a >= 0; --a)",
     "for (auto a = top - 1; a > 0; --a)"),
    ("E02", E, ENG + "control_statements.cpp", "a - (a % page_size) + (page_size - 1)",
     "a - (a % page_size) + page_size"),
    ("E03", E, ENG + "control_statements.cpp", "if (run_.counter <= run_.loop_end)",
     "if (run_.counter < run_.loop_end)"),
    ("E04", E, ENG + "control_statements.cpp", "  run_.counter = 0;\n  skip_past(\"loop\");",
     "  skip_past(\"loop\");"),
    ("E05", E, ENG + "control_statements.cpp", "run_.counter % page_size == 0 && run_.counter > 0",
     "run_.counter % page_size == 0"),
    ("E06", E, ENG + "control_statements.cpp", "*ms > kMaxWaitMs", "*ms >= kMaxWaitMs"),
    ("E07", E, ENG + "check_statements.cpp", "(*image)[static_cast<std::size_t>(address)]",
     "(*image)[static_cast<std::size_t>(run_.counter)]"),
    ("E08", E, ENG + "check_statements.cpp", "addr_to_hex_h(devices::kConfigBase + config)",
     "addr_to_hex_h(devices::kConfigBase + config + 1)"),
    ("E09", E, ENG + "transfer_statements.cpp", "flash[at] + 256 * flash[at + 1]",
     "256 * flash[at] + flash[at + 1]"),
    ("E10", E, ENG + "transfer_statements.cpp", "(run_.temp & kWriteBit) == 0", "(run_.temp & 0x01) == 0"),
    ("E11", E, ENG + "transfer_statements.cpp", "write_polls_ >= kMaxWritePolls",
     "write_polls_ > kMaxWritePolls"),
    ("E12", E, ENG + "transfer_statements.cpp", "word(256 * value + value)", "word(value)"),
    ("E13", E, ENG + "engine.cpp", "first >= 0 && first + count <= size", "first >= 0 && first + count < size"),
    ("E14", E, ENG + "engine.cpp", "static_cast<std::int64_t>(run_.loop_end) + 1",
     "static_cast<std::int64_t>(run_.loop_end)"),
    ("E15", E, ENG + "engine.cpp", "run_.pc = pc + 1;", "run_.pc = pc;"),
    ("E16", E, ENG + "mismatch_report.cpp", "mismatch_count == kMismatchCutOff",
     "mismatch_count >= kMismatchCutOff"),
    ("E17", E, ENG + "operation_runs.cpp", "kind.checks && mismatch_.mismatch_count != 0",
     "mismatch_.mismatch_count != 0"),
    ("E18", E, ENG + "operation_runs.cpp", "if (stop_power_down_ && terminal_.terminal_connected())",
     "if (terminal_.terminal_connected())"),
    ("E19", E, ENG + "elapsed_text.cpp", "std::floor((e - whole) * 100.0)", "std::round((e - whole) * 100.0)"),
    ("E20", E, ENG + "operation_runs.cpp", "run_.flash_last = workspace_.current_device.flash_size - 1;",
     "run_.flash_last = workspace_.current_device.flash_size;"),
    ("E21", E, ENG + "statement_table.cpp", "s.size() == 8 && s[0] == 's'", "s[0] == 's'"),
    ("E22", E, ENG + "engine.cpp", "  if (terminal_.terminal_connected()) reports_.hid_end();\n  std::string text",
     "  std::string text"),
    ("E23", E, ENG + "transfer_statements.cpp", "? bytes.high\n" + " " * 57 + ": bytes.low;",
     "? bytes.low\n" + " " * 57 + ": bytes.high;"),
    ("E24", E, ENG + "statement_table.cpp", "return s.ends_with(row.text) && s.starts_with('s');",
     "return s.ends_with(row.text);"),
    ("E30", E, ENG + "operation_runs.cpp", "\"Begin erase all.\"", "\"Begin erase.\""),
    ("E31", E, ENG + "operation_runs.cpp", "\"Begin blank check.\",", "\"Begin blank check\","),
    ("E32", E, ENG + "operation_runs.cpp", "\"Chip is not blank:\",", "\"Chip is not blank.\","),
    ("E33", E, ENG + "engine.cpp", "show_eeprom_progress() { show_progress('E'); }",
     "show_eeprom_progress() { show_progress('F'); }"),
    ("E34", E, LINK, "bytes.high = floor_div(rest, 256);", "bytes.high = floor_div(address, 256);"),
    ("E35", E, LINK, "const std::int32_t rest = address % 65536;", "const std::int32_t rest = address % 65535;"),
    ("E36", E, LINK, "bytes.upper = floor_div(address, 65536);", "bytes.upper = floor_div(address, 65535);"),
    ("E37", E, ENG + "transfer_statements.cpp", "if (value > 255) {", "if (value >= 255) {"),
    ("E38", E, ENG + "transfer_statements.cpp", "    write_polls_ = 0;\n    ++run_.pc;", "    ++run_.pc;"),
    # --- HEX reader -----------------------------------------------------------------------
    ("R01", R, "src/hexfile/hex_reader.cpp", "line += (r - q + 3) / 4;", "line += (r - q + 1) / 2;"),
    ("R02", R, "src/hexfile/hex_reader.cpp", "if (s.size() < 11)", "if (s.size() < 10)"),
    ("R03", R, "src/hexfile/hex_reader.cpp",
     "core::hex_pair_value(checksum) != static_cast<int>(hex_checksum_value(body))",
     "core::hex_pair_value(checksum) < 0"),
    ("R04", R, "src/hexfile/hex_reader.cpp", "data.empty() || data.back() != '0' ||", "data.empty() ||"),
    ("R05", R, "src/hexfile/hex_reader.cpp", "segment_base_ * 16 +", "segment_base_ +"),
    ("R06", R, "src/hexfile/hex_reader.cpp", "        raise_flash_end(start + k);",
     "        raise_flash_end(start);"),
    ("R07", R, "src/hexfile/hex_reader.cpp", "if (count_ > first_.size() + last_.size())",
     "if (count_ >= first_.size() + last_.size())"),
    ("R08", R, "src/hexfile/hex_reader.cpp", "k = n - last_.size();", "k = n - last_.size() + 1;"),
    ("R09", R, "src/hexfile/hex_reader.cpp", "address - kEepromBase < eeprom_size_",
     "address - kEepromBase <= eeprom_size_"),
    ("R10", R, "src/hexfile/hex_reader.cpp",
     "if (value < 0 || address != 0) return fail(HexReason::bad_linear_address_record);",
     "if (value < 0) return fail(HexReason::bad_linear_address_record);"),
    ("R11", R, "src/hexfile/hex_reader.cpp", "    if (data.empty()) return Outcome::next;\n", ""),
    ("R12", R, "src/hexfile/hex_reader.cpp", "while (!s.empty() && s.back() == ' ') s.remove_suffix(1);", ""),
    # --- HEX writer -----------------------------------------------------------------------
    ("W01", W, "src/hexfile/hex_writer.cpp", "  if (end % 2 == 1) ++end;\n", ""),
    ("W02", W, "src/hexfile/hex_writer.cpp", "(0x100u - (sum & 0xFFu)) & 0xFFu", "(0xFFu - (sum & 0xFFu)) & 0xFFu"),
    ("W03", W, "src/hexfile/hex_writer.cpp", "if (offset % 65536 == 0)", "if (offset == 0)"),
    ("W04", W, "src/hexfile/hex_writer.cpp", "return std::min(end, image.size());", "return end;"),
    ("W05", W, "src/hexfile/hex_writer.cpp", "append_record(out, 0, 1, nullptr, 0);",
     "append_record(out, 0, 0, nullptr, 0);"),
    ("W06", W, "src/hexfile/file_access.cpp", "file.setDirectWriteFallback(false);",
     "file.setDirectWriteFallback(true);"),
    # --- device list reader ---------------------------------------------------------------
    ("D01", D, "src/devices/device_list.cpp", "*n >= static_cast<std::int32_t>(kAlgorithmSlots)",
     "*n > static_cast<std::int32_t>(kAlgorithmSlots)"),
    ("D02", D, "src/devices/device_list.cpp", "? line.substr(colon + 2) :", "? line.substr(colon + 1) :"),
    ("D03", D, "src/devices/device_list.cpp", "      ++out.model_count;\n", ""),
    ("D04", D, "src/devices/device_list.cpp", "text.find_first_of(\"\\r\\n\", start)",
     "text.find_first_of(\"\\n\", start)"),
    ("D05", D, "src/devices/device_list.cpp",
     "std::size_t start = text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;",
     "std::size_t start = 0;"),
    ("D06", D, "src/devices/device_list.cpp", "  if (blank == std::string_view::npos) return;\n", ""),
    ("D07", D, "src/devices/current_device.cpp", "kMinFlashSize, kMaxFlashSize, 16)",
     "kMinFlashSize, kMaxFlashSize, 8)"),
    ("D08", D, "src/devices/current_device.cpp", "eeprom <= 0 ? 0 :", "eeprom < 0 ? 0 :"),
    ("D09", D, "src/devices/current_device.cpp", "if (order == \"vppvdd\") device.voltage_seq = 2;",
     "if (order == \"vppvdd\") device.voltage_seq = 1;"),
    ("D10", D, "src/devices/current_device.cpp", "const std::size_t at = 3 * k;",
     "const std::size_t at = 2 * k;"),
    ("D11", D, "src/devices/current_device.cpp", "if (s.empty() || s.back() != ',') s += ',';", "s += ',';"),
    ("D12", D, "src/devices/device_list.cpp", "if (!n || *n < 0 ||", "if (!n || *n <= 0 ||"),
    ("D13", D, "src/devices/device_list.cpp", "*n >= static_cast<std::int32_t>(kAlgorithmSlots)",
     "*n >= static_cast<std::int32_t>(kAlgorithmSlots) - 1"),
    ("D14", D, "src/devices/device_list.cpp", "{\"verifyalgdef\", AlgorithmKind::verify}",
     "{\"verifyalgdef\", AlgorithmKind::blankcheck}"),
    ("D15", D, "src/devices/device_list.cpp", "{\"blankcheckalg:\", Field::algorithm, AlgorithmKind::blankcheck}",
     "{\"blankcheckalg:\", Field::algorithm, AlgorithmKind::verify}"),
    ("D16", D, "src/devices/device_list.cpp", "out.algorithm_definitions[kind][*slot]",
     "out.algorithm_definitions[0][*slot]"),
    ("D17", D, "src/devices/device_list.cpp", "head = std::string_view(lowered).substr(0, colon + 1);",
     "head = line.substr(0, colon + 1);"),
    ("D18", D, "src/devices/device_list.cpp", "after_blank = line.substr(blank + 1);",
     "after_blank = std::string_view(lowered).substr(blank + 1);"),
    ("D20", D, "src/devices/device_list.cpp", "const auto colon = line.find(':');",
     "const auto colon = line.rfind(':');"),
    ("D21", D, "src/devices/device_list.cpp", "? line.substr(colon + 2) :", "? line.substr(line.rfind(':') + 2) :"),
    # --- settings store -------------------------------------------------------------------
    ("S01", S, "src/core/settings_store.cpp", "toLongLong(&ok, 10)", "toLongLong(&ok, 0)"),
    ("S02", S, "src/core/settings_store.cpp", "hand_typed_texts(location_).value(key, joined)", "joined"),
    ("S03", S, "src/core/settings_store.cpp", "native ? QStringList() : store.allKeys()",
     "native ? store.allKeys() : QStringList()"),
    ("S04", S, "src/core/settings_store.cpp", "ini_unescaped(QStringView(trimmed).first(equals).trimmed())",
     "QStringView(trimmed).first(equals).trimmed().toString()"),
    ("S05", S, "src/core/settings_store.cpp",
     "name.compare(u\"general\", Qt::CaseInsensitive) == 0 ? QString() : name + u'/'", "name + u'/'"),
    # --- the hidapi terminal --------------------------------------------------------------
    ("L01", L, HID, "info->vendor_id == vendor_id && info->product_id == product_id",
     "info->vendor_id == vendor_id"),
    ("L02", L, HID, "info->vendor_id == vendor_id && info->product_id == product_id",
     "info->product_id == product_id"),
    ("L03", L, HID,
     "hid_enumerate(static_cast<unsigned short>(vendor_id_), static_cast<unsigned short>(product_id_));\n"
     "  bool found",
     "hid_enumerate(static_cast<unsigned short>(product_id_), static_cast<unsigned short>(vendor_id_));\n"
     "  bool found"),
    ("L04", L, HID, "for (int i = 0; i < kMaxDrained; ++i)", "for (int i = 0; i < 1; ++i)"),
    ("L05", L, HID, "for (int i = 0; i < kMaxDrained; ++i)", "for (int i = 0;; ++i)"),
    ("L06", L, HID, "    if (n < 0) {\n      check_presence();\n", "    if (n < 0) {\n"),
    ("L07", L, HID, "      check_presence();\n      return false;", "      check_presence();\n      return true;"),
    ("L08", L, HID, "buffer.begin() + 1);", "buffer.begin());"),
    ("L09", L, HID, "return n == static_cast<int>(buffer.size());", "return n >= 0;"),
    ("L10", L, HID, "if (n < static_cast<int>(report.size())) return false;", "if (n == 0) return false;"),
    ("L11", L, HID, "  if (n < static_cast<int>(report.size())) return false;  // a time-out (0) or a short report\n",
     ""),
    ("L12", L, HID, "    check_presence();\n    return false;\n  }\n  if (n < static_cast",
     "    return false;\n  }\n  if (n < static_cast"),
    ("L13", L, HID, "if (!present) close();", "if (present) close();"),
    ("L14", L, HID, "std::copy_n(buffer.begin(), report.size()", "std::copy_n(buffer.begin() + 1, report.size()"),
    ("L15", L, HID, "found_but_not_opened_ = found && device_ == nullptr;", "found_but_not_opened_ = found;"),
    # --- the window's pure functions ------------------------------------------------------
    ("U01", U, "src/ui/main/table_arithmetic.cpp", "if (start + per_line > size) break;", "if (start >= size) break;"),
    ("U02", U, "src/ui/main/table_arithmetic.cpp", "address_digits == 6 ? core::addr_to_hex(start)",
     "address_digits != 0 ? core::addr_to_hex(start)"),
    ("U03", U, "src/ui/main/table_arithmetic.cpp", "if (row != 0) text += \"\\r\\n\";", "text += \"\\r\\n\";"),
    ("U04", U, "src/ui/main/table_arithmetic.cpp", "bytes_per_line) - kTableLines;",
     "bytes_per_line) - kTableLines + 1;"),
    ("U05", U, "src/ui/main/table_arithmetic.cpp", "std::clamp(lines, -32768.0, 32767.0)",
     "std::clamp(lines, -32768.0, 32768.0)"),
    ("U06", U, "src/ui/main/table_arithmetic.cpp", "rotation < 0 ? kWheelLines", "rotation <= 0 ? kWheelLines"),
    ("U07", U, "src/ui/main/table_arithmetic.cpp",
     "if ((delta > 0 && pending_ < 0) || (delta < 0 && pending_ > 0)) pending_ = 0;", ""),
    ("U08", U, "src/ui/main/table_arithmetic.cpp",
     "  if (v > maximum) v = maximum;\n  if (v < minimum) v = minimum;\n",
     "  if (v < minimum) v = minimum;\n  if (v > maximum) v = maximum;\n"),
    ("U09", U, "src/ui/main/table_arithmetic.cpp", "if (address > static_cast<std::int64_t>(image_size) - 1)",
     "if (address >= static_cast<std::int64_t>(image_size) - 1)"),
    ("U10", U, "src/ui/main/table_arithmetic.cpp", "column >= table.bytes_per_line", "column > table.bytes_per_line"),
    ("U11", U, "src/ui/main/table_arithmetic.cpp", "std::floor(y / kLineTwips)", "std::round(y / kLineTwips)"),
    ("U12", U, "src/ui/main/table_arithmetic.cpp", "padded.substr(padded.size() - 4)", "padded.substr(padded.size() - 3)"),
    ("U13", U, "src/ui/dialogs/break_long_words.cpp", "std::size_t at = head.rfind(separator);",
     "std::size_t at = head.find(separator);"),
    ("U14", U, "src/ui/dialogs/break_long_words.cpp",
     "  if (text.ends_with(kLineEnd)) text.remove_suffix(kLineEnd.size());\n", ""),
    ("U15", U, "src/ui/dialogs/break_long_words.cpp", "if (word.size() > kLongWord)",
     "if (word.size() >= kLongWord)"),
    ("U16", U, "src/ui/dialogs/dialog_layout.cpp", "out.text.height = text_height + scaled_twips(60, dialog_scale);",
     "out.text.height = text_height + scaled_twips(60, 1.0f);"),
    ("U17", U, "src/ui/dialogs/dialog_layout.cpp", "  if (question) std::swap(out.command1.left, out.command2.left);\n",
     ""),
    ("U18", U, "src/ui/dialogs/dialog_layout.cpp", "below_prompt + scaled_twips(525, dialog_scale)",
     "below_prompt + scaled_twips(525, 1.0f)"),
    ("U19", U, "src/ui/dialogs/dialog_layout.cpp",
     "static_cast<int>(core::round_half_even(static_cast<double>(twips) * dialog_scale))",
     "static_cast<int>(static_cast<double>(twips) * dialog_scale)"),
    # --- the window as the user meets it ----------------------------------------------------
    ("U20", U, UI + "byte_editor.cpp", "key == Qt::Key_Return || key == Qt::Key_Enter", "key == Qt::Key_Return"),
    ("U21", U, UI + "main_window.cpp", "reports_.hid_begin(workspace_.current_device.voltage_seq);",
     "reports_.hid_begin(1);"),
    ("U22", U, UI + "main_window.cpp", "for (QMenu* menu : menus_) menu->menuAction()->setEnabled(false);",
     "for (QMenu* menu : {menus_[0], menus_[1], menus_[2]}) menu->menuAction()->setEnabled(false);"),
    ("U23", U, UI + "main_window.cpp", "for (QPushButton* button : commands_buttons_) button->setEnabled(false);",
     "for (QPushButton* button : {commands_buttons_[0], commands_buttons_[1], commands_buttons_[2], "
     "commands_buttons_[3], commands_buttons_[4]}) button->setEnabled(false);"),
    ("U24", U, UI + "main_window.cpp", "  label_hex_->clear();\n  label_status_->set_status({});\n",
     "  label_hex_->clear();\n"),
    ("U25", U, UI + "table_pane.cpp", "scroll_maximum(size, layout_.bytes_per_line)",
     "scroll_maximum(size, kFlashLayout.bytes_per_line)"),
    ("U26", U, UI + "table_pane.cpp", "  bar_->setSingleStep(1);", "  bar_->setSingleStep(2);"),
    ("U27", U, UI + "table_pane.cpp", "bar_->setPageStep(kTableLines);", "bar_->setPageStep(kTableLines - 1);"),
    ("U28", U, UI + "main_window.cpp", "if (active_table_ != 0 && active_table_ != static_cast<std::int32_t>(id))",
     "if (id == Memory::flash && active_table_ != 0 && active_table_ != static_cast<std::int32_t>(id))"),
    ("U29", U, UI + "main_window.cpp", "event->type() == QEvent::MouseButtonRelease) flash_->bar()->setFocus();",
     "event->type() == QEvent::MouseButtonRelease) eeprom_->bar()->setFocus();"),
    ("U30", U, UI + "window_widgets.cpp",
     "event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())",
     "event->button() == Qt::LeftButton"),
    ("U31", U, UI + "window_widgets.cpp", "wheelEvent(QWheelEvent* event) { event->ignore(); }",
     "wheelEvent(QWheelEvent* event) { QScrollBar::wheelEvent(event); }"),
    ("U32", U, UI + "main_window.cpp",
     "  paint(eeprom_->caption(), colours, memory_title_back, memory_title_fore, with_text);\n", ""),
    ("U33", U, UI + "main_window.cpp", "paint(label5_, colours, model_name_back, model_name_fore, with_text);",
     "paint(label5_, colours, model_name_fore, model_name_back, with_text);"),
    ("U34", U, UI + "main_window.cpp", "paint(label_vpp_, colours, top_label_back, top_label_fore, with_text);",
     "paint(label_vpp_, colours, highlight_back, highlight_fore, with_text);"),
    ("U35", U, UI + "main_window.cpp", "paint(label_hex_, colours, value_back, value_fore, with_text);",
     "paint(label_hex_, colours, message_back, message_fore, with_text);"),
    ("U36", U, "src/ui/theme/theme_table.cpp", "{ 55,   9,  55}, {242, 239, 242}", "{ 55,   9,  55}, {242, 229, 242}"),
    ("U37", U, UI + "main_window.cpp", "for (std::size_t k = 0; k < label_conf_.size(); ++k) {",
     "for (std::size_t k = 0; k + 1 < label_conf_.size(); ++k) {"),
    ("U38", U, UI + "main_window.cpp", "for (std::size_t k = 0; k < label_conf_.size(); ++k) {",
     "for (std::size_t k = 1; k < label_conf_.size(); ++k) {"),
    ("U39", U, UI + "main_window.cpp", "sizes_text(device.flash_size, device.eeprom_size)",
     "sizes_text(device.flash_size, device.flash_size)"),
    ("U40", U, UI + "main_window.cpp", "index > device_list_.model_count", "index >= device_list_.model_count"),
    ("U41", U, UI + "main_window.cpp", "} else if (read.outcome == ProgTimeReply::Outcome::accepted) {", "} else {"),
    ("U42", U, UI + "options_texts.cpp", "std::string_view(),\n           std::string_view(\"This software",
     "std::string_view(\"This software"),
    ("U43", U, UI + "options_texts.cpp", "\"Send bug reports and suggestions to:\"",
     "\"Send bug reports and suggestions to\""),
    ("U44", U, UI + "main_window.cpp", "dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);",
     "dialog.setFileMode(QFileDialog::AnyFile);"),
    ("U45", U, UI + "main_window.cpp", "    reports_.hid_end();\n", ""),
    ("U46", U, UI + "table_arithmetic.h", "kWheelLines = 3;", "kWheelLines = 4;"),
    ("U47", U, UI + "main_window.cpp", "if (active_table_ != 0 && active_table_ != static_cast<std::int32_t>(id))",
     "if (id == Memory::eeprom && active_table_ != 0 && active_table_ != static_cast<std::int32_t>(id))"),
    ("U60", U, "src/ui/window_placement.cpp", "area_start + std::max(0, (area_length - length) / 2)",
     "area_start + (area_length - length) / 2"),
    ("U61", U, "src/ui/window_placement.cpp", "placed_start(frame.height(), available.top(), available.height())",
     "placed_start(frame.height(), 0, available.height())"),
    # --- the byte editor, the status line and the file dialog ------------------------------
    ("U80", U, "src/ui/main/byte_editor.cpp", "const bool elsewhere = QApplication::activeWindow() == nullptr;",
     "const bool elsewhere = false;"),
    ("U81", U, "src/ui/main/byte_editor.cpp", "if (!elsewhere && !in_context_menu_)", "if (!elsewhere)"),
    ("U82", U, "src/ui/main/byte_editor.cpp",
     "target.memory == Memory::flash ? images.flash_image : images.eeprom_image",
     "target.memory == Memory::flash ? images.eeprom_image : images.flash_image"),
    ("U83", U, "src/ui/main/window_widgets.cpp", "setToolTip(shown_text() == text ? QString() : text);",
     "setToolTip(QString());"),
    ("U84", U, "src/ui/main/window_widgets.cpp", "elidedText(text(), Qt::ElideRight,", "elidedText(text(), Qt::ElideNone,"),
    ("U85", U, "src/ui/main/main_window.cpp", "QStringLiteral(\"All files (*.*) (*)\")",
     "QStringLiteral(\"All files (*.*)\")"),
    ("U86", U, "src/ui/main/main_window.cpp", "    label_conf_[i]->setFont(fixed);\n",
     "    label_conf_[i]->setFont(fixed);\n    lfix_[i]->setFont(fixed);\n"),
    ("U87", U, "src/ui/dialogs/break_long_words.h", "kBreakAfter[] = {'/', '\\\\', '_'};", "kBreakAfter[] = {'/', '_'};"),
    ("U88", U, "src/ui/dialogs/break_long_words.h", "kBreakAfter[] = {'/', '\\\\', '_'};",
     "kBreakAfter[] = {'\\\\', '/', '_'};"),
    # --- the pickers' keys, the empty EEPROM table, the wheel setting, menus, dialog fields --------
    ("U90", U, "src/ui/dialogs/model_picker_dialog.cpp", "  command1_->setFocus();", "  command2_->setFocus();"),
    ("U91", U, UI + "table_pane.cpp", "  bar_->setMaximum(0);\n  if (size > 0)", "  if (size > 0)"),
    ("U92", U, UI + "wheel_hook.cpp", "kMouseWheelDefault) == 0) return;", "kMouseWheelDefault) != 1) return;"),
    ("U93", U, UI + "wheel_hook.cpp", "kMouseWheelDefault) == 0) return;", "kMouseWheelDefault) <= 0) return;"),
    ("U94", U, UI + "main_window.cpp", "top(\"menu5\", \"Help\")", "top(\"menu5\", \"&Help\")"),
    ("U95", U, UI + "main_window.cpp", "\"menuclear\", \"&Clear Buffer\"", "\"menuclear\", \"Clear Buffer\""),
    ("U96", U, "src/ui/dialogs/message_box_dialog.cpp", "theme::paint_field(*txt_title_,",
     "theme::paint_widget(*txt_title_,"),
    ("U97", U, "src/ui/dialogs/input_box_dialog.cpp",
     "paint_field(*txt_input_, colours_[theme::value_back], colours_[theme::value_fore])",
     "paint_field(*txt_input_, colours_[theme::message_back], colours_[theme::message_fore])"),
    ("U98", U, "src/ui/dialogs/model_picker_dialog.cpp", "  command1_->setFocus();",
     "  command1_->setAutoDefault(false);\n  command1_->setFocus();"),
    ("U99", U, UI + "main_window.cpp", "  if (active_table_ == 0) return;\n", ""),
    # --- start-up -------------------------------------------------------------------------
    ("P01", P, "src/core/startup.cpp", "if (!unreachable && !unexplained) unexplained =",
     "if (false) unexplained ="),
    ("P02", P, "src/core/startup.cpp", "qEnvironmentVariableIntValue(\"QT_DEBUG_PLUGINS\") > 0", "false"),
    ("P03", P, "src/core/startup.cpp", "text.startsWith(QLatin1String(\"could not connect to display\")) ||", ""),
    ("P04", P, "src/core/startup.cpp", "if (!failure.explained && !state.pass_through)",
     "if (!failure.explained && state.pass_through)"),
    ("P05", P, "src/app/main.cpp", "message_box(nullptr, load.error, core::BoxKind::error, \"\");\n    return 1;",
     "message_box(nullptr, load.error, core::BoxKind::error, \"\");\n    return 0;"),
]

GUARD_SECONDS = 180  # a test program still running after this is hung: the mutant is killed


def run(command, cwd, **kwargs):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kwargs)


def copy_sources(rev, tree):
    """Makes tree hold the sources of rev (None: the checkout's files as they are now).

    Only files whose contents differ are written, so they alone look new to the build: a
    file put back with an old time after a mutant's would otherwise keep the mutant's object.
    """
    wanted = {}
    if rev is not None:
        data = subprocess.run(["git", "archive", rev], cwd=ROOT, stdout=subprocess.PIPE, check=True).stdout
        with tarfile.open(fileobj=io.BytesIO(data)) as archive:
            for member in archive.getmembers():
                if member.isfile():
                    wanted[os.path.normpath(member.name)] = archive.extractfile(member).read()
    else:
        listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"], cwd=ROOT,
                                stdout=subprocess.PIPE, check=True).stdout.decode().split("\0")
        for name in filter(None, listed):
            if os.path.isfile(os.path.join(ROOT, name)):  # not deleted in the checkout
                with open(os.path.join(ROOT, name), "rb") as f:
                    wanted[os.path.normpath(name)] = f.read()
    for folder, _, names in os.walk(tree):
        for name in names:
            path = os.path.join(folder, name)
            if os.path.relpath(path, tree) not in wanted:
                os.remove(path)
    for name, contents in wanted.items():
        path = os.path.join(tree, name)
        if os.path.isfile(path):
            with open(path, "rb") as f:
                if f.read() == contents:
                    continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(contents)


def build(build_dir, targets, jobs):
    result = run(["cmake", "--build", build_dir, "-j", str(jobs), "--target", *targets], cwd=build_dir)
    return result.returncode == 0, result.stdout


def tests_pass(build_dir, programs):
    """True when every program passes; a program that hangs counts as failing."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    for program in programs:
        path = os.path.join(build_dir, "tests", program)
        try:
            # The first failure decides: the rest of the program need not run.
            result = subprocess.run([path, "--gtest_brief=1", "--gtest_fail_fast"], cwd=os.path.dirname(path),
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env,
                                    timeout=GUARD_SECONDS)
        except subprocess.TimeoutExpired:
            return False
        if result.returncode != 0:
            return False
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--from", dest="rev", default=None)
    parser.add_argument("--build", default=os.path.join(ROOT, "build-mutate"))
    parser.add_argument("--only", default="")
    parser.add_argument("--jobs", type=int, default=4)
    args = parser.parse_args()

    chosen = [m for m in MUTANTS if not args.only or m[0] in args.only.split(",")]
    tree = os.path.join(os.path.abspath(args.build), "sources")
    build_dir = os.path.join(os.path.abspath(args.build), "build")
    copy_sources(args.rev, tree)

    # Every planted text must be there exactly once, or the list no longer fits the code.
    for ident, _, path, old, _ in chosen:
        with open(os.path.join(tree, path), encoding="utf-8") as f:
            found = f.read().count(old)
        if found != 1:
            sys.exit(f"{ident}: the text to replace occurs {found} times in {path}")

    # Tests are listed when they run, not after each link: a mutant that breaks the listing is
    # a failing test program, not a build that fails.
    configure = run(["cmake", "-S", tree, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Debug", "-DTESSAFLEX_SANITIZE=OFF",
                     "-DTESSAFLEX_BENCH=OFF", "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"], cwd=ROOT)
    if configure.returncode != 0:
        sys.exit(configure.stdout)
    programs = sorted({p for m in chosen for p in AREAS[m[1]]})
    ok, log = build(build_dir, programs, args.jobs)
    if not ok:
        sys.exit("the unchanged sources do not build:\n" + log[-3000:])
    if not tests_pass(build_dir, programs):
        sys.exit("the unchanged sources fail their tests: " + " ".join(programs))

    results = []
    for ident, area, path, old, new in chosen:
        file_path = os.path.join(tree, path)
        with open(file_path, encoding="utf-8") as f:
            original = f.read()
        started = time.monotonic()
        try:
            with open(file_path, "w", encoding="utf-8") as f:
                f.write(original.replace(old, new))
            built, log = build(build_dir, AREAS[area], args.jobs)
            if not built:
                sys.exit(f"{ident} does not build:\n{log[-3000:]}")
            killed = not tests_pass(build_dir, AREAS[area])
        finally:
            with open(file_path, "w", encoding="utf-8") as f:
                f.write(original)
        results.append((ident, area, killed))
        print(f"{ident} {area:12} {'killed' if killed else 'SURVIVED'}  {path}  ({time.monotonic() - started:.0f} s)",
              flush=True)

    print()
    print(f"{'area':12} planted killed survivors")
    for area in AREAS:
        rows = [r for r in results if r[1] == area]
        if rows:
            survivors = " ".join(r[0] for r in rows if not r[2]) or "-"
            print(f"{area:12} {len(rows):7} {sum(r[2] for r in rows):6} {survivors}")
    print(f"{'all':12} {len(results):7} {sum(r[2] for r in results):6}")


if __name__ == "__main__":
    main()
