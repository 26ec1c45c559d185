#ifndef SYMBASE_TESTS_SUPPORT_TEMP_DIR_H
#define SYMBASE_TESTS_SUPPORT_TEMP_DIR_H

#include <string>

namespace testing_support {

// A fresh directory under the system's temporary folder, removed with all it
// holds when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory's path, without a trailing separator.
  const std::string& path() const { return path_; }
  // The path followed by "/", as the base functions take a directory.
  std::string slash() const { return path_ + "/"; }
  // path() + "/" + name.
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Writes bytes to a file, replacing it; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace testing_support

#endif
