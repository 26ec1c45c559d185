#include "base_files.h"

#include <sys/stat.h>

namespace cli {

const char* MissingBaseFile(const std::string& directory) {
  for (const char* name : kBaseFiles) {
    struct stat info {};
    std::string path = directory + name;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return name;
  }
  return nullptr;
}

bool BaseFilesPresent(const std::string& directory) {
  return MissingBaseFile(directory) == nullptr;
}

}  // namespace cli
