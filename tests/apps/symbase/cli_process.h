#ifndef SYMBASE_TESTS_APPS_SYMBASE_CLI_PROCESS_H
#define SYMBASE_TESTS_APPS_SYMBASE_CLI_PROCESS_H

// Runs the built command-line host as a real process: arguments as given,
// stdin from a text, stdout and stderr captured apart (so neither is a
// terminal). Header-only.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace cli_testing {

struct CliRun {
  int status = -1;  // the exit code; -1 when the process did not exit normally
  std::string out;
  std::string err;
};

inline std::string ShellQuoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted.push_back(c);
    }
  }
  return quoted + "'";
}

// `prefix` comes before the program: "env PAGER=x", "setpriv ...".
inline CliRun RunCliWith(const std::string& prefix, const std::vector<std::string>& args,
                         const std::string& input = "") {
  testing_support::TempDir io;
  testing_support::WriteFileBytes(io.file("in"), input);
  std::string command = prefix + " " + ShellQuoted(SYMBASE_CLI_PATH);
  for (const std::string& arg : args) command += " " + ShellQuoted(arg);
  command += " <" + ShellQuoted(io.file("in")) + " >" + ShellQuoted(io.file("out")) + " 2>" +
             ShellQuoted(io.file("err"));
  CliRun run;
  int raw = std::system(command.c_str());
  if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
  run.out = testing_support::ReadFileBytes(io.file("out"));
  run.err = testing_support::ReadFileBytes(io.file("err"));
  return run;
}

inline CliRun RunCli(const std::vector<std::string>& args, const std::string& input = "") {
  return RunCliWith("", args, input);
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

inline std::string Example(const std::string& name) {
  return std::string(SYMBASE_EXAMPLES_DIR) + "/" + name;
}

// Runs python3 with `script`, the text given on its stdin; its stdout.
// Independent readers (json, csv) check what the tool writes.
inline std::string Python(const std::string& script, const std::string& input) {
  testing_support::TempDir io;
  testing_support::WriteFileBytes(io.file("script.py"), script);
  testing_support::WriteFileBytes(io.file("in"), input);
  std::string command = "/usr/bin/python3 " + ShellQuoted(io.file("script.py")) + " <" +
                        ShellQuoted(io.file("in")) + " >" + ShellQuoted(io.file("out")) + " 2>&1";
  std::system(command.c_str());
  return testing_support::ReadFileBytes(io.file("out"));
}

}  // namespace cli_testing

#endif
