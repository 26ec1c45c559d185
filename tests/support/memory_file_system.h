#ifndef SYMBASE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H
#define SYMBASE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H

#include <map>
#include <memory>
#include <string>

#include "xbase/file_system.h"

namespace testing_support {

// Files held in memory, shared by every File opened on the same path. Locks
// are recorded per open file and conflict between different opens, as
// open-file-description locks do. `fail_after` makes every write, truncate
// or sync after that many successful ones fail with kErrWrite (-1: never).
class MemoryFileSystem : public xbase::FileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem() override;

  int Open(const std::string& path, xbase::OpenMode mode,
           std::unique_ptr<xbase::File>* out) override;
  int Rename(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;

  // The bytes of a file; empty when absent.
  std::string Contents(const std::string& path) const;
  void SetContents(const std::string& path, const std::string& bytes);
  bool Exists(const std::string& path) const;

  void FailWritesAfter(long count) { fail_after_ = count; }
  long writes() const { return writes_; }

  struct Data;

 private:
  friend class MemoryFile;
  bool CountWrite();

  std::map<std::string, std::shared_ptr<Data>> files_;
  long fail_after_ = -1;
  long writes_ = 0;
};

}  // namespace testing_support

#endif
