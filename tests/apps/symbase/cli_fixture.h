#ifndef SYMBASE_TESTS_APPS_SYMBASE_CLI_FIXTURE_H
#define SYMBASE_TESTS_APPS_SYMBASE_CLI_FIXTURE_H

// The built command-line host run as a real process, on pipes or on a
// pseudo-terminal; tables of runs and what each must give.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// A command still running after two minutes is killed with what it started:
// a program caught in a loop fails its test instead of outliving it.
inline CliRun RunShell(const std::string& command, const std::string& input) {
  testing_support::TempDir io;
  testing_support::WriteFileBytes(io.file("in"), input);
  CliRun run;
  int raw = std::system(("timeout -s KILL 120 sh -c " + ShellQuoted(command) + " <" +
                         ShellQuoted(io.file("in")) + " >" + ShellQuoted(io.file("out")) + " 2>" +
                         ShellQuoted(io.file("err")))
                            .c_str());
  if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
  run.out = testing_support::ReadFileBytes(io.file("out"));
  run.err = testing_support::ReadFileBytes(io.file("err"));
  return run;
}

// `prefix` comes before the program: "env PAGER=x", "setpriv ...".
inline CliRun RunCli(const std::vector<std::string>& args, const std::string& input = "",
                     const std::string& prefix = "") {
  std::string command = prefix + " " + ShellQuoted(SYMBASE_CLI_PATH);
  for (const std::string& arg : args) command += " " + ShellQuoted(arg);
  return RunShell(command, input);
}

inline std::string Example(const std::string& name) {
  return std::string(SYMBASE_EXAMPLES_DIR) + "/" + name;
}

// What python3 running `script` prints: independent json and csv readers.
inline std::string Python(const std::string& script, const std::string& input) {
  testing_support::TempDir io;
  testing_support::WriteFileBytes(io.file("script.py"), script);
  CliRun run = RunShell("/usr/bin/python3 " + ShellQuoted(io.file("script.py")), input);
  return run.out + run.err;
}

// What python3 prints running `statements` on `d`, the JSON document `json`.
inline std::string PythonJson(const std::string& statements, const std::string& json) {
  return Python("import json, sys\nd = json.load(sys.stdin)\n" + statements, json);
}

inline std::string At(std::string text, const std::string& dir) {
  for (std::size_t at = 0; (at = text.find('@', at)) != std::string::npos; at += dir.size())
    text.replace(at, 1, dir);
  return text;
}

// Each of `expected` holds in `text`: "=rest" the whole text, "!rest" not
// in it, anything else a part of it.
inline void ExpectText(const std::string& text, const std::vector<std::string>& expected) {
  for (const std::string& part : expected) {
    if (part.compare(0, 1, "=") == 0) {
      EXPECT_EQ(text, part.substr(1));
    } else if (part.compare(0, 1, "!") == 0) {
      EXPECT_EQ(text.find(part.substr(1)), std::string::npos) << text;
    } else {
      EXPECT_NE(text.find(part), std::string::npos) << part << "\nin:\n" << text;
    }
  }
}

// One run of the program; "@" in the arguments and texts is the base
// directory. A text of `expected` is checked as ExpectText does against the
// standard output, or after "2>" against the standard error.
struct Step {
  std::vector<std::string> args;
  int status;
  std::vector<std::string> expected = {};
  std::string input = "";
};

inline void RunSteps(const std::string& dir, const std::vector<Step>& steps,
                     const std::string& prefix = "") {
  for (const Step& step : steps) {
    std::vector<std::string> args;
    std::string line;
    for (const std::string& arg : step.args) {
      args.push_back(At(arg, dir));
      line += " " + args.back();
    }
    SCOPED_TRACE("symbase" + line);
    CliRun run = RunCli(args, step.input, prefix);
    EXPECT_EQ(run.status, step.status) << run.err;
    for (const std::string& text : step.expected) {
      const bool err = text.compare(0, 2, "2>") == 0;
      ExpectText(err ? run.err : run.out, {At(text.substr(err ? 2 : 0), dir)});
    }
  }
}

class TerminalSession {
 public:
  // `environment`: "NAME=value" entries set for the program, "NAME" unsets.
  TerminalSession(const std::vector<std::string>& args,
                  const std::vector<std::string>& environment = {}) {
    winsize size{40, 200, 0, 0};
    pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
      for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
      std::vector<char*> argv{const_cast<char*>(SYMBASE_CLI_PATH)};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      ::execv(SYMBASE_CLI_PATH, argv.data());
      ::_exit(127);
    }
  }

  ~TerminalSession() {
    if (pid_ > 0 && status_ == kRunning) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }

  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  // Reads until the output holds `text`; false after `seconds` or at the end.
  bool WaitFor(const std::string& text, int seconds = 30) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (output_.find(text, seen_) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline || !ReadSome()) return false;
    }
    seen_ = output_.find(text, seen_) + text.size();
    return true;
  }

  void Send(const std::string& keys) {
    if (::write(master_, keys.data(), keys.size()) < 0) return;
  }

  // Reads to the end; the exit code, or -1 (killed, or still running after
  // `seconds`). The terminal closes before the process is reaped.
  int Finish(int seconds = 60) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline && ReadSome()) {
    }
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline && status_ == kRunning) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
      ::usleep(10000);
    }
    return status_ != kRunning && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }

  const std::string& Output() const { return output_; }

 private:
  static constexpr int kRunning = -1;

  bool ReadSome() {
    pollfd wanted{master_, POLLIN, 0};
    if (::poll(&wanted, 1, 100) <= 0) return true;
    char buffer[4096];
    ssize_t got = ::read(master_, buffer, sizeof buffer);
    if (got <= 0) return false;
    output_.append(buffer, static_cast<std::size_t>(got));
    return true;
  }

  pid_t pid_ = -1;
  int master_ = -1;
  int status_ = kRunning;
  std::string output_;
  std::size_t seen_ = 0;
};

class CliBase : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunCli({"create", dir_.path()}).status, 0); }

  void Steps(const std::vector<Step>& steps) { RunSteps(dir_.path(), steps); }

  std::string WriteFile(const std::string& bytes, const std::string& name = "in.csv") {
    testing_support::WriteFileBytes(dir_.file(name), bytes);
    return dir_.file(name);
  }

  testing_support::TempDir dir_;
};

// The base holding the example plant (28 objects).
class PlantBase : public CliBase {
 protected:
  void SetUp() override {
    CliBase::SetUp();
    CliRun plant = RunCli({"import", dir_.path(), Example("plant.csv")});
    ASSERT_EQ(plant.status, 0) << plant.err;
    ASSERT_EQ(plant.out.find("imported 28 rows: 28 added"), 0u) << plant.out;
  }
};

}  // namespace cli_testing

#endif
