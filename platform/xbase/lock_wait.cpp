#include "xbase/lock_wait.h"

#include <time.h>
#include <unistd.h>

#include "xbase/result.h"

namespace xbase {
namespace {

constexpr useconds_t kFirstPause = 50;
constexpr useconds_t kLongestPause = 2000;

std::int64_t NowMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

}  // namespace

int LockWaiting(File* file, std::uint64_t offset, std::uint64_t length, bool exclusive,
                int timeout_ms) {
  int r = file->Lock(offset, length, exclusive);
  if (r != kLocked || timeout_ms <= 0) return r;
  const std::int64_t deadline = NowMicroseconds() + std::int64_t(timeout_ms) * 1000;
  useconds_t pause = kFirstPause;
  while (r == kLocked && NowMicroseconds() < deadline) {
    usleep(pause);
    if (pause < kLongestPause) pause *= 2;
    r = file->Lock(offset, length, exclusive);
  }
  return r;
}

}  // namespace xbase
