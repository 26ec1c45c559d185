#ifndef SYMBASE_TESTS_SUPPORT_FAULT_FILE_SYSTEM_H
#define SYMBASE_TESTS_SUPPORT_FAULT_FILE_SYSTEM_H

#include <memory>
#include <string>

#include "xbase/file_system.h"
#include "xbase/result.h"

namespace testing_support {

// A FileSystem that passes every call to another one, counting them (opens,
// renames, removals and every call on the files it opened, locks included),
// and that can fail one chosen call.
class FaultFileSystem : public xbase::FileSystem {
 public:
  explicit FaultFileSystem(xbase::FileSystem* base) : base_(base) {}

  // Call number n (1-based) fails; 0 never.
  void FailAt(long n) { fail_at_ = n; }
  long calls() const { return calls_; }
  bool injected() const { return injected_; }

  int Open(const std::string& path, xbase::OpenMode mode,
           std::unique_ptr<xbase::File>* out) override;
  int Rename(const std::string& from, const std::string& to) override {
    return Next() ? xbase::kErrRename : base_->Rename(from, to);
  }
  int Remove(const std::string& path) override {
    return Next() ? xbase::kErrRename : base_->Remove(path);
  }
  int Exists(const std::string& path, bool* exists) override {
    return Next() ? xbase::kErrOpen : base_->Exists(path, exists);
  }
  int SyncDirectory(const std::string& path) override {
    return Next() ? xbase::kErrWrite : base_->SyncDirectory(path);
  }
  std::string BootId(const std::string& path) override { return base_->BootId(path); }

  // Counts one call; true when it must fail.
  bool Next() {
    ++calls_;
    injected_ = injected_ || calls_ == fail_at_;
    return calls_ == fail_at_;
  }

 private:
  xbase::FileSystem* base_;
  long calls_ = 0;
  long fail_at_ = 0;
  bool injected_ = false;
};

// A file opened through a FaultFileSystem: each call is counted there.
class FaultFile final : public xbase::File {
 public:
  FaultFile(FaultFileSystem* fs, std::unique_ptr<xbase::File> base)
      : fs_(fs), base_(std::move(base)) {}

  int ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override {
    *got = 0;
    return fs_->Next() ? xbase::kErrRead : base_->ReadAt(offset, buffer, n, got);
  }
  int ReadPiecesAt(std::uint64_t offset, const Piece* pieces, std::size_t count,
                   std::size_t* got) override {
    *got = 0;
    return fs_->Next() ? xbase::kErrRead : base_->ReadPiecesAt(offset, pieces, count, got);
  }
  int WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) override {
    return fs_->Next() ? xbase::kErrWrite : base_->WriteAt(offset, buffer, n);
  }
  int WritePiecesAt(std::uint64_t offset, const Bytes* pieces, std::size_t count) override {
    return fs_->Next() ? xbase::kErrWrite : base_->WritePiecesAt(offset, pieces, count);
  }
  int Size(std::uint64_t* size) override {
    return fs_->Next() ? xbase::kErrRead : base_->Size(size);
  }
  int Truncate(std::uint64_t size) override {
    return fs_->Next() ? xbase::kErrWrite : base_->Truncate(size);
  }
  int Sync() override { return fs_->Next() ? xbase::kErrWrite : base_->Sync(); }
  int Lock(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
    return fs_->Next() ? xbase::kErrLock : base_->Lock(offset, length, exclusive);
  }
  int Unlock(std::uint64_t offset, std::uint64_t length) override {
    return fs_->Next() ? xbase::kErrLock : base_->Unlock(offset, length);
  }

 private:
  FaultFileSystem* fs_;
  std::unique_ptr<xbase::File> base_;
};

inline int FaultFileSystem::Open(const std::string& path, xbase::OpenMode mode,
                                 std::unique_ptr<xbase::File>* out) {
  if (Next()) return mode == xbase::OpenMode::kCreate ? xbase::kErrCreate : xbase::kErrOpen;
  std::unique_ptr<xbase::File> file;
  const int r = base_->Open(path, mode, &file);
  if (r == xbase::kOk) out->reset(new FaultFile(this, std::move(file)));
  return r;
}

// Runs `scenario(fs, n)` once through a counting file system (n = 0: no call
// fails), then once for each call that run made, call n failing, until the
// scenario returns false. Returns the count of calls of the clean run.
template <typename Scenario>
long SweepFailingCalls(Scenario scenario) {
  FaultFileSystem counting(xbase::FileSystem::Posix());
  if (!scenario(&counting, 0L)) return counting.calls();
  for (long n = 1; n <= counting.calls(); ++n) {
    FaultFileSystem faulty(xbase::FileSystem::Posix());
    faulty.FailAt(n);
    if (!scenario(&faulty, n)) break;
  }
  return counting.calls();
}

}  // namespace testing_support

#endif
