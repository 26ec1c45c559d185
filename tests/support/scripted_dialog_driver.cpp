#include "support/scripted_dialog_driver.h"

#include <utility>

namespace testing_support {

ScriptedDialogDriver::ScriptedDialogDriver(Script script, bool run_init)
    : ScriptedDialogDriver(std::vector<Script>{std::move(script)}, run_init) {}

ScriptedDialogDriver::ScriptedDialogDriver(std::vector<Script> scripts, bool run_init)
    : scripts_(scripts.begin(), scripts.end()),
      run_init_(run_init),
      previous_(AfxSetDialogDriver(this)) {}

ScriptedDialogDriver::~ScriptedDialogDriver() { AfxSetDialogDriver(previous_); }

void ScriptedDialogDriver::Run(CDialog& dialog) {
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

void ScriptedDialogDriver::GetScreenRect(LPRECT lpRect) const {
  if (lpRect != nullptr) *lpRect = screen_;
}

}  // namespace testing_support
