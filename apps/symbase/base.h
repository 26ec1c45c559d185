#ifndef SYMBASE_APPS_BASE_H
#define SYMBASE_APPS_BASE_H

// One symbol base for the length of a command: the library's handle, the
// directory, and the check that a call left no error report behind.

#include <string>

#include "directory_lock.h"
#include "symbase/symbase.h"

namespace cli {

// The directory text the library wants: a trailing "/" added when missing.
// Throws Failure for an empty path or one over the library's 72 characters.
std::string BaseDirectory(const std::string& argument);

// True when all six files of a base are in `directory` (ending with "/").
bool BaseFilesPresent(const std::string& directory);

class Base {
 public:
  explicit Base(const std::string& directory_argument);
  ~Base();
  Base(const Base&) = delete;
  Base& operator=(const Base&) = delete;

  enum class Access { kRead, kWrite };
  // Opens an existing base, holding it against other symbase processes as
  // `access` needs; Failure when its files are missing or the library
  // reported an error while opening them.
  void Open(Access access);
  // Creates the six files (creating the directory too); Failure when a base
  // is already there and `replace` is false.
  void Create(bool replace);
  // Closes the files (also done by the destructor).
  void Close();

  CTBData* Handle() const { return handle_; }
  const std::string& Directory() const { return directory_; }

  // Throws Failure naming `what` when the library reported an error since the
  // last check: a guarded call gives 0 after a caught exception.
  void CheckNoReport(const std::string& what);

 private:
  std::string directory_;
  DirectoryLock lock_;  // released after the handle is freed
  CTBData* handle_ = nullptr;
  bool open_ = false;
  int reports_seen_ = 0;
};

// "adding %MW1: the base is in use by another process; try again": what was
// being done and what a library result other than 0 means.
std::string ResultMessage(int result, const std::string& doing);

}  // namespace cli

#endif
