#ifndef SYMBASE_APPS_TERMINAL_H
#define SYMBASE_APPS_TERMINAL_H

// The host side of the terminal: error reports printed on stderr, message
// boxes and the confirmation dialog asked on stdout and answered on stdin.

#include <string>

#include "symbase/symbase.h"

namespace cli {

// Reads one answer line from stdin after printing `prompt`; false at the end
// of the input.
bool AskLine(const std::string& prompt, std::string* answer);

class TerminalServices : public CHostServices {
 public:
  // Prints "symbase: error 146/502 code -10 (Tabiserr line 88)" and counts it.
  void HostReportError(const HostErrorReport& report) override;
  // Yes/no asked in the terminal (o or n); the end of the input answers yes,
  // which for the insertion's "interrupt?" question stops the import.
  int HostMessageBox(const char* text, const char* message, int kind, int buttons) override;

  int ReportCount() const { return reports_; }

 private:
  int reports_ = 0;
};

// Runs the insertion's confirmation dialog in the terminal: prints its
// message and presses the button of the answer (o/t/n/s/a); the end of the
// input presses "&Annuler".
class TerminalDialogDriver : public CDialogDriver {
 public:
  void Run(CDialog& dialog) override;
};

// The services in force for this process.
TerminalServices& Terminal();

}  // namespace cli

#endif
