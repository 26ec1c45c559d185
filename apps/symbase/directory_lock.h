#ifndef SYMBASE_APPS_DIRECTORY_LOCK_H
#define SYMBASE_APPS_DIRECTORY_LOCK_H

// Keeps symbase processes from working on one base at the same time: a
// command that writes holds the base's directory exclusively, one that reads
// holds it shared. The library's own row locks do not stop two writers from
// losing each other's rows, so the tool serializes itself.

#include <string>

namespace cli {

class DirectoryLock {
 public:
  DirectoryLock() = default;
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  // Waits up to about ten seconds for the lock; throws Failure when the
  // directory cannot be opened, InUse when another process keeps it longer.
  void Acquire(const std::string& directory, bool exclusive);

 private:
  int fd_ = -1;
};

}  // namespace cli

#endif
