#ifndef SYMBASE_TESTS_SUPPORT_SCRIPTED_DIALOG_DRIVER_H
#define SYMBASE_TESTS_SUPPORT_SCRIPTED_DIALOG_DRIVER_H

#include <functional>
#include <utility>

#include "symbase/afxwin.h"

namespace testing_support {

// A dialog driver for tests, installed for its lifetime (the previous driver
// comes back when it goes). Each dialog that opens, nested ones included, is
// handed to the one script; the script sees the open dialog after
// OnInitDialog ran (unless constructed with run_init = false) and acts
// through the driver entries of CDialog (TypeText, PressButton ...). A script
// that returns with the dialog open lets DoModal close it as by its close box.
class ScriptedDialogDriver : public CDialogDriver {
 public:
  using Script = std::function<void(CDialog&)>;

  explicit ScriptedDialogDriver(Script script, bool run_init = true)
      : script_(std::move(script)), run_init_(run_init), previous_(AfxSetDialogDriver(this)) {}
  ~ScriptedDialogDriver() override { AfxSetDialogDriver(previous_); }
  ScriptedDialogDriver(const ScriptedDialogDriver&) = delete;
  ScriptedDialogDriver& operator=(const ScriptedDialogDriver&) = delete;

  void Run(CDialog& dialog) override {
    if (run_init_) dialog.RunInitDialog();
    if (script_ && !dialog.IsDialogEnded()) script_(dialog);
  }

 private:
  Script script_;
  bool run_init_;
  CDialogDriver* previous_;
};

}  // namespace testing_support

#endif
