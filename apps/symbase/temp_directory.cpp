#include "temp_directory.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "base_files.h"
#include "directory_lock.h"
#include "errors.h"
#include "system_errors.h"

namespace cli {

namespace {

// Leaves room for the base's file names within the library's 72 characters.
constexpr std::size_t kMaxTempRoot = 40;

}  // namespace

TempDirectory::TempDirectory(const char* name, bool keep) : keep_(keep) {
  const char* tmp = std::getenv("TMPDIR");
  std::string root =
      tmp != nullptr && *tmp != '\0' && std::string(tmp).size() < kMaxTempRoot ? tmp : "/tmp";
  std::string pattern = root + "/" + name + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) {
    throw Failure("cannot create a directory in " + root + ": " + SystemMessage(errno));
  }
  path_ = buffer.data();
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  if (!keep_) std::filesystem::remove_all(path_, ignored);
}

ScratchCopy::ScratchCopy(const std::string& base_directory) : scratch_("symbase-dry-run", false) {
  DirectoryLock lock;
  lock.Acquire(base_directory, false);
  if (const char* missing = MissingBaseFile(base_directory)) {
    throw Failure("no symbol base in " + base_directory + " (" + missing + " is missing)");
  }
  for (const char* name : kBaseFiles) {
    std::error_code error;
    std::filesystem::copy_file(base_directory + name, Directory() + name, error);
    if (error) {
      throw Failure("cannot copy " + base_directory + name +
                    " for the dry run: " + error.message());
    }
  }
}

}  // namespace cli
