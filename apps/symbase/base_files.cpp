#include "base_files.h"

#include <sys/stat.h>

namespace cli {

bool FilePresent(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

const char* MissingBaseFile(const std::string& directory) {
  for (const char* name : kBaseFiles) {
    if (!FilePresent(directory + name)) return name;
  }
  return nullptr;
}

}  // namespace cli
