#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "errors.h"
#include "system_errors.h"

namespace cli {

namespace {

// Writes all of `text` to `fd`; the error number, or 0.
int WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : EIO;
    done += static_cast<std::size_t>(written);
  }
  return 0;
}

// What open() would give a new file: 0666 less the umask (mkstemp gives 0600).
mode_t NewFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

[[noreturn]] void Fail(const std::string& path, int error) {
  throw Failure("cannot write " + path + ": " + SystemMessage(error));
}

}  // namespace

void WriteWholeFile(const std::string& path, const std::string& text) {
  struct stat info {};
  bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) Fail(path, errno);
    int error = WriteAll(fd, text);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) Fail(path, error);
    return;
  }
  std::string pattern = path + ".XXXXXX";
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  int fd = ::mkstemp(temp.data());
  if (fd < 0) Fail(path, errno);
  int error = WriteAll(fd, text);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  mode_t mode = exists ? info.st_mode & 07777 : NewFileMode();
  if (error == 0 && ::chmod(temp.data(), mode) != 0) error = errno;
  if (error == 0 && ::rename(temp.data(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.data());
    Fail(path, error);
  }
}

}  // namespace cli
