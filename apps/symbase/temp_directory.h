#ifndef SYMBASE_APPS_TEMP_DIRECTORY_H
#define SYMBASE_APPS_TEMP_DIRECTORY_H

// A fresh directory under $TMPDIR (or /tmp when that path would be too long
// for the library), removed with its files on leaving unless kept.

#include <string>

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

// A copy of a base's six files in a temporary directory, taken under a
// shared lock on the original: what a dry run may change freely.
class ScratchCopy {
 public:
  explicit ScratchCopy(const std::string& base_directory);
  // The copy's directory, ending with "/".
  std::string Directory() const { return scratch_.Path() + "/"; }

 private:
  TempDirectory scratch_;
};

}  // namespace cli

#endif
