// The model picker window: one entry per model of the device list, "Select" and "Cancel".
#include "ui/dialogs/model_picker_dialog.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <string>

#include "core/setting_names.h"
#include "ui/fonts.h"
#include "ui/theme/qt_colour.h"

namespace tessaflex::ui {
namespace {

constexpr TwipsRect kSelect{2340, 0, 1035, 375};
constexpr TwipsRect kCancel{1200, 0, 1035, 375};

}  // namespace

ModelPickerDialog::ModelPickerDialog(const devices::DeviceList& list, devices::CurrentDevice& device,
                                     const core::SettingsStore& settings, const theme::ThemeColours& colours,
                                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      list_(list),
      device_(device),
      settings_(settings),
      colours_(colours) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("Select Microcontroller"));
  setFont(window_font(8.25));

  // A list with entries missing behind its count never shows more than it holds.
  const auto held = static_cast<std::int32_t>(list.device_list.size()) - 1;
  shown_ = picker_shown_count(std::min(list.model_count, held));
  for (int i = 1; i <= kPickerEntries; ++i) {
    auto* entry = place(new QLabel(this), QStringLiteral("opcija(%1)").arg(i), picker_entry(i));
    entry->setFrameStyle(QFrame::Box | QFrame::Plain);
    entry->setAlignment(Qt::AlignCenter);
    entry->setAutoFillBackground(true);
    if (i <= shown_) {
      const devices::DeviceModel& model = list.device_list[static_cast<std::size_t>(i)];
      entry->setText(QString::fromStdString(model.model));
      entry->setToolTip(QString::fromStdString("FLASH: " + model.flash + ", EEPROM: " + model.eeprom));
      entry->installEventFilter(this);
    } else {
      entry->hide();
    }
    entries_[static_cast<std::size_t>(i - 1)] = entry;
  }

  const int buttons_top = picker_buttons_top(shown_);
  command1_ = place(new QPushButton(QStringLiteral("Select"), this), QStringLiteral("Command1"),
                    {kSelect.left, buttons_top, kSelect.width, kSelect.height});
  command2_ = place(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("Command2"),
                    {kCancel.left, buttons_top, kCancel.width, kCancel.height});
  connect(command1_, &QPushButton::clicked, this, [this] { select(); });
  connect(command2_, &QPushButton::clicked, this, [this] { cancel(); });
  setTabOrder(command1_, command2_);
  command1_->setFocus();
  setFixedSize(to_pixels(kPickerClientWidth, picker_client_height(shown_)));

  settheme();
  highlight_selected_model();
  opened_model_index_ = device_.model_index;
}

void ModelPickerDialog::settheme() { theme::paint_widget(*this, colours_[theme::window_back]); }

void ModelPickerDialog::highlight_selected_model() {
  for (int i = 1; i <= shown_; ++i) {
    const bool selected = i == device_.model_index;
    theme::paint_widget(*entries_[static_cast<std::size_t>(i - 1)],
                        colours_[selected ? theme::highlight_back : theme::value_back],
                        colours_[selected ? theme::highlight_fore : theme::value_fore]);
  }
}

bool ModelPickerDialog::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) return false;
  if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
  for (int i = 1; i <= shown_; ++i) {
    if (watched != entries_[static_cast<std::size_t>(i - 1)]) continue;
    click_entry(i);
    if (type == QEvent::MouseButtonDblClick) select();
    return true;
  }
  return false;
}

void ModelPickerDialog::keyPressEvent(QKeyEvent* event) {
  // The picker has no cancel button: Esc does nothing.
  if (event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}

void ModelPickerDialog::click_entry(int index) {
  device_.model_index = index;
  highlight_selected_model();
}

void ModelPickerDialog::select() {
  hide();
  QCoreApplication::processEvents();
  if (device_.model_index != opened_model_index_) {
    settings_.save_setting(core::setting::kModel, std::to_string(device_.model_index));
    devices::apply_selected_model(list_, device_);
  }
  accept();
}

void ModelPickerDialog::cancel() {
  device_.model_index = opened_model_index_;
  reject();
}

}  // namespace tessaflex::ui
