#ifndef SYMBASE_APPS_TEMP_DIRECTORY_H
#define SYMBASE_APPS_TEMP_DIRECTORY_H

// A fresh directory under $TMPDIR (or /tmp when that path would be too long
// for the library), removed with its files on leaving unless kept.

#include <string>

#include "base.h"

namespace cli {

class TempDirectory {
 public:
  // Throws Failure when it cannot be created.
  TempDirectory(const char* name, bool keep);
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  // Without a trailing "/".
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool keep_;
};

// A copy of a base's six files in a temporary directory: what a dry run may
// change freely. Other processes may write the base meanwhile: the copy is
// taken again until no write began or ended while it was made (the main
// table's header tells), up to the library's wait for a busy base.
class ScratchCopy {
 public:
  // `original` is open, which keeps a compaction from replacing its files.
  // Throws InUse when writes never left room for a whole copy, Failure when
  // a file cannot be copied.
  explicit ScratchCopy(const Base& original);
  // The copy's directory, ending with "/".
  std::string Directory() const { return scratch_.Path() + "/"; }

 private:
  TempDirectory scratch_;
};

}  // namespace cli

#endif
