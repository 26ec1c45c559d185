#ifndef SYMBASE_TESTS_SUPPORT_CHILD_EXIT_H
#define SYMBASE_TESTS_SUPPORT_CHILD_EXIT_H

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace testing_support {

// The exit status of the child process `pid` once it ends (128 + the signal
// that ended it), or -1 when it has not ended within `seconds`: it is then
// killed, so that a hung child fails its test instead of outliving it.
inline int ChildExit(pid_t pid, int seconds = 60) {
  int status = 0;
  for (long waited_ms = 0; waited_ms < seconds * 1000L; waited_ms += 5) {
    const pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (ended < 0) return -1;
    ::usleep(5000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return -1;
}

}  // namespace testing_support

#endif
