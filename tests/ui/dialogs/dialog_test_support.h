// What the dialog tests share: finding controls, and pressing them as a user would.
#pragma once

#include <QDialog>
#include <QTest>
#include <stdexcept>
#include <string>

namespace tessaflex::ui {

template <typename T = QWidget>
T& child(QDialog& dialog, const char* name) {
  T* widget = dialog.findChild<T*>(QLatin1String(name));
  if (widget == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return *widget;
}

inline void click(QDialog& dialog, const char* name) {
  QTest::mouseClick(&child(dialog, name), Qt::LeftButton);
}

// Keys and typing go to whatever control has the focus.
inline void press(QDialog& dialog, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(dialog.focusWidget(), key, modifiers);
}
inline void type(QDialog& dialog, const char* text) {
  QTest::keyClicks(dialog.focusWidget(), QLatin1String(text));
}

}  // namespace tessaflex::ui
