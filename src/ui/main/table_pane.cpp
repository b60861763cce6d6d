// One memory table of the main window with its scroll bar and caption.
#include "ui/main/table_pane.h"

#include "ui/main/memory_table.h"
#include "ui/main/window_widgets.h"
#include "ui/twips.h"

namespace tessaflex::ui {
namespace {

// Where each pane's parts stand in the client area, in twips.
struct PaneDesign {
  const char* caption_name;
  const char* caption_text;
  TwipsRect caption;
  const char* table_name;
  TwipsRect table;
  const char* bar_name;
  TwipsRect bar;
};
constexpr PaneDesign kFlashDesign{
    "Label3", "FLASH Memory",         {60, 1800, 1575, 255}, "tabla_flash", {60, 2100, 6735, 1755},
    "scrl1",  {6780, 2100, 255, 1755}};
constexpr PaneDesign kEepromDesign{
    "Label4", "EEPROM Memory",        {60, 3960, 1575, 255}, "tabla_eeprom", {60, 4260, 3615, 1755},
    "scrl2",  {3660, 4260, 255, 1755}};

}  // namespace

TablePane::TablePane(Memory id, QWidget* client)
    : QObject(client), id_(id), layout_(id == Memory::flash ? kFlashLayout : kEepromLayout) {
  const PaneDesign& design = id == Memory::flash ? kFlashDesign : kEepromDesign;
  caption_ = place(new ClickableLabel(client), QString::fromLatin1(design.caption_name), design.caption);
  caption_->setText(QString::fromLatin1(design.caption_text));
  table_ = place(new MemoryTable(client), QString::fromLatin1(design.table_name), design.table);
  table_->setToolTip(QStringLiteral("Right click on the location to edit its value!"));
  bar_ = place(new TableScrollBar(client), QString::fromLatin1(design.bar_name), design.bar);
  bar_->setRange(0, 0);
  bar_->setSingleStep(1);
  bar_->setPageStep(kTableLines);
  connect(table_, &MemoryTable::pointer_moved, this, &TablePane::pointer_moved);
  connect(table_, &MemoryTable::focused, this, &TablePane::focused);
  connect(table_, &MemoryTable::released, this, &TablePane::released);
}

const std::vector<std::uint8_t>& TablePane::image(const devices::MemoryImages& images) const {
  return id_ == Memory::flash ? images.flash_image : images.eeprom_image;
}

std::int32_t TablePane::image_size(const devices::CurrentDevice& device) const {
  return id_ == Memory::flash ? device.flash_size : device.eeprom_size;
}

void TablePane::redraw(const devices::MemoryImages& images) {
  const std::string text = table_text(layout_, image(images), bar_->value());
  table_->set_text(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void TablePane::clear() { table_->set_text(QString()); }

void TablePane::set_image_size(std::int32_t size) {
  bar_->setMaximum(0);
  if (size > 0) bar_->setMaximum(scroll_maximum(size, layout_.bytes_per_line));
}

std::optional<TableCell> TablePane::cell_at(int x_twips, int y_twips, std::int32_t image_size) const {
  return cell_under_pointer(layout_, x_twips, y_twips, bar_->value(), image_size);
}

QRect TablePane::cell_rect(const TableCell& cell, int height_twips) const {
  const QPoint origin = table_->pos() + QPoint(MemoryTable::kInset, MemoryTable::kInset);
  return {origin.x() + twips_to_pixels(layout_.left_margin() + cell.column * kByteTwips),
          origin.y() + twips_to_pixels(cell.row * kLineTwips), twips_to_pixels(kByteTwips),
          twips_to_pixels(height_twips)};
}

}  // namespace tessaflex::ui
