// The program's own message box window: a text, an icon, and "OK" or "Yes" and "No".
#include "ui/dialogs/message_box_dialog.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <cmath>

#include "ui/dialogs/box_icons.h"
#include "ui/dialogs/dialog_layout.h"
#include "ui/dialogs/break_long_words.h"
#include "ui/fonts.h"
#include "ui/theme/qt_colour.h"

namespace tessaflex::ui {
namespace {

QLabel* make_icon(QWidget* parent, const char* name, BoxIcon which) {
  auto* image = new QLabel(parent);
  image->setObjectName(QLatin1String(name));
  const QRect place = to_pixels(message_box_design::kIcon);
  image->setGeometry(place);
  image->setPixmap(box_icon(which).pixmap(place.size()));
  image->hide();
  return image;
}

}  // namespace

MessageBoxDialog::MessageBoxDialog(DialogExchange& exchange, float dialog_scale,
                                   const theme::ThemeColours& colours, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      exchange_(exchange),
      dialog_scale_(dialog_scale),
      colours_(colours) {
  namespace d = message_box_design;
  setObjectName(QStringLiteral("Form08"));
  setFont(window_font(8.25));
  setFixedSize(to_pixels(d::kClientWidth, d::kClientHeight));

  img_info_ = make_icon(this, "img_info", BoxIcon::info);
  img_err_ = make_icon(this, "img_err", BoxIcon::err);
  img_ok_ = make_icon(this, "img_ok", BoxIcon::ok);
  img_ask_ = make_icon(this, "img_ask", BoxIcon::ask);

  const QString copy_tip = QStringLiteral("Click to copy to Clipboard...");
  lab_title_ = place(new QLabel(this), QStringLiteral("lab_title"), d::kText);
  lab_title_->setWordWrap(true);
  lab_title_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lab_title_->setFont(window_font(9));
  lab_title_->setCursor(Qt::ArrowCursor);
  lab_title_->setToolTip(copy_tip);

  // The field lies over the label and shows the text; it wraps a word wider than the
  // line wherever it must, so no text is ever cut off and the width stays as designed.
  txt_title_ = place(new QTextEdit(this), QStringLiteral("txt_title"), d::kText);
  txt_title_->setFont(window_font(9));
  txt_title_->setReadOnly(true);
  txt_title_->setTextInteractionFlags(Qt::NoTextInteraction);
  txt_title_->setFocusPolicy(Qt::StrongFocus);
  txt_title_->setFrameStyle(QFrame::NoFrame);
  txt_title_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  txt_title_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  txt_title_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  txt_title_->document()->setDocumentMargin(0);
  txt_title_->viewport()->setCursor(Qt::ArrowCursor);
  txt_title_->setToolTip(copy_tip);

  command1_ = place(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("Command1"), d::kCommand1);
  command1_->setDefault(true);
  command2_ = place(new QPushButton(QStringLiteral("No"), this), QStringLiteral("Command2"), d::kCommand2);
  command2_->hide();
  connect(command1_, &QPushButton::clicked, this, [this] { answer_command1(); });
  connect(command2_, &QPushButton::clicked, this, [this] { answer_command2(); });

  setTabOrder(command1_, command2_);
  setTabOrder(command2_, txt_title_);
  // Key preview: every child sees a key before it reaches the focused control.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  txt_title_->viewport()->installEventFilter(this);
  command1_->setFocus();
  settheme();
}

void MessageBoxDialog::prepare_display() {
  // The field takes CR LF as one line end, as the text means it.
  const QString text = QString::fromStdString(break_long_words(exchange_.box_text));
  lab_title_->setText(text);
  txt_title_->setPlainText(text);
  QCoreApplication::processEvents();

  // The text is centred only when the caller's own text has no line end at all.
  const bool centred = exchange_.box_text.find("\r\n") == std::string::npos;
  const Qt::Alignment alignment = (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop;
  QTextDocument& document = *txt_title_->document();
  QTextOption option = document.defaultTextOption();
  option.setAlignment(alignment);
  document.setDefaultTextOption(option);
  document.setTextWidth(twips_to_pixels(message_box_design::kText.width));
  const int text_height = static_cast<int>(std::ceil(document.size().height())) * kTwipsPerLogicalPixel;

  const MessageBoxLayout layout =
      message_box_layout(text_height, exchange_.box_kind == core::BoxKind::question, dialog_scale_);
  lab_title_->setGeometry(to_pixels(layout.text));
  lab_title_->setAlignment(alignment);
  txt_title_->setGeometry(to_pixels(layout.text));
  command1_->setGeometry(to_pixels(layout.command1));
  command2_->setGeometry(to_pixels(layout.command2));
  setFixedSize(to_pixels(layout.client_width, layout.client_height));

  switch (exchange_.box_kind) {
    case core::BoxKind::plain:
      img_ok_->show();
      break;
    case core::BoxKind::question:
      img_ask_->show();
      command2_->show();
      command1_->setText(QStringLiteral("Yes"));
      break;
    case core::BoxKind::error:
      img_err_->show();
      break;
    case core::BoxKind::information:
      img_info_->show();
      break;
    default:
      break;
  }
}

void MessageBoxDialog::settheme() {
  theme::paint_widget(*this, colours_[theme::window_back]);
  theme::paint_widget(*lab_title_, colours_[theme::message_back], colours_[theme::message_fore]);
  theme::paint_field(*txt_title_, colours_[theme::message_back], colours_[theme::message_fore]);
}

bool MessageBoxDialog::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      // A key the focused control ignores travels on to its parents, through this filter
      // again; a box that has already answered stays answered.
      if (result() == QDialog::Accepted) break;
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_N) {
        answer_command2();
      } else if (key == Qt::Key_Y || key == Qt::Key_Z) {
        answer_command1();
      }
      break;
    }
    case QEvent::MouseButtonRelease:
      if (watched == lab_title_ || watched == txt_title_->viewport()) copy_text();
      break;
    case QEvent::FocusIn:
      if (watched == txt_title_) command1_->setFocus();
      break;
    default:
      break;
  }
  return false;
}

void MessageBoxDialog::keyPressEvent(QKeyEvent* event) {
  // Esc answers "No" where "No" is shown, and otherwise closes the box as "OK" does.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (command2_->isVisible()) {
      answer_command2();
    } else {
      answer_command1();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void MessageBoxDialog::answer_command1() {
  exchange_.box_result =
      exchange_.box_kind == core::BoxKind::question ? core::BoxAnswer::yes : core::BoxAnswer::ok;
  accept();
}

void MessageBoxDialog::answer_command2() {
  exchange_.box_result = core::BoxAnswer::no;
  accept();
}

void MessageBoxDialog::copy_text() const {
  QClipboard& clipboard = *QGuiApplication::clipboard();
  clipboard.clear();
  clipboard.setText(QString::fromStdString(break_long_words(exchange_.box_text)));
}

}  // namespace tessaflex::ui
