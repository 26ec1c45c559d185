#include "directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "errors.h"
#include "system_errors.h"

namespace cli {

namespace {

constexpr int kAttempts = 200;
constexpr useconds_t kPause = 50000;  // 200 x 50 ms

}  // namespace

DirectoryLock::~DirectoryLock() {
  if (fd_ >= 0) ::close(fd_);
}

void DirectoryLock::Acquire(const std::string& directory, bool exclusive) {
  if (fd_ < 0) fd_ = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) {
    throw Failure("cannot open the directory " + directory + ": " + SystemMessage(errno));
  }
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (::flock(fd_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return;
    if (errno != EWOULDBLOCK && errno != EINTR) {
      throw Failure("cannot lock " + directory + ": " + SystemMessage(errno));
    }
    ::usleep(kPause);
  }
  throw InUse("the base in " + directory + " is in use by another symbase process; try again");
}

}  // namespace cli
