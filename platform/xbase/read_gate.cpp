#include "xbase/read_gate.h"

#include <unistd.h>

#include "xbase/result.h"

namespace xbase {
namespace {

constexpr int kAttempts = 2000;
constexpr useconds_t kPauseMicroseconds = 1000;

}  // namespace

int EnterReadGate(File* file, std::uint64_t offset) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const int r = file->Lock(offset, 1, false);
    if (r != kLocked) return r;
    usleep(kPauseMicroseconds);
  }
  return kLocked;
}

void LeaveReadGate(File* file, std::uint64_t offset) { file->Unlock(offset, 1); }

}  // namespace xbase
