#ifndef SYMBASE_APPS_ASK_DIALOG_H
#define SYMBASE_APPS_ASK_DIALOG_H

// The insertion's confirmation dialog in the terminal: both versions of the
// object (base and file) and what replacing would do, then the library's
// question, answered with one key (o/t/n/s/a).

#include <string>

#include "object_text.h"
#include "symbase/symbase.h"

namespace cli {

// What the import knows about the row it is inserting.
struct ConflictView {
  int line = 0;
  ObjectText file;       // the row of the file
  bool in_base = false;  // an object is at the file's address...
  ObjectText base;       // ...this one
  bool held = false;     // another address carries the file's symbol...
  ObjectText holder;     // ...this one
};

// Prints the view and the dialog's message, presses the button of the
// answer; the end of the input and Ctrl-C press "&Annuler" (and Ctrl-C also
// confirms the interruption).
class TerminalDialogDriver : public CDialogDriver {
 public:
  void Show(const ConflictView& view) { view_ = view; }
  void Run(CDialog& dialog) override;

 private:
  ConflictView view_;
};

// Installs a terminal dialog driver for its lifetime when `install`.
class DialogScope {
 public:
  explicit DialogScope(bool install);
  ~DialogScope();
  DialogScope(const DialogScope&) = delete;
  DialogScope& operator=(const DialogScope&) = delete;

  TerminalDialogDriver& Driver() { return driver_; }

 private:
  TerminalDialogDriver driver_;
  CDialogDriver* previous_ = nullptr;
  bool installed_;
};

}  // namespace cli

#endif
