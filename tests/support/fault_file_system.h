#ifndef SYMBASE_TESTS_SUPPORT_FAULT_FILE_SYSTEM_H
#define SYMBASE_TESTS_SUPPORT_FAULT_FILE_SYSTEM_H

#include <memory>
#include <string>

#include "xbase/file_system.h"

namespace testing_support {

// A FileSystem that passes every call to another one, counting them (opens,
// renames, removals and every call on the files it opened, locks included),
// and that can fail one chosen call.
class FaultFileSystem : public xbase::FileSystem {
 public:
  explicit FaultFileSystem(xbase::FileSystem* base) : base_(base) {}

  // Call number n (1-based) fails; 0 never.
  void FailAt(long n) { fail_at_ = n; }
  // Changing call number n (writes, truncates, syncs, creations, renames,
  // removals; 1-based) fails; 0 never.
  void FailWriteAt(long n) { fail_write_at_ = n; }
  long calls() const { return calls_; }
  long write_calls() const { return write_calls_; }
  bool injected() const { return injected_; }

  int Open(const std::string& path, xbase::OpenMode mode,
           std::unique_ptr<xbase::File>* out) override;
  int Rename(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;
  int SyncDirectory(const std::string& path) override;

  // Counts one call; true when it must fail. `writes`: the call changes a file.
  bool Next(bool writes);

 private:
  xbase::FileSystem* base_;
  long calls_ = 0;
  long write_calls_ = 0;
  long fail_at_ = 0;
  long fail_write_at_ = 0;
  bool injected_ = false;
};

}  // namespace testing_support

#endif
