#ifndef SYMBASE_TESTS_SUPPORT_SCRIPTED_DIALOG_DRIVER_H
#define SYMBASE_TESTS_SUPPORT_SCRIPTED_DIALOG_DRIVER_H

#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "symbase/afxwin.h"

namespace testing_support {

// A dialog driver for tests, installed for its lifetime (the previous driver
// comes back when it goes). Each dialog that opens is handed to the next
// script in line, the last one serving for all later dialogs; a script sees
// the open dialog after OnInitDialog ran (unless constructed with
// run_init = false) and acts through the driver entries of CDialog
// (TypeText, PressButton ...). A script that returns with the dialog open
// lets DoModal close it as by its close box.
class ScriptedDialogDriver : public CDialogDriver {
 public:
  using Script = std::function<void(CDialog&)>;

  explicit ScriptedDialogDriver(Script script, bool run_init = true)
      : ScriptedDialogDriver(std::vector<Script>{std::move(script)}, run_init) {}
  explicit ScriptedDialogDriver(std::vector<Script> scripts, bool run_init = true)
      : scripts_(scripts.begin(), scripts.end()),
        run_init_(run_init),
        previous_(AfxSetDialogDriver(this)) {}
  ~ScriptedDialogDriver() override { AfxSetDialogDriver(previous_); }
  ScriptedDialogDriver(const ScriptedDialogDriver&) = delete;
  ScriptedDialogDriver& operator=(const ScriptedDialogDriver&) = delete;

  void Run(CDialog& dialog) override {
    templates_.push_back(dialog.GetTemplateID());
    // Taken in order of opening, before OnInitDialog may open another dialog.
    Script script;
    if (!scripts_.empty()) {
      script = scripts_.front();
      if (scripts_.size() > 1) scripts_.pop_front();
    }
    if (run_init_) dialog.RunInitDialog();
    if (script && !dialog.IsDialogEnded()) script(dialog);
  }
  void GetScreenRect(LPRECT lpRect) const override {
    if (lpRect != nullptr) *lpRect = screen_;
  }

  // The template ids of the dialogs run so far, in order.
  const std::vector<UINT>& templates() const { return templates_; }

 private:
  std::deque<Script> scripts_;
  bool run_init_;
  std::vector<UINT> templates_;
  RECT screen_{0, 0, 1024, 768};
  CDialogDriver* previous_;
};

}  // namespace testing_support

#endif
