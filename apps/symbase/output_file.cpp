#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "errors.h"
#include "system_errors.h"

namespace cli {

namespace {

// What open() would give a new file: 0666 less the umask (mkstemp gives 0600).
mode_t NewFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path) {
  if (path == "-") {
    std::fflush(stdout);
    path_ = "the export";
    fd_ = STDOUT_FILENO;
    standard_ = true;
    return;
  }
  struct stat info {};
  bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) Fail(errno);
    return;
  }
  std::string pattern = path + ".XXXXXX";
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  fd_ = ::mkstemp(temp.data());
  if (fd_ < 0) Fail(errno);
  temp_ = temp.data();
  mode_ = exists ? info.st_mode & 07777 : NewFileMode();
}

OutputFile::~OutputFile() {
  if (fd_ >= 0 && !standard_) ::close(fd_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

void OutputFile::Fail(int error) {
  throw Failure("cannot write " + path_ + ": " + SystemMessage(error));
}

void OutputFile::Write(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) Fail(written < 0 ? errno : EIO);
    done += static_cast<std::size_t>(written);
  }
}

void OutputFile::Finish() {
  if (standard_) return;
  int error = 0;
  if (!temp_.empty() && ::fsync(fd_) != 0) error = errno;
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (temp_.empty()) {
    if (error != 0) Fail(error);
    return;
  }
  if (error == 0 && ::chmod(temp_.c_str(), mode_) != 0) error = errno;
  if (error == 0 && ::rename(temp_.c_str(), path_.c_str()) != 0) error = errno;
  if (error != 0) Fail(error);
  temp_.clear();
}

}  // namespace cli
