#ifndef SYMBASE_APPS_TERMINAL_H
#define SYMBASE_APPS_TERMINAL_H

// The host side of the terminal: the library's error reports kept (and
// printed at once with --verbose), its message boxes asked on stdout and
// answered on stdin.

#include <string>
#include <vector>

#include "symbase/symbase.h"

namespace cli {

constexpr char kKeyEnd = '\0';          // the input ended
constexpr char kKeyInterrupt = '\x03';  // Ctrl-C (or a signal) while waiting

// Prints `prompt` and reads one answer, lower-cased. On a terminal it is one
// key press, without Enter; otherwise the first non-blank character of the
// next line (a blank line gives ' '). The answer is echoed, so that a
// transcript reads as a dialogue.
char AskKey(const std::string& prompt);

class TerminalServices : public CHostServices {
 public:
  // Keeps the report; with --verbose prints it at once on stderr.
  void HostReportError(const HostErrorReport& report) override;
  // Yes/no asked in the terminal (o or n); the end of the input and Ctrl-C
  // answer yes, which for the insertion's "interrupt?" question stops it.
  int HostMessageBox(const char* text, const char* message, int kind, int buttons) override;

  std::size_t ReportCount() const { return reports_.size(); }
  const std::vector<HostErrorReport>& Reports() const { return reports_; }

 private:
  std::vector<HostErrorReport> reports_;
};

// "error 146/502 code -10 (Tabiserr line 88)".
std::string DescribeReport(const HostErrorReport& report);

// The services in force for this process.
TerminalServices& Terminal();

}  // namespace cli

#endif
