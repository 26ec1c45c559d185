#include "pager.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "errors.h"
#include "options.h"
#include "system_errors.h"

namespace cli {

namespace {

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream directories(path != nullptr ? path : "/usr/bin:/bin");
  std::string directory;
  while (std::getline(directories, directory, ':')) {
    if (!directory.empty() && ::access((directory + "/" + program).c_str(), X_OK) == 0) {
      return true;
    }
  }
  return false;
}

// The pager to run, or "" for none.
std::string PagerCommand() {
  if (Options().no_pager || ::isatty(STDOUT_FILENO) == 0) return "";
  const char* chosen = std::getenv("PAGER");
  if (chosen == nullptr) return OnPath("less") ? "less" : "";
  std::string command = chosen;
  return command == "cat" ? "" : command;
}

}  // namespace

ListingOutput::ListingOutput() {
  std::string command = PagerCommand();
  if (command.empty()) return;
  ::setenv("LESS", "FRX", 0);
  std::fflush(stdout);
  pager_ = ::popen(command.c_str(), "w");
  if (pager_ == nullptr) return;
  file_ = pager_;
  // The pager owns the terminal until it exits: Ctrl-C is for it, and a
  // pager left early must not end this process in the middle of a write.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, &saved_pipe_);
  sigaction(SIGINT, &ignore, &saved_int_);
}

ListingOutput::~ListingOutput() {
  if (pager_ == nullptr) {
    std::fflush(stdout);
    return;
  }
  ::pclose(pager_);
  sigaction(SIGPIPE, &saved_pipe_, nullptr);
  sigaction(SIGINT, &saved_int_, nullptr);
}

bool ListingOutput::Write(const std::string& text) {
  if (gone_) return false;
  if (std::fwrite(text.data(), 1, text.size(), file_) == text.size()) return true;
  if (pager_ == nullptr) throw Failure("cannot write the listing: " + SystemMessage(errno));
  gone_ = true;
  return false;
}

}  // namespace cli
