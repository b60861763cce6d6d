// The theme picker: every colour theme's name in a grid; a click applies that theme at once.
#include "ui/dialogs/theme_picker.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <utility>

#include "core/setting_names.h"
#include "ui/fonts.h"
#include "ui/theme/load_theme.h"
#include "ui/theme/qt_colour.h"
#include "ui/twips.h"

namespace tessaflex::ui {
namespace {

// Places and sizes in twips.
constexpr int kClientWidth = 4575;
constexpr int kClientHeight = 7515;
constexpr int kColumnLeft[2] = {120, 2340};
constexpr int kFirstRowTop = 120;
constexpr int kRowPitch = 300;
constexpr int kEntryWidth = 2115;
constexpr int kEntryHeight = 255;
// The two "Original" themes end the table but are shown together in this row.
constexpr std::size_t kOriginalsRow = 17;

// The table row shown in grid cell (row-major, two cells a row): the table read row by row,
// with the last two themes moved up into kOriginalsRow.
std::size_t table_index_of_cell(std::size_t cell) {
  constexpr std::size_t first_original_cell = 2 * kOriginalsRow;
  constexpr std::size_t originals = theme::kThemeCount - 2;
  if (cell < first_original_cell) return cell;
  if (cell < first_original_cell + 2) return originals + (cell - first_original_cell);
  return cell - 2;
}

// A name label that reports a left click: press and release both over it, as a button does.
class ThemeEntry final : public QLabel {
 public:
  ThemeEntry(const QString& caption, QWidget* parent, std::function<void()> on_click)
      : QLabel(caption, parent), on_click_(std::move(on_click)) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) on_click_();
  }

 private:
  std::function<void()> on_click_;
  bool pressed_ = false;
};

}  // namespace

ThemePicker::ThemePicker(QWidget* parent, const core::SettingsStore& settings, theme::ThemeColours& colours,
                         std::function<void()> repaint_main)
    : QDialog(parent), settings_(settings), colours_(colours), repaint_main_(std::move(repaint_main)) {
  setObjectName(QStringLiteral("Form34"));
  setWindowTitle(QStringLiteral("Change Color Theme"));
  setFont(window_font(8.25));
  setFixedSize(twips_to_pixels(kClientWidth), twips_to_pixels(kClientHeight));
  theme::paint_widget(*this, theme::original_lite()[theme::window_back]);

  const auto& table = theme::theme_table();
  for (std::size_t cell = 0; cell < opcija_.size(); ++cell) {
    const std::string_view name = table[table_index_of_cell(cell)].name;
    auto* entry = new ThemeEntry(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), this,
                                 [this, cell] { entry_clicked(cell); });
    entry->setObjectName(QStringLiteral("opcija(%1)").arg(cell));
    entry->setFrameStyle(QFrame::Box | QFrame::Plain);
    entry->setLineWidth(1);
    entry->setAlignment(Qt::AlignCenter);
    const int row = static_cast<int>(cell / 2);
    entry->setGeometry(to_pixels(
        TwipsRect{kColumnLeft[cell % 2], kFirstRowTop + kRowPitch * row, kEntryWidth, kEntryHeight}));
    theme::paint_widget(*entry, theme::rgb(255, 255, 255), theme::rgb(0, 0, 0));
    opcija_[cell] = entry;
  }

  // Cancel is made first so it comes first in the tab order and holds the focus at opening;
  // Enter presses the focused button, Select only when it has the focus.
  auto* cancel = place(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("Command2"),
                       {2340, 7080, 1035, 375});
  auto* select = place(new QPushButton(QStringLiteral("Select"), this), QStringLiteral("Command1"),
                       {3420, 7080, 1035, 375});
  select->setDefault(true);
  setTabOrder(cancel, select);
  cancel->setFocus();
  connect(select, &QPushButton::clicked, this, [this] { finish(QDialog::Accepted); });
  connect(cancel, &QPushButton::clicked, this, &ThemePicker::reject);

  settheme();
  opened_theme_name_ = colours_.theme_name;
  highlight_current_theme();
}

void ThemePicker::settheme() { theme::paint_widget(*this, colours_[theme::window_back]); }

void ThemePicker::highlight_current_theme() {
  for (QLabel* entry : opcija_) {
    if (entry->text().toStdString() == colours_.theme_name) {
      theme::paint_widget(*entry, colours_[theme::highlight_back], colours_[theme::highlight_fore]);
    } else {
      theme::paint_widget(*entry, colours_[theme::value_back], colours_[theme::value_fore]);
    }
  }
}

void ThemePicker::entry_clicked(std::size_t cell) {
  colours_.theme_name = opcija_[cell]->text().toStdString();
  settings_.save_setting(core::setting::kColorTheme, colours_.theme_name);
  // The name is read back from the setting, so a write that was lost applies the stored theme.
  theme::load_theme(settings_, colours_);
  settheme();
  highlight_current_theme();
  repaint_main_();
}

void ThemePicker::reject() {
  if (finishing_) return;
  colours_.theme_name = opened_theme_name_;
  finish(QDialog::Rejected);
}

void ThemePicker::finish(int result) {
  finishing_ = true;
  hide();
  QCoreApplication::processEvents();
  settings_.save_setting(core::setting::kColorTheme, colours_.theme_name);
  theme::load_theme(settings_, colours_);
  repaint_main_();
  done(result);
}

}  // namespace tessaflex::ui
