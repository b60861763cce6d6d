// The small widget kinds of the main window: clickable labels, the status line and table scroll bars.
#pragma once

#include <QLabel>
#include <QScrollBar>

namespace tessaflex::ui {

// The window's client area, filled with its own colour. Not a palette: a palette would
// pass the colour on to the buttons, tables and scroll bars, which keep the platform's.
class Backdrop : public QWidget {
  Q_OBJECT

 public:
  explicit Backdrop(QWidget* parent = nullptr) : QWidget(parent) {}
  void set_colour(const QColor& colour);
  const QColor& colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_;
};

// A label with a single-line border and centred text that reports clicks.
class ClickableLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickableLabel(QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// The status line. A text wider than the line is cut at its end with an ellipsis and
// shown whole in the line's tooltip, so a long reason can still be read to its end;
// text() keeps the whole text.
class StatusLine : public ClickableLabel {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* parent = nullptr) : ClickableLabel(parent) {}
  void set_status(const QString& text);
  // What the line draws: the text, or as much of it as fits followed by an ellipsis.
  QString shown_text() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A vertical scroll bar that reports getting the focus and leaves the wheel to the
// window: the window moves the table it chose by its own step, and a second, private
// scroll of the bar under the pointer would move a table twice.
class TableScrollBar : public QScrollBar {
  Q_OBJECT

 public:
  explicit TableScrollBar(QWidget* parent = nullptr);

 signals:
  void focused();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
};

}  // namespace tessaflex::ui
