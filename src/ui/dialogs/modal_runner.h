// The one seam through which the program shows any modal dialog, so tests can answer it.
#pragma once

class QDialog;

namespace tessaflex::ui {

// Shows a dialog that is fully set up and waits until it has closed. The dialog's own
// handlers decide its answer; the runner only decides who presses its buttons.
class ModalRunner {
 public:
  virtual ~ModalRunner() = default;
  // Returns the dialog's result code (QDialog::Accepted or Rejected, or done()'s value).
  virtual int run(QDialog& dialog) = 0;
};

// Production: the dialog's own modal event loop, answered by the user.
class ExecRunner final : public ModalRunner {
 public:
  int run(QDialog& dialog) override;
};

}  // namespace tessaflex::ui
