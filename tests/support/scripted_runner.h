// A modal runner that answers each dialog with the next scripted action instead of a user.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/dialogs/modal_runner.h"

namespace tessaflex::test {

// Each action gets the dialog shown but with no event loop of its own, and answers it as a user would;
// a dialog nobody scripted for fails the test and is rejected, so no test waits for a user.
class ScriptedRunner final : public ui::ModalRunner {
 public:
  using Action = std::function<void(QDialog&)>;

  void then(Action action) { actions_.push_back(std::move(action)); }

  int run(QDialog& dialog) override {
    captions.push_back(dialog.windowTitle().toStdString());
    if (actions_.empty()) {
      ADD_FAILURE() << "unexpected dialog \"" << captions.back() << '"';
      return QDialog::Rejected;
    }
    Action action = std::move(actions_.front());
    actions_.pop_front();
    dialog.setResult(-1);
    dialog.show();
    action(dialog);
    if (dialog.isVisible()) dialog.hide();
    return dialog.result();
  }

  bool done() const { return actions_.empty(); }
  std::vector<std::string> captions;  // the caption of every dialog shown, in order

 private:
  std::deque<Action> actions_;
};

}  // namespace tessaflex::test
