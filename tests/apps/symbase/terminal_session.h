#ifndef SYMBASE_TESTS_APPS_SYMBASE_TERMINAL_SESSION_H
#define SYMBASE_TESTS_APPS_SYMBASE_TERMINAL_SESSION_H

// The built command-line host run on a pseudo-terminal, as a person at a
// terminal runs it: stdin, stdout and stderr are the terminal; keys are typed
// once the program has shown what it asks. Header-only.

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace cli_testing {

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

  // False once the terminal is closed (the program ended).
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

}  // namespace cli_testing

#endif
