#ifndef SYMBASE_APPS_OPTIONS_H
#define SYMBASE_APPS_OPTIONS_H

// The options every command takes, set once from the command line.

namespace cli {

struct GlobalOptions {
  bool quiet = false;     // no messages on stdout: only exported CSV and --json documents
  bool verbose = false;   // the library's reports as they come, every kept and bad row
  bool no_pager = false;  // listings straight to stdout even on a terminal
};

GlobalOptions& Options();

}  // namespace cli

#endif
