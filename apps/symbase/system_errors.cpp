#include "system_errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "base_files.h"

namespace cli {

namespace {

// The error of opening `path` as the library would, or 0.
int OpenError(const std::string& path, bool write) {
  int fd = ::open(path.c_str(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

}  // namespace

std::string SystemMessage(int error_number) {
  return std::generic_category().message(error_number);
}

std::string ProbeBaseFiles(const std::string& directory, bool write, bool missing_ok) {
  struct stat info {};
  if (::stat(directory.c_str(), &info) != 0) return directory + ": " + SystemMessage(errno);
  for (const char* name : kBaseFiles) {
    int error = OpenError(directory + name, write);
    if (error == ENOENT && missing_ok) continue;
    if (error != 0) return name + std::string(": ") + SystemMessage(error);
  }
  if (write && ::access(directory.c_str(), W_OK) != 0)
    return directory + ": " + SystemMessage(errno);
  struct statvfs space {};
  if (write && ::statvfs(directory.c_str(), &space) == 0) {
    if ((space.f_flag & ST_RDONLY) != 0) return directory + ": " + SystemMessage(EROFS);
    if (space.f_bavail == 0) return directory + ": " + SystemMessage(ENOSPC);
  }
  return "";
}

}  // namespace cli
