// A memory table: eight lines of text painted on a fixed character grid.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/main/table_arithmetic.h"
#include "ui/twips.h"

namespace tessaflex::ui {

// Shows a text of CR LF separated lines, each character in its own grid cell, on the
// platform's text colours. It never keeps the keyboard focus for long: it reports that
// it got it and the window passes it on. Mouse positions are reported in twips from
// the grid's origin.
class MemoryTable : public QWidget {
  Q_OBJECT

 public:
  explicit MemoryTable(QWidget* parent = nullptr);

  // Replaces the whole text; repaints only when it changed.
  void set_text(const QString& text);
  // The text as last set, CR LF separators included.
  const QString& text() const { return text_; }

  // Pixels between the widget's edge and the grid's origin, inside the border.
  static constexpr int kInset = 2;

 signals:
  void pointer_moved();
  // A mouse button was released over the table at x, y twips from the grid's origin.
  void released(Qt::MouseButton button, int x_twips, int y_twips);
  void focused();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  QString text_;
  QStringList lines_;
};

}  // namespace tessaflex::ui
