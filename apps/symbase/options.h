#ifndef SYMBASE_APPS_OPTIONS_H
#define SYMBASE_APPS_OPTIONS_H

// The options every command takes, set once from the command line.

#include <string>

namespace cli {

struct GlobalOptions {
  bool quiet = false;     // no messages on stdout: only exported CSV and --json documents
  bool verbose = false;   // the library's reports as they come, every kept and bad row
  bool no_pager = false;  // listings straight to stdout even on a terminal
};

GlobalOptions& Options();

// Prints one message line on stdout, unless --quiet.
void Say(const std::string& message);

}  // namespace cli

#endif
