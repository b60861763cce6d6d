// What the dialog tests share: the dialogs over a scripted runner, finding controls, and
// pressing them as a user would.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>
#include <stdexcept>
#include <string>

#include "support/qt_environment.h"
#include "support/scripted_runner.h"
#include "ui/dialogs/dialogs.h"

namespace tessaflex::ui {

class DialogTest : public ::testing::Test {
 protected:
  testing::ScriptedRunner runner;
  core::ProgramPaths paths;
  theme::ThemeColours colours;
  Dialogs dialogs{runner, paths, colours};
};

template <typename T = QWidget>
T& child(QDialog& dialog, const char* name) {
  T* widget = dialog.findChild<T*>(QLatin1String(name));
  if (widget == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return *widget;
}

inline void click(QDialog& dialog, const char* name) {
  QTest::mouseClick(&child(dialog, name), Qt::LeftButton);
}

// Keys go to whatever control has the focus.
inline void press(QDialog& dialog, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(dialog.focusWidget(), key, modifiers);
}

}  // namespace tessaflex::ui
