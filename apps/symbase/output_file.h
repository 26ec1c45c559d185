#ifndef SYMBASE_APPS_OUTPUT_FILE_H
#define SYMBASE_APPS_OUTPUT_FILE_H

// A file written piece by piece so that a failure leaves no half-written
// file: a regular file is written beside its place and renamed over it when
// finished; anything else (a device, a pipe, stdout) is written in place.

#include <string>
#include <string_view>

namespace cli {

class OutputFile {
 public:
  // `path` "-" is stdout. Throws Failure("cannot write PATH: reason").
  explicit OutputFile(const std::string& path);
  // Unfinished: the file beside its place is removed.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Throw Failure("cannot write PATH: No space left on device").
  void Write(std::string_view bytes);
  // Puts the file in its place.
  void Finish();

 private:
  [[noreturn]] void Fail(int error);

  std::string path_;
  std::string temp_;  // the file beside, while a regular file is written
  unsigned mode_ = 0;
  int fd_ = -1;
  bool standard_ = false;  // stdout: neither closed nor renamed
};

}  // namespace cli

#endif
